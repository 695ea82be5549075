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
// taken otherwise is in the report, with its line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"

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

struct ImportOptions {
    CsvFormat format = CsvFormat::Native;
    // Native: only the rows of this band (nothing: every row into the band it
    // names). Generic: the band the Locations number (nothing: band A).
    std::optional<Band> band;
    // Empty the band (native without a band: both bands) before the rows go in;
    // otherwise each row replaces the channel of its number and the others stay.
    bool replace = false;
};

struct ImportIssue {
    enum class Kind {
        Refused,    // a row or a value not taken
        Adjusted,   // a value taken otherwise than given (rounded, cut)
        Note,       // something the file holds that this radio has no place for
    };
    Kind kind = Kind::Refused;
    int line = 0;        // line of the file; 0 for the file as a whole
    Band band = Band::A;
    int channel = 0;     // 0 when the issue is not about one channel
    int column = 0;      // 1..12; 0 for the whole row
    std::string text;    // UTF-8, for the report: "A 5 Receiving Frequency: ..."
};

struct ImportReport {
    // False: the text is not a channel CSV of the format (not CSV, no header,
    // another format); `error` says why and the document is unchanged.
    bool usable = false;
    std::string error;
    int rowsTaken = 0;
    int rowsRefused = 0;
    std::vector<ImportIssue> issues;   // in file order

    bool anyRefused() const;
    // "line 7: A 5 Receiving Frequency: ..." per issue.
    std::vector<std::string> lines() const;
};

// Applies the rows of `csv`, in file order, to `doc`.
ImportReport importChannels(Document& doc, std::string_view csv, const ImportOptions& options);

}  // namespace pellaro
