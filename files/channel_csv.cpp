// Channel CSV: the native columns, format detection, and the import that
// takes every row through the editors' rules.
#include "files/channel_csv.h"

#include <algorithm>

#include "codeplug/cell_entry.h"
#include "files/channel_csv_rows.h"

namespace pellaro {

namespace channel_csv {

Header::Header(const std::vector<std::string>& names) {
    for (const std::string& n : names) names_.push_back(trimmed(n));
}

std::optional<std::size_t> Header::find(std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (sameIgnoringCase(names_[i], name)) return i;
    return std::nullopt;
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") + 1 - first));
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

std::optional<std::string> field(const CsvRecord& r, const Header& h, std::string_view name) {
    const auto at = h.find(name);
    if (!at || *at >= r.fields.size()) return std::nullopt;
    return r.fields[*at];
}

std::optional<int> channelNumber(std::string_view text) {
    const std::string t = trimmed(text);
    if (t.empty() || t.size() > 3 || t.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int n = std::stoi(t);
    if (n < 1 || n > kRows) return std::nullopt;
    return n;
}

bool programmed(const ChannelTable& t, int row) {
    for (int col = 1; col < kColumns; ++col)
        if (!t.at(col, row).empty()) return true;
    return false;
}


std::string where(Band band, int channel, int column, const std::string& what) {
    std::string w = std::string(bandLetter(band)) + " " + std::to_string(channel);
    if (column > 0) w += " " + channelHeadings()[static_cast<std::size_t>(column)];
    return w + ": " + what;
}

ImportIssue issue(ImportIssue::Kind kind, const PlannedRow& row, int column, const std::string& what) {
    return {kind, row.line, row.band, row.channel, column,
            row.channel > 0 ? where(row.band, row.channel, column, what) : what};
}

}  // namespace channel_csv

namespace {

using namespace channel_csv;
using IssueKind = ImportIssue::Kind;

constexpr const char* kBandColumn = "Band";
constexpr const char* kChannelColumn = "Channel";

bool isNativeHeader(const Header& h) {
    if (!h.find(kChannelColumn)) return false;
    for (int col = 1; col < kColumns; ++col)
        if (h.find(channelHeadings()[static_cast<std::size_t>(col)])) return true;
    return false;
}

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
            row.issues.push_back(issue(IssueKind::Refused, row, 0,
                                       !band ? "Band \"" + bandText.value_or("") + "\" is neither A nor B: row left out"
                                             : "Channel \"" + channelText + "\" is not 1 to 128: row left out"));
            rows.push_back(std::move(row));
            continue;
        }
        row.band = *band;
        row.channel = *channel;
        if (only && *band != *only) {
            row.leftOut = true;
            row.issues.push_back(issue(IssueKind::Note, row, 0,
                                       std::string("row left out: importing band ") + bandLetter(*only) + " only"));
            rows.push_back(std::move(row));
            continue;
        }
        for (int col = 1; col < kColumns; ++col)
            if (const auto text = field(r, header, channelHeadings()[static_cast<std::size_t>(col)]))
                row.cells.push_back({col, *text, false});
        rows.push_back(std::move(row));
    }
    return rows;
}

CsvExport exportNative(const Document& doc, std::optional<Band> band) {
    CsvExport out;
    std::vector<std::string> header = {kBandColumn, kChannelColumn};
    for (int col = 1; col < kColumns; ++col) header.push_back(channelHeadings()[static_cast<std::size_t>(col)]);
    out.csv = csvLine(header);
    for (Band b : {Band::A, Band::B}) {
        if (band && b != *band) continue;
        const ChannelTable& t = doc.table(b);
        for (int row = 1; row <= kRows; ++row) {
            if (!programmed(t, row)) continue;
            std::vector<std::string> fields = {bandLetter(b), std::to_string(row)};
            for (int col = 1; col < kColumns; ++col) fields.push_back(latin1ToUtf8(t.at(col, row)));
            out.csv += csvLine(fields);
            ++out.rows;
        }
    }
    return out;
}

// Tone and mode texts that store as "not set" (FFFF, FF) whatever their
// spelling: an empty cell, "OFF" and "0FF" in a tone column, "OFF" in the
// receiving mode column.
bool storesNotSet(int col, std::string_view text) {
    if (col == 2 || col == 5) return text.empty() || text == "OFF" || text == "0FF";
    if (col == 3) return text.empty() || text == "OFF";
    return false;
}

std::string quotedUtf8(std::string_view latin1) { return "\"" + latin1ToUtf8(latin1) + "\""; }

// The cells of one row through enterChannelCell, in column order. A refused
// receiving frequency leaves the whole row out and the channel as it was; a
// refused transmission frequency leaves the channel without a transmit side,
// as typing it would, and its tone and signalling are not tried.
void applyRow(Document& doc, PlannedRow& row, ImportReport& report) {
    ChannelTable& t = doc.table(row.band);
    const auto before = t.cells[static_cast<std::size_t>(row.channel)];
    bool transmitRefused = false;
    for (const PlannedCell& cell : row.cells) {
        if (transmitRefused && cell.col >= 5 && cell.col <= 7) continue;
        std::string latin1;
        CellEntry e;
        if (!utf8ToLatin1(cell.text, latin1)) {
            e = {CellEntry::Kind::Refused,
                 "\"" + cell.text + "\" holds characters this radio cannot hold (only Latin-1)"};
        } else {
            const std::string& now = t.at(cell.col, row.channel);
            if ((cell.anyOffWill || latin1.empty()) && storesNotSet(cell.col, now)) continue;   // says the same
            e = enterChannelCell(doc, row.band, cell.col, row.channel, latin1);
        }
        if (e.kind == CellEntry::Kind::Applied || e.kind == CellEntry::Kind::Unchanged) continue;
        std::string reason = e.reason;
        if (reason.find(quotedUtf8(latin1)) == std::string::npos && reason.find("\"" + cell.text + "\"") == std::string::npos)
            reason = "\"" + cell.text + "\": " + reason;
        while (!reason.empty() && reason.back() == ' ') reason.pop_back();
        if (e.kind == CellEntry::Kind::Adjusted) {
            row.issues.push_back(issue(IssueKind::Adjusted, row, cell.col, reason));
            continue;
        }
        if (cell.col == 1) {
            t.cells[static_cast<std::size_t>(row.channel)] = before;
            row.refused = true;
            row.issues = {issue(IssueKind::Refused, row, 1, reason + "; row left out")};
            break;
        }
        if (cell.col == 4) transmitRefused = true;
        row.issues.push_back(issue(IssueKind::Refused, row, cell.col, reason));
    }
    std::stable_sort(row.issues.begin(), row.issues.end(),
                     [](const ImportIssue& a, const ImportIssue& b) { return a.column < b.column; });
    if (row.refused) ++report.rowsRefused;
    else ++report.rowsTaken;
}

// Every channel of the band emptied as typing an empty frequency empties it.
void emptyBand(Document& doc, Band band) {
    for (int row = 1; row <= kRows; ++row) {
        if (!programmed(doc.table(band), row)) continue;
        enterChannelCell(doc, band, 1, row, "");
        enterChannelCell(doc, band, 4, row, "");
    }
}

}  // namespace

