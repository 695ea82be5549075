// SPDX-License-Identifier: GPL-3.0-or-later
// The check before a full write: what the editors would refuse, or what would
// reach the radio as something else, stops it; the radio's own values pass.
#include <gtest/gtest.h>

#include "codeplug/cell_entry.h"
#include "codeplug/write_check.h"

namespace pellaro {
namespace {

// A programmed channel as the rules leave it.
Document programmed() {
    Document d;
    auto& r = d.table(Band::A).cells[5];
    r = {"5", "145.50000", "0FF", "OFF", "145.50000", "0FF", "OFF", "OFF", "High", "Wide", "OFF", "OFF", "CALL"};
    return d;
}

TEST(WriteCheck, ADocumentTheEditorsMadePasses) {
    EXPECT_TRUE(checkForWrite(Document()).empty());
    EXPECT_TRUE(checkForWrite(programmed()).empty());
}

TEST(WriteCheck, RefusedCellsAreNamedByPlace) {
    struct Case {
        int col;
        const char* text;
        const char* reason;   // a part of the reason; nullptr: passes
    };
    const Case cases[] = {
        {1, "1x5.50000", "not a frequency"},
        {1, "999.99999", "above 490 MHz"},   // the band edges
        {4, "480.00001x", "not a frequency"},
        {1, "145.51", nullptr},   // off the step raster: the radio's own, passes
        {1, "145.5", nullptr},    // completed by the rule, same value
        {8, "high", "not an entry of the Power list; the radio would get \"Low\""},
        {2, "foo", "list; the radio would get \"OFF\""},
        {2, "D023N", nullptr},
        {2, "123.4HZ", nullptr},   // a tone the list lacks, as a radio may hold it
        {6, "DTMF9", "Launch Signaling"},
        {12, "TOOLONGNAME", "more than the 7 characters"},
    };
    for (const Case& c : cases) {
        Document d = programmed();
        d.table(Band::A).at(c.col, 5) = c.text;
        const std::vector<ReportItem> items = checkForWrite(d);
        if (!c.reason) {
            EXPECT_TRUE(items.empty()) << c.text << ": " << (items.empty() ? "" : itemText(items[0]));
            continue;
        }
        ASSERT_EQ(items.size(), 1u) << c.text;
        EXPECT_EQ(items[0].severity, Severity::Refused);
        EXPECT_EQ(placeText(items[0].place), "A 5 " + channelHeadings()[static_cast<std::size_t>(c.col)]) << c.text;
        EXPECT_NE(items[0].reason.find(c.reason), std::string::npos) << items[0].reason;
    }
}

// A mirror that is not its length of hex digits would fail the write at its
// block, after every channel had gone out; an FM frequency the page refuses
// would go out as it stands.
TEST(WriteCheck, MirrorsAndSettingsAreCheckedAsTheRadioWouldGetThem) {
    Document d;
    d.k[5] = d.k[5].substr(0, 10);
    std::vector<ReportItem> items = checkForWrite(d);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(placeText(items[0].place), "Comprehensive Setting / memory 0X0200--0X0211");

    d = Document();
    d.k[5].replace(4, 4, "07D0");   // 200.0 MHz
    items = checkForWrite(d);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(itemText(items[0]), "Comprehensive Setting / FM Frequency: \"200.0\": FM Frequency 88~108MHz");
}

}   // namespace
}   // namespace pellaro
