// SPDX-License-Identifier: GPL-3.0-or-later
// Several simulated radios taking turns on one cable.
#include "tools/radio_sim/radio_sim.h"

namespace pellaro::sim {

RadioRack::RadioRack(const Memory& memory, const Fault& fault, const RackOptions& options, Clock::time_point now)
    : options_(options),
      radios_(static_cast<std::size_t>(std::max(1, options.radios)), RadioProtocol(memory)),
      saved_(radios_.size()),
      lastBlock_(now) {
    setFault(fault);
}

void RadioRack::setFault(const Fault& fault) {
    for (int k = 1; k <= count(); ++k)
        radios_[static_cast<std::size_t>(k - 1)].setFault(!options_.faultRadio || *options_.faultRadio == k ? fault
                                                                                                            : Fault{});
}

ProtocolOutput RadioRack::feed(const std::uint8_t* data, std::size_t size, Clock::time_point now) {
    tick(now);
    if (!present_) return {};   // nobody on the cable: the bytes go nowhere
    RadioProtocol& radio = active();
    const ProtocolCounters before = radio.counters();
    ProtocolOutput out = radio.feed(data, size);
    const ProtocolCounters& after = radio.counters();
    if (after.blockRequests != before.blockRequests) lastBlock_ = now;
    if (after.writeRequests != before.writeRequests) wroteInExchange_ = true;
    if (after.closings != before.closings) {
        if (wroteInExchange_) {
            written_ = true;
            lastBlock_ = now;
        }
        wroteInExchange_ = false;
        std::optional<Memory>& saved = saved_[static_cast<std::size_t>(current_)];
        if (!options_.saveDir.empty() && (!saved || *saved != radio.memory())) {
            saved = radio.memory();
            toSave_.emplace_back(current_ + 1, radio.memory());
        }
    }
    return out;
}

void RadioRack::tick(Clock::time_point now) {
    if (options_.radios <= 0) return;   // the one radio stays
    if (present_ && written_ && now - lastBlock_ >= options_.linger) {
        present_ = false;
        if (current_ + 1 < count()) nextOn_ = now + options_.swap;
    }
    if (!present_ && nextOn_ && now >= *nextOn_) {
        ++current_;
        present_ = true;
        written_ = wroteInExchange_ = false;
        lastBlock_ = now;
        nextOn_.reset();
    }
}

std::optional<RadioRack::Clock::time_point> RadioRack::nextChange() const {
    if (options_.radios <= 0) return std::nullopt;
    if (present_ && written_) return lastBlock_ + options_.linger;
    if (!present_) return nextOn_;
    return std::nullopt;
}

ProtocolCounters RadioRack::total() const {
    ProtocolCounters sum;
    for (const RadioProtocol& r : radios_) {
        const ProtocolCounters& c = r.counters();
        sum.framesSeen += c.framesSeen;
        sum.readRequests += c.readRequests;
        sum.writeRequests += c.writeRequests;
        sum.outOfRange += c.outOfRange;
        sum.outsideExchange += c.outsideExchange;
        sum.bytesIgnored += c.bytesIgnored;
        sum.exchanges += c.exchanges;
        sum.closings += c.closings;
        sum.faultsFired += c.faultsFired;
        sum.blockRequests += c.blockRequests;
    }
    return sum;
}

std::vector<std::pair<int, Memory>> RadioRack::takeSaves() { return std::exchange(toSave_, {}); }

}   // namespace pellaro::sim
