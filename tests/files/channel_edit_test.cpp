// SPDX-License-Identifier: GPL-3.0-or-later
// Editing channel tables: row operations at the table's edges, paste through
// the cell rules, copy, and copy-then-paste of random documents.
#include <gtest/gtest.h>

#include <random>

#include "codeplug/cell_entry.h"
#include "codeplug/channel_edit.h"
#include "codeplug/codes.h"
#include "codeplug/rules.h"
#include "files/channel_clipboard.h"

using namespace pellaro;

namespace {

constexpr Band A = Band::A;

// Channel `row` programmed through the cell rules and named "C<row>".
void program(Document& d, Band band, int row) {
    const std::string frequency = frequencyText(14000000u + 2500u * static_cast<unsigned>(row));
    ASSERT_TRUE(enterChannelCell(d, band, 1, row, frequency).taken());
    ASSERT_TRUE(enterChannelCell(d, band, 12, row, "C" + std::to_string(row)).taken());
}

Document withChannels(const std::vector<int>& rows) {
    Document d;
    for (int row : rows) program(d, A, row);
    return d;
}

std::vector<int> allRows() {
    std::vector<int> rows;
    for (int row = 1; row <= kRows; ++row) rows.push_back(row);
    return rows;
}

// The programmed channels of band A as runs "rows=names": "1-2=C3-C4 128=C9".
std::string layout(const Document& d) {
    std::string out;
    const ChannelTable& t = d.table(A);
    for (int row = 1; row <= kRows;) {
        if (channelEmpty(t, row)) {
            ++row;
            continue;
        }
        const int id = std::stoi(t.at(12, row).substr(1));
        int last = row;
        auto continues = [&](int next) { return t.at(12, next) == "C" + std::to_string(id + next - row); };
        while (last < kRows && !channelEmpty(t, last + 1) && continues(last + 1)) ++last;
        if (!out.empty()) out += ' ';
        out += last == row ? std::to_string(row) + "=C" + std::to_string(id)
                           : std::to_string(row) + "-" + std::to_string(last) + "=C" + std::to_string(id) + "-C" +
                                 std::to_string(id + last - row);
        row = last + 1;
    }
    return out;
}

std::string rowText(const Document& d, Band band, int row) {
    std::string s;
    for (int c = 1; c < kColumns; ++c) s += (c > 1 ? "|" : "") + d.table(band).at(c, row);
    return s;
}

std::string places(const std::vector<ReportItem>& items) {
    std::string s;
    for (const ReportItem& item : items)
        s += (s.empty() ? "" : " ") + std::to_string(item.place.channel) + ":" + std::to_string(item.place.column);
    return s;
}

// Whatever a step did, column 0 keeps the channel numbers, nothing outside
// band A's table changes, `changed` tells the truth, and a refused step
// changes nothing.
void checkStep(const Document& before, const Document& after, const EditResult& r, const std::string& what) {
    for (int row = 1; row <= kRows; ++row) ASSERT_EQ(after.table(A).at(0, row), std::to_string(row)) << what;
    Document rest = after;
    rest.table(A) = before.table(A);
    EXPECT_TRUE(rest == before) << what << ": something beyond the table changed";
    EXPECT_EQ(r.changed, !(after == before)) << what;
    if (!r.refusal.empty()) {
        EXPECT_TRUE(after == before) << what;
    }
}

enum class Op { Insert, Delete, Clear, Up, Down, SortByName };

EditResult run(Document& d, Op op, int first, int last) {
    switch (op) {
        case Op::Insert:
            return insertChannel(d, A, first);
        case Op::Delete:
            return deleteChannels(d, A, first, last);
        case Op::Clear:
            return clearChannels(d, A, first, last);
        case Op::Up:
            return moveChannels(d, A, first, last, Direction::Up);
        case Op::Down:
            return moveChannels(d, A, first, last, Direction::Down);
        case Op::SortByName:
            break;
    }
    return sortChannels(d, A, first, last, SortKey::Name);
}

}   // namespace

