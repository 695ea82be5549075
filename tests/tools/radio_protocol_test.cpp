// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio's protocol, in-process: frames, resynchronisation,
// faults, and the fresh codeplug it starts with.
#include "tools/radio_sim/radio_sim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pellaro::sim;

namespace {

Bytes frame(std::string_view word, std::uint16_t address, std::uint16_t length, const Bytes& data = {}) {
    Bytes b(word.begin(), word.end());
    b.push_back(static_cast<std::uint8_t>(address >> 8));
    b.push_back(static_cast<std::uint8_t>(address));
    b.push_back(static_cast<std::uint8_t>(length >> 8));
    b.push_back(static_cast<std::uint8_t>(length));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
Bytes readFrame(std::uint16_t a, std::uint16_t n) { return frame("READ", a, n); }
Bytes writeFrame(std::uint16_t a, const Bytes& data) {
    return frame("WRIE", a, static_cast<std::uint16_t>(data.size()), data);
}
Bytes word(std::string_view w) { return Bytes(w.begin(), w.end()); }

Bytes slice(const Memory& m, std::size_t a, std::size_t n) {
    return Bytes(m.begin() + static_cast<std::ptrdiff_t>(a), m.begin() + static_cast<std::ptrdiff_t>(a + n));
}

// A protocol in an open exchange.
RadioProtocol opened() {
    RadioProtocol p;
    EXPECT_TRUE(p.feed(word("CLNK_OPN")).answer.empty());
    return p;
}

}   // namespace

TEST(RadioProtocol, ReadsAnswerExactlyTheMemoryBytes) {
    struct Case {
        std::uint16_t address, length;
    };
    // First and last channel blocks of each band, the VFO, settings, DTMF,
    // identity, state and message/limit blocks, and the two partial reads.
    const Case cases[] = {{0x0400, 0x30}, {0x0FD0, 0x30}, {0x1000, 0x30}, {0x1BD0, 0x30},
                          {0x0300, 0x30}, {0x0200, 0x30}, {0x0270, 0x10}, {0x0280, 0x40},
                          {0x02C0, 0x01}, {0x02D0, 0x21}, {0x02D0, 0x10}, {0x02E0, 0x11}};
    RadioProtocol p = opened();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const ProtocolOutput out = p.feed(readFrame(c.address, c.length));
        EXPECT_EQ(out.answer, slice(p.memory(), c.address, c.length));
    }
    EXPECT_EQ(p.counters().readRequests, std::size(cases));
    EXPECT_EQ(p.requestIndex(), static_cast<int>(std::size(cases)));
}

TEST(RadioProtocol, WriteStoresAndAcknowledgesOnce) {
    RadioProtocol p = opened();
    const Memory before = p.memory();
    Bytes data(0x30);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    data[3] = 0x11;   // XON / XOFF and NUL are plain data here
    data[4] = 0x13;
    EXPECT_EQ(p.feed(writeFrame(0x1BD0, data)).answer, Bytes{kAck});
    EXPECT_EQ(slice(p.memory(), 0x1BD0, 0x30), data);
    // Nothing else moved.
    EXPECT_EQ(slice(p.memory(), 0, 0x1BD0), slice(before, 0, 0x1BD0));
    EXPECT_EQ(p.feed(readFrame(0x1BD0, 0x30)).answer, data);
    EXPECT_EQ(p.feed(writeFrame(0x02C0, {0x02})).answer, Bytes{kAck});
    EXPECT_EQ(p.memory()[0x02C0], 0x02);
}

TEST(RadioProtocol, StrayBytesAreSkippedUntilTheNextFrame) {
    RadioProtocol p = opened();
    Bytes in = {0x00, 0xFF, 'R', 'E', 'X', 'W', 'R', 'I', 'T'};   // near misses
    const Bytes rd = readFrame(0x02D0, 0x10);
    in.insert(in.end(), rd.begin(), rd.end());
    in.push_back(0x06);
    const Bytes wr = writeFrame(0x02C0, {0x01});
    in.insert(in.end(), wr.begin(), wr.end());
    const ProtocolOutput out = p.feed(in);
    Bytes expected = slice(p.memory(), 0x02D0, 0x10);
    expected.push_back(kAck);
    EXPECT_EQ(out.answer, expected);
    EXPECT_EQ(p.counters().bytesIgnored, 10u);
    EXPECT_EQ(p.memory()[0x02C0], 0x01);
    EXPECT_EQ(p.pendingBytes(), 0u);
}

