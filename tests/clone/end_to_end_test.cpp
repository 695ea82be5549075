// SPDX-License-Identifier: GPL-3.0-or-later
// Full read and full write against the simulated radio on a pseudo-terminal,
// through the real serial component and its receive buffer (unpaced, so the
// test stays quick), compared byte for byte with the radio's memory.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"
#include "tools/radio_sim/radio_sim.h"

namespace pellaro {
namespace {

using sim::Memory;

std::string memoryHex(const Memory& memory, int address, int length) {
    return bytesToHexText(memory.data() + address, static_cast<std::size_t>(length));
}

// What dispatching the radio's memory block by block gives.
Document documentOf(const Memory& memory) {
    Document doc;
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        dispatchReply(doc, n, memoryHex(memory, info.address, info.length));
    }
    return doc;
}

// A simulated radio and the port opened on it as Comm1 is configured; RAII,
// so a failed expectation never leaves a thread running.
struct Bench {
    std::unique_ptr<sim::RadioSimulator> radio;
    TComm comm;
    std::unique_ptr<PortLink> link;

    explicit Bench(const Memory& memory, sim::Fault fault = {}, bool pacing = false) {
        sim::SimulatorOptions options;
        options.pacing = pacing;
        options.fault = fault;
        radio = std::make_unique<sim::RadioSimulator>(memory, options);
        const std::string path = radio->start();
        if (path.empty()) throw std::runtime_error("simulator: " + radio->error());
        setComm1Line(comm);   // no flow control: 0x11 and 0x13 pass
        comm.setCommName(path);
        comm.OpenPort();
        link = std::make_unique<PortLink>(comm);
    }
    ~Bench() {
        link.reset();
        comm.ClosePort();
        radio->stop();
    }
};

TEST(EndToEnd, FullReadGivesTheRadiosMemory) {
    const Memory memory = sim::freshCodeplug();
    Bench bench(memory);
    CloneEngine engine(*bench.link);
    Document doc;
    int lastProgress = 0;
    const TransferResult result = engine.fullRead(doc, [&](int n) { lastProgress = n; });
    EXPECT_EQ(result.message, "Read success!");
    EXPECT_EQ(lastProgress, 136);
    EXPECT_TRUE(doc == documentOf(memory));
    EXPECT_EQ(doc.k[5], memoryHex(memory, 0x0200, 18));
    EXPECT_EQ(doc.k[12], memoryHex(memory, 0x0280, 16));
    EXPECT_EQ(doc.k[10] + doc.k[11], memoryHex(memory, 0x02D0, 33));
}

TEST(EndToEnd, FullWriteStoresEveryBlockAndSparesAsFF) {
    // Write what a read of one radio gives (see the test above) to a blank one.
    const Memory source = sim::freshCodeplug();
    const Document doc = documentOf(source);
    Memory blank{};
    blank.fill(0x5A);
    Bench bench(blank);
    CloneEngine engine(*bench.link);
    const TransferResult result = engine.fullWrite(doc);
    EXPECT_EQ(result.message, "Write success!");
    EXPECT_EQ(result.blocksDone, 136);

    const Memory written = bench.radio->memory();
    // Every block holds what the document sends for it.
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        EXPECT_EQ(memoryHex(written, info.address, info.length), writeData(doc, n)) << "block " << n;
    }
    // Records are the source's bytes; spares are FF; gaps were never touched.
    struct Range {
        int from, to;   // inclusive
        enum { Same, FF, Untouched } expect;
    };
    const Range ranges[] = {
        {0x0200, 0x0211, Range::Same},      {0x0212, 0x022F, Range::FF},   {0x0230, 0x023F, Range::Untouched},
        {0x0240, 0x02B3, Range::Same},      {0x02B4, 0x02BF, Range::FF},   {0x02C0, 0x02C0, Range::Same},
        {0x02C1, 0x02CF, Range::Untouched}, {0x02D0, 0x02F0, Range::Same}, {0x02F1, 0x02FF, Range::Untouched},
        {0x0300, 0x031F, Range::Same},      {0x0320, 0x032F, Range::FF},   {0x0330, 0x037F, Range::Untouched},
        {0x0380, 0x039F, Range::Same},      {0x03A0, 0x03AF, Range::FF},   {0x03B0, 0x03FF, Range::Untouched},
        {0x0400, 0x1BFF, Range::Same},
    };
    for (const Range& r : ranges) {
        for (int a = r.from; a <= r.to; ++a) {
            const std::uint8_t want = r.expect == Range::Same ? source[a] : r.expect == Range::FF ? 0xFF : 0x5A;
            if (written[a] != want) {
                ADD_FAILURE() << std::hex << "address 0x" << a << ": 0x" << int(written[a]) << ", expected 0x"
                              << int(want);
                break;
            }
        }
    }
}

// Fast transfers against the radio paced like the line, whose answers arrive
// in pieces: the same document and the same memory as the normal mode gives.
TEST(EndToEnd, FastReadAndWriteAgainstThePacedRadio) {
    const Memory memory = sim::freshCodeplug();
    Bench bench(memory, {}, true);
    CloneEngine engine(*bench.link);
    engine.setFastTransfers(true);
    Document doc;
    const TransferResult read = engine.fullRead(doc);
    EXPECT_EQ(read.message, "Read success!");
    EXPECT_EQ(read.blocksDone, 136);
    EXPECT_TRUE(doc == documentOf(memory));
    EXPECT_FALSE(bench.comm.ReceiveAtOnce());   // only during the run

    doc.table(Band::B).at(1, 128) = "438.12500";
    doc.k[10] = "0546415354FFFFFF00FFFFFFFFFFFFFF";
    const TransferResult write = engine.fullWrite(doc);
    EXPECT_EQ(write.message, "Write success!");
    EXPECT_EQ(write.blocksDone, 136);
    const Memory written = bench.radio->memory();
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        EXPECT_EQ(memoryHex(written, info.address, info.length), writeData(doc, n)) << "block " << n;
    }
}

TEST(EndToEnd, SilentRadioFailsTheReadAtThatBlock) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::NoAnswer;
    fault.atRequest = 3;
    const Memory memory = sim::freshCodeplug();
    Bench bench(memory, fault);
    CloneEngine engine(*bench.link);
    Document doc;
    const TransferResult result = engine.fullRead(doc);
    EXPECT_EQ(result.message, "Read Error!");
    EXPECT_EQ(result.blocksDone, 3);
}

}   // namespace
}   // namespace pellaro

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
