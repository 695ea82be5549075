// SPDX-License-Identifier: GPL-3.0-or-later
// Channel table editing: row operations, paste, copy and emptying cells.
#include "codeplug/channel_edit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "codeplug/report.h"
#include "codeplug/rules.h"

namespace pellaro {

namespace {

std::string cellsText(int n) { return std::to_string(n) + (n == 1 ? " cell" : " cells"); }

bool validRows(int first, int last) { return first >= 1 && first <= last && last <= kRows; }

// A result for channels first..last of `band`, selecting their data columns.
EditResult rowsResult(std::string name, std::string object, Band band, int first, int last) {
    EditResult r;
    r.name = std::move(name);
    r.object = std::move(object);
    r.band = band;
    r.selection = {first, last, kFirstCellColumn, kColumns - 1};
    return r;
}

EditResult refusedWhole(EditResult r, std::string why) {
    r.refusal = std::move(why);
    r.changed = false;
    r.selection = {};
    return r;
}

EditResult badRows(EditResult r, int first, int last) {
    return refusedWhole(std::move(r), "There are no channels " + std::to_string(first) + "-" + std::to_string(last) +
                                          " in the table (channels 1 to " + std::to_string(kRows) + ").");
}

// Runs `reorder` on whole rows first..last of the table; column 0 of those
// rows keeps its channel numbers, whatever moved.
template <typename Reorder>
void reorderRows(ChannelTable& t, int first, int last, Reorder reorder) {
    std::vector<std::string> numbers;
    numbers.reserve(static_cast<std::size_t>(last - first + 1));
    for (int r = first; r <= last; ++r) numbers.push_back(std::move(t.at(kNumberColumn, r)));
    reorder(t.cells.begin() + first, t.cells.begin() + last + 1);
    for (int r = first; r <= last; ++r)
        t.at(kNumberColumn, r) = std::move(numbers[static_cast<std::size_t>(r - first)]);
}

void emptyRow(ChannelTable& t, int row) {
    for (int col = kFirstCellColumn; col < kColumns; ++col) t.at(col, row).clear();
}

// A pasted text (UTF-8, maybe not valid) as a message quotes it.
std::string shown(std::string_view utf8) { return quoteUserText(utf8); }

bool isChannelNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 3) return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= kRows;
}

bool isHeadingRow(const std::vector<std::string>& cells, int col) {
    if (cells.empty() || col + static_cast<int>(cells.size()) > kColumns) return false;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i] != channelHeadings()[static_cast<std::size_t>(col) + i]) return false;
    return true;
}

// A channel's sort key: its class (0 with the key, 1 programmed without it,
// 2 empty), then the frequency or the name folded to lower case. The order is
// the one channel_edit.h describes; std::stable_sort keeps equal keys in order.
struct SortEntry {
    int cls = 0;
    std::uint64_t frequency = 0;
    std::string name;   // folded to lower case
    int row = 0;
};

