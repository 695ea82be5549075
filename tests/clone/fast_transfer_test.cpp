// SPDX-License-Identifier: GPL-3.0-or-later
// Fast transfers over the in-memory fake radio with virtual time: the same
// frames, document and outcome as the normal mode, every fault included, at
// close to the line's own pace.
#include <gtest/gtest.h>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "fake_link.h"

namespace pellaro {
namespace {

using testing::ascii;
using testing::Bytes;
using testing::FakeLink;

void fillPattern(FakeLink& link) {
    for (std::size_t a = 0; a < link.memory.size(); ++a) link.memory[a] = static_cast<std::uint8_t>((a * 5 + 1) & 0xFF);
}

// The line's own time for a full transfer: the handshake wait, then every
// request and its answer back to back.
long long lineFloorMs(bool write) {
    long long bytes = 0;
    for (int n = 0; n < kBlockCount; ++n) {
        const int length = blockInfo(n).length;
        bytes += write ? 8 + length + 1 : 8 + length;
    }
    return 500 + bytes * FakeLink::kByteUs / 1000;
}

struct Outcome {
    TransferResult result;
    Document doc;
    std::vector<Bytes> frames;
    std::vector<bool> receiveModes;
    long long ms = 0;
    int waits = 0;
};

Outcome runFull(bool write, bool fast, const std::function<void(FakeLink&)>& shape = {}) {
    FakeLink link;
    fillPattern(link);
    if (shape) shape(link);
    CloneEngine engine(link);
    engine.setFastTransfers(fast);
    Outcome run;
    if (write) {
        for (int row = 1; row <= kRows; ++row) run.doc.table(Band::A).at(1, row) = "145.00000";
        run.result = engine.fullWrite(run.doc);
    } else {
        run.result = engine.fullRead(run.doc);
    }
    run.frames = link.frames;
    run.receiveModes = link.receiveModes;
    run.ms = link.nowMs();
    run.waits = link.waits;
    return run;
}

TEST(FastTransfers, OffUntilSwitchedOnAndTakenAtTheStartOfARun) {
    FakeLink link;
    CloneEngine engine(link);
    EXPECT_FALSE(engine.fastTransfers());
    Document doc;
    // Switched on during a run: that run stays normal, the next one is fast.
    link.duringDelay = [&] { engine.setFastTransfers(true); };
    ASSERT_TRUE(engine.fullRead(doc).ok);
    EXPECT_TRUE(link.receiveModes.empty());
    link.duringDelay = nullptr;
    ASSERT_TRUE(engine.fullRead(doc).ok);
    // Bytes as they arrive for the fast run only, the normal hand-over after it.
    EXPECT_EQ(link.receiveModes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(link.receiveAtOnce());
}

TEST(FastTransfers, SameFramesAndResultAtNearlyTheLinesPace) {
    for (const bool write : {false, true}) {
        SCOPED_TRACE(write ? "full write" : "full read");
        const Outcome normal = runFull(write, false);
        const Outcome fast = runFull(write, true);
        ASSERT_TRUE(fast.result.ok) << fast.result.message;
        EXPECT_EQ(fast.result.message, normal.result.message);
        EXPECT_EQ(fast.result.blocksDone, kBlockCount);
        EXPECT_EQ(fast.frames, normal.frames);
        EXPECT_TRUE(fast.doc == normal.doc);

        // The normal mode needs its 100 ms of silence per block; the fast one
        // only the line time and the quiet guard, well within 1.5 x the floor.
        const long long floor = lineFloorMs(write);
        EXPECT_GT(normal.ms, 15000);
        EXPECT_GE(fast.ms, floor);
        EXPECT_LE(fast.ms, floor + kBlockCount * (CloneEngine::kFastQuietMs + 1));
        EXPECT_LE(fast.ms * 2, floor * 3);
        // One wake per received byte and one for the guard: no spinning.
        EXPECT_LE(fast.waits, 1 + kBlockCount * 2 + (write ? kBlockCount : 6450));
    }
}

TEST(FastTransfers, AnAnswerIsTakenOneQuietGuardAfterItsLastByte) {
    FakeLink link;
    fillPattern(link);
    link.turnaroundMs = 3;
    CloneEngine engine(link);
    engine.setFastTransfers(true);
    std::vector<long long> at;   // virtual time of each progress step
    long long sent = 0;
    Document doc;
    ASSERT_TRUE(engine
                    .fullRead(doc,
                              [&](int) {
                                  at.push_back(link.nowUs - sent);
                                  sent = link.nowUs;
                              })
                    .ok);
    ASSERT_EQ(at.size(), static_cast<std::size_t>(kBlockCount));
    // Block 1 onwards (block 0 also carries the handshake's 500 ms): request,
    // turnaround, answer, guard, and not a microsecond of poll.
    for (int n = 1; n < kBlockCount; ++n) {
        const long long expected =
            (8 + blockInfo(n).length) * FakeLink::kByteUs + 3000 + 1000 * CloneEngine::kFastQuietMs;
        EXPECT_EQ(at[n], expected) << "block " << n;
    }
}

// A fault aimed at one request of the full transfer.
struct Fault {
    const char* name;
    bool write;
    int block;
    std::optional<Bytes> answer;   // nullopt: the radio's own answer
    int extraTurnaroundMs = 0;
    std::optional<FakeLink::Pause> pause = std::nullopt;
};

TEST(FastTransfers, EveryFaultEndsAsInTheNormalMode) {
    const Bytes b48(48, 0x3C);
    const std::vector<Fault> faults = {
        {"read: no answer at block 0", false, 0, Bytes{}},
        {"read: no answer at block 135", false, 135, Bytes{}},
        {"read: one byte short", false, 2, Bytes(47, 0x22)},
        {"read: one byte long", false, 2, Bytes(49, 0x22)},
        {"read: one byte long at block 132", false, 132, Bytes(17, 0x22)},
        {"read: one byte short at block 135", false, 135, Bytes(32, 0x22)},
        {"read: answer then 06", false, 64,
         [] {
             Bytes b(48, 0x01);
             b.push_back(0x06);
             return b;
         }()},
        {"read: negative answer", false, 3, Bytes{0x15}},
        {"read: garbage before the answer", false, 2,
         [] {
             Bytes b{0xAA, 0x55, 0x00};
             b.resize(51, 0x10);
             return b;
         }()},
        {"read: 48 bytes at block 132 are accepted", false, 132, b48},
        {"read: 48 bytes at block 134 are accepted", false, 134, b48},
        {"read: 48 bytes at block 133 are accepted", false, 133, b48},
        // 96 characters are accepted at block 133 as well, but the radio has
        // 16 bytes more to send: the fast mode must not take the first 48.
        {"read: a pause after 48 of the 64 bytes of block 133", false, 133, std::nullopt, 0,
         FakeLink::Pause{133, 48, 20}},
        {"read: a pause inside a channel block", false, 9, std::nullopt, 0, FakeLink::Pause{9, 20, 30}},
        {"read: slow inside the window", false, 5, std::nullopt, 600},
        {"read: slow outside the window", false, 5, std::nullopt, 1100},
        {"write: no answer at block 0", true, 0, Bytes{}},
        {"write: no answer at block 135", true, 135, Bytes{}},
        {"write: double acknowledgement", true, 2, Bytes{0x06, 0x06}},
        {"write: acknowledgement and a stray byte", true, 7, Bytes{0x06, 0x00}},
        {"write: negative answer", true, 64, Bytes{0x15}},
        {"write: garbage before the acknowledgement", true, 2, Bytes{0xAA, 0x55, 0x00, 0x06}},
        {"write: slow inside the window", true, 9, std::nullopt, 600},
        {"write: slow outside the window", true, 9, std::nullopt, 1100},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        auto shape = [&f](FakeLink& link) {
            if (f.answer) {
                link.shapeAnswer = [&f](int i, const Bytes&) -> std::optional<Bytes> {
                    if (i == f.block) return f.answer;
                    return std::nullopt;
                };
            }
            if (f.extraTurnaroundMs)
                link.extraTurnaroundMs = [&f](int i) { return i == f.block ? f.extraTurnaroundMs : 0; };
            link.pause = f.pause;
        };
        const Outcome normal = runFull(f.write, false, shape);
        const Outcome fast = runFull(f.write, true, shape);
        EXPECT_EQ(fast.result.ok, normal.result.ok);
        EXPECT_EQ(fast.result.message, normal.result.message);
        EXPECT_EQ(fast.result.blocksDone, normal.result.blocksDone);
        EXPECT_EQ(fast.frames, normal.frames);   // the same requests, then "EXIT"
        EXPECT_EQ(fast.frames.back(), ascii("EXIT"));
        EXPECT_TRUE(fast.doc == normal.doc);
    }
}

TEST(FastTransfers, PartialTransfersAreNotAffected) {
    for (const bool fast : {false, true}) {
        FakeLink link;
        fillPattern(link);
        CloneEngine engine(link);
        engine.setFastTransfers(fast);
        Document doc;
        EXPECT_EQ(engine.readLimits(doc).message, "Read Success!");
        EXPECT_EQ(engine.writeMessages(doc).message, "Write Success!");
        EXPECT_TRUE(link.receiveModes.empty());
        EXPECT_EQ(link.nowMs(), 2 * (500 + 500));
    }
}

}   // namespace
}   // namespace pellaro
