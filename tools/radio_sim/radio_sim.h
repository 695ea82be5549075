// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio: answers the clone protocol from a 0x1C00-byte memory,
// either in-process (RadioProtocol, pure, no I/O) or on a pseudo-terminal
// (RadioSimulator, a thread of its own). Plain C++ and POSIX, no Qt, so the
// tests, the command-line tools and the main window can all run it.
//
// Frames the radio understands:
//   "CLNK_OPN"                        starts an exchange; no answer
//   "READ" addr(2) len(2)             answered with exactly len memory bytes
//   "WRIE" addr(2) len(2) data(len)   stores the data, answered with 0x06
//   "EXIT"                            ends the exchange; no answer
// Numbers are big-endian. Bytes that form no frame are skipped until the next
// frame word. A request that reaches past 0x1BFF is answered with nothing, and
// so is a request outside an exchange (before "CLNK_OPN" or after "EXIT"): the
// radio is in clone mode only between the two.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace pellaro::sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMemorySize = 0x1C00;
using Memory = std::array<std::uint8_t, kMemorySize>;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;

// How the radio misbehaves at the one request a fault is aimed at.
enum class FaultKind {
    None,
    NoAnswer,    // the request is consumed (a write is not stored) and not answered
    OneShort,    // a read answer lacks its last byte; a write is stored, not answered
    OneLong,     // one extra byte (0x00) after the answer; a write is stored
    DoubleAck,   // a write is stored and answers 0x06 0x06; a read answer is followed by 0x06
    Nak,         // 0x15 instead of the answer or the acknowledgement (a write is not stored)
    Garbage,     // stray bytes AA 55 00 before the answer; a write is stored
    Vanish,      // the radio disappears: the pseudo-terminal is closed (nothing stored)
    // Faults of a radio whose memory does not take what it acknowledged; they
    // aim at writes only (a read at the target is answered as usual and the
    // fault stays armed), and only a later read shows them.
    DropWrite,   // the write is acknowledged with 0x06 but not stored
    AlterByte,   // the write is stored and acknowledged, but byte `offset` of
                 // its data is stored inverted (XOR 0xFF)
};

// Parses "no-answer", "short", "long", "double-ack", "nak", "garbage",
// "vanish", "drop", "alter"; nullopt for anything else.
std::optional<FaultKind> faultKindFromName(const std::string& name);
const char* faultKindName(FaultKind kind);

// One fault, aimed either at request number `atRequest` of the current
// exchange (0-based, counted from the last "CLNK_OPN"; for a full read or
// write request n is block n of the transfer schedule) or at the first
// request for address `atAddress`. Without a target it never fires.
struct Fault {
    FaultKind kind = FaultKind::None;
    std::optional<int> atRequest;
    std::optional<std::uint16_t> atAddress;
    // Fire only once (the default) or at every matching request.
    bool repeat = false;
    // AlterByte: which byte of the write's data (0 = the first, at the
    // request's address). The first byte of every block of a full write lies
    // in a record; a larger offset may reach a spare range. An offset past
    // the data alters nothing.
    std::size_t offset = 0;
    // Only in exchange number `inExchange` (1 for the first "CLNK_OPN" the
    // radio takes, 2 for the next, ...), so that one exchange of several in
    // a row can be aimed at; without it, in any exchange.
    std::optional<int> inExchange = std::nullopt;
};

struct ProtocolCounters {
    std::uint64_t framesSeen = 0;   // CLNK_OPN, READ, WRIE and EXIT frames
    std::uint64_t readRequests = 0;
    std::uint64_t writeRequests = 0;
    std::uint64_t outOfRange = 0;        // requests that reached past the memory
    std::uint64_t outsideExchange = 0;   // requests outside CLNK_OPN .. EXIT
    std::uint64_t bytesIgnored = 0;      // bytes that formed no frame
    std::uint64_t exchanges = 0;         // CLNK_OPN frames
    std::uint64_t closings = 0;          // EXIT frames
    std::uint64_t faultsFired = 0;
    // Reads and writes of a block: every request but a read of a single
    // byte (the one a probe for a radio on the cable sends).
    std::uint64_t blockRequests = 0;
};

