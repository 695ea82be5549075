// SPDX-License-Identifier: GPL-3.0-or-later
#include "clone/compare_radio.h"

namespace pellaro {

RadioComparison compareWithRadio(CloneEngine& engine, const Document& doc, const ProgressFn& progress) {
    RadioComparison out;
    Document radio;   // the read decodes into it; the comparison is of the bytes
    out.read = engine.fullRead(radio, progress, &out.replies);
    if (out.read.ok) out.differences = compareImages(writeImage(doc), out.replies);
    return out;
}

void pauseBetweenExchanges(CloneLink& link) { link.portDelay(kExchangeGapMs); }

}   // namespace pellaro