TEST(RadioProtocol, FramesSplitAcrossFeedsWaitForTheirLastByte) {
    RadioProtocol p;
    Bytes stream = word("CLNK_OPN");
    const Bytes data(0x30, 0x5A);
    const Bytes wr = writeFrame(0x0400, data);
    stream.insert(stream.end(), wr.begin(), wr.end());
    Bytes answers;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const ProtocolOutput out = p.feed(&stream[i], 1);
        if (i + 1 < stream.size()) {
            EXPECT_TRUE(out.answer.empty()) << "byte " << i;
        }
        answers.insert(answers.end(), out.answer.begin(), out.answer.end());
    }
    EXPECT_EQ(answers, Bytes{kAck});
    EXPECT_EQ(slice(p.memory(), 0x0400, 0x30), data);
    // A read split between its length bytes.
    const Bytes rd = readFrame(0x0400, 0x30);
    EXPECT_TRUE(p.feed(rd.data(), 7).answer.empty());
    EXPECT_EQ(p.feed(rd.data() + 7, 1).answer, data);
}

TEST(RadioProtocol, AnswersOnlyInsideAnExchangeAndInsideTheMemory) {
    RadioProtocol p;
    EXPECT_TRUE(p.feed(readFrame(0x0400, 0x30)).answer.empty());   // before CLNK_OPN
    EXPECT_TRUE(p.feed(writeFrame(0x02C0, {0x02})).answer.empty());
    EXPECT_EQ(p.memory()[0x02C0], 0x00);
    EXPECT_EQ(p.counters().outsideExchange, 2u);

    p.feed(word("CLNK_OPN"));
    EXPECT_TRUE(p.feed(readFrame(0x1BF0, 0x20)).answer.empty());   // runs past 0x1BFF
    EXPECT_TRUE(p.feed(readFrame(0x1C00, 0x01)).answer.empty());
    EXPECT_EQ(p.feed(readFrame(0x1BFF, 0x01)).answer.size(), 1u);
    // An out-of-range write's data is skipped; the next frame is still found.
    Bytes in = writeFrame(0xFFF0, Bytes(0x20, 0x33));
    const Bytes rd = readFrame(0x02C0, 1);
    in.insert(in.end(), rd.begin(), rd.end());
    EXPECT_EQ(p.feed(in).answer, Bytes{0x00});
    EXPECT_EQ(p.counters().outOfRange, 3u);

    p.feed(word("EXIT"));
    EXPECT_FALSE(p.inExchange());
    EXPECT_TRUE(p.feed(readFrame(0x0400, 0x30)).answer.empty());
}

TEST(RadioProtocol, RequestsAreCountedFromTheHandshake) {
    RadioProtocol p = opened();
    p.feed(readFrame(0x0400, 0x30));
    p.feed(readFrame(0x0430, 0x30));
    EXPECT_EQ(p.requestIndex(), 2);
    p.feed(word("EXIT"));
    p.feed(word("CLNK_OPN"));
    EXPECT_EQ(p.requestIndex(), 0);
    EXPECT_EQ(p.counters().exchanges, 2u);
}

