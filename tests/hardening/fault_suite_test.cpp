// SPDX-License-Identifier: GPL-3.0-or-later
// The radio fault suite: every transfer against a misbehaving radio, end to
// end through the serial component and its receive buffer to the simulated
// radio on a pseudo-terminal. Each case checks the message, that "EXIT" still
// reached the radio while the port was open, that the run stopped at the
// failing block, and that the next transfer runs fine. Every wait is bounded.
// Every case runs in the normal mode and in the fast mode ("_fast"), with the
// same expectations; in the fast mode the radio paces its answers like the
// line, so they arrive in pieces and the quiet guard has to tell a whole
// answer from one with more to come.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"
#include "tools/radio_sim/radio_sim.h"

namespace pellaro {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;
using sim::Memory;

// The receive side hands bytes over 100 ms after the last one. The cases
// where timing is not the point shorten that to 10 ms so that a full
// transfer takes a few seconds instead of fifteen.
constexpr std::uint32_t kQuickInterval = 10;
constexpr std::uint32_t kRealInterval = 100;

enum class Transfer { FullRead, FullWrite, ReadMessages, WriteMessages, ReadLimits, WriteLimits };

const char* transferName(Transfer t) {
    switch (t) {
        case Transfer::FullRead:
            return "FullRead";
        case Transfer::FullWrite:
            return "FullWrite";
        case Transfer::ReadMessages:
            return "ReadMessages";
        case Transfer::WriteMessages:
            return "WriteMessages";
        case Transfer::ReadLimits:
            return "ReadLimits";
        case Transfer::WriteLimits:
            return "WriteLimits";
    }
    return "?";
}

bool isRead(Transfer t) { return t == Transfer::FullRead || t == Transfer::ReadMessages || t == Transfer::ReadLimits; }
bool isFull(Transfer t) { return t == Transfer::FullRead || t == Transfer::FullWrite; }

std::string failureMessage(Transfer t) {
    if (t == Transfer::FullRead) return "Read Error!";
    if (t == Transfer::FullWrite) return "Write error!";
    return isRead(t) ? "Read Error!" : "Write Error!";
}
std::string successMessage(Transfer t) {
    if (t == Transfer::FullRead) return "Read success!";
    if (t == Transfer::FullWrite) return "Write success!";
    return isRead(t) ? "Read Success!" : "Write Success!";
}

// "EXIT" frames the radio has taken: every frame that is not a handshake or
// a request.
std::uint64_t exitFrames(const sim::SimulatorCounters& c) {
    const auto& p = c.protocol;
    return p.framesSeen - p.exchanges - p.readRequests - p.writeRequests;
}

// A simulated radio and the port opened on it as the main window's Comm1 is
// configured, held by RAII so that a failed check never leaves a thread.
class Bench {
public:
    Bench(const Memory& memory, sim::Fault fault, bool fast, std::chrono::milliseconds turnaround = 0ms,
          std::uint32_t interval = kQuickInterval)
        : interval_(interval), fast_(fast) {
        sim::SimulatorOptions options;
        options.pacing = fast;
        options.turnaround = turnaround;
        options.fault = fault;
        radio_ = std::make_unique<sim::RadioSimulator>(memory, options);
        open();
    }
    ~Bench() { close(); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Opens the port on the radio's pseudo-terminal, starting the radio
    // again when it vanished or was stopped.
    void open() {
        if (!radio_->running()) {
            if (radio_->start().empty()) throw std::runtime_error("simulated radio: " + radio_->error());
        }
        comm_ = std::make_unique<TComm>();
        setComm1Line(*comm_);
        comm_->setReadIntervalTimeout(interval_);
        comm_->setCommName(radio_->devicePath());
        comm_->OpenPort();
        link_ = std::make_unique<PortLink>(*comm_);
    }
    void close() {
        link_.reset();
        if (comm_) comm_->ClosePort();
        comm_.reset();
    }

    TransferResult run(Transfer t, Document& doc) {
        CloneEngine engine(*link_);
        engine.setFastTransfers(fast_);
        switch (t) {
            case Transfer::FullRead:
                return engine.fullRead(doc);
            case Transfer::FullWrite:
                return engine.fullWrite(doc);
            case Transfer::ReadMessages:
                return engine.readMessages(doc);
            case Transfer::WriteMessages:
                return engine.writeMessages(doc);
            case Transfer::ReadLimits:
                return engine.readLimits(doc);
            case Transfer::WriteLimits:
                return engine.writeLimits(doc);
        }
        return {};
    }

    // Waits (bounded) until the radio has taken `count` "EXIT" frames in all.
    bool exitsReach(std::uint64_t count) {
        const auto until = std::chrono::steady_clock::now() + 3s;
        while (std::chrono::steady_clock::now() < until) {
            if (exitFrames(radio_->counters()) >= count) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    sim::RadioSimulator& radio() { return *radio_; }
    bool portOpen() const { return comm_ && comm_->isOpen(); }

private:
    std::uint32_t interval_;
    bool fast_;
    std::unique_ptr<sim::RadioSimulator> radio_;
    std::unique_ptr<TComm> comm_;
    std::unique_ptr<PortLink> link_;
};

// A radio with recognisable bytes everywhere, so a write's effect shows.
Memory radioMemory() { return sim::freshCodeplug(); }

// A document that differs from the radio in every block a write sends.
Document documentToWrite() {
    Document doc;
    for (int row = 1; row <= kRows; ++row) {
        doc.table(Band::A).at(1, row) = "145.00000";
        doc.table(Band::B).at(1, row) = "435.00000";
    }
    doc.k[10] = "05484F525345FFFF03414243FFFFFFFF";
    doc.k[11] = "00CF850000D6B38002625A0002EBAE4001";
    doc.sypz9 = 1;
    return doc;
}

// What a read that stopped before block `n` leaves in a new document.
Document readUpTo(const Memory& memory, int n) {
    Document doc;
    for (int b = 0; b < n; ++b) {
        const BlockInfo info = blockInfo(b);
        dispatchReply(doc, b, bytesToHexText(memory.data() + info.address, info.length));
    }
    return doc;
}

struct FaultCase {
    Transfer transfer;
    FaultKind kind;
    int atRequest;   // the failing block of a full transfer; 0 for the partial ones
    bool fast = false;
};

std::string modeSuffix(bool fast) { return fast ? "_fast" : ""; }

std::string caseName(const testing::TestParamInfo<FaultCase>& info) {
    std::string kind = sim::faultKindName(info.param.kind);
    std::erase(kind, '-');
    return std::string(transferName(info.param.transfer)) + "_" + kind + "_at" + std::to_string(info.param.atRequest) +
           modeSuffix(info.param.fast);
}

class RadioFault : public testing::TestWithParam<FaultCase> {};

TEST_P(RadioFault, StopsAtTheFailingBlockSaysSoAndTheNextTransferRuns) {
    const FaultCase c = GetParam();
    const Memory memory = radioMemory();
    sim::Fault fault;
    fault.kind = c.kind;
    fault.atRequest = c.atRequest;
    Bench bench(memory, fault, c.fast);

    const Document original = isRead(c.transfer) ? Document() : documentToWrite();
    Document doc = original;
    const auto started = std::chrono::steady_clock::now();
    const TransferResult result = bench.run(c.transfer, doc);
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, failureMessage(c.transfer));
    // A failing block costs at most its poll window (51 polls of 20 ms) on
    // top of the blocks before it; nothing hangs.
    EXPECT_LT(took, isFull(c.transfer) ? 25s : 4s);
    if (isFull(c.transfer)) {
        EXPECT_EQ(result.blocksDone, c.atRequest);
    }

    const sim::SimulatorCounters after = bench.radio().counters();
    const auto requests = after.protocol.readRequests + after.protocol.writeRequests;
    if (c.kind == FaultKind::Vanish) {
        // The radio took the failing request and went away with the line.
        EXPECT_TRUE(bench.radio().vanished());
        EXPECT_EQ(requests, static_cast<std::uint64_t>(c.atRequest + 1));
    } else {
        // "EXIT" reached the radio while the port was still open, and
        // nothing was asked after the failing block.
        EXPECT_TRUE(bench.portOpen());
        EXPECT_TRUE(bench.exitsReach(1)) << "the radio never got EXIT";
        EXPECT_EQ(bench.radio().counters().protocol.readRequests + bench.radio().counters().protocol.writeRequests,
                  static_cast<std::uint64_t>(c.atRequest + 1));
    }

    // A failed read keeps the blocks before the failing one and nothing after.
    if (c.transfer == Transfer::FullRead) {
        EXPECT_TRUE(doc == readUpTo(memory, c.atRequest));
    }
    // A failed partial read leaves the mirrors as they were.
    if (!isFull(c.transfer) && isRead(c.transfer)) {
        EXPECT_EQ(doc.k, original.k);
    }
    // A failed write leaves the radio with the blocks acknowledged before.
    if (c.transfer == Transfer::FullWrite && c.atRequest > 0) {
        const BlockInfo last = blockInfo(c.atRequest - 1);
        EXPECT_EQ(bytesToHexText(bench.radio().memory().data() + last.address, last.length),
                  writeData(original, c.atRequest - 1));
    }

    // The next transfer runs: a fault fires once, so the same radio answers
    // properly now (after a vanish, on a new line, as after replugging).
    if (c.kind == FaultKind::Vanish) {
        bench.close();
        bench.open();
    }
    Document next = isRead(c.transfer) ? Document() : documentToWrite();
    const Transfer again = isFull(c.transfer) ? Transfer::ReadMessages : c.transfer;
    const TransferResult second = bench.run(again, next);
    EXPECT_TRUE(second.ok) << second.message;
    EXPECT_EQ(second.message, successMessage(again));
}

std::vector<FaultCase> faultCases() {
    std::vector<FaultCase> cases;
    const FaultKind faults[] = {FaultKind::OneShort, FaultKind::OneLong, FaultKind::DoubleAck,
                                FaultKind::Nak,      FaultKind::Garbage, FaultKind::Vanish};
    for (Transfer t : {Transfer::FullRead, Transfer::FullWrite}) {
        // No answer at the first, a middle and the last block.
        for (int at : {0, 67, 135}) cases.push_back({t, FaultKind::NoAnswer, at});
        // The other faults at an early channel block and, for the odd
        // lengths, at the blocks whose replies are not 48 bytes.
        for (FaultKind k : faults) cases.push_back({t, k, 2});
    }
    cases.push_back({Transfer::FullRead, FaultKind::OneLong, 132});
    cases.push_back({Transfer::FullRead, FaultKind::OneShort, 135});
    for (Transfer t : {Transfer::ReadMessages, Transfer::WriteLimits})
        for (FaultKind k : {FaultKind::NoAnswer, FaultKind::OneShort, FaultKind::OneLong, FaultKind::DoubleAck,
                            FaultKind::Nak, FaultKind::Garbage, FaultKind::Vanish})
            cases.push_back({t, k, 0});
    for (Transfer t : {Transfer::ReadLimits, Transfer::WriteMessages})
        for (FaultKind k : {FaultKind::NoAnswer, FaultKind::OneLong, FaultKind::DoubleAck}) cases.push_back({t, k, 0});
    // The whole suite once more in the fast mode.
    const std::size_t normal = cases.size();
    for (std::size_t i = 0; i < normal; ++i) {
        FaultCase fast = cases[i];
        fast.fast = true;
        cases.push_back(fast);
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Transfers, RadioFault, testing::ValuesIn(faultCases()), caseName);

// A radio that answers late: just inside the poll window every block still
// passes; just outside it the first block fails. The real 100 ms hand-over
// of the receive side counts here, so it stays as the program uses it.
struct SlowCase {
    Transfer transfer;
    std::chrono::milliseconds turnaround;
    bool passes;
    bool fast = false;
};

class SlowRadio : public testing::TestWithParam<SlowCase> {};

TEST_P(SlowRadio, AnswersInsideThePollWindowPassAndLaterOnesFail) {
    const SlowCase c = GetParam();
    const Memory memory = radioMemory();
    // A full read over 136 late blocks would take minutes: the radio stops
    // answering at block 3, so three slow blocks show the window holds.
    sim::Fault fault;
    if (isFull(c.transfer) && c.passes) {
        fault.kind = FaultKind::NoAnswer;
        fault.atRequest = 3;
    }
    Bench bench(memory, fault, c.fast, c.turnaround, kRealInterval);
    Document doc;
    const TransferResult result = bench.run(c.transfer, doc);
    EXPECT_TRUE(bench.exitsReach(1));
    if (isFull(c.transfer)) {
        EXPECT_EQ(result.blocksDone, c.passes ? 3 : 0);
        EXPECT_EQ(result.message, "Read Error!");
    } else {
        EXPECT_EQ(result.ok, c.passes) << result.message;
        EXPECT_EQ(result.message, c.passes ? successMessage(c.transfer) : failureMessage(c.transfer));
    }
}

// The answers inside the window leave some 200 ms of the poll window unused
// (turnaround, the 100 ms silence that ends a reply and the line time), so a
// loaded machine does not turn them into failures.
// The fast mode keeps the same window, measured on a monotonic clock.
INSTANTIATE_TEST_SUITE_P(
    Timing, SlowRadio,
    testing::Values(SlowCase{Transfer::FullRead, 600ms, true}, SlowCase{Transfer::FullRead, 1300ms, false},
                    SlowCase{Transfer::ReadMessages, 200ms, true}, SlowCase{Transfer::ReadMessages, 700ms, false},
                    SlowCase{Transfer::FullRead, 600ms, true, true}, SlowCase{Transfer::FullRead, 1300ms, false, true},
                    SlowCase{Transfer::ReadMessages, 200ms, true, true},
                    SlowCase{Transfer::ReadMessages, 700ms, false, true}),
    [](const testing::TestParamInfo<SlowCase>& info) {
        return std::string(transferName(info.param.transfer)) + "_" + std::to_string(info.param.turnaround.count()) +
               "ms" + modeSuffix(info.param.fast);
    });

// After a failed full read, a full read and a full write on the same radio
// both run to their end.
class RadioFaultRecovery : public testing::TestWithParam<bool> {};

TEST_P(RadioFaultRecovery, FullTransfersRunAfterAFailedOne) {
    const Memory memory = radioMemory();
    sim::Fault fault;
    fault.kind = FaultKind::Garbage;
    fault.atRequest = 1;
    Bench bench(memory, fault, GetParam());
    Document doc;
    ASSERT_EQ(bench.run(Transfer::FullRead, doc).blocksDone, 1);

    Document read;
    const TransferResult again = bench.run(Transfer::FullRead, read);
    EXPECT_EQ(again.message, "Read success!");
    EXPECT_EQ(again.blocksDone, kBlockCount);
    EXPECT_TRUE(read == readUpTo(memory, kBlockCount));

    Document written = documentToWrite();
    const TransferResult write = bench.run(Transfer::FullWrite, written);
    EXPECT_EQ(write.message, "Write success!");
    EXPECT_EQ(write.blocksDone, kBlockCount);
    EXPECT_TRUE(bench.exitsReach(3));
}

INSTANTIATE_TEST_SUITE_P(Modes, RadioFaultRecovery, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
    return std::string(info.param ? "fast" : "normal");
});

}   // namespace
}   // namespace pellaro

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
