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
        Refused,     // not taken; `reason` says why. Cells stay as the rule left
                     // them (a refused frequency empties its group, as typing does)
    };
    Kind kind = Kind::Unchanged;
    std::string reason;   // UTF-8, in the user's words

    bool taken() const { return kind != Kind::Refused; }
};

// Enters `text` (Latin-1, one byte per character, as cells hold it) into
// column `col` (1..12) of channel `row` (1..128) of `band`. Blanks around a
// frequency or a list text are ignored; a name is taken as given.
//  - Receiving / Transmission Frequency: the frequency key filter (digits and
//    ".", at most 9 characters; zeros beyond the ninth character at the end of
//    the decimals are dropped first) and then the frequency commit. A text the
//    key filter would change is refused; an out-of-band frequency is refused
//    and empties the group; a frequency moved onto the step raster is taken
//    and reported as rounded; an empty text empties the group.
//  - list cells: only when the channel offers the cell's editor (a receive or
//    transmit frequency is set) and the text equals, ignoring case, an entry of
//    the column's list (the entry's own spelling is written) or the text the
//    rules themselves write there ("0FF" in the tone columns, "OFF" in the
//    mode column). A text equal to the cell's present text is left alone.
//  - Channel Name: only on a channel with a receive frequency; the name key
//    filter applies (characters 32..126 without , ~ ' ", at most 7), and a name
//    that loses characters to it is taken and reported.
CellEntry enterChannelCell(Document& doc, Band band, int col, int row, std::string_view text);

// A cell text (Latin-1) as a message quotes it: UTF-8, in double quotes, cut
// after 40 characters with "...".
std::string quotedCellText(std::string_view latin1);

}  // namespace pellaro
