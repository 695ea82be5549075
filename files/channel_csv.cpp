// SPDX-License-Identifier: GPL-3.0-or-later
// Channel CSV: what both formats share, format detection, and the import
// that takes every row through the editors' rules.
#include "files/channel_csv.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "codeplug/cell_entry.h"
#include "files/channel_csv_rows.h"
#include "files/csv_formats.h"

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
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
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
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        if (!t.at(col, row).empty()) return true;
    return false;
}

ReportItem issue(Severity severity, const PlannedRow& row, int column, const std::string& what) {
    Place place;
    place.line = row.line;
    if (row.channel > 0) {
        place.band = row.band;
        place.channel = row.channel;
        place.column = column;
    }
    return {severity, place, what};
}

std::string readDecimalComma(PlannedRow& row, int column, const std::string& text) {
    const std::size_t comma = text.find(',');
    const bool decimalComma = comma != std::string::npos && comma > 0 && comma + 1 < text.size() &&
                              text.find_first_not_of("0123456789,") == std::string::npos &&
                              text.find(',', comma + 1) == std::string::npos;
    if (!decimalComma) return text;
    row.issues.push_back(
        issue(Severity::Changed, row, column, quoteUserText(text) + ": decimal comma read as a point"));
    std::string read = text;
    read[comma] = '.';
    return read;
}

}   // namespace channel_csv

namespace {

using namespace channel_csv;

// Tone and mode texts that store as "not set" (FFFF, FF) whatever their
// spelling: an empty cell, "OFF" and "0FF" in a tone column, "OFF" in the
// receiving mode column.
bool storesNotSet(int col, std::string_view text) {
    if (columnInfo(col).code == RecordCode::Tone) return text.empty() || text == "OFF" || text == "0FF";
    if (col == colOf(Column::RxMode)) return text.empty() || text == "OFF";
    return false;
}

// The cells of one row through enterChannelCell, in column order. A refused
// receiving frequency leaves the whole row out and the channel as it was; a
// refused transmission frequency leaves the channel without a transmit side,
// as typing it would, and its tone and signalling are not tried. A row that
// leaves a programmed channel without any frequency has emptied it: said.
void applyRow(Document& doc, PlannedRow& row, ImportReport& report) {
    ChannelTable& t = doc.table(row.band);
    const auto before = t.cells[static_cast<std::size_t>(row.channel)];
    const bool wasProgrammed = programmed(t, row.channel);
    bool transmitRefused = false;
    for (const PlannedCell& cell : row.cells) {
        if (transmitRefused && columnEditor(cell.col) != CellEditor::Frequency &&
            columnSide(cell.col) == CellSide::Transmit)
            continue;
        std::string latin1;
        CellEntry e;
        if (!utf8ToLatin1(cell.text, latin1)) {
            e = {CellEntry::Kind::Refused,
                 quoteUserText(cell.text) + " holds characters this radio cannot hold (only Latin-1)"};
        } else {
            const std::string& now = t.at(cell.col, row.channel);
            if ((cell.anyOffWill || latin1.empty()) && storesNotSet(cell.col, now)) continue;   // says the same
            e = enterChannelCell(doc, row.band, cell.col, row.channel, latin1);
        }
        if (e.kind == CellEntry::Kind::Applied || e.kind == CellEntry::Kind::Unchanged) continue;
        std::string reason = e.reason;
        // The rule's reason quotes the text it was given; one that does not is told what it was.
        if (reason.find(quotedCellText(latin1)) == std::string::npos &&
            reason.find(quoteUserText(cell.text)) == std::string::npos)
            reason = quoteUserText(cell.text) + ": " + reason;
        while (!reason.empty() && reason.back() == ' ') reason.pop_back();
        if (e.kind == CellEntry::Kind::Adjusted) {
            row.issues.push_back(issue(Severity::Changed, row, cell.col, reason));
            continue;
        }
        if (cell.col == colOf(Column::RxFrequency)) {
            t.cells[static_cast<std::size_t>(row.channel)] = before;
            row.refused = true;
            row.issues = {issue(Severity::Refused, row, cell.col, reason + "; row left out")};
            break;
        }
        if (cell.col == colOf(Column::TxFrequency)) transmitRefused = true;
        row.issues.push_back(issue(Severity::Refused, row, cell.col, reason));
    }
    std::stable_sort(row.issues.begin(), row.issues.end(),
                     [](const ReportItem& a, const ReportItem& b) { return a.place.column < b.place.column; });
    if (row.refused) {
        ++report.rowsRefused;
    } else if (programmed(t, row.channel)) {
        ++report.rowsTaken;
    } else if (wasProgrammed) {
        ++report.channelsEmptied;
        Place channel;
        channel.band = row.band;
        channel.channel = row.channel;
        Place line;
        line.line = row.line;
        row.issues.push_back({Severity::Changed, line, placeText(channel) + " emptied: " + row.emptiedWhy});
    }
}

// Every channel of the band emptied as typing an empty frequency empties it.
void emptyBand(Document& doc, Band band) {
    for (int row = 1; row <= kRows; ++row) {
        if (!programmed(doc.table(band), row)) continue;
        enterChannelCell(doc, band, 1, row, "");
        enterChannelCell(doc, band, 4, row, "");
    }
}

}   // namespace

