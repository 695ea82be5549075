// SPDX-License-Identifier: GPL-3.0-or-later
// The radio's side of the clone protocol: frame parsing, memory access and the
// faults the tests aim at single requests.
#include "tools/radio_sim/radio_sim.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace pellaro::sim {

namespace {

constexpr std::string_view kOpen = "CLNK_OPN";
constexpr std::string_view kRead = "READ";
constexpr std::string_view kWrite = "WRIE";
constexpr std::string_view kExit = "EXIT";
constexpr std::size_t kHeaderSize = 8;   // word, address, length

// Stray bytes a Garbage fault puts in front of the answer.
constexpr std::uint8_t kGarbage[] = {0xAA, 0x55, 0x00};

// How the bytes at the front of a buffer relate to a frame word.
enum class Match { Full, Prefix, None };

Match matchWord(const std::uint8_t* data, std::size_t size, std::string_view word) {
    const std::size_t n = std::min(size, word.size());
    if (std::memcmp(data, word.data(), n) != 0) return Match::None;
    return n == word.size() ? Match::Full : Match::Prefix;
}

std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool inRange(std::uint16_t address, std::uint16_t length) { return std::size_t{address} + length <= kMemorySize; }

}   // namespace

std::optional<FaultKind> faultKindFromName(const std::string& name) {
    static constexpr std::pair<std::string_view, FaultKind> kNames[] = {
        {"none", FaultKind::None},       {"no-answer", FaultKind::NoAnswer},   {"short", FaultKind::OneShort},
        {"long", FaultKind::OneLong},    {"double-ack", FaultKind::DoubleAck}, {"nak", FaultKind::Nak},
        {"garbage", FaultKind::Garbage}, {"vanish", FaultKind::Vanish},        {"drop", FaultKind::DropWrite},
        {"alter", FaultKind::AlterByte},
    };
    for (const auto& [text, kind] : kNames)
        if (name == text) return kind;
    return std::nullopt;
}

const char* faultKindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::None:
            return "none";
        case FaultKind::NoAnswer:
            return "no-answer";
        case FaultKind::OneShort:
            return "short";
        case FaultKind::OneLong:
            return "long";
        case FaultKind::DoubleAck:
            return "double-ack";
        case FaultKind::Nak:
            return "nak";
        case FaultKind::Garbage:
            return "garbage";
        case FaultKind::Vanish:
            return "vanish";
        case FaultKind::DropWrite:
            return "drop";
        case FaultKind::AlterByte:
            return "alter";
    }
    return "none";
}

RadioProtocol::RadioProtocol() : memory_(freshCodeplug()) {}

RadioProtocol::RadioProtocol(const Memory& memory) : memory_(memory) {}

ProtocolOutput RadioProtocol::feed(const std::uint8_t* data, std::size_t size) {
    ProtocolOutput out;
    pending_.insert(pending_.end(), data, data + size);
    while (!out.vanish && takeFrame(out)) {
    }
    // Drop the consumed prefix in one go, so long streams stay linear.
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
    pendingStart_ = 0;
    if (out.vanish) pending_.clear();
    return out;
}

std::optional<FaultKind> RadioProtocol::faultFor(std::uint16_t address, bool isWrite) {
    if (fault_.kind == FaultKind::None || (faultSpent_ && !fault_.repeat)) return std::nullopt;
    const bool writesOnly = fault_.kind == FaultKind::DropWrite || fault_.kind == FaultKind::AlterByte;
    if (writesOnly && !isWrite) return std::nullopt;
    if (fault_.inExchange && static_cast<std::uint64_t>(*fault_.inExchange) != counters_.exchanges) return std::nullopt;
    const bool hit =
        (fault_.atRequest && *fault_.atRequest == requestIndex_) || (fault_.atAddress && *fault_.atAddress == address);
    if (!hit) return std::nullopt;
    faultSpent_ = true;
    ++counters_.faultsFired;
    return fault_.kind;
}

bool RadioProtocol::takeFrame(ProtocolOutput& out) {
    for (;;) {
        const std::uint8_t* p = pending_.data() + pendingStart_;
        const std::size_t avail = pending_.size() - pendingStart_;
        if (avail == 0) return false;

        const Match open = matchWord(p, avail, kOpen);
        const Match read = matchWord(p, avail, kRead);
        const Match write = matchWord(p, avail, kWrite);
        const Match exit = matchWord(p, avail, kExit);

        if (open == Match::Full) {
            pendingStart_ += kOpen.size();
            ++counters_.framesSeen;
            ++counters_.exchanges;
            inExchange_ = true;
            requestIndex_ = 0;
            return true;
        }
        if (exit == Match::Full) {
            pendingStart_ += kExit.size();
            ++counters_.framesSeen;
            ++counters_.closings;
            inExchange_ = false;
            return true;
        }
        if (read == Match::Full || write == Match::Full) {
            if (avail < kHeaderSize) return false;   // address or length still to come
            const bool isWrite = write == Match::Full;
            const std::uint16_t address = be16(p + 4);
            const std::uint16_t length = be16(p + 6);
            const bool valid = inRange(address, length);
            // A write in range carries its data; wait until all of it is here.
            // Out of range, only the header is taken: the radio would not know
            // where such data ends, and what follows is skipped as stray bytes.
            const std::size_t frameSize = kHeaderSize + (isWrite && valid ? length : 0);
            if (avail < frameSize) return false;
            pendingStart_ += frameSize;
            ++counters_.framesSeen;
            ++(isWrite ? counters_.writeRequests : counters_.readRequests);
            if (isWrite || length > 1) ++counters_.blockRequests;

            if (!inExchange_) {
                ++counters_.outsideExchange;
                return true;
            }
            const std::optional<FaultKind> fault = faultFor(address, isWrite);
            ++requestIndex_;
            if (!valid) {
                ++counters_.outOfRange;
                return true;
            }
            const FaultKind kind = fault.value_or(FaultKind::None);
            if (kind == FaultKind::Vanish) {
                out.vanish = true;
                return true;
            }
            if (kind == FaultKind::NoAnswer) return true;
            if (kind == FaultKind::Nak) {
                out.answer.push_back(kNak);
                return true;
            }
            if (kind == FaultKind::Garbage)
                out.answer.insert(out.answer.end(), std::begin(kGarbage), std::end(kGarbage));

            Bytes answer;
            if (isWrite) {
                if (kind != FaultKind::DropWrite)
                    std::copy(p + kHeaderSize, p + kHeaderSize + length, memory_.begin() + address);
                if (kind == FaultKind::AlterByte && fault_.offset < length) memory_[address + fault_.offset] ^= 0xFF;
                answer.push_back(kAck);
            } else {
                answer.assign(memory_.begin() + address, memory_.begin() + address + length);
            }
            switch (kind) {
                case FaultKind::OneShort:
                    if (!answer.empty()) answer.pop_back();
                    break;
                case FaultKind::OneLong:
                    answer.push_back(0x00);
                    break;
                case FaultKind::DoubleAck:
                    answer.push_back(kAck);
                    break;
                default:
                    break;
            }
            out.answer.insert(out.answer.end(), answer.begin(), answer.end());
            return true;
        }
        if (open == Match::Prefix || read == Match::Prefix || write == Match::Prefix || exit == Match::Prefix)
            return false;   // the start of a frame word: wait for the rest
        // No frame starts here: skip one byte and look again.
        ++pendingStart_;
        ++counters_.bytesIgnored;
    }
}

}   // namespace pellaro::sim
