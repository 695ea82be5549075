// SPDX-License-Identifier: GPL-3.0-or-later
// Several radios programmed in a row over the in-memory fake, with virtual
// time: radios that come and go on the cable, faults aimed at one of them,
// resumed runs, detection and a stop in the middle of a write.
#include <gtest/gtest.h>

#include <map>

#include "clone/fleet.h"
#include "codeplug/memory_map.h"
#include "codeplug/value_names.h"
#include "fake_link.h"
#include "tools/radio_sim/radio_sim.h"

namespace pellaro {
namespace {

using testing::Bytes;
using testing::FakeLink;

const ValueName& nativeId() {
    static const ValueName name = *findValueName("DTMF Groups/Native ID Code");
    return name;
}

Document decoded(const std::array<std::uint8_t, 0x1C00>& m) {
    Document doc;
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo b = blockInfo(n);
        dispatchReply(doc, n, testing::toHex(Bytes(m.begin() + b.address, m.begin() + b.address + b.length)));
    }
    return doc;
}

// Radios that take turns on the fake's line. With `autoSwap`, the radio on
// the cable leaves `lingerMs` after its last block once it has been written
// (a probe's one-byte read does not count), the line is silent for `swapMs`,
// then the next one answers; otherwise the host's prompt puts the next one on.
struct Rack {
    FakeLink link;
    std::vector<std::array<std::uint8_t, 0x1C00>> memories;
    std::vector<int> writesBegun;   // full writes started, per radio
    int current = 0;
    bool present = true;
    bool autoSwap = false;
    long long lingerMs = 1000, swapMs = 2000;
    bool written = false;
    long long lastBlockUs = 0, backAtUs = -1;
    // Shapes answers of one radio (index, request index, frame).
    std::function<std::optional<Bytes>(int, int, const Bytes&)> fault;

