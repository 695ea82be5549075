// SPDX-License-Identifier: GPL-3.0-or-later
// The list of channel CSV formats: each once, found by its own name, and
// recognised by the header its own writer puts first.
#include <gtest/gtest.h>

#include <set>

#include "codeplug/cell_entry.h"
#include "files/csv_formats.h"

using namespace pellaro;

TEST(CsvFormats, EachListedOnceAndKnowsItsOwnHeader) {
    Document doc;
    ASSERT_EQ(enterChannelCell(doc, Band::A, 1, 1, "145.5").kind, CellEntry::Kind::Applied);
    std::set<CsvFormat> ids;
    std::set<std::string_view> names;
    for (const CsvFormatEntry& f : csvFormats()) {
        SCOPED_TRACE(std::string(f.name));
        EXPECT_TRUE(ids.insert(f.id).second);
        EXPECT_TRUE(names.insert(f.name).second);
        EXPECT_EQ(&csvFormat(f.id), &f);
        EXPECT_EQ(findCsvFormat(f.name), &f);
        const CsvExport out = exportChannels(doc, f.id, Band::A);
        ASSERT_TRUE(out.ok()) << out.error;
        EXPECT_EQ(detectCsvFormat(out.csv), f.id);
    }
    EXPECT_EQ(csvFormats().front().id, CsvFormat::Native);   // the default, offered first
    EXPECT_EQ(findCsvFormat("Native"), nullptr);             // --format takes the name as listed
    EXPECT_EQ(csvFormatNames("|"), "native|generic");
}
