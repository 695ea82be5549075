// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio's frame parser with arbitrary incoming bytes. The first
// bytes choose a fault and where it aims; the rest is the byte stream, fed
// once whole and once in pieces of the sizes the input picks. Both ways must
// give the same answer, the same memory and the same counters: a frame split
// over several reads is a frame all the same. Bytes held back never exceed
// one write frame.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tools/radio_sim/radio_sim.h"

using namespace pellaro::sim;

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

constexpr std::size_t kLargestFrame = 8 + kMemorySize;

struct Run {
    Bytes answer;
    bool vanished = false;
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    static const Memory fresh = freshCodeplug();
    Fault fault;
    fault.kind = static_cast<FaultKind>(data[0] % 10);
    if (data[1] & 1)
        fault.atRequest = data[2] % 16;
    else
        fault.atAddress = static_cast<std::uint16_t>(data[2] << 4);
    fault.repeat = (data[1] & 2) != 0;
    fault.offset = data[1] >> 2;
    const std::uint8_t pieceSeed = data[3];
    data += 4;
    size -= 4;

    RadioProtocol whole(fresh);
    whole.setFault(fault);
    Run a;
    {
        ProtocolOutput out = whole.feed(data, size);
        a.answer = out.answer;
        a.vanished = out.vanish;
        if (whole.pendingBytes() > kLargestFrame) broken("parser holds back more than one frame");
    }

    RadioProtocol pieces(fresh);
    pieces.setFault(fault);
    Run b;
    std::size_t at = 0;
    unsigned step = pieceSeed;
    while (at < size && !b.vanished) {
        step = step * 1103515245u + 12345u;
        std::size_t n = 1 + (step >> 16) % 13;
        if (n > size - at) n = size - at;
        ProtocolOutput out = pieces.feed(data + at, n);
        b.answer.insert(b.answer.end(), out.answer.begin(), out.answer.end());
        b.vanished = out.vanish;
        at += n;
        if (pieces.pendingBytes() > kLargestFrame) broken("parser holds back more than one frame");
    }

    if (a.vanished != b.vanished) broken("the vanish depends on how the bytes arrived");
    if (a.answer != b.answer) broken("the answer depends on how the bytes arrived");
    if (whole.memory() != pieces.memory()) broken("the memory depends on how the bytes arrived");
    const ProtocolCounters& c1 = whole.counters();
    const ProtocolCounters& c2 = pieces.counters();
    if (c1.readRequests != c2.readRequests || c1.writeRequests != c2.writeRequests || c1.exchanges != c2.exchanges ||
        c1.faultsFired != c2.faultsFired)
        broken("the counters depend on how the bytes arrived");
    if (!a.vanished && whole.pendingBytes() != pieces.pendingBytes())
        broken("bytes held back depend on how the bytes arrived");
    return 0;
}
