// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing a codeplug with what the radio holds, and what two clone
// exchanges in a row need between them. Used by pellaro-cli verify and
// write --verify, and meant for the window's comparison with the radio.
#pragma once

#include <vector>

#include "clone/engine.h"
#include "codeplug/compare.h"

namespace pellaro {

struct RadioComparison {
    TransferResult read;                   // the full read's own result
    MemoryImage replies;                   // every accepted reply as received
    std::vector<Difference> differences;   // from the codeplug to the radio; empty unless read.ok
};

// One full read of the radio (with the engine's fast setting) into a
// separate document; `doc` is not touched. The radio's bytes are compared
// with what a full write of `doc` sends, record bytes only: the spare ranges
// are the radio's own. So the differences are exactly what writing `doc`
// would change in the radio's records, in the user's terms (channel and
// column, page and setting, or mirror address and bytes), "before" being
// `doc` and "after" the radio.
RadioComparison compareWithRadio(CloneEngine& engine, const Document& doc, const ProgressFn& progress = {});

// Between two clone exchanges in a row (a backup read, the write, the read
// back): the closing word leaves and the line stays quiet this long before
// the next handshake, so the radio has left clone mode when it comes.
constexpr int kExchangeGapMs = 200;
void pauseBetweenExchanges(CloneLink& link);

}   // namespace pellaro
