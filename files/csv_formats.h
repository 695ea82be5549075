// SPDX-License-Identifier: GPL-3.0-or-later
// The channel CSV formats, each described once: the name pellaro-cli's
// --format takes, what the window's Import and Export dialogs offer, how its
// header is told apart, and its reader and writer. Both front ends list the
// formats from here, in this order (native first: the default).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/channel_csv.h"
#include "files/csv_text.h"

namespace pellaro {

namespace channel_csv {
class Header;
struct PlannedRow;
}   // namespace channel_csv

struct CsvFormatEntry {
    CsvFormat id;
    std::string_view name;      // as --format takes it: "native"
    std::string_view title;     // as the window names it: "Native"
    std::string_view label;     // the dialog's choice: "Native: the columns of the channel tables"
    std::string_view columns;   // what a header of the format holds: "our own columns"
    std::string_view lacks;     // why a header is not of the format
    bool oneBand;               // a file holds the channels of one band

    bool (*detect)(const channel_csv::Header& header);
    // See channel_csv_rows.h.
    std::string (*read)(const CsvTable& table, std::optional<Band> band, std::vector<channel_csv::PlannedRow>& rows,
                        std::vector<ReportItem>& fileIssues);
    CsvExport (*write)(const Document& doc, std::optional<Band> band);
};

std::span<const CsvFormatEntry> csvFormats();
const CsvFormatEntry& csvFormat(CsvFormat id);
// The format --format names ("native", "generic"); nothing for another name.
const CsvFormatEntry* findCsvFormat(std::string_view name);
// The formats' names in order, joined: "native|generic", "native or generic".
std::string csvFormatNames(std::string_view separator);

}   // namespace pellaro
