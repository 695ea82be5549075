// SPDX-License-Identifier: GPL-3.0-or-later
// The clone transfers over the in-memory fake radio: frames on the wire,
// acceptance of each answer, progress, the closing word and the document.
#include <gtest/gtest.h>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "fake_link.h"

namespace pellaro {
namespace {

using testing::ascii;
using testing::Bytes;
using testing::FakeLink;
using testing::toHex;

Bytes bytesOfHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// A radio memory with a recognisable byte at every address.
void fillPattern(FakeLink& link) {
    for (std::size_t a = 0; a < link.memory.size(); ++a) link.memory[a] = static_cast<std::uint8_t>((a * 7 + 3) & 0xFF);
}

std::string memoryHex(const FakeLink& link, int address, int length) {
    return toHex(Bytes(link.memory.begin() + address, link.memory.begin() + address + length));
}

// Answers request `index` with `answer` (empty: no answer at all).
auto answerAt(int index, Bytes answer) {
    return [index, answer](int i, const Bytes&) -> std::optional<Bytes> {
        if (i == index) return answer;
        return std::nullopt;
    };
}

// Every exchange opens with the handshake and ends with the closing word.
void expectOpenedAndClosed(const FakeLink& link) {
    ASSERT_GE(link.frames.size(), 2u);
    EXPECT_EQ(link.frames.front(), ascii("CLNK_OPN"));
    EXPECT_EQ(link.frames.back(), ascii("EXIT"));
}

struct Recorder {
    std::vector<int> steps;
    ProgressFn fn() {
        return [this](int n) { steps.push_back(n); };
    }
};

TEST(FullRead, EveryBlockAnsweredFillsTheDocumentAndReportsSuccess) {
    FakeLink link;
    fillPattern(link);
    CloneEngine engine(link);
    Document doc;
    Recorder progress;

    const TransferResult result = engine.fullRead(doc, progress.fn());

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "Read success!");
    EXPECT_EQ(result.blocksDone, 136);
    ASSERT_EQ(progress.steps.size(), 136u);
    for (int i = 0; i < 136; ++i) EXPECT_EQ(progress.steps[i], i + 1);

    expectOpenedAndClosed(link);
    ASSERT_EQ(link.frames.size(), 138u);
    EXPECT_EQ(link.frames[1], (Bytes{0x52, 0x45, 0x41, 0x44, 0x04, 0x00, 0x00, 0x30}));
    EXPECT_EQ(link.frames[128], (Bytes{0x52, 0x45, 0x41, 0x44, 0x1B, 0xD0, 0x00, 0x30}));
    EXPECT_EQ(toHex(link.frames[133]), "5245414402700010");
    EXPECT_EQ(toHex(link.frames[136]), "5245414402D00021");

    // Each reply reached the mirrors of its own block.
    EXPECT_EQ(doc.k[1], memoryHex(link, 0x0300, 16));
    EXPECT_EQ(doc.k[4], memoryHex(link, 0x0390, 16));
    EXPECT_EQ(doc.k[5], memoryHex(link, 0x0200, 18));
    EXPECT_EQ(doc.k[9], memoryHex(link, 0x0270, 16));
    EXPECT_EQ(doc.k[12], memoryHex(link, 0x0280, 16));
    EXPECT_EQ(doc.k[15], memoryHex(link, 0x02A8, 12));
    EXPECT_EQ(doc.k[10], memoryHex(link, 0x02D0, 16));
    EXPECT_EQ(doc.k[11], memoryHex(link, 0x02E0, 17));

    // And the whole document is what dispatching the radio's memory gives.
    Document expected;
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        dispatchReply(expected, n, memoryHex(link, info.address, info.length));
    }
    EXPECT_TRUE(doc == expected);
}