TEST(RadioProtocol, EachFaultChangesOnlyItsRequest) {
    struct Case {
        FaultKind kind;
        bool write;
        // What the faulty request answers, given the normal answer.
        Bytes (*expected)(const Bytes& normal);
        bool stored;   // whether a faulty write still reaches the memory
    };
    const Case cases[] = {
        {FaultKind::NoAnswer, false, [](const Bytes&) { return Bytes{}; }, false},
        {FaultKind::NoAnswer, true, [](const Bytes&) { return Bytes{}; }, false},
        {FaultKind::OneShort, false, [](const Bytes& n) { return Bytes(n.begin(), n.end() - 1); }, false},
        {FaultKind::OneShort, true, [](const Bytes&) { return Bytes{}; }, true},
        {FaultKind::OneLong, false,
         [](const Bytes& n) {
             Bytes b = n;
             b.push_back(0);
             return b;
         },
         false},
        {FaultKind::OneLong, true,
         [](const Bytes&) {
             return Bytes{kAck, 0x00};
         },
         true},
        {FaultKind::DoubleAck, false,
         [](const Bytes& n) {
             Bytes b = n;
             b.push_back(kAck);
             return b;
         },
         false},
        {FaultKind::DoubleAck, true,
         [](const Bytes&) {
             return Bytes{kAck, kAck};
         },
         true},
        {FaultKind::Nak, false, [](const Bytes&) { return Bytes{kNak}; }, false},
        {FaultKind::Nak, true, [](const Bytes&) { return Bytes{kNak}; }, false},
        {FaultKind::Garbage, false,
         [](const Bytes& n) {
             Bytes b{0xAA, 0x55, 0x00};
             b.insert(b.end(), n.begin(), n.end());
             return b;
         },
         false},
        {FaultKind::Garbage, true,
         [](const Bytes&) {
             return Bytes{0xAA, 0x55, 0x00, kAck};
         },
         true},
    };
    const Bytes data(0x30, 0xC3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(faultKindName(c.kind)) + (c.write ? " write" : " read"));
        RadioProtocol p = opened();
        p.setFault({c.kind, 2, std::nullopt});
        const std::uint16_t faulty = 0x0460;   // request 2 of a full transfer
        auto request = [&](std::uint16_t a) {
            return p.feed(c.write ? writeFrame(a, data) : readFrame(a, 0x30)).answer;
        };
        const Bytes normal = c.write ? Bytes{kAck} : slice(p.memory(), faulty, 0x30);
        EXPECT_EQ(request(0x0400), c.write ? Bytes{kAck} : slice(p.memory(), 0x0400, 0x30));
        EXPECT_EQ(request(0x0430), c.write ? Bytes{kAck} : slice(p.memory(), 0x0430, 0x30));
        EXPECT_EQ(request(faulty), c.expected(normal));
        if (c.write) {
            EXPECT_EQ(slice(p.memory(), faulty, 0x30) == data, c.stored);
        }
        // Fired once: the next request is answered normally.
        EXPECT_EQ(request(0x0490), c.write ? Bytes{kAck} : slice(p.memory(), 0x0490, 0x30));
        EXPECT_EQ(p.counters().faultsFired, 1u);
    }
}

TEST(RadioProtocol, FaultsAimedByAddressAndRepeated) {
    RadioProtocol p = opened();
    p.setFault({FaultKind::Nak, std::nullopt, 0x02C0, true});
    EXPECT_EQ(p.feed(readFrame(0x0400, 0x30)).answer.size(), 0x30u);
    EXPECT_EQ(p.feed(writeFrame(0x02C0, {1})).answer, Bytes{kNak});
    EXPECT_EQ(p.feed(writeFrame(0x02C0, {1})).answer, Bytes{kNak});
    EXPECT_EQ(p.memory()[0x02C0], 0x00);

    p.setFault({FaultKind::Vanish, 1, std::nullopt});
    p.feed(word("CLNK_OPN"));
    EXPECT_FALSE(p.feed(readFrame(0x0400, 0x30)).vanish);
    const ProtocolOutput out = p.feed(readFrame(0x0430, 0x30));
    EXPECT_TRUE(out.vanish);
    EXPECT_TRUE(out.answer.empty());
}

// A fault aimed at one exchange of several in a row passes the others by,
// even when it repeats.
TEST(RadioProtocol, FaultAimedAtOneExchange) {
    RadioProtocol p;
    Fault fault{FaultKind::NoAnswer, 0, std::nullopt, true};
    fault.inExchange = 2;
    p.setFault(fault);
    for (int exchange = 1; exchange <= 3; ++exchange) {
        SCOPED_TRACE(exchange);
        p.feed(word("CLNK_OPN"));
        EXPECT_EQ(p.feed(readFrame(0x0400, 0x30)).answer.empty(), exchange == 2);
        EXPECT_EQ(p.feed(readFrame(0x0430, 0x30)).answer.size(), 0x30u);
        p.feed(word("EXIT"));
    }
    EXPECT_EQ(p.counters().faultsFired, 1u);
}

