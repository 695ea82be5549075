// SPDX-License-Identifier: GPL-3.0-or-later
#include "clone/fleet.h"

#include <algorithm>

#include "clone/compare_radio.h"
#include "codeplug/memory_map.h"
#include "codeplug/report.h"

namespace pellaro {

namespace {

const std::vector<std::uint8_t> kHandshake{'C', 'L', 'N', 'K', '_', 'O', 'P', 'N'};
const std::vector<std::uint8_t> kClosingWord{'E', 'X', 'I', 'T'};
constexpr int kHandshakeDelayMs = 500;
constexpr int kPollMs = 20;
// The state record: one byte, the cheapest read the radio answers.
constexpr int kProbeBlock = kStateBlock;
// Long waits are cut into slices so that a stop is seen soon.
constexpr int kStopSliceMs = 100;

// Waits until `ms` after `since` on the link's clock.
void waitUntil(CloneLink& link, std::int64_t since, int ms) {
    const std::int64_t left = since + ms - link.clockMs();
    if (left > 0) link.portDelay(static_cast<int>(left));
}

}   // namespace

bool probeRadio(CloneLink& link) {
    const BlockInfo state = blockInfo(kProbeBlock);
    const std::vector<std::uint8_t> read{'R',
                                         'E',
                                         'A',
                                         'D',
                                         static_cast<std::uint8_t>(state.address >> 8),
                                         static_cast<std::uint8_t>(state.address & 0xFF),
                                         static_cast<std::uint8_t>(state.length >> 8),
                                         static_cast<std::uint8_t>(state.length & 0xFF)};
    link.clearReceiveBuffer();
    link.sendBytes(kHandshake);
    link.portDelay(kHandshakeDelayMs);
    link.clearReceiveBuffer();
    link.sendBytes(read);
    for (int waited = 0; waited < kProbeAnswerMs && link.receiveBuffer().empty(); waited += kPollMs)
        link.portDelay(kPollMs);
    const bool answered = !link.receiveBuffer().empty();
    link.sendBytes(kClosingWord);   // answered or not: never left in clone mode
    link.clearReceiveBuffer();
    return answered;
}

// ---- StoppableLink ------------------------------------------------------------

bool StoppableLink::sendBytes(const std::vector<std::uint8_t>& bytes) {
    if (stopped() && bytes != kClosingWord) return false;
    return inner_.sendBytes(bytes);
}

void StoppableLink::portDelay(int ms) {
    if (ms <= kStopSliceMs || stopped()) {
        inner_.portDelay(stopped() ? 0 : ms);
        return;
    }
    const std::int64_t end = inner_.clockMs() + ms;
    for (std::int64_t left = ms; left > 0 && !stopped(); left = end - inner_.clockMs())
        inner_.portDelay(static_cast<int>(std::min<std::int64_t>(left, kStopSliceMs)));
}

const std::string& StoppableLink::receiveBuffer() const { return stopped() ? empty_ : inner_.receiveBuffer(); }

std::int64_t StoppableLink::clockMs() {
    // Stopped: every wait measured on this clock is over.
    constexpr std::int64_t kPastAnyWait = 3'600'000;
    return inner_.clockMs() + (stopped() ? kPastAnyWait : 0);
}

void StoppableLink::waitForBytes(int ms) {
    if (stopped()) {
        inner_.portDelay(0);
        return;
    }
    inner_.waitForBytes(std::min(ms, kStopSliceMs));
}

// ---- The run -------------------------------------------------------------------

namespace {

class Run {
public:
    Run(StoppableLink& link, CloneEngine& engine, const FleetOptions& options, FleetHost& host)
        : link_(link), engine_(engine), options_(options), host_(host) {}

    // Waits for the job's radio; false when the run ends here.
    bool awaitRadio(const FleetJob& job) {
        if (!options_.detect) return host_.awaitRadio(job, "Connect " + job.title + ", then press Enter");
        host_.say("Waiting for " + job.title + " on the cable");
        host_.stage(job, FleetStage::Waiting, 0);
        while (!link_.stopped()) {
            const std::int64_t since = link_.clockMs();
            if (probeRadio(link_)) {
                pauseBetweenExchanges(link_);
                return !link_.stopped();
            }
            waitUntil(link_, since, kProbeIntervalMs);
        }
        return false;
    }