TEST(FullRead, AFailingBlockStopsTheRunAndKeepsLaterBlocks) {
    struct Case {
        const char* name;
        int block;
        std::optional<Bytes> answer;   // nullopt: the radio's own answer
        bool ok;
        int progress;
    };
    const Bytes b48(48, 0x11);
    const std::vector<Case> cases = {
        {"no answer at block 0", 0, Bytes{}, false, 0},
        {"one byte short at block 5", 5, Bytes(47, 0x22), false, 5},
        {"one byte long at block 131", 131, Bytes(49, 0x22), false, 131},
        {"48 bytes at block 132 are accepted", 132, b48, true, 136},
        {"48 bytes at block 133 are accepted", 133, b48, true, 136},
        {"48 bytes at block 135 are accepted", 135, b48, true, 136},
        {"two bytes at block 134", 134, Bytes{0x01, 0x01}, false, 134},
        {"15 bytes at block 132", 132, Bytes(15, 0x00), false, 132},
        {"no answer at the last block", 135, Bytes{}, false, 135},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        fillPattern(link);
        if (c.answer) link.shapeAnswer = answerAt(c.block, *c.answer);
        CloneEngine engine(link);
        Document doc;
        Recorder progress;
        const TransferResult result = engine.fullRead(doc, progress.fn());
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.message, c.ok ? "Read success!" : "Read Error!");
        EXPECT_EQ(result.blocksDone, c.progress);
        EXPECT_EQ(progress.steps.size(), static_cast<std::size_t>(c.progress));
        expectOpenedAndClosed(link);
        // No request after the failing block.
        EXPECT_EQ(link.frames.size(), static_cast<std::size_t>(c.ok ? 138 : c.block + 3));
    }
}

TEST(FullRead, NoAnswerChangesNothingAndGivesUpAfterFiftyOnePolls) {
    FakeLink link;
    link.shapeAnswer = [](int, const Bytes&) { return Bytes{}; };
    CloneEngine engine(link);
    Document doc;
    const TransferResult result = engine.fullRead(doc);
    EXPECT_EQ(result.message, "Read Error!");
    EXPECT_TRUE(doc == Document());
    EXPECT_EQ(link.nowMs(), 500 + 51 * 20);
    expectOpenedAndClosed(link);
}

TEST(FullRead, StateByteSelectsTheStateOrLeavesIt) {
    const std::vector<std::pair<std::uint8_t, int>> cases = {{0x01, 1}, {0x02, 2}, {0x00, 0}, {0x05, 2}};
    for (const auto& [byte, state] : cases) {
        FakeLink link;
        link.memory.fill(0xFF);
        link.memory[0x02C0] = byte;
        CloneEngine engine(link);
        Document doc;
        doc.sypz9 = 2;
        EXPECT_EQ(engine.fullRead(doc).message, "Read success!");
        EXPECT_EQ(doc.sypz9, state) << int(byte);
    }
}

TEST(FullWrite, EveryBlockAcknowledgedSendsTheWholeImage) {
    FakeLink link;
    link.memory.fill(0x00);
    CloneEngine engine(link);
    Document doc;
    Recorder progress;

    const TransferResult result = engine.fullWrite(doc, progress.fn());

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "Write success!");
    EXPECT_EQ(result.blocksDone, 136);
    EXPECT_EQ(progress.steps.size(), 136u);
    EXPECT_EQ(progress.steps.back(), 136);
    expectOpenedAndClosed(link);
    ASSERT_EQ(link.frames.size(), 138u);

    // Frame n + 1 is block n: 8 bytes of head and exactly its length of data.
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        const Bytes& frame = link.frames[n + 1];
        ASSERT_EQ(frame.size(), 8u + info.length) << n;
        EXPECT_EQ(toHex(frame), writeRequest(doc, n)) << n;
    }
    EXPECT_EQ(link.frames[131].size(), 8u + 48);   // block 130: k5 and 30 bytes FF
    EXPECT_EQ(link.frames[133].size(), 8u + 16);   // block 132
    EXPECT_EQ(link.frames[136].size(), 8u + 33);   // block 135: k10 then k11
    EXPECT_EQ(memoryHex(link, 0x0200, 18), doc.k[5]);
    EXPECT_EQ(memoryHex(link, 0x0212, 30), std::string(60, 'F'));
    EXPECT_EQ(memoryHex(link, 0x02D0, 33), doc.k[10] + doc.k[11]);
}