std::optional<CsvFormat> detectCsvFormat(std::string_view csv) {
    const CsvTable table = parseCsv(csv);
    if (!table.ok() || table.records.empty()) return std::nullopt;
    const Header header(table.records.front().fields);
    if (isNativeHeader(header)) return CsvFormat::Native;
    if (isGenericHeader(header)) return CsvFormat::Generic;
    return std::nullopt;
}

CsvExport exportChannels(const Document& doc, CsvFormat format, std::optional<Band> band) {
    if (format == CsvFormat::Native) return exportNative(doc, band);
    if (!band) return {{}, "the generic format holds one band: choose band A or B", 0};
    return exportGeneric(doc, *band);
}

bool ImportReport::anyRefused() const {
    return rowsRefused > 0 || std::any_of(issues.begin(), issues.end(),
                                          [](const ImportIssue& i) { return i.kind == ImportIssue::Kind::Refused; });
}

std::vector<std::string> ImportReport::lines() const {
    std::vector<std::string> out;
    for (const ImportIssue& i : issues)
        out.push_back((i.line > 0 ? "line " + std::to_string(i.line) + ": " : std::string()) + i.text);
    return out;
}

ImportReport importChannels(Document& doc, std::string_view csv, const ImportOptions& options) {
    ImportReport report;
    const CsvTable table = parseCsv(csv);
    if (!table.ok()) {
        report.error = table.error;
        return report;
    }
    if (table.records.empty()) {
        report.error = "the file holds no header line";
        return report;
    }
    const Header header(table.records.front().fields);
    std::vector<PlannedRow> rows;
    if (options.format == CsvFormat::Native) {
        if (!isNativeHeader(header)) {
            report.error = "line " + std::to_string(table.records.front().line) +
                           ": not a native channel CSV (the header names no Channel column and no channel heading)";
            return report;
        }
        if (!header.find(kBandColumn) && !options.band) {
            report.error = "the file has no Band column: choose the band its channels go into";
            return report;
        }
        rows = planNative(table, options.band);
    } else {
        if (!isGenericHeader(header)) {
            report.error = "line " + std::to_string(table.records.front().line) +
                           ": not a generic channel CSV (the header names no Location column)";
            return report;
        }
        rows = planGeneric(table, options.band.value_or(Band::A), report.issues);
    }
    report.usable = true;

    if (options.replace) {
        if (options.format == CsvFormat::Generic || options.band) {
            emptyBand(doc, options.band.value_or(Band::A));
        } else {
            emptyBand(doc, Band::A);
            emptyBand(doc, Band::B);
        }
    }
    for (PlannedRow& row : rows) {
        if (row.refused) ++report.rowsRefused;
        else if (!row.leftOut) applyRow(doc, row, report);
        report.issues.insert(report.issues.end(), row.issues.begin(), row.issues.end());
    }
    return report;
}

}  // namespace pellaro
