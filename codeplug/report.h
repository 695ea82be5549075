// SPDX-License-Identifier: GPL-3.0-or-later
// How every report names a place and quotes what the user gave, so that a
// paste, an import, a verify and a comparison say the same thing the same
// way: "A 5 Receiving Frequency", "Comprehensive Setting / Volume", with
// "line 12: " in front when the place is a line of a file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"

namespace pellaro {

// "A" or "B", as places and comparisons name a band.
const char* bandLetter(Band band);

struct Place {
    int line = 0;               // line of a file (1..); 0: not from a file
    std::optional<Band> band;   // a channel table
    int channel = 0;            // 1..128; 0: the band as a whole; > 128: past the table
    int column = 0;             // 1..12; 0: the whole channel; > 12: past the last column
    std::string setting;        // "Comprehensive Setting / Volume" (no band)
};

// A settings label as a sentence reads it: "Volume             :" as "Volume".
std::string plainLabel(std::string_view label);
// A setting of the page titled `pageTitle`: "Comprehensive Setting / Volume".
Place settingPlace(std::string_view pageTitle, std::string_view label);

// "line 12: A 5 Receiving Frequency", "A 5", "A", "A past channel 128",
// "A 3 past the last column", "Comprehensive Setting / Volume", "line 3";
// empty for no place at all.
std::string placeText(const Place& place);

enum class Severity {
    Refused,   // not taken: the place is as it was
    Changed,   // taken otherwise than given (rounded, cut), or changed beyond what was asked
    Note,      // something said of the input that changed nothing
};

struct ReportItem {
    Severity severity = Severity::Refused;
    Place place;
    std::string reason;   // UTF-8, in the user's words
    int count = 1;        // how many cells or values the item speaks for
};

// "line 12: A 5 Receiving Frequency: <reason>"; the reason alone without a place.
std::string itemText(const ReportItem& item);

// A text the user gave (UTF-8) as a message quotes it: in double quotes, cut
// after 40 characters with "…" so that a huge value never gives a huge line.
// Bytes that are not UTF-8 are shown as U+FFFD.
std::string quoteUserText(std::string_view utf8);

// The lines a box or stderr shows of a long list: the first `shown`, then
// "… and N more".
constexpr std::size_t kShownReportLines = 20;
std::vector<std::string> shownLines(const std::vector<std::string>& lines, std::size_t shown = kShownReportLines);

}   // namespace pellaro