TEST(FullWrite, StateBlockCarriesTheSelectedState) {
    for (int state : {0, 1, 2}) {
        FakeLink link;
        CloneEngine engine(link);
        Document doc;
        doc.sypz9 = state;
        ASSERT_TRUE(engine.fullWrite(doc).ok);
        EXPECT_EQ(link.frames[135],
                  (Bytes{0x57, 0x52, 0x49, 0x45, 0x02, 0xC0, 0x00, 0x01, static_cast<std::uint8_t>(state)}));
    }
}

TEST(FullWrite, OnlyASingleAcknowledgementPassesABlock) {
    struct Case {
        const char* name;
        int block;
        Bytes answer;
        int progress;
    };
    const std::vector<Case> cases = {
        {"no answer at block 0", 0, {}, 0},
        {"double acknowledgement at block 7", 7, {0x06, 0x06}, 7},
        {"negative answer at block 64", 64, {0x15}, 64},
        {"acknowledgement and a stray byte at block 135", 135, {0x06, 0x00}, 135},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        link.shapeAnswer = answerAt(c.block, c.answer);
        CloneEngine engine(link);
        Document doc;
        Recorder progress;
        const TransferResult result = engine.fullWrite(doc, progress.fn());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "Write error!");
        EXPECT_EQ(result.blocksDone, c.progress);
        EXPECT_EQ(progress.steps.size(), static_cast<std::size_t>(c.progress));
        expectOpenedAndClosed(link);
        EXPECT_EQ(link.frames.size(), static_cast<std::size_t>(c.block + 3));
    }
}

TEST(FullWrite, HandshakeAnswerMattersOnlyWhenItComesLate) {
    // Bytes before the clear after the handshake are forgotten; a byte after
    // it is still in the buffer when block 0 is acknowledged, so block 0 fails.
    struct Case {
        int echoAfterMs;
        bool ok;
    };
    for (const Case& c : {Case{100, true}, Case{510, false}}) {
        SCOPED_TRACE(c.echoAfterMs);
        FakeLink link;
        link.handshakeEchoAfterMs = c.echoAfterMs;
        CloneEngine engine(link);
        const TransferResult result = engine.fullWrite(Document());
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.blocksDone, c.ok ? 136 : 0);
        expectOpenedAndClosed(link);
    }
}

TEST(FullWrite, MalformedMirrorEndsTheRunWithoutSendingIt) {
    struct Case {
        const char* name;
        int mirror;
        std::string text;
        int failingBlock;
    };
    const std::vector<Case> cases = {
        {"not hex", 5, std::string(34, '0') + "G0", 130},
        {"too short", 9, std::string(30, 'F'), 132},
        {"too long", 15, std::string(26, 'F'), 133},
        {"blank inside", 11, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF 1", 135},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        CloneEngine engine(link);
        Document doc;
        doc.k[c.mirror] = c.text;
        const TransferResult result = engine.fullWrite(doc);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "Write error!");
        EXPECT_EQ(result.blocksDone, c.failingBlock);
        expectOpenedAndClosed(link);
        // Handshake, the good blocks, then straight to the closing word.
        EXPECT_EQ(link.frames.size(), static_cast<std::size_t>(c.failingBlock + 2));
    }
}

TEST(Transfers, ClosedPortTimesOutLikeASilentRadio) {
    FakeLink link;
    link.open = false;
    CloneEngine engine(link);
    Document doc;
    EXPECT_EQ(engine.fullRead(doc).message, "Read Error!");
    EXPECT_EQ(engine.fullWrite(doc).message, "Write error!");
    EXPECT_TRUE(link.frames.empty());
}