TEST(ChannelRows, AtTheEdges) {
    const std::vector<int> full = allRows();
    struct Case {
        Op op;
        int first, last;
        std::vector<int> programmed;
        const char* name;   // the step's name
        const char* after;
        bool refused;
        CellRange selection;
    };
    const Case cases[] = {
        {Op::Insert, 1, 1, {1, 2, 127}, "Insert Channel 1", "2-3=C1-C2 128=C127", false, {1, 1, 1, 12}},
        {Op::Insert, 128, 128, {1, 127}, "Insert Channel 128", "1=C1 127=C127", false, {128, 128, 1, 12}},
        {Op::Insert, 5, 5, full, "Insert Channel 5", "1-128=C1-C128", true, {}},
        {Op::Insert, 1, 1, {}, "Insert Channel 1", "", false, {1, 1, 1, 12}},
        {Op::Delete, 1, 1, {1, 2, 128}, "Delete Channel 1", "1=C2 127=C128", false, {1, 1, 1, 12}},
        {Op::Delete, 128, 128, {1, 128}, "Delete Channel 128", "1=C1", false, {128, 128, 1, 12}},
        {Op::Delete, 1, 128, full, "Delete Channels 1-128", "", false, {1, 128, 1, 12}},
        {Op::Delete, 2, 3, {1, 2, 3, 4, 5}, "Delete Channels 2-3", "1=C1 2-3=C4-C5", false, {2, 3, 1, 12}},
        {Op::Delete, 3, 4, {}, "Delete Channels 3-4", "", false, {3, 4, 1, 12}},
        {Op::Clear, 1, 2, {1, 2, 3}, "Clear Channels 1-2", "3=C3", false, {1, 2, 1, 12}},
        {Op::Clear, 128, 128, full, "Clear Channel 128", "1-127=C1-C127", false, {128, 128, 1, 12}},
        {Op::Up, 1, 2, {1, 2}, "Move Up", "1-2=C1-C2", true, {}},
        {Op::Up, 2, 3, {1, 2, 3}, "Move Up", "1-2=C2-C3 3=C1", false, {1, 2, 1, 12}},
        {Op::Up, 128, 128, {128}, "Move Up", "127=C128", false, {127, 127, 1, 12}},
        {Op::Down, 1, 1, {1}, "Move Down", "2=C1", false, {2, 2, 1, 12}},
        {Op::Down, 127, 128, full, "Move Down", "1-128=C1-C128", true, {}},
        {Op::Down, 1, 127, full, "Move Down", "1=C128 2-128=C1-C127", false, {2, 128, 1, 12}},
        {Op::Down, 4, 5, {}, "Move Down", "", false, {5, 6, 1, 12}},
        {Op::Insert, 0, 0, {1}, "Insert Channel 0", "1=C1", true, {}},
        {Op::Delete, 0, 3, {1}, "Delete Channels 0-3", "1=C1", true, {}},
        {Op::Clear, 5, 4, {5}, "Clear Channels 5-4", "5=C5", true, {}},
        {Op::SortByName, 1, 129, {1}, "Sort by Name", "1=C1", true, {}},
    };
    for (const Case& c : cases) {
        Document d = withChannels(c.programmed);
        const Document before = d;
        const EditResult r = run(d, c.op, c.first, c.last);
        EXPECT_EQ(r.name, c.name);
        EXPECT_EQ(layout(d), c.after) << c.name;
        EXPECT_EQ(!r.refusal.empty(), c.refused) << c.name << ": " << r.refusal;
        EXPECT_EQ(r.selection, c.selection) << c.name;
        EXPECT_TRUE(r.refused.empty() && r.adjusted.empty()) << c.name;
        checkStep(before, d, r, c.name);
    }
}

