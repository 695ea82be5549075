// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the native and the generic channel CSV: a row as the texts it
// asks for, cell by cell, before they go through the editors' rules.
// Internal to the files library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/report.h"
#include "files/channel_csv.h"
#include "files/csv_text.h"

namespace pellaro::channel_csv {

struct PlannedCell {
    int col = 0;               // 1..12
    std::string text;          // UTF-8, as the file gives it
    bool anyOffWill = false;   // a tone column: an empty cell, "OFF" or "0FF" already says it
};

struct PlannedRow {
    int line = 0;
    Band band = Band::A;
    int channel = 0;
    bool refused = false;             // the whole row is left out (`issues` says why)
    bool leftOut = false;             // left out on purpose (another band); not a refusal
    std::vector<PlannedCell> cells;   // in column order
    std::vector<ReportItem> issues;   // found while reading the row
    std::string emptiedWhy;           // why the row empties its channel, when it does
};

// The header row: column positions by name, ignoring case and blanks.
class Header {
public:
    explicit Header(const std::vector<std::string>& names);
    std::optional<std::size_t> find(std::string_view name) const;
    const std::vector<std::string>& names() const { return names_; }

private:
    std::vector<std::string> names_;   // trimmed
};

std::string trimmed(std::string_view text);
bool sameIgnoringCase(std::string_view a, std::string_view b);
// A field of a record by the header's column; nothing when the column is not
// in the header or the record is shorter.
std::optional<std::string> field(const CsvRecord& r, const Header& h, std::string_view name);
// "5" to 5 when it is a whole number 1..128.
std::optional<int> channelNumber(std::string_view text);
bool programmed(const ChannelTable& t, int row);
// An issue of the row: at its channel and `column` (0: the whole channel;
// the line alone when the row names no channel).
ReportItem issue(Severity severity, const PlannedRow& row, int column, const std::string& what);
// The text with a decimal comma read as a point, when it is digits, one comma
// and digits; a Changed issue at `column` of the row then says so.
std::string readDecimalComma(PlannedRow& row, int column, const std::string& text);

// Each format's header test, reader and writer, as csvFormats() lists them.
// A reader plans the rows after the header of `table` (`band` as
// ImportOptions has it; said of the whole file goes to `fileIssues`), or says
// why the file cannot be taken so. A writer is given a band when its format
// holds one.
bool isNativeHeader(const Header& h);
std::string readNative(const CsvTable& table, std::optional<Band> band, std::vector<PlannedRow>& rows,
                       std::vector<ReportItem>& fileIssues);
CsvExport exportNative(const Document& doc, std::optional<Band> band);

bool isGenericHeader(const Header& h);
std::string readGeneric(const CsvTable& table, std::optional<Band> band, std::vector<PlannedRow>& rows,
                        std::vector<ReportItem>& fileIssues);
CsvExport exportGeneric(const Document& doc, std::optional<Band> band);

}   // namespace pellaro::channel_csv
