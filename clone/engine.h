// SPDX-License-Identifier: GPL-3.0-or-later
// The clone transfers: full read, full write and the four partial transfers
// of the limit page, step for step over a CloneLink.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clone/link.h"
#include "codeplug/document.h"
#include "codeplug/memory_map.h"

namespace pellaro {

struct TransferResult {
    bool ok = false;
    std::string message;    // "Read success!", "Read Error!", "Write success!", ...
    int blocksDone = 0;     // blocks accepted (the progress bar's last value)
    bool stopped = false;   // ended early on a stop request (see CloneEngine::setStopRequest)
};

// Progress callback: number of blocks accepted so far (1..136).
using ProgressFn = std::function<void(int)>;

class CloneEngine {
public:
    explicit CloneEngine(CloneLink& link) : link_(link) {}

    // Whether a transfer is running; a transfer started meanwhile is refused
    // (returns a result with ok = false and an empty message, sends nothing).
    bool busy() const { return busy_; }

    // Fast transfers, off until switched on (there is no stored setting, so
    // every start begins with them off). In a fast full read or write the
    // receive side hands bytes over as they arrive, and a block's answer is
    // taken once the buffer holds an accepted length and the line has stayed
    // quiet for kFastQuietMs, instead of at the next 20 ms poll after the
    // receive side's 100 ms of silence. Everything else stays: handshake and
    // its 500 ms, frames, order, acceptance, the poll window of 51 x 20 ms
    // (measured on the link's clock), "EXIT" and the messages. The partial
    // transfers of the limit page are not affected. A change made during a
    // run applies from the next transfer. Switched by pellaro-cli's --fast
    // and, in the window, by the engine the main window owns.
    void setFastTransfers(bool on) { fast_ = on; }
    bool fastTransfers() const { return fast_; }

    // A stop asked from outside the transfer (pellaro-cli's signal handler
    // sets the flag): a full read or write looks at it before each block,
    // ends there with the radio's "EXIT" and a failed result marked
    // `stopped`; one asked before the handshake sends nothing at all. The
    // flag must outlive the engine; nullptr (the default) for none.
    void setStopRequest(const std::atomic<bool>* flag) { stop_ = flag; }

    // How long the line must stay quiet after the answer a request asked for
    // before a fast transfer takes it: about ten byte times at 19200 baud, so
    // a byte too many, sent straight after the answer as a radio sends it,
    // still fails the block as it does in the normal mode. (The other
    // accepted length, 96 characters at blocks 132 to 135, waits for the
    // normal mode's 100 ms of silence instead.)
    static constexpr int kFastQuietMs = 5;

    // With `replies`, every accepted reply is also kept there as received
    // (hex text, by block), so a caller can compare the radio's bytes with
    // what a write sent; blocks not reached stay empty. Decoding a record and
    // encoding it again does not always give its bytes back.
    TransferResult fullRead(Document& doc, const ProgressFn& progress = {}, MemoryImage* replies = nullptr);
    TransferResult fullWrite(const Document& doc, const ProgressFn& progress = {});

    // Partial transfers of the limit page. The caller performs the port test
    // (status text equals "COM Port:" + port name) and does not call these when
    // it fails. A failed read leaves editors and mirrors as they were.
    TransferResult readMessages(Document& doc);          // Button1: k10, kaiji1, kaiji2
    TransferResult writeMessages(const Document& doc);   // Button2
    TransferResult readLimits(Document& doc);            // Button3: k11, xp1..xp5
    TransferResult writeLimits(const Document& doc);     // Button4

private:
    std::optional<std::string> partialExchange(const std::optional<std::vector<std::uint8_t>>& frame);

    CloneLink& link_;
    bool stopRequested() const { return stop_ && stop_->load(); }

    bool busy_ = false;
    bool fast_ = false;
    const std::atomic<bool>* stop_ = nullptr;
};

}   // namespace pellaro
