// SPDX-License-Identifier: GPL-3.0-or-later
// Channel plans as CSV: our own columns (native) and the generic columns that
// other programming tools share.
//
// Native: a header "Band,Channel," and the twelve headings as the tables show
// them, then one row per programmed channel with its cell texts as they stand.
// Generic: the header-named columns Location, Name, Frequency, Duplex, Offset,
// Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode,
// Mode, TStep, Skip, Power, Comment (see README for how each maps onto a
// channel). Files are UTF-8; numbers always use ".".
//
// Every imported value goes into its cell through enterChannelCell, the
// editors' own rule, in the tables' column order; whatever was refused or
// taken otherwise is in the report, with its line. A frequency, offset or
// tone written with a decimal comma ("145,5", as a spreadsheet in some
// languages saves it) is read as the number it means, and said so.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/report.h"

namespace pellaro {

enum class CsvFormat { Native, Generic };

// The format a CSV text's header names; nothing when it names neither.
std::optional<CsvFormat> detectCsvFormat(std::string_view csv);

struct CsvExport {
    std::string csv;     // UTF-8, CR LF line ends
    std::string error;   // non-empty: nothing to write
    int rows = 0;        // channels written
    bool ok() const { return error.empty(); }
};

// Native: the programmed channels of `band`, or of both bands when none is
// given. Generic: one band's programmed channels; a band must be given.
CsvExport exportChannels(const Document& doc, CsvFormat format, std::optional<Band> band);

// Why an export must not be written to `path`: it is `source` (the codeplug
// file the channels come from, the same file through any link) or an existing
// file that loads as a codeplug. Empty when it may; `source` may be empty.
std::string exportTargetRefusal(const std::string& path, const std::string& source);

struct ImportOptions {
    CsvFormat format = CsvFormat::Native;
    // Native: only the rows of this band (nothing: every row into the band it
    // names). Generic: the band the Locations number (nothing: band A).
    std::optional<Band> band;
    // Empty the band (native without a band: both bands) before the rows go in;
    // otherwise each row replaces the channel of its number and the others stay.
    bool replace = false;
};

// A channel plan is some tens of kilobytes; a text larger than this is not
// one, and reading it would only hold the user up.
constexpr std::size_t kLargestChannelCsv = 8 * 1024 * 1024;
// "the file is too large for a channel plan (at most 8 MiB)"
std::string csvTooLargeText();

// What an import did. Each issue names its place with the line of the file
// ("line 7: A 5 Receiving Frequency: ..."): Refused (the value or the row not
// taken), Changed (taken otherwise than given, or a channel emptied), Note
// (something said of the file that changed nothing, or a row overridden).
struct ImportReport {
    // False: nothing changed and `error` says why: the text is not a channel
    // CSV of the format (not CSV, not UTF-8, no header, another format), or
    // not one row of it could be taken (`issues` then say why).
    bool usable = false;
    std::string error;
    // True: the rows are in the document. False with `usable`: a Replace that
    // would have refused something; the document is as it was.
    bool applied = false;
    int rowsTaken = 0;                // rows that programmed their channel
    int rowsRefused = 0;              // rows left out
    int channelsEmptied = 0;          // programmed channels a row without a frequency emptied
    std::vector<ReportItem> issues;   // in file order

    bool anyRefused() const;
    // Values refused in rows that were otherwise taken.
    int valuesRefused() const;
    // "line 7: A 5 Receiving Frequency: ..." per issue.
    std::vector<std::string> lines() const;
};

// Applies the rows of `csv`, in file order, to `doc`. With Replace the rows
// are taken all or none: when any row or value would be refused the document
// stays as it was (`applied` false) and the report says what and why.
ImportReport importChannels(Document& doc, std::string_view csv, const ImportOptions& options);

}   // namespace pellaro
