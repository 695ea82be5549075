// SPDX-License-Identifier: GPL-3.0-or-later
// Entering texts into channel cells from outside the editors: every kind of
// column, what is refused and what is reported as changed.
#include <gtest/gtest.h>

#include "codeplug/cell_entry.h"

using namespace pellaro;
using Kind = CellEntry::Kind;

namespace {

// Channel 3 of band A with a receive side only.
Document withReceiveSide() {
    Document d;
    EXPECT_EQ(enterChannelCell(d, Band::A, 1, 3, "145.5").kind, Kind::Applied);
    return d;
}

}   // namespace

TEST(CellEntry, EachColumnKind) {
    struct Case {
        int col;
        const char* text;
        Kind kind;
        const char* cell;   // the cell afterwards
    };
    const Case cases[] = {
        {1, " 145.525 ", Kind::Applied, "145.52500"},
        {1, "145.500000", Kind::Unchanged, "145.50000"},   // trailing zeros beyond nine characters
        {1, "145.12345", Kind::Adjusted, "145.12500"},     // onto the step raster
        {1, "145.5 MHz", Kind::Refused, "145.50000"},      // the key filter would change it
        {1, "435", Kind::Applied, "435.00000"},
        {1, "500", Kind::Refused, "145.50000"},           // out of band: the channel stays as it was
        {1, "446.103125", Kind::Adjusted, "446.10500"},   // six decimals: up to 10 Hz, then onto the raster
        {1, "136.0000001", Kind::Adjusted, "136.00250"},
        {1, "0145.500000000000000000", Kind::Unchanged, "145.50000"},
        {1, "1.2.3", Kind::Refused, "145.50000"},
        {1, "", Kind::Applied, ""},
        {2, "d023n", Kind::Applied, "D023N"},   // the entry's own spelling
        {2, "0ff", Kind::Unchanged, "0FF"},
        {2, "off", Kind::Applied, "OFF"},
        {2, "76.8HZ", Kind::Refused, "0FF"},   // not a list entry
        {3, "OFF", Kind::Unchanged, "OFF"},    // the text a new frequency writes
        {3, "qt/dqt+signaling", Kind::Applied, "QT/DQT+Signaling"},
        {8, "", Kind::Refused, "High"},   // a set channel keeps an entry
        {8, "low", Kind::Applied, "Low"},
        {9, "Wide Band", Kind::Refused, "Wide"},
        {5, "67.0HZ", Kind::Refused, ""},   // no transmit frequency
        {12, "Home", Kind::Applied, "Home"},
        {12, "Repeater", Kind::Adjusted, "Repeate"},
        {12, "a,b~c", Kind::Adjusted, "abc"},
        {0, "3", Kind::Refused, "3"},   // the channel number is not data
    };
    for (const Case& c : cases) {
        Document d = withReceiveSide();
        d.table(Band::A).at(0, 3) = "3";
        const Document before = d;
        const CellEntry e = enterChannelCell(d, Band::A, c.col, 3, c.text);
        EXPECT_EQ(e.kind, c.kind) << c.col << " '" << c.text << "': " << e.reason;
        EXPECT_EQ(d.table(Band::A).at(c.col, 3), c.cell) << c.col << " '" << c.text << "'";
        EXPECT_EQ(e.kind == Kind::Applied || e.kind == Kind::Unchanged, e.reason.empty()) << c.text;
        // Not taken means unchanged: no cell of the channel moved.
        if (!e.taken()) {
            EXPECT_TRUE(d == before) << c.col << " '" << c.text << "'";
        }
    }
}