TEST(ChannelRows, SortIsStableWithUnkeyedAndEmptyChannelsLast) {
    Document d;
    auto set = [&](int row, const char* rx, const char* tx, const char* name) {
        if (*rx) {
            ASSERT_TRUE(enterChannelCell(d, A, 1, row, rx).taken());
        }
        if (*tx) {
            ASSERT_TRUE(enterChannelCell(d, A, 4, row, tx).taken());
        }
        if (*name) {
            ASSERT_TRUE(enterChannelCell(d, A, 12, row, name).taken());
        }
    };
    set(1, "435", "", "bravo");
    set(3, "145.5", "", "Alpha");
    set(4, "", "145", "");          // transmit side only: no receive frequency, no name
    set(5, "145.5", "", "alpha");   // ties row 3 in frequency and, without case, in name
    set(6, "136", "", "");
    set(7, "146", "", "");
    d.table(A).at(12, 7) = "\xC4";   // a Latin-1 name as read from a radio sorts after ASCII
    set(8, "150", "", "");

    struct Case {
        int first, last;
        SortKey key;
        std::vector<int> order;   // rows first..last afterwards, by their rows before
    };
    const Case cases[] = {
        {1, 8, SortKey::Frequency, {6, 3, 5, 7, 8, 1, 4, 2}},
        {1, 8, SortKey::Name, {3, 5, 1, 7, 4, 6, 8, 2}},
        {2, 6, SortKey::Frequency, {6, 3, 5, 4, 2}},
        {9, 128, SortKey::Name, {}},   // empty channels only: nothing moves
    };
    for (const Case& c : cases) {
        Document sorted = d;
        const EditResult r = sortChannels(sorted, A, c.first, c.last, c.key);
        checkStep(d, sorted, r, r.name);
        for (std::size_t i = 0; i < c.order.size(); ++i)
            EXPECT_EQ(rowText(sorted, A, c.first + static_cast<int>(i)), rowText(d, A, c.order[i]))
                << r.name << ", position " << i;
        for (int row = 1; row <= kRows; ++row)
            if (row < c.first || row > c.last) {
                EXPECT_EQ(rowText(sorted, A, row), rowText(d, A, row)) << r.name;
            }
        // A sorted block sorts to itself.
        Document again = sorted;
        EXPECT_FALSE(sortChannels(again, A, c.first, c.last, c.key).changed) << r.name;
    }
    EXPECT_EQ(sortChannels(d, A, 1, 20, SortKey::Frequency).name, "Sort by Frequency");
}

TEST(ChannelPaste, CellsThroughTheirRules) {
    struct Case {
        const char* tsv;
        int row, col;
        const char* row3;   // cells 1..12 of channels 3 and 4 afterwards
        const char* row4;
        const char* refused;   // "channel:column" of each refused cell
        const char* adjusted;
        const char* name;
    };
    const char* const home = "145.50000|0FF|OFF|||||High|Wide|OFF|OFF|Home";
    const char* const none = "|||||||||||";
    const Case cases[] = {
        // A whole row: the pasted frequency brings its defaults, the cells after it override them.
        {"146.525\tD023N\tQT/DQT\t146\t67.0HZ\tDTMF1\tOFF\tLow\tNarrow\tON\tOFF\tHill\n", 4, 1, home,
         "146.52500|D023N|QT/DQT|146.00000|67.0HZ|DTMF1|OFF|Low|Narrow|ON|OFF|Hill", "", "", "Paste 12 cells"},
        {"435.5", 4, 1, home, "435.50000|0FF|OFF|||||High|Wide|OFF|OFF|", "", "", "Paste 1 cell"},
        {"145.12345\tlow", 4, 1, home, "145.12500|0FF|OFF|||||High|Wide|OFF|OFF|", "4:2", "4:1", "Paste 2 cells"},
        // A sparse spreadsheet row: the empty list cells keep the defaults, said once.
        {"146\t\t\t\t\t\t\t\t\t\t\tHill", 4, 1, home, "146.00000|0FF|OFF|||||High|Wide|OFF|OFF|Hill", "", "0:0",
         "Paste 12 cells"},
        // Rows in order; CR LF line ends.
        {"146\r\n147\r\n", 3, 1, "146.00000|0FF|OFF|||||High|Wide|OFF|OFF|Home",
         "147.00000|0FF|OFF|||||High|Wide|OFF|OFF|", "", "", "Paste 2 cells"},
        {"D023N", 4, 2, home, none, "4:2", "", "Paste 1 cell"},   // no receive frequency
        {"Medium\tlow", 3, 8, "145.50000|0FF|OFF|||||High|Wide|OFF|OFF|Home", none, "3:8 3:9", "", "Paste 2 cells"},
        {"500\tD023N", 3, 1, home, none, "3:1 3:2", "", "Paste 2 cells"},   // out of band: the channel stays
        {"\xE2\x82\xACuro", 3, 12, "145.50000|0FF|OFF|||||High|Wide|OFF|OFF|uro", none, "", "3:12", "Paste 1 cell"},
        {"Hill\tx", 3, 12, "145.50000|0FF|OFF|||||High|Wide|OFF|OFF|Hill", none, "3:13", "", "Paste 2 cells"},
        {"Hill\t", 3, 12, "145.50000|0FF|OFF|||||High|Wide|OFF|OFF|Hill", none, "", "", "Paste 1 cell"},
        {"3\t146\nx\t147", 3, 0, "146.00000|0FF|OFF|||||High|Wide|OFF|OFF|Home",
         "147.00000|0FF|OFF|||||High|Wide|OFF|OFF|", "4:0", "", "Paste 3 cells"},
        // A heading line of the pasted columns is skipped; elsewhere it is data.
        {"Receiving Frequency\tReceiving CTCSS\n146\tD023N\n", 4, 1, home, "146.00000|D023N|OFF|||||High|Wide|OFF|OFF|",
         "", "", "Paste 2 cells"},
        {"Receiving CTCSS\n", 3, 1, home, none, "3:1", "", "Paste 1 cell"},
    };
    for (const Case& c : cases) {
        Document d;
        ASSERT_TRUE(enterChannelCell(d, A, 1, 3, "145.5").taken());
        ASSERT_TRUE(enterChannelCell(d, A, 12, 3, "Home").taken());
        const Document before = d;
        const EditResult r = pasteText(d, A, c.row, c.col, c.tsv);
        EXPECT_EQ(rowText(d, A, 3), c.row3) << c.tsv;
        EXPECT_EQ(rowText(d, A, 4), c.row4) << c.tsv;
        EXPECT_EQ(places(r.refused), c.refused) << c.tsv;
        EXPECT_EQ(places(r.adjusted), c.adjusted) << c.tsv;
        EXPECT_EQ(r.name, c.name) << c.tsv;
        EXPECT_EQ(r.refusal, "") << c.tsv;
        checkStep(before, d, r, c.tsv);
    }
}

