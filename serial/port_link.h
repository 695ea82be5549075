// SPDX-License-Identifier: GPL-3.0-or-later
// The receive buffer and the port delay: the clone link over a TComm.
// Received bytes reach the buffer only while the main thread processes its
// events, that is inside portDelay (or any other event processing), so the
// buffer does not change between two delays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "clone/link.h"
#include "serial/tcomm.h"

class QEventLoop;

namespace pellaro {

// Hex text of exactly `n` bytes: two upper-case digits per byte, in order.
std::string bytesToHexText(const std::uint8_t* data, std::size_t n);

// Runs the main thread's event loop until `ms` milliseconds have passed on a
// monotonic clock; pending events are processed at least once, also for 0 ms
// or a negative time. Waits in the event loop with a timer: no busy waiting.
void portDelay(int ms);

class PortLink : public CloneLink {
public:
    // Assigns comm.OnReceiveData to Comm1ReceiveData; the destructor removes it.
    // The TComm must outlive the link.
    explicit PortLink(TComm& comm);
    ~PortLink() override;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // SendData of the bytes; false when the port is closed or nothing was given.
    bool sendBytes(const std::vector<std::uint8_t>& bytes) override;
    void portDelay(int ms) override;
    const std::string& receiveBuffer() const override { return buffer_; }
    void clearReceiveBuffer() override { buffer_.clear(); }
    std::int64_t clockMs() override;
    // Runs the event loop until a receive notice has added bytes or `ms`
    // have passed; sleeps in between (no busy waiting).
    void waitForBytes(int ms) override;
    // ReceiveAtOnce of the TComm.
    void setReceiveAtOnce(bool atOnce) override;

    // OnReceiveData handler: appends the hex text of exactly `length` bytes.
    void Comm1ReceiveData(TComm* sender, const std::uint8_t* buffer, std::uint16_t length);

    TComm& comm() { return comm_; }

private:
    TComm& comm_;
    std::string buffer_;
    QEventLoop* waiting_ = nullptr;   // the loop of a waitForBytes in progress
};

}   // namespace pellaro
