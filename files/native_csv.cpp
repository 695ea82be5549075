// SPDX-License-Identifier: GPL-3.0-or-later
// The native channel CSV: a Band and a Channel column, then the twelve
// headings as the tables show them, each cell's text as it stands.
#include <string>

#include "codeplug/cell_entry.h"
#include "codeplug/columns.h"
#include "files/channel_csv_rows.h"

namespace pellaro::channel_csv {

namespace {

constexpr const char* kBandColumn = "Band";
const char* const kChannelColumn = columnInfo(Column::Number).heading;

std::optional<Band> bandOf(std::string_view text) {
    const std::string t = trimmed(text);
    if (sameIgnoringCase(t, "A")) return Band::A;
    if (sameIgnoringCase(t, "B")) return Band::B;
    return std::nullopt;
}

std::vector<PlannedRow> planNative(const CsvTable& table, std::optional<Band> only) {
    const Header header(table.records.front().fields);
    std::vector<PlannedRow> rows;
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        const CsvRecord& r = table.records[i];
        PlannedRow row;
        row.line = r.line;
        const auto bandText = field(r, header, kBandColumn);
        const auto band = bandText ? bandOf(*bandText) : only;
        const auto channelText = field(r, header, kChannelColumn).value_or("");
        const auto channel = channelNumber(channelText);
        if (!band || !channel) {
            row.refused = true;
            row.issues.push_back(
                issue(Severity::Refused, row, kNumberColumn,
                      !band ? "Band " + quoteUserText(bandText.value_or("")) + " is neither A nor B: row left out"
                            : "Channel " + quoteUserText(channelText) + " is not 1 to " + std::to_string(kRows) +
                                  ": row left out"));
            rows.push_back(std::move(row));
            continue;
        }
        row.band = *band;
        row.channel = *channel;
        if (only && *band != *only) {
            row.leftOut = true;
            row.issues.push_back(issue(Severity::Note, row, kNumberColumn,
                                       std::string("row left out: importing band ") + bandLetter(*only) + " only"));
            rows.push_back(std::move(row));
            continue;
        }
        for (int col = kFirstCellColumn; col < kColumns; ++col)
            if (const auto text = field(r, header, channelHeadings()[static_cast<std::size_t>(col)]))
                row.cells.push_back(
                    {col,
                     columnEditor(col) == CellEditor::Frequency ? readDecimalComma(row, col, trimmed(*text)) : *text,
                     false});
        row.emptiedWhy = std::string("the row has no ") + columnInfo(Column::RxFrequency).heading + " and no " +
                         columnInfo(Column::TxFrequency).heading;
        rows.push_back(std::move(row));
    }
    return rows;
}

}   // namespace

bool isNativeHeader(const Header& h) {
    if (!h.find(kChannelColumn)) return false;
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        if (h.find(channelHeadings()[static_cast<std::size_t>(col)])) return true;
    return false;
}

std::string readNative(const CsvTable& table, std::optional<Band> band, std::vector<PlannedRow>& rows,
                       std::vector<ReportItem>&) {
    if (!Header(table.records.front().fields).find(kBandColumn) && !band)
        return "the file has no Band column: choose the band its channels go into";
    rows = planNative(table, band);
    return {};
}

CsvExport exportNative(const Document& doc, std::optional<Band> band) {
    CsvExport out;
    std::vector<std::string> header = {kBandColumn, kChannelColumn};
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        header.push_back(channelHeadings()[static_cast<std::size_t>(col)]);
    out.csv = csvLine(header);
    for (Band b : {Band::A, Band::B}) {
        if (band && b != *band) continue;
        const ChannelTable& t = doc.table(b);
        for (int row = 1; row <= kRows; ++row) {
            if (!programmed(t, row)) continue;
            std::vector<std::string> fields = {bandLetter(b), std::to_string(row)};
            for (int col = kFirstCellColumn; col < kColumns; ++col) fields.push_back(latin1ToUtf8(t.at(col, row)));
            out.csv += csvLine(fields);
            ++out.rows;
        }
    }
    return out;
}

}   // namespace pellaro::channel_csv
