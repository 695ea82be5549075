// An in-memory radio behind a CloneLink with virtual time: every frame the
// engine sends is answered by a tiny radio model, and its answer reaches the
// receive buffer a fixed time later, while the engine waits in portDelay.
// Fast and deterministic; tests shape the radio's answers per request.
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
    std::array<std::uint8_t, 0x1C00> memory{};
    // Time from a frame to its whole answer in the buffer: the reply's
    // transmission plus the 100 ms of silence that hands it over.
    int answerDelayMs = 130;
    // Shapes the answer to request `index` (0-based, counted from the last
    // handshake); nullopt keeps the radio's own answer.
    std::function<std::optional<Bytes>(int index, const Bytes& frame)> shapeAnswer;
    // A byte the radio sends this long after the handshake (nothing if unset).
    std::optional<int> handshakeEchoAfterMs;
    // Runs inside every port delay, as a click processed by the event loop would.
    std::function<void()> duringDelay;
    bool open = true;

    std::vector<Bytes> frames;   // every sendBytes call, in order
    long long now = 0;           // virtual milliseconds

    bool sendBytes(const Bytes& bytes) override {
        if (!open) return false;
        frames.push_back(bytes);
        answer(bytes);
        return true;
    }
    void portDelay(int ms) override {
        if (duringDelay) duringDelay();
        now += ms;
        while (!pending_.empty() && pending_.front().due <= now) {
            buffer_ += toHex(pending_.front().bytes);
            pending_.pop_front();
        }
    }
    const std::string& receiveBuffer() const override { return buffer_; }
    void clearReceiveBuffer() override { buffer_.clear(); }

    Bytes lastFrame() const { return frames.empty() ? Bytes{} : frames.back(); }

private:
    struct Pending {
        long long due;
        Bytes bytes;
    };

    void schedule(long long due, Bytes bytes) {
        auto it = pending_.begin();
        while (it != pending_.end() && it->due <= due) ++it;
        pending_.insert(it, Pending{due, std::move(bytes)});
    }

    void answer(const Bytes& frame) {
        if (frame.size() < 4) return;
        const std::string word(frame.begin(), frame.begin() + 4);
        if (frame == ascii("CLNK_OPN")) {
            requestIndex_ = 0;
            if (handshakeEchoAfterMs) schedule(now + *handshakeEchoAfterMs, Bytes{0x00});
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
        if (!reply.empty()) schedule(now + answerDelayMs, std::move(reply));
    }

    std::string buffer_;
    std::deque<Pending> pending_;
    int requestIndex_ = 0;
};

}  // namespace pellaro::testing