// What feed() produced.
struct ProtocolOutput {
    Bytes answer;          // bytes to send back, in order
    bool vanish = false;   // a Vanish fault fired: the link should go away
};

// The radio's side of the clone protocol, without any I/O or timing.
class RadioProtocol {
public:
    RadioProtocol();   // fresh codeplug (freshCodeplug())
    explicit RadioProtocol(const Memory& memory);

    // Consumes incoming bytes and returns what the radio answers. A frame
    // split over several calls is completed by the later ones.
    ProtocolOutput feed(const std::uint8_t* data, std::size_t size);
    ProtocolOutput feed(const Bytes& bytes) { return feed(bytes.data(), bytes.size()); }

    void setFault(const Fault& fault) {
        fault_ = fault;
        faultSpent_ = false;
    }
    const Fault& fault() const { return fault_; }

    const Memory& memory() const { return memory_; }
    void setMemory(const Memory& memory) { memory_ = memory; }
    const ProtocolCounters& counters() const { return counters_; }
    // Requests (READ and WRIE) seen since the last "CLNK_OPN".
    int requestIndex() const { return requestIndex_; }
    bool inExchange() const { return inExchange_; }
    // Bytes held back waiting for the rest of a frame.
    std::size_t pendingBytes() const { return pending_.size(); }

private:
    // Tries to take one frame from the front of pending_; false when more
    // bytes are needed.
    bool takeFrame(ProtocolOutput& out);
    std::optional<FaultKind> faultFor(std::uint16_t address, bool isWrite);

    Memory memory_{};
    Bytes pending_;
    std::size_t pendingStart_ = 0;   // consumed prefix of pending_
    Fault fault_;
    bool faultSpent_ = false;
    int requestIndex_ = 0;
    bool inExchange_ = false;
    ProtocolCounters counters_;
};

// A plausible codeplug as a radio fresh from the dealer holds it: a few
// channels on both bands, both VFOs, the settings record, DTMF groups,
// identity codes, state Normal, power-on message "PELLARO", band limits.
// Everything else is 0xFF.
Memory freshCodeplug();

// Reads a raw memory image of exactly 0x1C00 bytes. On failure returns
// nullopt and puts the reason in `error`.
std::optional<Memory> loadImage(const std::string& path, std::string& error);
// Writes the image atomically (temporary file, then rename). False and a
// reason on failure; the old file is then untouched.
bool saveImage(const std::string& path, const Memory& memory, std::string& error);

// Several radios on one cable, one after another: the first answers; once
// it has been written (an exchange that wrote blocks has ended with EXIT) and
// `linger` has passed without a block being read or written (a probe's
// handshake, one-byte read and EXIT do not count), it is taken off the cable:
// the line stays silent for `swap` (the radio being changed), then the next
// one answers, each with its own memory. After the last one, silence.
struct RackOptions {
    int radios = 0;   // 0: one radio that never leaves the cable
    std::chrono::milliseconds swap{0};
    std::chrono::milliseconds linger{1000};
    // Each radio's memory is saved as DIR/radio-K.img (raw) after each
    // exchange with it that changed it, and after the first one.
    std::string saveDir;
    std::optional<int> faultRadio;   // the fault only at radio K (1..); none: at every radio
};

// The radios of a rack and which one is on the cable, on a given clock (the
// simulator's steady clock, or a test's). Not thread-safe: the simulator
// holds its lock around every call.
class RadioRack {
public:
    using Clock = std::chrono::steady_clock;
    RadioRack(const Memory& memory, const Fault& fault, const RackOptions& options, Clock::time_point now);

    // What the radio on the cable answers; nothing while none is on it.
    ProtocolOutput feed(const std::uint8_t* data, std::size_t size, Clock::time_point now);
    // Takes the radio off or puts the next one on when their time has come.
    void tick(Clock::time_point now);
    // When tick() next has something to do; nullopt: only a request can
    // change anything.
    std::optional<Clock::time_point> nextChange() const;