// A refused frequency leaves its channel as it was, and the cells of its
// side in the same row go with it, said once for the row.
TEST(ChannelPaste, RefusedFrequencyLeavesTheChannel) {
    const char* const full = "146.52500|D023N|QT/DQT|146.00000|67.0HZ|DTMF1|OFF|Low|Narrow|ON|OFF|Hill";
    struct Case {
        const char* tsv;
        const char* row3;      // channel 3 afterwards
        const char* refused;   // "channel:column" of each note
        const char* lastReason;
        const char* summary;
    };
    const Case cases[] = {
        {"999.0\tOFF\tOFF\t999.0\tOFF\tOFF\tOFF\tHigh\tWide\tOFF\tOFF\tNew\n", full, "3:1 3:4 3:0 3:0",
         "3 cells not taken: the transmission frequency \"999.0\" of this row was refused",
         "Paste 12 cells: 12 cells not taken"},
        {"999.0\tOFF", full, "3:1 3:2", "the receiving frequency \"999.0\" of this row was refused",
         "Paste 2 cells: 2 cells not taken"},
        // Empty list cells say nothing; an empty name would empty it and goes
        // too; the empty transmission frequency empties its side, as asked.
        {"999.0\t\t\t\t\t\t\t\t\t\t\t", "146.52500|D023N|QT/DQT|||||Low|Narrow|ON|OFF|Hill", "3:1 3:12",
         "the receiving frequency \"999.0\" of this row was refused", "Paste 12 cells: 2 cells not taken"},
        // Only the side refused goes; the other is taken.
        {"146.525\tCTCSS\tOFF\t999\t88.5HZ", "146.52500|D023N|OFF|146.00000|67.0HZ|DTMF1|OFF|Low|Narrow|ON|OFF|Hill",
         "3:2 3:4 3:5", "the transmission frequency \"999\" of this row was refused",
         "Paste 5 cells: 3 cells not taken"},
    };
    for (const Case& c : cases) {
        Document d;
        ASSERT_TRUE(pasteText(d, A, 3, 1, "146.525\tD023N\tQT/DQT\t146\t67.0HZ\tDTMF1\tOFF\tLow\tNarrow\tON\tOFF\tHill")
                        .refused.empty());
        const Document before = d;
        const EditResult r = pasteText(d, A, 3, 1, c.tsv);
        EXPECT_EQ(rowText(d, A, 3), c.row3) << c.tsv;
        EXPECT_EQ(places(r.refused), c.refused) << c.tsv;
        EXPECT_EQ(r.refused.empty() ? "" : r.refused.back().reason, c.lastReason) << c.tsv;
        EXPECT_EQ(summaryText(r), c.summary) << c.tsv;
        checkStep(before, d, r, c.tsv);
    }
}

