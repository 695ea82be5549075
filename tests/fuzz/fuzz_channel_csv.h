// SPDX-License-Identifier: GPL-3.0-or-later
// The channel CSV import with arbitrary text, for either format: a file either
// goes in or changes nothing (so does a Replace that refuses anything); it touches only the channel tables; the
// document saves and loads back; and every channel it leaves is one the
// rules give, so our own native export of it imports back identically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codeplug/cell_entry.h"
#include "files/channel_csv.h"
#include "tests/fuzz/fuzz_check.h"

namespace pellaro::fuzz {

inline int fuzzChannelCsv(CsvFormat format, const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // Channels to merge into, typed as a user types them.
    static const Document base = [] {
        Document d;
        enterChannelCell(d, Band::A, 1, 1, "145.5");
        enterChannelCell(d, Band::A, 12, 1, "Home");
        enterChannelCell(d, Band::B, 4, 7, "435.025");
        enterChannelCell(d, Band::B, 5, 7, "D023I");
        return d;
    }();
    // The first byte picks the options.
    const std::optional<Band> band =
        (data[0] & 3) == 0 ? std::nullopt : std::optional<Band>((data[0] & 3) == 1 ? Band::A : Band::B);
    const ImportOptions options{format, band, (data[0] & 4) != 0};
    const std::string_view csv(reinterpret_cast<const char*>(data + 1), size - 1);

    Document doc = base;
    const ImportReport report = importChannels(doc, csv, options);
    checkMirrors(doc);
    if (!report.usable) {
        FUZZ_REQUIRE(doc == base, "an unusable file changed the document");
        FUZZ_REQUIRE(!report.error.empty(), "an unusable file gave no reason");
        return 0;
    }
    if (!report.applied) {
        FUZZ_REQUIRE(doc == base, "a Replace that refused something changed the document");
        FUZZ_REQUIRE(options.replace && report.anyRefused(), "rows not applied without a refused Replace");
        return 0;
    }
    Document tablesBack = doc;
    tablesBack.grid = base.grid;
    FUZZ_REQUIRE(tablesBack == base, "an import changed more than the channel tables");
    for (const ChannelTable& t : doc.grid)
        for (int row = 1; row <= kRows; ++row)
            FUZZ_REQUIRE(t.at(0, row) == std::to_string(row), "an import changed a channel number");

    std::string bytes;
    const FileResult saved = saveCodeplug(doc, bytes);
    FUZZ_REQUIRE(saved.ok(), "an imported document does not save: " + saved.error);
    checkSaveLoad(doc);

    const CsvExport out = exportChannels(doc, CsvFormat::Native, std::nullopt);
    FUZZ_REQUIRE(out.ok(), "the native export failed: " + out.error);
    if (out.rows == 0) return 0;   // a header alone is no plan to import
    Document again;
    const ImportReport back = importChannels(again, out.csv, ImportOptions{CsvFormat::Native, std::nullopt, true});
    FUZZ_REQUIRE(back.usable && back.issues.empty(),
                 "our own export does not import back cleanly: " + (back.usable ? back.lines().front() : back.error));
    FUZZ_REQUIRE(again.grid == doc.grid, "our own export imports back different: " + firstDifference(doc, again));
    return 0;
}

}   // namespace pellaro::fuzz