TEST(Transfers, SecondTransferDuringARunIsRefusedAndSendsNothing) {
    FakeLink link;
    CloneEngine engine(link);
    Document doc;
    std::vector<TransferResult> refused;
    std::size_t framesBefore = 0;
    std::size_t framesAfter = 0;
    link.duringDelay = [&] {
        if (!refused.empty()) return;
        EXPECT_TRUE(engine.busy());
        framesBefore = link.frames.size();
        refused.push_back(engine.fullWrite(doc));
        refused.push_back(engine.fullRead(doc));
        refused.push_back(engine.readMessages(doc));
        refused.push_back(engine.writeMessages(doc));
        refused.push_back(engine.readLimits(doc));
        refused.push_back(engine.writeLimits(doc));
        framesAfter = link.frames.size();
    };
    EXPECT_TRUE(engine.fullRead(doc).ok);
    EXPECT_FALSE(engine.busy());
    ASSERT_EQ(refused.size(), 6u);
    for (const TransferResult& r : refused) {
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.empty());
    }
    EXPECT_EQ(framesBefore, framesAfter);

    // Free again once the run has ended.
    link.duringDelay = nullptr;
    EXPECT_TRUE(engine.fullWrite(doc).ok);
}

// A stop asked during a run (Ctrl+C on the command line) ends it after the
// block in hand, with the closing word last; one asked before the run sends
// nothing.
TEST(Transfers, AStopRequestEndsTheRunAtABlockWithTheClosingWord) {
    for (const bool write : {false, true}) {
        FakeLink link;
        CloneEngine engine(link);
        std::atomic<bool> stop{false};
        engine.setStopRequest(&stop);
        Document doc;
        const auto progress = [&](int n) { stop = n == 40; };
        const TransferResult r = write ? engine.fullWrite(doc, progress) : engine.fullRead(doc, progress);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.stopped);
        EXPECT_EQ(r.blocksDone, 40);
        EXPECT_EQ(r.message, write ? "Write error!" : "Read Error!");
        EXPECT_EQ(link.frames.size(), 1u + 40u + 1u);   // handshake, 40 blocks, EXIT
        EXPECT_EQ(link.lastFrame(), ascii("EXIT"));

        link.frames.clear();
        const TransferResult early = write ? engine.fullWrite(doc) : engine.fullRead(doc);
        EXPECT_TRUE(early.stopped);
        EXPECT_TRUE(link.frames.empty());
    }
}

// ---- partial transfers of the limit page ------------------------------------

TEST(PartialRead, MessagesAnswerOf32CharactersFillsEditorsAndMirror) {
    FakeLink link;
    const std::string record =
        "0548454C4C4FFFFF"
        "0248490000000000";   // "HELLO", "HI"
    const Bytes bytes = bytesOfHex(record);
    std::copy(bytes.begin(), bytes.end(), link.memory.begin() + 0x02D0);
    CloneEngine engine(link);
    Document doc;
    const TransferResult result = engine.readMessages(doc);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "Read Success!");
    EXPECT_EQ(doc.kaiji1, "HELLO");
    EXPECT_EQ(doc.kaiji2, "HI");
    EXPECT_EQ(doc.k[10], record);
    ASSERT_EQ(link.frames.size(), 3u);
    EXPECT_EQ(toHex(link.frames[1]), "5245414402D00010");
    expectOpenedAndClosed(link);
}