// A box lists the refused cells, then what was changed on the way in, the
// first 20 lines and a count of the rest; a step with nothing refused says
// its name alone.
TEST(ChannelPaste, SummaryAndLines) {
    Document d;
    EditResult r = pasteText(d, A, 3, 1, "145.12345\n146\n");
    EXPECT_EQ(summaryText(r), "Paste 2 cells");
    EXPECT_EQ(noteLines(r),
              (std::vector<std::string>{
                  "Changed on the way in:",
                  "A 3 Receiving Frequency: \"145.12345\" rounded onto the channel step raster: 145.12500"}));
    r = pasteText(d, A, 10, 2,
                  std::string("x\n")
                      .append(std::string("x\n"))
                      .append(std::string(46, 'x') + "\n")
                      .append("x\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\n"));
    const std::vector<std::string> lines = noteLines(r);
    EXPECT_EQ(summaryText(r), "Paste 23 cells: 23 cells not taken");
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "A 10 Receiving CTCSS: \"x\": the channel has no receiving frequency");
    EXPECT_EQ(lines[2],
              "A 12 Receiving CTCSS: \"" + std::string(40, 'x') + "…\": the channel has no receiving frequency");
    EXPECT_EQ(lines.back(), "… and 3 more");
}

TEST(ChannelPaste, EdgesOfTheTable) {
    Document d;
    EditResult r = pasteText(d, A, 128, 11, "ON\tLast\tx\n146\n");
    EXPECT_EQ(places(r.refused), "128:11 128:12 128:13 129:11");   // no receive frequency; then outside
    EXPECT_EQ(r.selection, (CellRange{128, 128, 11, 12}));
    EXPECT_EQ(itemText(r.refused[3]), "A past channel 128: 1 row with 1 cell, outside the channel table");
    // Texts past the edges are said once per row and once for all rows past the end.
    r = pasteText(d, A, 127, 12, "\tx\t\ty\tz\n\n\n1\n2\n\n3\n");
    EXPECT_EQ(places(r.refused), "127:13 129:12");
    EXPECT_EQ(itemText(r.refused[0]), "A 127 past the last column: \"x\" and 2 more cells, outside the channel table");
    EXPECT_EQ(itemText(r.refused[1]), "A past channel 128: 3 rows with 3 cells, outside the channel table");
    EXPECT_EQ(summaryText(r), "Paste 8 cells: 6 cells not taken");
    // A long text is quoted cut short.
    EXPECT_LT(pasteText(d, A, 1, 1, std::string(5000, '9')).refused.at(0).reason.size(), 150u);
    r = pasteText(d, A, 127, 1, "146\t\n147\t\n");
    EXPECT_EQ(r.selection, (CellRange{127, 128, 1, 2}));
    EXPECT_EQ(d.table(A).at(1, 128), "147.00000");
    struct Bad {
        int row, col;
        const char* text;
    };
    const std::string huge(kMaxPasteText + 1, '\t');
    for (const Bad& b : {Bad{0, 1, "146"}, Bad{129, 1, "146"}, Bad{1, 13, "146"}, Bad{1, 1, ""},
                         Bad{1, 1, "Receiving Frequency\n"}, Bad{1, 1, huge.c_str()}}) {
        const Document before = d;
        r = pasteText(d, A, b.row, b.col, b.text);
        EXPECT_NE(r.refusal, "") << b.row << ":" << b.col;
        EXPECT_TRUE(d == before);
    }
}

TEST(ChannelCopy, TextAsItStands) {
    Document d;
    ASSERT_TRUE(enterChannelCell(d, A, 1, 3, "145.5").taken());
    d.table(A).at(12, 3) = "a\t\xC4\"";   // read from a radio: any byte
    EXPECT_EQ(copyText(d, A, {3, 4, 0, 3}, true),
              "Channel\tReceiving Frequency\tReceiving CTCSS\tReceiving Mode\n3\t145.50000\t0FF\tOFF\n4\t\t\t\n");
    EXPECT_EQ(copyText(d, A, {3, 3, 12, 12}, false), "\"a\t\xC3\x84\"\"\"\n");
    EXPECT_EQ(copyText(d, A, {0, 3, 1, 1}, false), "");
    EXPECT_EQ(copyText(d, A, {3, 3, 1, 13}, false), "");
}