// A radio that acknowledges a write its memory does not keep: only a later
// read shows it. Both faults wait for a write; a read at the target passes.
TEST(RadioProtocol, DroppedAndAlteredWritesAreAcknowledgedAllTheSame) {
    struct Case {
        const char* name;
        Fault fault;
        // What the memory holds after the faulty write of `data` over `old`.
        Bytes (*kept)(const Bytes& old, const Bytes& data);
    };
    const Case cases[] = {
        {"drop", {FaultKind::DropWrite, 1, std::nullopt}, [](const Bytes& old, const Bytes&) { return old; }},
        {"alter the first byte",
         {FaultKind::AlterByte, 1, std::nullopt},
         [](const Bytes&, const Bytes& d) {
             Bytes b = d;
             b[0] ^= 0xFF;
             return b;
         }},
        {"alter byte 32",
         {FaultKind::AlterByte, 1, std::nullopt, false, 32},
         [](const Bytes&, const Bytes& d) {
             Bytes b = d;
             b[32] ^= 0xFF;
             return b;
         }},
        {"alter past the data",
         {FaultKind::AlterByte, 1, std::nullopt, false, 33},
         [](const Bytes&, const Bytes& d) { return d; }},
    };
    Bytes data(33);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0x40 + i);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioProtocol p = opened();
        p.setFault(c.fault);
        const Bytes old = slice(p.memory(), 0x02D0, 33);
        // Request 1 of this exchange is a read: answered as usual, still armed.
        EXPECT_EQ(p.feed(writeFrame(0x0400, Bytes(0x30, 0x01))).answer, Bytes{kAck});
        EXPECT_EQ(p.feed(readFrame(0x02D0, 33)).answer, old);
        EXPECT_EQ(p.counters().faultsFired, 0u);
        // Request 1 of the next exchange is the write it aims at.
        p.feed(word("EXIT"));
        p.feed(word("CLNK_OPN"));
        EXPECT_EQ(p.feed(writeFrame(0x0400, Bytes(0x30, 0x02))).answer, Bytes{kAck});
        EXPECT_EQ(p.feed(writeFrame(0x02D0, data)).answer, Bytes{kAck});
        EXPECT_EQ(p.counters().faultsFired, 1u);
        EXPECT_EQ(p.feed(readFrame(0x02D0, 33)).answer, c.kept(old, data));
        // Nothing else moved, and the fault has fired: the next write is kept.
        EXPECT_EQ(slice(p.memory(), 0x0400, 0x30), Bytes(0x30, 0x02));
        EXPECT_EQ(p.feed(writeFrame(0x02D0, data)).answer, Bytes{kAck});
        EXPECT_EQ(slice(p.memory(), 0x02D0, 33), data);
    }
}

TEST(RadioProtocol, FaultNamesRoundTrip) {
    for (FaultKind k :
         {FaultKind::None, FaultKind::NoAnswer, FaultKind::OneShort, FaultKind::OneLong, FaultKind::DoubleAck,
          FaultKind::Nak, FaultKind::Garbage, FaultKind::Vanish, FaultKind::DropWrite, FaultKind::AlterByte})
        EXPECT_EQ(faultKindFromName(faultKindName(k)), k);
    EXPECT_FALSE(faultKindFromName("NAK"));
}

// ---- the fresh codeplug ----------------------------------------------------

namespace {

std::uint32_t be32(const Memory& m, std::size_t a) {
    return (std::uint32_t{m[a]} << 24) | (m[a + 1] << 16) | (m[a + 2] << 8) | m[a + 3];
}
std::uint16_t be16(const Memory& m, std::size_t a) { return static_cast<std::uint16_t>((m[a] << 8) | m[a + 1]); }

bool inBand(std::uint32_t f) { return (f >= 13600000 && f <= 17600000) || (f >= 40000000 && f <= 49000000); }

bool validTone(std::uint16_t t) {
    if (t == 0xFFFF) return true;
    const unsigned top = t >> 12;
    if (top == 0x8 || top == 0xC)   // DCS: three octal digits
        return ((t >> 8) & 0xF) < 8 && ((t >> 4) & 0xF) < 8 && (t & 0xF) < 8;
    return top == 0 && t >= 670 && t <= 2503;   // CTCSS in tenths of Hz
}

// A length-prefixed text of 8 bytes: count 0..7, printable characters, FF.
void expectText(const Memory& m, std::size_t a, const std::string& expected = {}) {
    const unsigned n = m[a];
    ASSERT_LE(n, 7u) << std::hex << a;
    std::string text;
    for (unsigned i = 0; i < 7; ++i) {
        if (i < n) {
            EXPECT_GE(m[a + 1 + i], 0x20);
            EXPECT_LE(m[a + 1 + i], 0x7E);
            text += static_cast<char>(m[a + 1 + i]);
        } else {
            EXPECT_EQ(m[a + 1 + i], 0xFF);
        }
    }
    if (!expected.empty()) {
        EXPECT_EQ(text, expected);
    }
}

}   // namespace