SortEntry sortEntry(const ChannelTable& t, int row, SortKey key) {
    SortEntry e;
    e.row = row;
    if (channelEmpty(t, row)) {
        e.cls = 2;
        return e;
    }
    if (key == SortKey::Frequency) {
        const std::string& frequency = t.at(colOf(Column::RxFrequency), row);
        const auto f = parseDecimalScaled(frequency, 5);
        if (frequency.empty() || !f || f->negative) {
            e.cls = 1;
        } else {
            e.frequency = f->magnitude;
        }
        return e;
    }
    const std::string& name = t.at(colOf(Column::Name), row);
    if (name.empty()) {
        e.cls = 1;
        return e;
    }
    e.name = name;
    for (char& c : e.name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return e;
}

bool sortsBefore(const SortEntry& a, const SortEntry& b) {
    if (a.cls != b.cls) return a.cls < b.cls;
    if (a.cls != 0) return false;
    if (a.frequency != b.frequency) return a.frequency < b.frequency;
    // Unsigned comparison, so Latin-1 letters follow ASCII.
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// An item at channel `row`, column `col` of the step's band: refused or
// adjusted, as `severity` says. Channel 0 says it of the step as a whole.
void note(EditResult& r, Severity severity, int row, int col, std::string reason, int cells = 1) {
    auto& list = severity == Severity::Refused ? r.refused : r.adjusted;
    list.push_back({severity, {0, r.band, row, col, {}}, std::move(reason), cells});
}

bool isFrequencyColumn(int col) { return columnEditor(col) == CellEditor::Frequency; }
bool isListColumn(int col) { return columnEditor(col) == CellEditor::List; }

// The frequency column a cell belongs to: the receiving frequency for the
// receiving side and the name, the transmission frequency for the
// transmitting side, 0 for the frequencies themselves.
int frequencyOf(int col) {
    if (isFrequencyColumn(col) || columnSide(col) == CellSide::None) return 0;
    return sideFrequencyColumn(columnSide(col));
}

// The cells of one pasted row that belong to a refused frequency, said
// together once the row is through.
struct Dependents {
    std::string frequency;   // the refused frequency as quoted, empty: none refused
    int count = 0;
    int firstCol = 0;

    void add(int col) {
        if (count++ == 0) firstCol = col;
    }
    void say(EditResult& r, int row, bool receive) const {
        if (count == 0) return;
        const std::string why = std::string(receive ? "the receiving frequency " : "the transmission frequency ") +
                                frequency + " of this row was refused";
        if (count == 1)
            note(r, Severity::Refused, row, firstCol, why);
        else
            note(r, Severity::Refused, row, 0, std::to_string(count) + " cells not taken: " + why, count);
    }
};

}   // namespace

std::string channelsText(int first, int last) {
    if (first == last) return "Channel " + std::to_string(first);
    return "Channels " + std::to_string(first) + "-" + std::to_string(last);
}

std::string insertChannelName(int row) { return "Insert " + channelsText(row, row); }
std::string deleteChannelsName(int firstRow, int lastRow) { return "Delete " + channelsText(firstRow, lastRow); }
std::string clearChannelsName(int firstRow, int lastRow) { return "Clear " + channelsText(firstRow, lastRow); }

int cellsNotTaken(const EditResult& r) {
    int count = 0;
    for (const ReportItem& item : r.refused) count += item.count;
    return count;
}

std::string summaryText(const EditResult& r) {
    const int count = cellsNotTaken(r);
    return count == 0 ? r.name : r.name + ": " + cellsText(count) + " not taken";
}

std::vector<std::string> noteLines(const EditResult& r) {
    std::vector<std::string> lines;
    lines.reserve(r.refused.size() + r.adjusted.size() + 1);
    for (const ReportItem& item : r.refused) lines.push_back(itemText(item));
    if (!r.adjusted.empty()) lines.push_back("Changed on the way in:");
    for (const ReportItem& item : r.adjusted) lines.push_back(itemText(item));
    return shownLines(lines);
}

bool channelEmpty(const ChannelTable& t, int row) {
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        if (!t.at(col, row).empty()) return false;
    return true;
}

EditResult insertChannel(Document& doc, Band band, int row) {
    EditResult r = rowsResult(insertChannelName(row), channelsText(row, row), band, row, row);
    if (!validRows(row, row)) return badRows(std::move(r), row, row);
    ChannelTable& t = doc.table(band);
    if (!channelEmpty(t, kRows))
        return refusedWhole(std::move(r), "Cannot insert a channel: channel " + std::to_string(kRows) +
                                              " is not empty. Delete or clear it first.");
    const ChannelTable before = t;
    // The empty channel 128 comes round to `row`.
    reorderRows(t, row, kRows, [](auto first, auto last) { std::rotate(first, last - 1, last); });
    r.changed = !(t == before);
    return r;
}

EditResult deleteChannels(Document& doc, Band band, int firstRow, int lastRow) {
    EditResult r =
        rowsResult(deleteChannelsName(firstRow, lastRow), channelsText(firstRow, lastRow), band, firstRow, lastRow);
    if (!validRows(firstRow, lastRow)) return badRows(std::move(r), firstRow, lastRow);
    ChannelTable& t = doc.table(band);
    const ChannelTable before = t;
    for (int row = firstRow; row <= lastRow; ++row) emptyRow(t, row);
    // The emptied channels go round to the end of the table.
    const int count = lastRow - firstRow + 1;
    reorderRows(t, firstRow, kRows, [count](auto first, auto last) { std::rotate(first, first + count, last); });
    r.changed = !(t == before);
    return r;
}

EditResult clearChannels(Document& doc, Band band, int firstRow, int lastRow) {
    EditResult r =
        rowsResult(clearChannelsName(firstRow, lastRow), channelsText(firstRow, lastRow), band, firstRow, lastRow);
    if (!validRows(firstRow, lastRow)) return badRows(std::move(r), firstRow, lastRow);
    ChannelTable& t = doc.table(band);
    for (int row = firstRow; row <= lastRow; ++row) {
        r.changed = r.changed || !channelEmpty(t, row);
        emptyRow(t, row);
    }
    return r;
}

EditResult moveChannels(Document& doc, Band band, int firstRow, int lastRow, Direction direction) {
    const bool up = direction == Direction::Up;
    EditResult r =
        rowsResult(up ? "Move Up" : "Move Down", {}, band, firstRow + (up ? -1 : 1), lastRow + (up ? -1 : 1));
    if (!validRows(firstRow, lastRow)) return badRows(std::move(r), firstRow, lastRow);
    if (up && firstRow == 1) return refusedWhole(std::move(r), "Cannot move up: channel 1 is the first channel.");
    if (!up && lastRow == kRows)
        return refusedWhole(std::move(r),
                            "Cannot move down: channel " + std::to_string(kRows) + " is the last channel.");
    ChannelTable& t = doc.table(band);
    const ChannelTable before = t;
    if (up)
        reorderRows(t, firstRow - 1, lastRow, [](auto first, auto last) { std::rotate(first, first + 1, last); });
    else
        reorderRows(t, firstRow, lastRow + 1, [](auto first, auto last) { std::rotate(first, last - 1, last); });
    r.changed = !(t == before);
    return r;
}

EditResult sortChannels(Document& doc, Band band, int firstRow, int lastRow, SortKey key) {
    EditResult r =
        rowsResult(key == SortKey::Frequency ? "Sort by Frequency" : "Sort by Name", {}, band, firstRow, lastRow);
    if (!validRows(firstRow, lastRow)) return badRows(std::move(r), firstRow, lastRow);
    ChannelTable& t = doc.table(band);
    std::vector<SortEntry> order;
    order.reserve(static_cast<std::size_t>(lastRow - firstRow + 1));
    for (int row = firstRow; row <= lastRow; ++row) order.push_back(sortEntry(t, row, key));
    std::stable_sort(order.begin(), order.end(), sortsBefore);

    ChannelTable sorted = t;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int to = firstRow + static_cast<int>(i);
        for (int col = kFirstCellColumn; col < kColumns; ++col) sorted.at(col, to) = t.at(col, order[i].row);
        r.changed = r.changed || order[i].row != to;
    }
    // Rows whose positions changed may still hold the same texts.
    r.changed = r.changed && !(sorted == t);
    t = std::move(sorted);
    return r;
}