    // With detection: waits until the radio just programmed no longer
    // answers, so it cannot be taken for the next one.
    void awaitRemoval(const FleetJob& job) {
        host_.say("Take " + job.title + " off the cable");
        host_.stage(job, FleetStage::Removing, 0);
        while (!link_.stopped()) {
            const std::int64_t since = link_.clockMs();
            if (!probeRadio(link_)) return;
            waitUntil(link_, since, kProbeIntervalMs);
        }
    }

    FleetResult program(const FleetJob& job) {
        FleetResult result;
        auto progress = [&](FleetStage stage) {
            return [this, &job, stage](int blocks) { host_.stage(job, stage, blocks); };
        };
        auto failed = [&](std::string message) {
            result.message = std::move(message);
            return result;
        };
        if (options_.backup) {
            host_.stage(job, FleetStage::Backup, 0);
            Document old;
            const TransferResult read = engine_.fullRead(old, progress(FleetStage::Backup));
            if (!read.ok) return failed(read.message + " The backup read failed; nothing was written to the radio");
            std::string savedAs, error;
            if (!host_.saveBackup(job, old, savedAs, error))
                return failed(error + "; nothing was written to the radio");
            host_.say("Backup saved to " + savedAs);
            pauseBetweenExchanges(link_);
        }
        host_.stage(job, FleetStage::Write, 0);
        const TransferResult written = engine_.fullWrite(*job.doc, progress(FleetStage::Write));
        if (!written.ok) return failed(written.message);
        if (options_.verify) {
            pauseBetweenExchanges(link_);
            host_.stage(job, FleetStage::Verify, 0);
            const RadioComparison back = compareWithRadio(engine_, *job.doc, progress(FleetStage::Verify));
            if (!back.read.ok) return failed(back.read.message + " Verify failed: the radio could not be read back");
            if (!back.differences.empty()) {
                std::vector<std::string> lines;
                for (const Difference& d : back.differences) lines.push_back("  " + d.text);
                for (const std::string& line : shownLines(lines)) host_.say(line);
                result.verifyDifferences = static_cast<int>(back.differences.size());
                return failed("Verify failed: " + std::to_string(back.differences.size()) + " differences");
            }
        }
        result.ok = true;
        return result;
    }

private:
    StoppableLink& link_;
    CloneEngine& engine_;
    const FleetOptions& options_;
    FleetHost& host_;
};

}   // namespace

FleetSummary runFleet(StoppableLink& link, CloneEngine& engine, const std::vector<FleetJob>& jobs,
                      const FleetOptions& options, FleetHost& host) {
    FleetSummary summary;
    Run run(link, engine, options, host);
    std::size_t next = 0;
    for (; next < jobs.size(); ++next) {
        const FleetJob& job = jobs[next];
        if (job.skip) {
            host.say(job.title + ": logged ok before, skipped");
            ++summary.skipped;
            continue;
        }
        if (link.stopped() || !run.awaitRadio(job)) break;
        const std::string start = host.timestamp();
        FleetResult result = run.program(job);
        pauseBetweenExchanges(link);   // the last closing word has left
        if (link.stopped()) {
            result = {false, "Interrupted", result.verifyDifferences, true};
            summary.interrupted = true;
        }
        host.say(job.title + ": " + (result.ok ? "ok" : "failed: " + result.message));
        ++(result.ok ? summary.ok : summary.failed);
        if (!host.finished(job, result, start, host.timestamp())) {
            summary.logFailed = true;
            ++next;
            break;
        }
        if (summary.interrupted) {
            ++next;
            break;
        }
        const bool more = std::any_of(jobs.begin() + static_cast<std::ptrdiff_t>(next) + 1, jobs.end(),
                                      [](const FleetJob& j) { return !j.skip; });
        if (options.detect && more) run.awaitRemoval(job);
    }
    if (link.stopped()) summary.interrupted = true;
    for (; next < jobs.size(); ++next) ++(jobs[next].skip ? summary.skipped : summary.notReached);
    return summary;
}

}   // namespace pellaro