TEST(FreshCodeplug, ChannelRecordsAreEmptyOrPlausible) {
    const Memory m = freshCodeplug();
    int programmed[2] = {0, 0};
    for (int band = 0; band < 2; ++band) {
        for (int ch = 0; ch < 128; ++ch) {
            const std::size_t a = (band == 0 ? 0x0400 : 0x1000) + ch * 0x18;
            SCOPED_TRACE("band " + std::to_string(band) + " channel " + std::to_string(ch + 1));
            if (be32(m, a) == 0xFFFFFFFF) {
                // Unprogrammed, in the form a write of an empty row leaves.
                for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(m[a + i], 0xFF);
                EXPECT_EQ(m[a + 16], 0x00);
                continue;
            }
            ++programmed[band];
            for (std::size_t f : {a, a + 7}) {
                EXPECT_TRUE(inBand(be32(m, f))) << be32(m, f);
                EXPECT_EQ(be32(m, f) % 1250, 0u) << be32(m, f);
            }
            EXPECT_TRUE(validTone(be16(m, a + 4)));
            EXPECT_TRUE(validTone(be16(m, a + 11)));
            EXPECT_LE(m[a + 6], 0x01);
            EXPECT_LE(m[a + 13], 0x11);
            EXPECT_LE(m[a + 14], 0x11);
            EXPECT_EQ(m[a + 15] & 0x0F, 0);
            expectText(m, a + 16);
            EXPECT_GT(m[a + 16], 0);
        }
    }
    EXPECT_GE(programmed[0], 2);
    EXPECT_GE(programmed[1], 2);
}

TEST(FreshCodeplug, RecordsHoldTheirValuesAndSparesAreFF) {
    const Memory m = freshCodeplug();
    // Outside the records, and in the spare ranges, everything is FF.
    struct Range {
        std::size_t from, to;
    };   // inclusive
    const Range ff[] = {{0x0000, 0x01FF}, {0x0212, 0x023F}, {0x02B4, 0x02BF}, {0x02C1, 0x02CF},
                        {0x02F1, 0x02FF}, {0x0320, 0x037F}, {0x03A0, 0x03FF}};
    for (const Range& r : ff)
        for (std::size_t a = r.from; a <= r.to; ++a) ASSERT_EQ(m[a], 0xFF) << std::hex << a;

    EXPECT_EQ(m[0x02C0], 0x00);   // state Normal
    expectText(m, 0x02D0, "PELLARO");
    expectText(m, 0x02D8);
    EXPECT_EQ(be32(m, 0x02E0), 13600000u);   // VHF low limit 136 MHz
    EXPECT_EQ(be32(m, 0x02E8), 40000000u);   // UHF low limit 400 MHz
    EXPECT_EQ(m[0x02F0], 0x01);              // limit mode ON
    EXPECT_LE(m[0x0201], 20);                // volume
    const std::uint16_t fm = be16(m, 0x0202);
    EXPECT_TRUE(fm == 0xFFFF || (fm >= 880 && fm <= 1080));
    EXPECT_EQ(be16(m, 0x020C), 0x06D6);   // 1750HZ
    for (std::size_t vfo : {0x0300, 0x0380}) {
        EXPECT_LE(m[vfo], 0x01);
        EXPECT_LE(m[vfo + 1], 0x7F);
        EXPECT_TRUE(inBand(be32(m, vfo + 2)));
        EXPECT_EQ(be16(m, vfo + 23), 0x04E2);   // 12.5K step
    }
    // DTMF groups: count within the group, codes 00..0F, FF after the count.
    for (std::size_t g = 0; g < 10; ++g) {
        const std::size_t a = 0x0240 + g * 8;
        ASSERT_LE(m[a], 7);
        for (std::size_t i = 0; i < 7; ++i)
            EXPECT_TRUE(i < m[a] ? m[a + 1 + i] <= 0x0F : m[a + 1 + i] == 0xFF) << std::hex << a;
    }
    for (std::size_t g = 0; g < 6; ++g) ASSERT_LE(m[0x0290 + g * 6], 5);
}

TEST(MemoryImage, SavesAndLoadsExactlyAndRefusesWrongSizes) {
    const auto dir = std::filesystem::temp_directory_path() / ("pellaro-sim-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "radio.img").string();
    Memory m = freshCodeplug();
    m[0] = 0x00;
    m[kMemorySize - 1] = 0x42;
    std::string error;
    ASSERT_TRUE(saveImage(path, m, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(path), kMemorySize);
    const auto loaded = loadImage(path, error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(*loaded, m);
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator{}), 1);

    for (std::size_t size : {std::size_t{0}, kMemorySize - 1, kMemorySize + 1}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(size, 'x');
        error.clear();
        EXPECT_FALSE(loadImage(path, error)) << size;
        EXPECT_NE(error.find("7168"), std::string::npos) << error;
    }
    EXPECT_FALSE(loadImage((dir / "missing.img").string(), error));
    EXPECT_FALSE(error.empty());
    // Saving into a folder that does not exist fails and says so.
    EXPECT_FALSE(saveImage((dir / "no" / "such.img").string(), m, error));
    std::filesystem::remove_all(dir);
}
