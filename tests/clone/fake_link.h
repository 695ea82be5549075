// SPDX-License-Identifier: GPL-3.0-or-later
// An in-memory radio behind a CloneLink with virtual time: every frame the
// engine sends is answered by a tiny radio model, and its answer reaches the
// receive buffer while the engine waits in portDelay or waitForBytes.
// Fast and deterministic; tests shape the radio's answers per request.
//
// The answer's bytes cross a 19200 baud line after the frame itself and the
// radio's turnaround. In the normal hand-over the receive side passes the
// whole answer on after 100 ms of silence behind its last byte; with
// setReceiveAtOnce(true) every byte reaches the buffer when it arrives.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clone/link.h"

namespace pellaro::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::string toHex(const Bytes& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

inline Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

class FakeLink : public CloneLink {
public:
    static constexpr long long kByteUs = 521;          // ten bits at 19200 baud
    static constexpr long long kSilenceUs = 100'000;   // the normal hand-over

    std::array<std::uint8_t, 0x1C00> memory{};
    // Time from the end of a request to the first byte of its answer.
    int turnaroundMs = 0;
    // Shapes the answer to request `index` (0-based, counted from the last
    // handshake); nullopt keeps the radio's own answer.
    std::function<std::optional<Bytes>(int index, const Bytes& frame)> shapeAnswer;
    // Extra turnaround for request `index` (a radio that is slow at times).
    std::function<int(int index)> extraTurnaroundMs;
    // A pause inside one answer: after `afterBytes` bytes of the answer to
    // request `request`, the line stays quiet for `ms`.
    struct Pause {
        int request;
        std::size_t afterBytes;
        int ms;
    };
    std::optional<Pause> pause;
    // A byte the radio sends this long after the handshake (nothing if unset).
    std::optional<int> handshakeEchoAfterMs;
    // Runs inside every wait, as a click processed by the event loop would.
    std::function<void()> duringDelay;
    bool open = true;

    std::vector<Bytes> frames;        // every sendBytes call, in order
    long long nowUs = 0;              // virtual time
    std::vector<bool> receiveModes;   // every setReceiveAtOnce call
    int waits = 0;                    // portDelay and waitForBytes calls

    long long nowMs() const { return nowUs / 1000; }
    bool receiveAtOnce() const { return atOnce_; }

    bool sendBytes(const Bytes& bytes) override {
        if (!open) return false;
        frames.push_back(bytes);
        answer(bytes);
        return true;
    }
    void portDelay(int ms) override {
        ++waits;
        if (duringDelay) duringDelay();
        nowUs += 1000LL * ms;
        deliverDue();
    }
    const std::string& receiveBuffer() const override { return buffer_; }
    void clearReceiveBuffer() override { buffer_.clear(); }
    std::int64_t clockMs() override { return nowMs(); }
    void waitForBytes(int ms) override {
        ++waits;
        if (duringDelay) duringDelay();
        const long long until = nowUs + 1000LL * ms;
        nowUs = pending_.empty() ? until : std::min(until, std::max(nowUs, pending_.front().due));
        deliverDue();
    }
    void setReceiveAtOnce(bool atOnce) override {
        atOnce_ = atOnce;
        receiveModes.push_back(atOnce);
    }

    Bytes lastFrame() const { return frames.empty() ? Bytes{} : frames.back(); }

private:
    struct Pending {
        long long due;
        Bytes bytes;
    };

    void deliverDue() {
        while (!pending_.empty() && pending_.front().due <= nowUs) {
            buffer_ += toHex(pending_.front().bytes);
            pending_.pop_front();
        }
    }

    void schedule(long long due, Bytes bytes) {
        auto it = pending_.begin();
        while (it != pending_.end() && it->due <= due) ++it;
        pending_.insert(it, Pending{due, std::move(bytes)});
    }

    // The answer to request `index`, whose first byte starts crossing the
    // line at `start`. Handed over byte by byte, or in the normal hand-over
    // as pieces that end with 100 ms of silence.
    void scheduleOnLine(int index, long long start, const Bytes& bytes) {
        std::vector<long long> arrives;   // when each byte has crossed
        long long t = start;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (pause && pause->request == index && pause->afterBytes == i) t += 1000LL * pause->ms;
            t += kByteUs;
            arrives.push_back(t);
        }
        Bytes piece;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (atOnce_) {
                schedule(arrives[i], Bytes{bytes[i]});
                continue;
            }
            piece.push_back(bytes[i]);
            if (i + 1 == bytes.size() || arrives[i + 1] - arrives[i] >= kSilenceUs) {
                schedule(arrives[i] + kSilenceUs, piece);
                piece.clear();
            }
        }
    }

    void answer(const Bytes& frame) {
        if (frame.size() < 4) return;
        const std::string word(frame.begin(), frame.begin() + 4);
        if (frame == ascii("CLNK_OPN")) {
            requestIndex_ = 0;
            if (handshakeEchoAfterMs) schedule(nowUs + 1000LL * *handshakeEchoAfterMs, Bytes{0x00});
            return;
        }
        if ((word != "READ" && word != "WRIE") || frame.size() < 8) return;
        const int address = frame[4] << 8 | frame[5];
        const int length = frame[6] << 8 | frame[7];
        Bytes reply;
        if (word == "READ") {
            reply.assign(memory.begin() + address, memory.begin() + address + length);
        } else {
            std::copy(frame.begin() + 8, frame.end(), memory.begin() + address);
            reply = Bytes{0x06};
        }
        const int index = requestIndex_++;
        if (shapeAnswer) {
            if (auto shaped = shapeAnswer(index, frame)) reply = *shaped;
        }
        int turnaround = turnaroundMs;
        if (extraTurnaroundMs) turnaround += extraTurnaroundMs(index);
        const long long start = nowUs + kByteUs * static_cast<long long>(frame.size()) + 1000LL * turnaround;
        if (!reply.empty()) scheduleOnLine(index, start, reply);
    }

    std::string buffer_;
    std::deque<Pending> pending_;
    int requestIndex_ = 0;
    bool atOnce_ = false;
};

}   // namespace pellaro::testing
