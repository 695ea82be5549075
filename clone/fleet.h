// SPDX-License-Identifier: GPL-3.0-or-later
// Programming several radios one after another over one link: for each
// radio, wait for it, read a backup (optional), write its codeplug, read it
// back and compare (optional), and hand the outcome on. What the run needs
// from its surroundings (the prompt, the backups, the log, the clock of the
// log) comes through FleetHost, so the command line, the window and the tests
// each give their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clone/engine.h"
#include "codeplug/document.h"

namespace pellaro {

struct FleetJob {
    std::string label;               // for the host: log, backup name, messages
    std::string title;               // "radio 3 of 20 (Native ID Code 103)"
    const Document* doc = nullptr;   // what to write; not changed
    bool skip = false;               // already logged ok
};

struct FleetOptions {
    bool backup = false;   // read each radio first and hand it to the host
    bool verify = false;   // read each radio back and compare
    bool detect = false;   // find the radio by probing instead of asking
};

struct FleetResult {
    bool ok = false;
    std::string message;   // empty when ok: "Write error!", "Verify failed: 3 differences", ...
    int verifyDifferences = 0;
    bool interrupted = false;   // stopped by the user during this radio
};

enum class FleetStage { Waiting, Backup, Write, Verify, Removing };

class FleetHost {
public:
    virtual ~FleetHost() = default;
    // Without detection: asks for the radio ("Connect radio 3 of 20 (...),
    // then press Enter"); false ends the run (no more radios).
    virtual bool awaitRadio(const FleetJob& job, const std::string& prompt) = 0;
    // Keeps the backup read from the radio; false with a reason in `error`
    // (then nothing is written to this radio). `savedAs` names where it went.
    virtual bool saveBackup(const FleetJob& job, const Document& radio, std::string& savedAs, std::string& error) = 0;
    // The run's own clock for the log (ISO 8601).
    virtual std::string timestamp() = 0;
    // One radio is done (ok, failed, interrupted). False when the outcome
    // could not be kept (the log): the run then stops.
    virtual bool finished(const FleetJob& job, const FleetResult& result, const std::string& start,
                          const std::string& end) = 0;
    // A line for the user ("Radio 2 answers", "Backup saved to ...").
    virtual void say(const std::string& line) { (void)line; }
    virtual void stage(const FleetJob& job, FleetStage stage, int blocks) { (void)job, (void)stage, (void)blocks; }
};

// The probe that tells whether a radio is on the cable: the handshake, a
// read of the one-byte state record, and the closing word whether or not it
// answered, so a radio is never left in clone mode. At most one a second.
constexpr int kProbeIntervalMs = 1000;
constexpr int kProbeAnswerMs = 300;
bool probeRadio(CloneLink& link);

// A link that can be stopped from outside (Ctrl+C, a Stop button): once
// stop() is called, requests are no longer sent and waits return at once, so
// the transfer in progress fails its block at once and sends its closing
// word, which still goes out. Thread- and signal-safe to stop.
class StoppableLink : public CloneLink {
public:
    explicit StoppableLink(CloneLink& inner) : inner_(inner) {}
    void stop() { stopped_.store(true); }
    bool stopped() const { return stopped_.load(); }

    bool sendBytes(const std::vector<std::uint8_t>& bytes) override;
    void portDelay(int ms) override;
    const std::string& receiveBuffer() const override;
    void clearReceiveBuffer() override { inner_.clearReceiveBuffer(); }
    std::int64_t clockMs() override;
    void waitForBytes(int ms) override;
    void setReceiveAtOnce(bool atOnce) override { inner_.setReceiveAtOnce(atOnce); }

private:
    CloneLink& inner_;
    std::atomic<bool> stopped_{false};
    std::string empty_;
};

struct FleetSummary {
    int ok = 0, failed = 0, skipped = 0, notReached = 0;
    bool interrupted = false;   // stopped by the user
    bool logFailed = false;     // an outcome could not be kept
};

// Runs the jobs in order over `link` with `engine` (its fast setting is the
// caller's). A failed radio is handed on and the run goes on with the next.
FleetSummary runFleet(StoppableLink& link, CloneEngine& engine, const std::vector<FleetJob>& jobs,
                      const FleetOptions& options, FleetHost& host);

}   // namespace pellaro