// What a refusal or a change says, whichever way the text came (UTF-8 from
// the clipboard or a file, Latin-1 as cells hold it).
TEST(CellEntry, Reasons) {
    const std::string rule = kNameCharactersText;
    struct Case {
        int col;
        std::string text;
        bool utf8;
        Kind kind;
        std::string cell;   // the cell afterwards
        std::string reason;
    };
    const Case cases[] = {
        {1, "490.000001", false, Kind::Refused, "145.50000", "490.000001 MHz is above 490 MHz"},
        {1, "135.9999999", false, Kind::Refused, "145.50000", "135.9999999 MHz is below 136 MHz"},
        {1, "223.500000", false, Kind::Refused, "145.50000",
         "223.500000 MHz is between the bands, above 176 MHz and below 400 MHz"},
        {1, "446.103125", false, Kind::Adjusted, "446.10500",
         "\"446.103125\" rounded onto the channel step raster: 446.10500"},
        {1, "145.5 MHz", false, Kind::Refused, "145.50000",
         "\"145.5 MHz\" is not a frequency in MHz (digits and one \".\")"},
        {1, std::string(50, '9'), false, Kind::Refused, "145.50000", std::string(40, '9') + "… MHz is above 490 MHz"},
        {2, std::string(50, 'x'), false, Kind::Refused, "0FF",
         "\"" + std::string(40, 'x') + "…\" is not an entry of the Receiving CTCSS list"},
        // A name keeps the characters it can hold, wherever the text came from.
        {12, "\xC3\x84pfel", true, Kind::Adjusted, "pfel",
         "\"\xC3\x84pfel\" became \"pfel\": \"\xC3\x84\" is not taken; " + rule},
        {12, "\xC4pfel", false, Kind::Adjusted, "pfel",
         "\"\xC3\x84pfel\" became \"pfel\": \"\xC3\x84\" is not taken; " + rule},
        {12, "\xE2\x82\xACuro~\xE2\x82\xAC", true, Kind::Adjusted, "uro",
         "\"\xE2\x82\xACuro~\xE2\x82\xAC\" became \"uro\": \"\xE2\x82\xAC\" and \"~\" are not taken; " + rule},
        {12, "Repeater", false, Kind::Adjusted, "Repeate",
         "\"Repeater\" became \"Repeate\": a name holds at most 7 characters"},
        {12, " ", false, Kind::Adjusted, "", "\" \" became no name: a name of one blank is kept as none"},
        {12, "\xC3\x84\xC3\x96", true, Kind::Refused, "Home",
         "\"\xC3\x84\xC3\x96\": no character of it is taken: \"\xC3\x84\" and \"\xC3\x96\" are not taken; " + rule},
        {12, "\xC4pfel", true, Kind::Refused, "Home", "\"\xEF\xBF\xBDpfel\" is not UTF-8 text"},
    };
    for (const Case& c : cases) {
        Document d = withReceiveSide();
        ASSERT_TRUE(enterChannelCell(d, Band::A, 12, 3, "Home").taken());
        const CellEntry e =
            c.utf8 ? enterChannelText(d, Band::A, c.col, 3, c.text) : enterChannelCell(d, Band::A, c.col, 3, c.text);
        EXPECT_EQ(e.kind, c.kind) << c.text;
        EXPECT_EQ(d.table(Band::A).at(c.col, 3), c.cell) << c.text;
        EXPECT_EQ(e.reason, c.reason) << c.text;
    }
}

TEST(CellEntry, FrequencyBringsDefaultsAndUnchangedKeepsThem) {
    Document d = withReceiveSide();
    ASSERT_EQ(enterChannelCell(d, Band::A, 2, 3, "D023N").kind, Kind::Applied);
    // Re-entering the same frequency, in any form, keeps the picked tone.
    EXPECT_EQ(enterChannelCell(d, Band::A, 1, 3, "145.5").kind, Kind::Unchanged);
    EXPECT_EQ(d.table(Band::A).at(2, 3), "D023N");
    // A new frequency writes the defaults, as typing does.
    EXPECT_EQ(enterChannelCell(d, Band::A, 1, 3, "146").kind, Kind::Applied);
    EXPECT_EQ(d.table(Band::A).at(2, 3), "0FF");
    EXPECT_EQ(d.table(Band::A).at(8, 3), "High");
    // Off-list texts already in a cell (read from a radio) stay when re-entered.
    d.table(Band::A).at(2, 3) = "76.8HZ";
    EXPECT_EQ(enterChannelCell(d, Band::A, 2, 3, "76.8HZ").kind, Kind::Unchanged);
    EXPECT_EQ(enterChannelCell(d, Band::A, 1, 200, "145").kind, Kind::Refused);
}

TEST(CellEntry, Latin1AndUtf8) {
    EXPECT_EQ(latin1ToUtf8("\xC4pfel"), "\xC3\x84pfel");
    std::string back;
    EXPECT_TRUE(utf8ToLatin1("\xC3\x84pfel \xC3\x9F", back));
    EXPECT_EQ(back, "\xC4pfel \xDF");
    EXPECT_FALSE(utf8ToLatin1("\xE2\x82\xAC 5", back));   // the euro sign is beyond Latin-1
    EXPECT_EQ(back, "? 5");
    EXPECT_FALSE(utf8ToLatin1("\xC3", back));   // cut short
}
