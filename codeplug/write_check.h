// SPDX-License-Identifier: GPL-3.0-or-later
// The check before a full write: nothing goes to the radio that the editors
// would refuse, or that would reach the radio as something other than the
// tables and pages show.
#pragma once

#include <vector>

#include "codeplug/document.h"
#include "codeplug/report.h"

namespace pellaro {

// What a full write of `doc` would send and must not, one Refused item per
// place; empty when the write may go ahead. Checked:
//  - every channel frequency through the rule typing goes through (digits and
//    ".", the band edges); a value off the step raster is the radio's own and
//    passes;
//  - every other programmed channel cell: an entry of its column's list as
//    the list writes it, or a text that reaches the radio and reads back the
//    same (as a radio's own unusual tone does); a name of at most 7
//    characters;
//  - every raw mirror: its length of hex digits;
//  - the settings as the radio would get them from the mirrors: the FM
//    frequency (88-108 MHz) through its commit rule. (The other settings'
//    codes are the radio's own or a list's; the set-up receiving frequency's
//    editor takes only VHF, while band B of a radio works on UHF.)
std::vector<ReportItem> checkForWrite(const Document& doc);

}   // namespace pellaro
