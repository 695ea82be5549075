// SPDX-License-Identifier: GPL-3.0-or-later
// Several simulated radios on one cable, on a test's clock: when a written
// radio leaves, what keeps it on, the silence while radios are changed, each
// radio's own memory and fault, and the saves after each exchange.
#include "tools/radio_sim/radio_sim.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellaro::sim;
using namespace std::chrono_literals;

namespace {

using Clock = RadioRack::Clock;

Bytes frame(std::string_view word, std::uint16_t address, std::uint16_t length, const Bytes& data = {}) {
    Bytes b(word.begin(), word.end());
    for (std::uint16_t v : {address, length}) {
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v));
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
Bytes word(std::string_view w) { return Bytes(w.begin(), w.end()); }

struct Bench {
    Clock::time_point now = Clock::time_point{} + 1h;
    RadioRack rack;
    explicit Bench(RackOptions options, Fault fault = {}) : rack(freshCodeplug(), fault, options, now) {}

    Bytes send(const Bytes& bytes) {
        const ProtocolOutput out = rack.feed(bytes.data(), bytes.size(), now);
        return out.answer;
    }
    // One exchange: handshake, the requests, EXIT; the answers joined.
    Bytes exchange(const std::vector<Bytes>& requests) {
        Bytes all = send(word("CLNK_OPN"));
        for (const Bytes& r : requests) {
            const Bytes a = send(r);
            all.insert(all.end(), a.begin(), a.end());
        }
        send(word("EXIT"));
        return all;
    }
    Bytes probe() { return exchange({frame("READ", 0x02C0, 1)}); }
    void write(std::uint8_t value) { exchange({frame("WRIE", 0x0400, 2, Bytes{value, value})}); }
    void pass(Clock::duration d) {
        now += d;
        rack.tick(now);
    }
};

RackOptions three() {
    RackOptions o;
    o.radios = 3;
    o.swap = 2s;
    o.linger = 1s;
    return o;
}

TEST(RadioRack, AWrittenRadioLeavesAfterItsLingerAndTheNextComesAfterTheSwap) {
    Bench b(three());
    EXPECT_EQ(b.rack.onCable(), 1);
    b.pass(5s);
    EXPECT_EQ(b.rack.onCable(), 1) << "a radio that was not written stays";
    b.write(0x11);
    // Probes do not keep it on; a block read does.
    for (int i = 0; i < 3; ++i) {
        b.pass(300ms);
        EXPECT_FALSE(b.probe().empty());
    }
    b.pass(100ms);
    EXPECT_EQ(b.rack.onCable(), 0);
    EXPECT_TRUE(b.probe().empty()) << "silence while the radio is changed";
    b.pass(1900ms);
    EXPECT_EQ(b.rack.onCable(), 0);
    b.pass(200ms);
    ASSERT_EQ(b.rack.onCable(), 2);
    EXPECT_EQ(b.exchange({frame("READ", 0x0400, 2)}), (Bytes{freshCodeplug()[0x400], freshCodeplug()[0x401]}))
        << "radio 2 has its own fresh memory";
    b.write(0x22);
    b.pass(900ms);
    b.exchange({frame("READ", 0x0400, 2)});   // a read back keeps it on
    b.pass(900ms);
    EXPECT_EQ(b.rack.onCable(), 2);
    b.pass(200ms);
    EXPECT_EQ(b.rack.onCable(), 0);
    b.pass(2s);
    b.write(0x33);
    b.pass(1s);
    b.pass(1h);
    EXPECT_EQ(b.rack.onCable(), 0) << "after the last radio, silence";
    EXPECT_EQ(b.rack.radio(1).memory()[0x400], 0x11);
    EXPECT_EQ(b.rack.radio(2).memory()[0x400], 0x22);
    EXPECT_EQ(b.rack.radio(3).memory()[0x400], 0x33);
}

TEST(RadioRack, OneRadioWithoutRadiosNeverLeaves) {
    Bench b(RackOptions{});
    b.write(0x11);
    b.pass(1h);
    EXPECT_EQ(b.rack.onCable(), 1);
    EXPECT_FALSE(b.rack.nextChange());
}

TEST(RadioRack, TheFaultHitsOnlyTheRadioNamed) {
    RackOptions o = three();
    o.faultRadio = 2;
    Fault nak;
    nak.kind = FaultKind::Nak;
    nak.atRequest = 0;
    nak.repeat = true;
    Bench b(o, nak);
    for (int radio = 1; radio <= 3; ++radio) {
        SCOPED_TRACE(radio);
        ASSERT_EQ(b.rack.onCable(), radio);
        const Bytes answer = b.exchange({frame("WRIE", 0x0400, 1, Bytes{0x44})});
        EXPECT_EQ(answer, Bytes{radio == 2 ? kNak : kAck});
        if (radio == 2) b.exchange({frame("READ", 0x0400, 16)});   // ends the exchange that wrote
        b.pass(1s);
        b.pass(2s);
    }
}

TEST(RadioRack, EachRadiosMemoryIsHandedOverForSavingAfterAnExchangeThatChangedIt) {
    RackOptions o = three();
    o.saveDir = "/nowhere";
    Bench b(o);
    b.probe();
    auto saves = b.rack.takeSaves();
    ASSERT_EQ(saves.size(), 1u) << "the first exchange saves the memory as it is";
    b.probe();
    EXPECT_TRUE(b.rack.takeSaves().empty()) << "nothing changed";
    b.write(0x55);
    saves = b.rack.takeSaves();
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].first, 1);
    EXPECT_EQ(saves[0].second[0x400], 0x55);
    b.pass(1s);
    b.pass(2s);
    b.probe();
    saves = b.rack.takeSaves();
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].first, 2);
}

}   // namespace
