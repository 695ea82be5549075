// SPDX-License-Identifier: GPL-3.0-or-later
#include "clone/engine.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/memory_map.h"

namespace pellaro {

namespace {

// Frames of the clone protocol as hex text.
constexpr std::string_view kHandshake = "434C4E4B5F4F504E";   // "CLNK_OPN"
constexpr std::string_view kClosingWord = "45584954";         // "EXIT"
constexpr std::string_view kMessagesRead = "5245414402D00010";
constexpr std::string_view kMessagesWrite = "5752494502D00010";
constexpr std::string_view kLimitsRead = "5245414402E00011";
constexpr std::string_view kLimitsWrite = "5752494502E00011";

// The radio acknowledges a block write with the single byte 0x06.
constexpr std::string_view kAck = "06";

constexpr int kHandshakeDelayMs = 500;
constexpr int kPartialAnswerDelayMs = 500;
constexpr int kPollMs = 20;
constexpr int kLastPoll = 50;   // polls k = 0..50
// The same window for fast transfers, on the link's clock.
constexpr std::int64_t kPollWindowMs = (kLastPoll + 1) * kPollMs;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The frame bytes of a hex text, or nothing when the text is not whole
// pairs of hex digits. A malformed frame must never reach the wire.
std::optional<std::vector<std::uint8_t>> frameBytes(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexDigit(hex[i]);
        const int lo = hexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return bytes;
}

// Sends a frame known to be well-formed (the fixed protocol words).
void sendFixed(CloneLink& link, std::string_view hex) { link.sendBytes(*frameBytes(hex)); }

// Every clone exchange opens the same way: the handshake, 500 ms for the
// radio to enter clone mode, and an empty buffer whatever it answered.
void openExchange(CloneLink& link) {
    link.clearReceiveBuffer();
    sendFixed(link, kHandshake);
    link.portDelay(kHandshakeDelayMs);
    link.clearReceiveBuffer();
}

// Whether a write frame carries exactly `dataBytes` bytes of data after its
// 8-byte head, all as hex digits.
std::optional<std::vector<std::uint8_t>> checkedWriteFrame(std::string_view hex, std::size_t dataBytes) {
    if (hex.size() != 16 + 2 * dataBytes) return std::nullopt;
    return frameBytes(hex);
}

// Whether every mirror that block `block` sends holds exactly its length of
// hex digits. The frame builder would quietly mend a damaged mirror; the write
// refuses it instead, so the radio never gets data the user did not see.
bool mirrorsWellFormed(const Document& doc, int block) {
    for (std::size_t n = 1; n < fields::kMirrorPlace.size(); ++n) {
        if (fields::kMirrorPlace[n].block != block) continue;
        const std::string& mirror = doc.k[n];
        if (mirror.size() != static_cast<std::size_t>(kMirrorLength[n]) || !isHexText(mirror)) return false;
    }
    return true;
}

// Marks the engine busy for the length of one transfer.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

// What the receive buffer is worth as the answer to the request just sent.
constexpr int kNotAccepted = -1;
// An accepted buffer that is not the answer the request asked for (96
// characters at blocks 132 to 135): in the fast mode it must be followed by
// as much silence as the normal mode's receive side waits for, since the
// rest of a longer answer may still be on its way.
constexpr int kOtherLengthQuietMs = 100;

// Waits for the answer to the request just sent; true once the receive
// buffer is accepted, false when the poll window has passed. `quietNeeded()`
// judges the buffer: kNotAccepted, or how long the line must then stay quiet
// in the fast mode.
//
// Normal: 51 polls of 20 ms, the buffer judged after each.
// Fast: wakes whenever bytes arrive (or at the window's end). An accepted
// buffer is taken only once the line has stayed quiet long enough, so a
// surplus byte right behind the answer still makes the block fail, at the end
// of the window, just as in the normal mode where the whole answer is judged
// after the receive side's silence.
template <typename QuietNeeded>
bool awaitAnswer(CloneLink& link, bool fast, const QuietNeeded& quietNeeded) {
    if (!fast) {
        for (int k = 0; k <= kLastPoll; ++k) {
            link.portDelay(kPollMs);
            if (quietNeeded() != kNotAccepted) return true;
        }
        return false;
    }
    const std::int64_t end = link.clockMs() + kPollWindowMs;
    for (;;) {
        const std::int64_t left = end - link.clockMs();
        const std::size_t had = link.receiveBuffer().size();
        const int quiet = quietNeeded();
        if (quiet != kNotAccepted) {
            if (left <= 0) return true;
            link.waitForBytes(static_cast<int>(std::min<std::int64_t>(quiet, left)));
            if (link.receiveBuffer().size() == had) return true;   // quiet: the answer is whole
            continue;
        }
        if (left <= 0) return false;
        link.waitForBytes(static_cast<int>(left));
    }
}

// Switches the link to hand bytes over as they arrive for one fast transfer.
class ReceiveAtOnceScope {
public:
    ReceiveAtOnceScope(CloneLink& link, bool on) : link_(link), on_(on) {
        if (on_) link_.setReceiveAtOnce(true);
    }
    ~ReceiveAtOnceScope() {
        if (on_) link_.setReceiveAtOnce(false);
    }
    ReceiveAtOnceScope(const ReceiveAtOnceScope&) = delete;
    ReceiveAtOnceScope& operator=(const ReceiveAtOnceScope&) = delete;

private:
    CloneLink& link_;
    bool on_;
};

}   // namespace

TransferResult CloneEngine::fullRead(Document& doc, const ProgressFn& progress, MemoryImage* replies) {
    if (busy_) return {};
    if (replies) replies->fill(std::string());
    BusyScope scope(busy_);
    const bool fast = fast_;   // for the whole run
    if (stopRequested()) return {false, "Read Error!", 0, true};
    ReceiveAtOnceScope receive(link_, fast);

    openExchange(link_);
    bool failed = false;   // the failure sentinel
    bool stopped = false;
    int accepted = 0;
    for (int n = 0; n < kBlockCount && !failed; ++n) {
        if (stopRequested()) {
            failed = stopped = true;
            break;
        }
        link_.clearReceiveBuffer();
        sendFixed(link_, readRequest(n));
        const auto quietNeeded = [&] {
            const std::size_t chars = link_.receiveBuffer().size();
            if (!readReplyAccepted(n, chars)) return kNotAccepted;
            return chars == static_cast<std::size_t>(blockInfo(n).replyChars) ? kFastQuietMs : kOtherLengthQuietMs;
        };
        if (!awaitAnswer(link_, fast, quietNeeded)) {
            failed = true;
            break;
        }
        // Kept before the progress display runs, which may let more bytes in.
        const std::string reply = link_.receiveBuffer();
        accepted = n + 1;
        if (progress) progress(accepted);
        dispatchReply(doc, n, reply);
        if (replies) (*replies)[static_cast<std::size_t>(n)] = reply;
    }
    sendFixed(link_, kClosingWord);
    if (failed) return {false, "Read Error!", accepted, stopped};
    return {true, "Read success!", accepted};
}

TransferResult CloneEngine::fullWrite(const Document& doc, const ProgressFn& progress) {
    if (busy_) return {};
    BusyScope scope(busy_);
    const bool fast = fast_;   // for the whole run
    if (stopRequested()) return {false, "Write error!", 0, true};
    ReceiveAtOnceScope receive(link_, fast);

    openExchange(link_);
    bool failed = false;
    bool stopped = false;
    int acknowledged = 0;
    for (int n = 0; n < kBlockCount && !failed; ++n) {
        if (stopRequested()) {
            failed = stopped = true;
            break;
        }
        // Built now, so an edit made during the run reaches the blocks not yet sent.
        std::optional<std::vector<std::uint8_t>> frame;
        if (mirrorsWellFormed(doc, n)) frame = checkedWriteFrame(writeRequest(doc, n), blockInfo(n).length);
        if (!frame) {
            failed = true;
            break;
        }
        // Not cleared before sending: anything left over fails the block.
        link_.sendBytes(*frame);
        if (!awaitAnswer(link_, fast, [&] { return link_.receiveBuffer() == kAck ? kFastQuietMs : kNotAccepted; })) {
            failed = true;
            break;
        }
        acknowledged = n + 1;
        if (progress) progress(acknowledged);
        link_.clearReceiveBuffer();
    }
    sendFixed(link_, kClosingWord);
    if (failed) return {false, "Write error!", acknowledged, stopped};
    return {true, "Write success!", acknowledged};
}

// One partial exchange: handshake, the frame, 500 ms, a copy of the answer,
// then "EXIT" before the answer is judged. A frame that fails the check is
// not sent and yields no answer.
std::optional<std::string> CloneEngine::partialExchange(const std::optional<std::vector<std::uint8_t>>& frame) {
    openExchange(link_);
    std::optional<std::string> answer;
    if (frame) {
        link_.sendBytes(*frame);
        link_.portDelay(kPartialAnswerDelayMs);
        answer = link_.receiveBuffer();
    }
    sendFixed(link_, kClosingWord);
    return answer;
}

TransferResult CloneEngine::readMessages(Document& doc) {
    if (busy_) return {};
    BusyScope scope(busy_);
    const auto answer = partialExchange(frameBytes(kMessagesRead));
    if (!answer || answer->size() != 32) return {false, "Read Error!", 0};
    decodeMessages(doc, *answer);
    doc.k[10] = *answer;
    return {true, "Read Success!", 0};
}

TransferResult CloneEngine::readLimits(Document& doc) {
    if (busy_) return {};
    BusyScope scope(busy_);
    const auto answer = partialExchange(frameBytes(kLimitsRead));
    if (!answer || answer->size() != 34) return {false, "Read Error!", 0};
    decodeLimits(doc, *answer);
    doc.k[11] = *answer;
    return {true, "Read Success!", 0};
}

TransferResult CloneEngine::writeMessages(const Document& doc) {
    if (busy_) return {};
    BusyScope scope(busy_);
    const auto answer = partialExchange(checkedWriteFrame(std::string(kMessagesWrite) + doc.k[10], 16));
    if (!answer || *answer != kAck) return {false, "Write Error!", 0};
    return {true, "Write Success!", 0};
}

TransferResult CloneEngine::writeLimits(const Document& doc) {
    if (busy_) return {};
    BusyScope scope(busy_);
    const auto answer = partialExchange(checkedWriteFrame(std::string(kLimitsWrite) + doc.k[11], 17));
    if (!answer || *answer != kAck) return {false, "Write Error!", 0};
    return {true, "Write Success!", 0};
}

}   // namespace pellaro