TEST(PartialRead, LimitsAnswerOf34CharactersFillsEditorsAndMirror) {
    FakeLink link;
    const std::string record =
        "FFFFFFFF"
        "010C8E00"
        "02625A00"
        "02EBAE40"
        "00";
    const Bytes bytes = bytesOfHex(record);
    std::copy(bytes.begin(), bytes.end(), link.memory.begin() + 0x02E0);
    CloneEngine engine(link);
    Document doc;
    doc.xp[1] = "140";
    const TransferResult result = engine.readLimits(doc);
    EXPECT_EQ(result.message, "Read Success!");
    EXPECT_EQ(doc.xp[1], "");
    EXPECT_EQ(doc.xp[2], "176");
    EXPECT_EQ(doc.xp[3], "400");
    EXPECT_EQ(doc.xp[4], "490");
    EXPECT_EQ(doc.xp5, 0);
    EXPECT_EQ(doc.k[11], record);
    EXPECT_EQ(toHex(link.frames[1]), "5245414402E00011");
    expectOpenedAndClosed(link);
}

TEST(PartialRead, WrongAnswerLeavesEditorsAndMirrorsAsTheyWere) {
    struct Case {
        const char* name;
        bool limits;
        Bytes answer;
    };
    const std::vector<Case> cases = {
        {"messages: no answer", false, {}},
        {"messages: one byte short", false, Bytes(15, 0x00)},
        {"messages: one byte long", false, Bytes(17, 0x00)},
        {"limits: no answer", true, {}},
        {"limits: one byte short", true, Bytes(16, 0x00)},
        {"limits: negative answer", true, {0x15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        link.shapeAnswer = answerAt(0, c.answer);
        CloneEngine engine(link);
        Document doc;
        doc.kaiji1 = "OLD";
        doc.k[10] = "034F4C44FFFFFFFF00FFFFFFFFFFFFFF";
        doc.xp[1] = "136";
        doc.k[11] = "00CF8500FFFFFFFFFFFFFFFFFFFFFFFF01";
        const Document before = doc;
        const TransferResult result = c.limits ? engine.readLimits(doc) : engine.readMessages(doc);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "Read Error!");
        EXPECT_TRUE(doc == before);
        expectOpenedAndClosed(link);
    }
}

TEST(PartialWrite, SendsTheMirrorAndJudgesTheExactAcknowledgement) {
    struct Case {
        const char* name;
        bool limits;
        std::optional<Bytes> answer;   // nullopt: the radio's own 0x06
        bool ok;
    };
    const std::vector<Case> cases = {
        {"messages acknowledged", false, std::nullopt, true},
        {"limits acknowledged", true, std::nullopt, true},
        {"messages: double acknowledgement", false, Bytes{0x06, 0x06}, false},
        {"limits: no answer", true, Bytes{}, false},
        {"limits: negative answer", true, Bytes{0x15}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink link;
        if (c.answer) link.shapeAnswer = answerAt(0, *c.answer);
        CloneEngine engine(link);
        Document doc;
        doc.k[10] = "0548454C4C4FFFFF00FFFFFFFFFFFFFF";
        const TransferResult result = c.limits ? engine.writeLimits(doc) : engine.writeMessages(doc);
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.message, c.ok ? "Write Success!" : "Write Error!");
        ASSERT_EQ(link.frames.size(), 3u);
        EXPECT_EQ(toHex(link.frames[1]), c.limits ? "5752494502E00011" + doc.k[11] : "5752494502D00010" + doc.k[10]);
        expectOpenedAndClosed(link);
    }
}

TEST(PartialWrite, MalformedMirrorIsNeverSent) {
    for (const bool limits : {false, true}) {
        FakeLink link;
        CloneEngine engine(link);
        Document doc;
        doc.k[limits ? 11 : 10] = limits ? std::string(32, 'F') : "XYFFFFFFFFFFFFFF00FFFFFFFFFFFFFF";
        const TransferResult result = limits ? engine.writeLimits(doc) : engine.writeMessages(doc);
        EXPECT_EQ(result.message, "Write Error!");
        ASSERT_EQ(link.frames.size(), 2u);
        expectOpenedAndClosed(link);
    }
}

}   // namespace
}   // namespace pellaro
