// SPDX-License-Identifier: GPL-3.0-or-later
// The radio's raw replies kept by a full read, and the comparison of a
// codeplug with the radio over the in-memory fake: bytes, not re-encoded
// cells, and the spare ranges left out.
#include <gtest/gtest.h>

#include "clone/compare_radio.h"
#include "codeplug/memory_map.h"
#include "fake_link.h"
#include "tools/radio_sim/radio_sim.h"

namespace pellaro {
namespace {

using testing::Bytes;
using testing::FakeLink;
using testing::toHex;

std::string memoryHex(const FakeLink& link, int address, int length) {
    return toHex(Bytes(link.memory.begin() + address, link.memory.begin() + address + length));
}

TEST(ReadReplies, EveryAcceptedReplyIsKeptAsReceived) {
    struct Case {
        const char* name;
        int block;      // -1: every block answered as asked
        Bytes answer;   // the answer at `block`; empty: none
        bool ok;
    };
    const Case cases[] = {
        {"every block", -1, {}, true},
        {"48 bytes at block 132", 132, Bytes(48, 0x11), true},
        {"no answer at block 5", 5, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        link.memory = sim::freshCodeplug();
        if (c.block >= 0)
            link.shapeAnswer = [&c](int i, const Bytes&) -> std::optional<Bytes> {
                if (i == c.block) return c.answer;
                return std::nullopt;
            };
        CloneEngine engine(link);
        Document doc, plain;
        MemoryImage replies;
        replies.fill("left over");
        EXPECT_EQ(engine.fullRead(doc, {}, &replies).ok, c.ok);

        for (int n = 0; n < kBlockCount; ++n) {
            const BlockInfo info = blockInfo(n);
            const std::string want = !c.ok && n >= c.block ? ""
                                     : n == c.block        ? toHex(c.answer)
                                                           : memoryHex(link, info.address, info.length);
            EXPECT_EQ(replies[static_cast<std::size_t>(n)], want) << "block " << n;
        }
        // The same read without keeping the replies: the same frames, the
        // same document.
        const std::vector<Bytes> frames = link.frames;
        link.frames.clear();
        engine.fullRead(plain);
        EXPECT_EQ(link.frames, frames);
        EXPECT_TRUE(doc == plain);
    }
}

TEST(CompareWithRadio, TheRadiosRecordBytesBesideWhatAWriteSends) {
    struct Case {
        const char* name;
        std::vector<std::uint16_t> flipped;   // radio bytes changed after the write (XOR mask below)
        std::uint8_t mask;
        std::size_t differences;
        std::string first;   // start of the first difference's line
    };
    const Case cases[] = {
        {"stored as written", {}, 0, 0, ""},
        {"a frequency byte of A 3", {0x0400 + 2 * 24 + 3}, 0x01, 1, "A 3 Receiving Frequency: 145.70000 \xE2\x86\x92 "},
        // No cell shows these bits: a comparison of decoded cells would miss them.
        {"low bits of A 1's flags byte", {0x0400 + 15}, 0x0F, 1, "A 1 Power: High \xE2\x86\x92 High ("},
        {"volume", {0x0201}, 0x01, 1, "Comprehensive Setting / Volume"},
        {"every spare range", {0x0212, 0x022F, 0x02B4, 0x0320, 0x032F, 0x03A0}, 0xFF, 0, ""},
    };
    FakeLink link;
    link.memory = sim::freshCodeplug();
    CloneEngine engine(link);
    Document doc;
    ASSERT_TRUE(engine.fullRead(doc).ok);
    ASSERT_TRUE(engine.fullWrite(doc).ok);
    const auto written = link.memory;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link.memory = written;
        for (std::uint16_t a : c.flipped) link.memory[a] ^= c.mask;
        const RadioComparison radio = compareWithRadio(engine, doc);
        EXPECT_TRUE(radio.read.ok);
        ASSERT_EQ(radio.differences.size(), c.differences);
        if (!c.first.empty()) {
            EXPECT_EQ(radio.differences[0].text.rfind(c.first, 0), 0u) << radio.differences[0].text;
        }
        EXPECT_EQ(radio.replies[130], memoryHex(link, 0x0200, 48));
    }

    // A read that fails compares nothing.
    link.memory = written;
    link.memory[0x0201] ^= 0x01;
    link.shapeAnswer = [](int i, const Bytes&) -> std::optional<Bytes> {
        if (i == 7) return Bytes{};
        return std::nullopt;
    };
    const RadioComparison failed = compareWithRadio(engine, doc);
    EXPECT_EQ(failed.read.message, "Read Error!");
    EXPECT_TRUE(failed.differences.empty());
}

}   // namespace
}   // namespace pellaro
