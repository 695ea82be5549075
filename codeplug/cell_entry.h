// SPDX-License-Identifier: GPL-3.0-or-later
// Entering a text into one channel cell from outside the cell editors: a
// paste, an imported channel plan, the command line. The text goes through
// exactly the rule that the user's typing or pick goes through for that cell
// (key filter, completion, band edges, step raster and group defaults for the
// frequencies; an entry of the column's list for the list cells; the key
// filter for the name), so no such path can give a channel that the editors
// could not give. What the rule refused or changed is said in the result.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "codeplug/codes.h"
#include "codeplug/document.h"

namespace pellaro {

// The headings of the channel tables' row 0, column 0 to 12, as the tables
// show them.
const std::array<std::string, kColumns>& channelHeadings();

struct CellEntry {
    enum class Kind {
        Applied,     // the cell (and, for a frequency, its group) took the text
        Unchanged,   // the text is what the cell already holds; nothing changed
        Adjusted,    // taken, but not as given: `reason` says how (rounded, cut)
        Refused,     // not taken; `reason` says why. The channel is exactly as
                     // it was: nothing of it changed
    };
    Kind kind = Kind::Unchanged;
    std::string reason;   // UTF-8, in the user's words

    bool taken() const { return kind != Kind::Refused; }
};

// Enters `text` (Latin-1, one byte per character, as cells hold it) into
// column `col` (1..12) of channel `row` (1..128) of `band`. Blanks around a
// frequency or a list text are ignored; a name is taken as given. A refused
// text leaves the whole channel as it was.
//  - Receiving / Transmission Frequency: digits and at most one "." (any
//    other text is refused), read as the number of MHz it is. Decimals beyond
//    the cell's five round the value up to the next 10 Hz; a value outside
//    the band edges is refused, saying which edge; the rest goes through the
//    frequency commit, which completes it, raises a value off the step raster
//    onto it (taken, reported as rounded) and writes the group's defaults
//    when the frequency is new. An empty text empties the group.
//  - list cells: only when the channel offers the cell's editor (a receive or
//    transmit frequency is set) and the text equals, ignoring case, an entry of
//    the column's list (the entry's own spelling is written) or the text the
//    rules themselves write there ("0FF" in the tone columns, "OFF" in the
//    mode column). A text equal to the cell's present text is left alone.
//  - Channel Name: only on a channel with a receive frequency. The characters
//    the name keys do not take are dropped and the rest kept, cut to 7; such
//    a name is taken and reported, saying which characters were dropped. A
//    name of which no character is taken is refused.
CellEntry enterChannelCell(Document& doc, Band band, int col, int row, std::string_view text);

// The same for a UTF-8 text (the clipboard, a file, the command line). A text
// that is not UTF-8 is refused; in a name, a character beyond Latin-1 is
// dropped like any other character the name keys do not take, and named as
// given.
CellEntry enterChannelText(Document& doc, Band band, int col, int row, std::string_view utf8);

// What a name may hold, as messages say it.
extern const char* const kNameCharactersText;

// A cell text (Latin-1) as a message quotes it: UTF-8, in double quotes, cut
// after 40 characters with "…" (quoteUserText).
std::string quotedCellText(std::string_view latin1);

}   // namespace pellaro