EditResult pasteCells(Document& doc, Band band, int row, int col, const TextGrid& cells) {
    EditResult r;
    r.band = band;
    if (row < 1 || row > kRows || col < 0 || col >= kColumns)
        return refusedWhole(std::move(r), "Cannot paste at channel " + std::to_string(row) + ", column " +
                                              std::to_string(col) + ": outside the channel table.");
    const std::size_t first = !cells.empty() && isHeadingRow(cells.front(), col) ? 1 : 0;
    if (first >= cells.size()) return refusedWhole(std::move(r), "There are no cells to paste.");

    // Everything goes into a copy; the document takes it whole at the end.
    Document next = doc;
    int pasted = 0;
    int width = 0;
    int rowsBeyond = 0;    // rows past channel 128 that hold any text
    int cellsBeyond = 0;   // their texts
    int emptyKept = 0;     // empty texts over list cells of programmed channels
    for (std::size_t i = first; i < cells.size(); ++i) {
        const int to = row + static_cast<int>(i - first);
        width = std::max(width, static_cast<int>(cells[i].size()));
        if (to > kRows) {
            const auto texts =
                std::count_if(cells[i].begin(), cells[i].end(), [](const auto& t) { return !t.empty(); });
            rowsBeyond += texts > 0;
            cellsBeyond += static_cast<int>(texts);
            continue;
        }
        // Texts past column 12 are said once per row, not cell by cell.
        int pastEdge = 0;
        std::string firstPastEdge;
        // The cells of a refused frequency's side, index 0 receiving, 1 transmitting.
        std::array<Dependents, 2> dependents;
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            const int c = col + static_cast<int>(j);
            const std::string& text = cells[i][j];
            if (c >= kColumns) {
                if (!text.empty() && pastEdge++ == 0) firstPastEdge = text;
                continue;
            }
            if (c == kNumberColumn) {
                if (!text.empty() && !isChannelNumber(text)) {
                    ++pasted;
                    note(r, Severity::Refused, to, c,
                         shown(text) + " is not a channel number; the channel numbers are not data");
                }
                continue;
            }
            ++pasted;
            // A spreadsheet row that leaves list columns empty says nothing
            // about them: the cells keep their entries, which the rules never
            // leave empty on a programmed channel. Said once for the step.
            const bool saysNothing = isListColumn(c) && isBlank(text);
            if (const int side = frequencyOf(c); side != 0) {
                Dependents& d = dependents[columnSide(c) == CellSide::Receive ? 0 : 1];
                if (!d.frequency.empty()) {
                    if (!saysNothing) d.add(c);
                    continue;
                }
            }
            const CellEntry e = enterChannelText(next, band, c, to, text);
            if (e.kind == CellEntry::Kind::Refused && saysNothing && channelEditorOffered(next, band, c, to)) {
                ++emptyKept;
                continue;
            }
            if (e.kind == CellEntry::Kind::Refused) {
                note(r, Severity::Refused, to, c, e.reason);
                if (isFrequencyColumn(c))
                    dependents[columnSide(c) == CellSide::Receive ? 0 : 1].frequency = shown(text);
            }
            if (e.kind == CellEntry::Kind::Adjusted) note(r, Severity::Changed, to, c, e.reason);
        }
        dependents[0].say(r, to, true);
        dependents[1].say(r, to, false);
        if (pastEdge > 0) {
            pasted += pastEdge;
            note(r, Severity::Refused, to, kColumns,
                 shown(firstPastEdge) +
                     (pastEdge > 1 ? " and " + std::to_string(pastEdge - 1) + " more cells" : std::string()) +
                     ", outside the channel table",
                 pastEdge);
        }
    }
    if (rowsBeyond > 0) {
        pasted += cellsBeyond;
        note(r, Severity::Refused, kRows + 1, col,
             std::to_string(rowsBeyond) + (rowsBeyond > 1 ? " rows" : " row") + " with " + cellsText(cellsBeyond) +
                 ", outside the channel table",
             cellsBeyond);
    }
    if (emptyKept > 0)
        note(r, Severity::Changed, 0, 0,
             cellsText(emptyKept) +
                 " left empty in the paste kept the entries they had (the list cells of a "
                 "programmed channel always hold one)");
    r.object = cellsText(pasted);
    r.name = "Paste " + r.object;
    r.changed = !(next.table(band) == doc.table(band));
    r.selection = {row, std::min(kRows, row + static_cast<int>(cells.size() - first) - 1), col,
                   std::min(kColumns - 1, col + width - 1)};
    doc = std::move(next);
    return r;
}

EditResult emptyCells(Document& doc, Band band, const CellRange& range) {
    EditResult r;
    r.band = band;
    if (range.empty() || !validRows(range.firstRow, range.lastRow) || range.firstCol < 0 || range.lastCol >= kColumns)
        return refusedWhole(std::move(r), "The cells to empty are not in the channel table.");
    Document next = doc;
    int count = 0;
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        for (int col = std::max(kFirstCellColumn, range.firstCol); col <= range.lastCol; ++col) {
            ++count;
            if (columnEditor(col) != CellEditor::Frequency && columnEditor(col) != CellEditor::Name) continue;
            const CellEntry e = enterChannelCell(next, band, col, row, "");
            if (e.kind == CellEntry::Kind::Refused) note(r, Severity::Refused, row, col, e.reason);
        }
    }
    r.object = cellsText(count);
    r.name = "Delete " + r.object;
    r.selection = range;
    r.changed = !(next.table(band) == doc.table(band));
    doc = std::move(next);
    return r;
}

}   // namespace pellaro