TEST(ChannelCells, EmptyingKeepsListCells) {
    Document d;
    ASSERT_TRUE(
        pasteText(d, A, 3, 1, "145.5\tD023N\tOFF\t146\t67.0HZ\tOFF\tOFF\tLow\tWide\tOFF\tON\tHome").refused.empty());
    Document cut = d;
    EditResult r = emptyCells(cut, A, {3, 3, 4, 12});
    EXPECT_EQ(rowText(cut, A, 3), "145.50000|D023N|OFF|||||Low|Wide|OFF|ON|");
    EXPECT_EQ(r.name, "Delete 9 cells");
    cut = d;
    emptyCells(cut, A, {3, 3, 0, 1});
    EXPECT_EQ(rowText(cut, A, 3), "|||146.00000|67.0HZ|OFF|OFF|||||");
    cut = d;
    r = emptyCells(cut, A, {3, 3, 2, 3});
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(cut == d);
}

// Documents made through the cell rules: every copy pastes back to the same
// cells, into the same document (no change at all) and into an empty one.
TEST(ChannelCopy, PastesBackToTheSameCells) {
    std::mt19937 random(20240610);
    auto pick = [&](const std::vector<std::string>& list) { return list[random() % list.size()]; };
    auto frequency = [&] {
        const bool vhf = random() % 2;
        const unsigned lo = (vhf ? VhfLow : UhfLow) * 100000u, hi = (vhf ? VhfHigh : UhfHigh) * 100000u;
        return frequencyText((lo + static_cast<unsigned>(random() % (hi - lo))) / 625 * 625);
    };
    for (int round = 0; round < 20; ++round) {
        Document d;
        for (Band band : {Band::A, Band::B}) {
            for (int row = 1; row <= kRows; ++row) {
                const unsigned kind = random() % 4;   // empty, receive, transmit only, both
                if (kind & 1) {
                    ASSERT_TRUE(enterChannelCell(d, band, 1, row, frequency()).taken());
                    for (int col : {2, 3, 8, 9, 10, 11})
                        if (random() % 2) {
                            ASSERT_TRUE(enterChannelCell(d, band, col, row, pick(channelListEntries(col))).taken());
                        }
                    std::string name;
                    for (unsigned n = random() % 8; n > 0; --n) name += static_cast<char>(32 + random() % 95);
                    enterChannelCell(d, band, 12, row, name);   // refused when no character is a name's
                }
                if (kind & 2) {
                    ASSERT_TRUE(enterChannelCell(d, band, 4, row, frequency()).taken());
                    for (int col : {5, 6, 7})
                        if (random() % 2) {
                            ASSERT_TRUE(enterChannelCell(d, band, col, row, pick(channelListEntries(col))).taken());
                        }
                }
            }
        }
        const Band band = random() % 2 ? Band::A : Band::B;
        const int first = 1 + static_cast<int>(random() % kRows);
        const int last = first + static_cast<int>(random() % static_cast<unsigned>(kRows - first + 1));
        const int firstCol = static_cast<int>(random() % kColumns);
        const int lastCol = firstCol + static_cast<int>(random() % static_cast<unsigned>(kColumns - firstCol));
        const bool headings = random() % 2;

        // A rectangle onto itself.
        Document same = d;
        EditResult r =
            pasteText(same, band, first, firstCol, copyText(d, band, {first, last, firstCol, lastCol}, headings));
        EXPECT_FALSE(r.changed) << round;
        EXPECT_TRUE(r.refused.empty() && r.adjusted.empty())
            << round << ": " << (r.refused.empty() ? "" : itemText(r.refused[0]));

        // Whole channels, with or without their numbers, into an empty table.
        Document empty;
        const int from = headings ? 0 : 1;
        r = pasteText(empty, band, first, from, copyText(d, band, {first, last, from, 12}, headings));
        EXPECT_TRUE(r.refused.empty() && r.adjusted.empty())
            << round << ": " << (r.refused.empty() ? "" : itemText(r.refused[0]));
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(rowText(empty, band, row), row >= first && row <= last ? rowText(d, band, row) : "|||||||||||")
                << round << ", channel " << row;
    }
}

// Names read from a radio may hold any byte; a copy of them pastes back
// onto themselves unchanged.
TEST(ChannelCopy, AnyNameBytePastesBackOntoItself) {
    Document d;
    for (int row = 1; row <= kRows; ++row) {
        ASSERT_TRUE(enterChannelCell(d, A, 1, row, "145").taken());
        for (int i = 0; i < 2; ++i) d.table(A).at(12, row) += static_cast<char>((row * 2 + i) % 256);
    }
    Document again = d;
    const EditResult r = pasteText(again, A, 1, 12, copyText(d, A, {1, kRows, 12, 12}, false));
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(r.refused.empty()) << itemText(r.refused.front());
}