    explicit Rack(int radios)
        : memories(static_cast<std::size_t>(radios), sim::freshCodeplug()),
          writesBegun(static_cast<std::size_t>(radios), 0) {
        link.memory = memories[0];
        link.shapeAnswer = [this](int index, const Bytes& frame) -> std::optional<Bytes> {
            if (!present) {
                link.memory = memories[static_cast<std::size_t>(current)];   // nothing reached a radio
                return Bytes{};
            }
            const bool write = frame[0] == 'W';
            if (write && index == 0) ++writesBegun[static_cast<std::size_t>(current)];
            if (write) written = true;
            if (write || frame[7] > 1) lastBlockUs = link.nowUs;
            if (fault) return fault(current, index, frame);
            return std::nullopt;
        };
        link.duringDelay = [this] { tick(); };
    }
    void putOn(int radio) {
        memories[static_cast<std::size_t>(current)] = link.memory;
        current = radio;
        link.memory = memories[static_cast<std::size_t>(radio)];
        present = true;
        written = false;
    }
    void tick() {
        if (!autoSwap) return;
        if (present && written && link.nowUs - lastBlockUs >= lingerMs * 1000) {
            memories[static_cast<std::size_t>(current)] = link.memory;
            present = false;
            backAtUs = current + 1 < static_cast<int>(memories.size()) ? link.nowUs + swapMs * 1000 : -1;
        } else if (!present && backAtUs >= 0 && link.nowUs >= backAtUs) {
            putOn(current + 1);
        }
    }
    std::string idOf(int radio) {
        memories[static_cast<std::size_t>(current)] = link.memory;
        return valueText(decoded(memories[static_cast<std::size_t>(radio)]), nativeId());
    }
};

struct Outcome {
    std::string label;
    FleetResult result;
};

class RecordingHost : public FleetHost {
public:
    explicit RecordingHost(Rack& rack) : rack_(rack) {}
    bool awaitRadio(const FleetJob& job, const std::string& prompt) override {
        prompts.push_back(prompt);
        rack_.putOn(std::stoi(job.label) - 1);
        return true;
    }
    bool saveBackup(const FleetJob& job, const Document&, std::string& savedAs, std::string&) override {
        savedAs = job.label + ".bc";
        backups.push_back(job.label);
        return true;
    }
    std::string timestamp() override { return std::to_string(rack_.link.nowMs()); }
    bool finished(const FleetJob& job, const FleetResult& result, const std::string&, const std::string&) override {
        outcomes.push_back({job.label, result});
        return true;
    }
    std::vector<std::string> prompts, backups;
    std::vector<Outcome> outcomes;

private:
    Rack& rack_;
};

// Three jobs writing Native ID Codes 101, 102, 103.
struct Jobs {
    std::vector<Document> docs;
    std::vector<FleetJob> jobs;
    explicit Jobs(int count) : docs(static_cast<std::size_t>(count), decoded(sim::freshCodeplug())) {
        for (int i = 0; i < count; ++i) {
            Document& d = docs[static_cast<std::size_t>(i)];
            EXPECT_TRUE(enterValue(d, nativeId(), std::to_string(101 + i)).taken());
            jobs.push_back({std::to_string(i + 1), "radio " + std::to_string(i + 1) + " of 3", &d, false});
        }
    }
};

TEST(Fleet, EachRadioGetsItsOwnValuesAndFaultsStayWithTheirRadio) {
    struct Case {
        const char* name;
        std::function<std::optional<Bytes>(int, int, const Bytes&)> fault;   // aimed at radio 2 (index 1)
        std::string message2;
        int differences2;
    };
    const Case cases[] = {
        {"no fault", {}, "", 0},
        {"no answer to a write",
         [](int radio, int i, const Bytes& f) -> std::optional<Bytes> {
             if (radio == 1 && f[0] == 'W' && i == 5) return Bytes{};
             return std::nullopt;
         },
         "Write error!", 0},
        {"read back not answered",
         [](int radio, int i, const Bytes& f) -> std::optional<Bytes> {
             // The verify is the third exchange with the radio (backup, write, read back).
             static int reads = 0;
             if (radio == 1 && f[0] == 'R' && i == 7 && ++reads == 2) return Bytes{};
             return std::nullopt;
         },
         "Read Error! Verify failed: the radio could not be read back", 0},
        {"a write acknowledged but not stored",
         [](int radio, int i, const Bytes& f) -> std::optional<Bytes> {
             if (radio == 1 && f[0] == 'W' && i == 133) return Bytes{0x06};
             return std::nullopt;
         },
         "Verify failed: 1 differences", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rack rack(3);
        Jobs jobs(3);
        if (c.fault) {
            // "Not stored": the fake stores every write, so the case puts the old bytes back.
            rack.fault = [&rack, &c](int radio, int i, const Bytes& f) -> std::optional<Bytes> {
                if (radio == 1 && f[0] == 'W' && i == 133 && c.differences2) {
                    const BlockInfo b = blockInfo(133);
                    const auto& old = rack.memories[1];
                    std::copy(old.begin() + b.address, old.begin() + b.address + b.length,
                              rack.link.memory.begin() + b.address);
                }
                return c.fault(radio, i, f);
            };
        }
        StoppableLink link(rack.link);
        CloneEngine engine(link);
        RecordingHost host(rack);
        const FleetSummary summary = runFleet(link, engine, jobs.jobs, {true, true, false}, host);

        ASSERT_EQ(host.outcomes.size(), 3u);
        EXPECT_EQ(host.prompts.front(), "Connect radio 1 of 3, then press Enter");
        EXPECT_EQ(host.backups.size(), 3u);
        for (int r = 0; r < 3; ++r) {
            const bool ok = r != 1 || c.message2.empty();
            EXPECT_EQ(host.outcomes[static_cast<std::size_t>(r)].result.ok, ok) << r;
            if (ok) {
                EXPECT_EQ(rack.idOf(r), std::to_string(101 + r));
            }
        }
        EXPECT_EQ(host.outcomes[1].result.message, c.message2);
        EXPECT_EQ(host.outcomes[1].result.verifyDifferences, c.differences2);
        EXPECT_EQ(summary.ok, c.message2.empty() ? 3 : 2);
    }
}

TEST(Fleet, ResumedRunLeavesTheRadiosLoggedOkAlone) {
    Rack rack(3);
    Jobs jobs(3);
    jobs.jobs[0].skip = jobs.jobs[2].skip = true;
    StoppableLink link(rack.link);
    CloneEngine engine(link);
    RecordingHost host(rack);
    const FleetSummary summary = runFleet(link, engine, jobs.jobs, {false, false, false}, host);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_EQ(host.outcomes[0].label, "2");
    EXPECT_EQ(rack.writesBegun, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(summary.skipped, 2);
}

TEST(Fleet, DetectionProgramsEachRadioOnceAndNeverLeavesOneInCloneMode) {
    // A radio that stays on the cable long after its write (5 s) must still
    // be written only once; one taken off a second after its last block must
    // not be missed.
    for (long long linger : {1000LL, 5000LL}) {
        SCOPED_TRACE(linger);
        Rack rack(3);
        rack.autoSwap = true;
        rack.lingerMs = linger;
        Jobs jobs(3);
        StoppableLink link(rack.link);
        CloneEngine engine(link);
        RecordingHost host(rack);
        const FleetSummary summary = runFleet(link, engine, jobs.jobs, {false, true, true}, host);
        EXPECT_EQ(summary.ok, 3);
        EXPECT_TRUE(host.prompts.empty());
        EXPECT_EQ(rack.writesBegun, (std::vector<int>{1, 1, 1}));
        for (int r = 0; r < 3; ++r) EXPECT_EQ(rack.idOf(r), std::to_string(101 + r));
        int opens = 0, exits = 0;
        for (const Bytes& f : rack.link.frames) {
            opens += f == testing::ascii("CLNK_OPN");
            exits += f == testing::ascii("EXIT");
        }
        EXPECT_EQ(opens, exits);
        EXPECT_EQ(rack.link.lastFrame(), testing::ascii("EXIT"));
    }
}

TEST(Fleet, StopDuringAWriteEndsItWithTheClosingWordAndLogsTheRadio) {
    Rack rack(3);
    Jobs jobs(3);
    StoppableLink link(rack.link);
    int writes = 0;
    rack.fault = [&](int, int, const Bytes& f) -> std::optional<Bytes> {
        if (f[0] == 'W' && ++writes == 150) link.stop();   // block 13 of radio 2
        return std::nullopt;
    };
    CloneEngine engine(link);
    RecordingHost host(rack);
    const long long before = rack.link.nowMs();
    const FleetSummary summary = runFleet(link, engine, jobs.jobs, {false, false, false}, host);
    EXPECT_TRUE(summary.interrupted);
    ASSERT_EQ(host.outcomes.size(), 2u);
    EXPECT_TRUE(host.outcomes[0].result.ok);
    EXPECT_TRUE(host.outcomes[1].result.interrupted);
    EXPECT_EQ(host.outcomes[1].result.message, "Interrupted");
    EXPECT_EQ(summary.notReached, 1);
    EXPECT_EQ(rack.link.lastFrame(), testing::ascii("EXIT"));
    // Radio 1's write (about 7 s of virtual time) and a prompt stop: no
    // minute of waiting once stopped.
    EXPECT_LT(rack.link.nowMs() - before, 30000);
}

}   // namespace
}   // namespace pellaro
