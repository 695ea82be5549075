// SPDX-License-Identifier: GPL-3.0-or-later
// Editing whole channels and blocks of cells of a channel table: insert,
// delete, clear, move and sort channels; paste, copy and empty cells.
//
// Every operation works on the document alone and returns an EditResult: the
// name of the step in the user's words (for an undo history), whether the
// document changed, the cells a view selects afterwards, and what was refused
// or changed on the way. An operation refused as a whole (`refusal` set)
// leaves the document exactly as it was; otherwise it is applied completely.
// Column 0 always keeps the channel numbers: rows move only with their
// columns 1..12. Pasted texts enter each cell through enterChannelText, the
// same rule as the user's typing or pick, so no operation gives a channel the
// editors could not give.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/report.h"

namespace pellaro {

// Rows of cell texts; rows may differ in length.
using TextGrid = std::vector<std::vector<std::string>>;

// Channels firstRow..lastRow (1..128), columns firstCol..lastCol (0..12),
// both ends included. Empty when lastRow < firstRow or lastCol < firstCol.
struct CellRange {
    int firstRow = 1;
    int lastRow = 0;
    int firstCol = 1;
    int lastCol = 0;

    bool empty() const { return lastRow < firstRow || lastCol < firstCol; }
    bool operator==(const CellRange&) const = default;
};

// "Channel 5", "Channels 5-8": how the steps and the Edit menu name channels.
std::string channelsText(int first, int last);
// The names of the steps on whole channels, as the Edit menu offers them:
// "Insert Channel 5", "Delete Channels 5-8", "Clear Channel 3".
std::string insertChannelName(int row);
std::string deleteChannelsName(int firstRow, int lastRow);
std::string clearChannelsName(int firstRow, int lastRow);

// What a step refused or took otherwise than given is said as report items
// (codeplug/report.h). Their places may lie beyond the table (channel 129..,
// column 13..) for texts pasted past its edges; a place with the band alone
// is said of the step as a whole. An item's `count` is the pasted cells it
// speaks for.
struct EditResult {
    std::string name;       // "Paste 12 cells", "Delete Channels 5-8", ... as the Edit menu says it
    std::string object;     // what the name says the step worked on: "12 cells", "Channels 5-8"; empty: nothing named
    bool changed = false;   // the document differs from before the step
    Band band = Band::A;
    CellRange selection;                // what a view selects afterwards
    std::string refusal;                // non-empty: the whole step was refused, nothing changed
    std::vector<ReportItem> refused;    // cells not taken (a paste applies the rest)
    std::vector<ReportItem> adjusted;   // cells taken otherwise than given (rounded, cut)
};

// How many cells the step did not take (the counts of its refused items).
int cellsNotTaken(const EditResult& result);
// "Paste 48 cells: 3 cells not taken", or the name alone when every cell was
// taken.
std::string summaryText(const EditResult& result);
// What a box lists of the step: the refused items, then "Changed on the way
// in:" and the adjusted ones, the first kShownReportLines and a count of the
// rest.
std::vector<std::string> noteLines(const EditResult& result);

// An empty channel at `row`: channels row..127 move down by one. Refused when
// channel 128 is not empty, since it would be pushed out of the table.
EditResult insertChannel(Document& doc, Band band, int row);
// Channels firstRow..lastRow removed; the channels after them move up and
// empty channels fill the end of the table.
EditResult deleteChannels(Document& doc, Band band, int firstRow, int lastRow);
// Every cell of channels firstRow..lastRow emptied; no channel moves.
EditResult clearChannels(Document& doc, Band band, int firstRow, int lastRow);

enum class Direction { Up, Down };
// The block firstRow..lastRow one channel up or down; the channel it passes
// goes to the other end of the block. Refused at the table's first or last
// channel.
EditResult moveChannels(Document& doc, Band band, int firstRow, int lastRow, Direction direction);

// Sorts channels firstRow..lastRow. Channels fall into three classes, kept in
// this order: those with the key (a receive frequency that reads as a
// number; a name), then programmed channels without it, then empty channels.
// Within the first class channels go by ascending frequency, or by name with
// the letters A-Z compared without case and every other character by its
// Latin-1 code. The sort is stable: channels whose keys are equal, and all
// channels of the other two classes, keep the order they had.
enum class SortKey { Frequency, Name };
EditResult sortChannels(Document& doc, Band band, int firstRow, int lastRow, SortKey key);

// Pastes `cells` (UTF-8 texts) with its first cell at (row, col): rows in
// order and, within a row, cells from left to right, each through
// enterChannelText, so a pasted frequency followed by a pasted tone keeps the
// tone. A refused cell leaves its cell as it was; when a row's receiving (or
// transmission) frequency is refused, the cells of that row that belong to
// it (its tones, mode, power, ..., and the name for the receiving side) are
// refused with it, said once for the row, and the channel keeps them. A first row that is exactly the headings of the
// columns it covers is skipped, so a copy with headings pastes back. Column 0 is not data: a channel number or an empty
// text there is passed over, anything else is refused. Texts past column 12 or channel 128 are not wrapped: they are
// refused with one item per row at column 13 for the cells past the last
// column, and one item at channel 129 for all rows past the last channel
// (empty texts there are passed over). A text that is not valid UTF-8 is
// refused; a name loses the characters it cannot hold, as enterChannelText
// says. The step's name counts every cell given (headings, channel numbers
// and empty texts past the edges aside).
EditResult pasteCells(Document& doc, Band band, int row, int col, const TextGrid& cells);
// (pasteText and copyText in files/channel_clipboard.h: the same as
// tab-separated text.)

// Empties the frequency and name cells of `range` through their own rules (an
// emptied frequency empties its group); list cells are left alone, since a
// programmed channel always keeps an entry there.
EditResult emptyCells(Document& doc, Band band, const CellRange& range);

// Whether channel `row` has no text in columns 1..12.
bool channelEmpty(const ChannelTable& table, int row);

}   // namespace pellaro