std::optional<CsvFormat> detectCsvFormat(std::string_view csv) {
    const CsvTable table = parseCsv(csv);
    if (!table.ok() || table.records.empty()) return std::nullopt;
    const Header header(table.records.front().fields);
    for (const CsvFormatEntry& f : csvFormats())
        if (f.detect(header)) return f.id;
    return std::nullopt;
}

CsvExport exportChannels(const Document& doc, CsvFormat format, std::optional<Band> band) {
    const CsvFormatEntry& f = csvFormat(format);
    if (f.oneBand && !band) return {{}, "the " + std::string(f.name) + " format holds one band: choose band A or B", 0};
    return f.write(doc, band);
}

std::string csvTooLargeText() {
    return "the file is too large for a channel plan (at most " + std::to_string(kLargestChannelCsv / (1024 * 1024)) +
           " MiB)";
}

bool ImportReport::anyRefused() const {
    return rowsRefused > 0 || std::any_of(issues.begin(), issues.end(),
                                          [](const ReportItem& i) { return i.severity == Severity::Refused; });
}

int ImportReport::valuesRefused() const {
    const auto refused = std::count_if(issues.begin(), issues.end(),
                                       [](const ReportItem& i) { return i.severity == Severity::Refused; });
    return static_cast<int>(refused) - rowsRefused;
}

std::vector<std::string> ImportReport::lines() const {
    std::vector<std::string> out;
    out.reserve(issues.size());
    for (const ReportItem& i : issues) out.push_back(itemText(i));
    return out;
}

namespace {

// A channel given by more than one taken row ends as the last of them has it:
// said once, at that row.
void noteRepeatedChannels(std::vector<PlannedRow>& rows) {
    std::map<std::pair<Band, int>, std::pair<std::size_t, std::size_t>> given;   // first and last row
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PlannedRow& row = rows[i];
        if (row.refused || row.leftOut) continue;
        const auto [at, fresh] = given.try_emplace({row.band, row.channel}, i, i);
        if (!fresh) at->second.second = i;
    }
    for (const auto& [key, seen] : given) {
        if (seen.first == seen.second) continue;
        PlannedRow& later = rows[seen.second];
        Place channel;
        channel.band = later.band;
        channel.channel = later.channel;
        Place line;
        line.line = later.line;
        later.issues.push_back({Severity::Note, line,
                                placeText(channel) + " was already given on line " +
                                    std::to_string(rows[seen.first].line) + "; the later row is taken"});
    }
}

std::string nothingTakenText(const std::vector<PlannedRow>& rows, const ImportReport& report,
                             const ImportOptions& options) {
    if (rows.empty()) return "the file holds no channel rows, only its header";
    if (report.rowsRefused > 0)
        return "no row of the file can be taken (" + std::to_string(report.rowsRefused) + " row(s) left out)";
    if (options.band && std::all_of(rows.begin(), rows.end(), [](const PlannedRow& r) { return r.leftOut; }))
        return std::string("no row of the file is for band ") + bandLetter(*options.band);
    return "no row of the file programs a channel";
}

}   // namespace

ImportReport importChannels(Document& doc, std::string_view csv, const ImportOptions& options) {
    ImportReport report;
    if (csv.size() > kLargestChannelCsv) {
        report.error = csvTooLargeText();
        return report;
    }
    const CsvTable table = parseCsv(csv);
    if (!table.ok()) {
        report.error = table.error;
        return report;
    }
    if (table.records.empty()) {
        report.error = "the file holds no header line";
        return report;
    }
    const CsvFormatEntry& format = csvFormat(options.format);
    if (!format.detect(Header(table.records.front().fields))) {
        report.error = "line " + std::to_string(table.records.front().line) + ": not a " + std::string(format.name) +
                       " channel CSV (" + std::string(format.lacks) + ")";
        return report;
    }
    std::vector<PlannedRow> rows;
    if (std::string why = format.read(table, options.band, rows, report.issues); !why.empty()) {
        report.error = std::move(why);
        return report;
    }

    // Into a copy: the document changes only when the rows may go in.
    Document work = doc;
    if (options.replace) {
        if (format.oneBand || options.band) {
            emptyBand(work, options.band.value_or(Band::A));
        } else {
            emptyBand(work, Band::A);
            emptyBand(work, Band::B);
        }
    }
    bool anyApplied = false;
    for (PlannedRow& row : rows) {
        if (row.refused) {
            ++report.rowsRefused;
        } else if (!row.leftOut) {
            applyRow(work, row, report);
            anyApplied = anyApplied || !row.refused;
        }
    }
    noteRepeatedChannels(rows);
    for (PlannedRow& row : rows)
        report.issues.insert(report.issues.end(), std::make_move_iterator(row.issues.begin()),
                             std::make_move_iterator(row.issues.end()));
    if (!anyApplied) {
        report.error = nothingTakenText(rows, report, options);
        return report;
    }
    report.usable = true;
    if (options.replace && report.anyRefused()) return report;
    doc = std::move(work);
    report.applied = true;
    return report;
}

}   // namespace pellaro