    // The radio on the cable, 1..; 0 while none is.
    int onCable() const { return present_ ? current_ + 1 : 0; }
    int count() const { return static_cast<int>(radios_.size()); }
    // The radio on the cable, or the last one that was.
    RadioProtocol& active() { return radios_[static_cast<std::size_t>(current_)]; }
    const RadioProtocol& active() const { return radios_[static_cast<std::size_t>(current_)]; }
    const RadioProtocol& radio(int k) const { return radios_[static_cast<std::size_t>(k - 1)]; }
    // Sets the fault at every radio, or at the one the options name.
    void setFault(const Fault& fault);
    // Counters of all radios added up.
    ProtocolCounters total() const;

    // Memories to save (radio number, memory) since the last call.
    std::vector<std::pair<int, Memory>> takeSaves();
    const std::string& saveDir() const { return options_.saveDir; }

private:
    RackOptions options_;
    std::vector<RadioProtocol> radios_;
    std::vector<std::optional<Memory>> saved_;
    std::vector<std::pair<int, Memory>> toSave_;
    int current_ = 0;
    bool present_ = true;
    bool written_ = false;   // the radio on the cable has been written
    bool wroteInExchange_ = false;
    Clock::time_point lastBlock_;
    std::optional<Clock::time_point> nextOn_;   // when the next radio answers
};

struct SimulatorOptions {
    // Answers leave at the pace of a 19200 baud line (10 bits a byte).
    bool pacing = true;
    int baud = 19200;
    // Time between a complete request and the first byte of its answer.
    std::chrono::milliseconds turnaround{0};
    Fault fault;
    RackOptions rack;
    // Called on the simulator's thread once a Vanish fault closed the
    // pseudo-terminal (the program uses it to end itself).
    std::function<void()> onVanish;
};

struct SimulatorCounters {
    ProtocolCounters protocol;
    std::uint64_t bytesReceived = 0;
    std::uint64_t bytesSent = 0;
};

// Runs RadioProtocol on a pseudo-terminal pair in a thread of its own. The
// client opens devicePath() like a serial port.
class RadioSimulator {
public:
    explicit RadioSimulator(SimulatorOptions options = {});
    RadioSimulator(const Memory& memory, SimulatorOptions options = {});
    ~RadioSimulator();   // stops
    RadioSimulator(const RadioSimulator&) = delete;
    RadioSimulator& operator=(const RadioSimulator&) = delete;

    // Opens the pseudo-terminal and starts the thread. Returns the device
    // path for the client, or an empty string with error() set. After stop()
    // or a vanish, starts again on a new pseudo-terminal with the same memory.
    std::string start();
    // Stops the thread promptly and closes the pseudo-terminal. Idempotent.
    void stop();
    bool running() const { return running_.load(); }
    // True once a Vanish fault closed the pseudo-terminal.
    bool vanished() const { return vanished_.load(); }

    std::string devicePath() const;
    std::string error() const;
    // Saves of DIR/radio-K.img that failed (error() has the last reason).
    int saveFailures() const;

    // Thread-safe copies of the memory (of the radio on the cable, or the
    // last one that was) and the counters (of all radios).
    Memory memory() const;
    // The radio on the cable, 1..; 0 while none is.
    int radioOnCable() const;
    void setMemory(const Memory& memory);
    SimulatorCounters counters() const;
    void setFault(const Fault& fault);

private:
    void run();
    // Sends `bytes` to the client, paced when asked; false when the wait was
    // cut short by stop() or the link broke.
    bool sendAnswer(const Bytes& bytes);
    // Sleeps up to `d`, waking early on stop(); false when stopped.
    bool sleepFor(std::chrono::nanoseconds d);
    void closeFds();
    // How long the next poll may sleep before the rack has something to do.
    int pollTimeoutMs();
    // Saves the memories the rack hands over (outside the lock).
    void saveRadios();

    SimulatorOptions options_;
    mutable std::mutex mutex_;   // guards protocol_, counters, path, error
    RadioRack rack_;
    std::uint64_t bytesReceived_ = 0;
    std::uint64_t bytesSent_ = 0;
    int saveFailures_ = 0;
    std::string path_;
    std::string error_;
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> vanished_{false};
    std::thread thread_;
};

}   // namespace pellaro::sim
