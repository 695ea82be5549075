// SPDX-License-Identifier: GPL-3.0-or-later
// The clone engine talks to the radio through this small link: send bytes,
// wait with the port delay (received bytes keep arriving meanwhile), and look
// at the receive buffer, the hex text of every byte received since it was last
// cleared. The same engine runs over the real serial component, over a
// pseudo-terminal to the simulated radio, and over an in-memory fake with
// virtual time in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellaro {

class CloneLink {
public:
    virtual ~CloneLink() = default;
    // Queues bytes for sending; false when nothing could be queued (port closed).
    virtual bool sendBytes(const std::vector<std::uint8_t>& bytes) = 0;
    // Waits `ms` milliseconds while received bytes reach the buffer; always
    // lets pending work run at least once, also for 0 ms.
    virtual void portDelay(int ms) = 0;
    virtual const std::string& receiveBuffer() const = 0;
    virtual void clearReceiveBuffer() = 0;

    // What fast transfers need besides the above.
    // A monotonic clock in milliseconds (any origin).
    virtual std::int64_t clockMs() = 0;
    // Waits like portDelay, but returns as soon as bytes have reached the
    // receive buffer, or after at most `ms` milliseconds.
    virtual void waitForBytes(int ms) = 0;
    // Whether received bytes reach the buffer as they arrive (true) or only
    // after the receive side's silence of ReadIntervalTimeout (false, the
    // normal hand-over).
    virtual void setReceiveAtOnce(bool atOnce) = 0;
};

}   // namespace pellaro
