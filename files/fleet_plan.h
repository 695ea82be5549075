// SPDX-License-Identifier: GPL-3.0-or-later
// Programming several radios with one codeplug: the table of radios (a CSV
// of per-radio values, one row per radio) and the log of a run. Every value
// of every row goes through the editors' rules on a copy of the template
// before the first radio is touched, so a run never starts with a row it
// could not write.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/report.h"
#include "codeplug/value_names.h"

namespace pellaro {

struct FleetRow {
    int line = 0;                      // line of the radios file (0: not from a file)
    std::string label;                 // the Radio column, or the row number
    std::vector<std::string> values;   // one per value name, as given (UTF-8)
    Document doc;                      // the template with the row's values entered
};

struct FleetPlan {
    std::vector<std::string> names;   // value names, as the header gives them
    std::vector<ValueName> found;     // the same, resolved
    bool labelled = false;            // a first column "Radio"
    std::vector<FleetRow> rows;
    std::vector<ReportItem> refused;   // any: the plan must not be run
    std::vector<ReportItem> changed;   // taken otherwise than given
    std::string error;                 // not usable at all (not CSV, no header, unknown name)
    bool usable() const { return error.empty() && refused.empty(); }
};

// The first column of a radios table that holds labels.
inline constexpr std::string_view kRadioColumn = "Radio";

// Builds the plan from header names and rows of texts (a first name "Radio"
// makes the first text of each row its label). Each row's values are entered
// in column order into a copy of `tmpl`. Rows without labels are labelled
// with their number (1..). Refused: a value the rules refuse, a missing or
// surplus field, an empty, repeated or unsafe label (labels name backup files).
FleetPlan planFleet(const Document& tmpl, const std::vector<std::string>& header,
                    const std::vector<std::vector<std::string>>& rows, const std::vector<int>& lines = {});

// The same from the text of a radios CSV file (UTF-8).
FleetPlan planFleetCsv(const Document& tmpl, std::string_view csvText);

// The rows of a generated table: `count` radios whose `name` runs from
// `first` up by one (the number at the end of `first`, keeping its leading
// zeros: "0101" → "0102"). Empty when `first` does not end in digits or the
// count is not 1..1000.
std::vector<std::vector<std::string>> countedValues(const std::string& first, int count);

// "Connect radio 3 of 20 (Native ID Code 103), then press Enter": the label
// when the table has one, else the first value with its name's last part.
std::string fleetRadioTitle(const FleetPlan& plan, std::size_t row);

// ---- The log ----------------------------------------------------------------

struct FleetOutcome {
    std::string label;
    std::vector<std::string> values;
    std::string start, end;   // ISO 8601, local time with its offset
    bool ok = false;
    std::string message;   // the failure's message; empty when ok
    int verifyDifferences = 0;
};

// "Radio,<names>,Start,End,Result,Message,Verify differences" and one row.
std::string fleetLogHeader(const std::vector<std::string>& names);
std::string fleetLogRow(const FleetOutcome& outcome);

struct FleetLog {
    std::set<std::string> ok;   // labels logged ok
    std::string error;          // not CSV, or a log of other values
};

// Reads an existing log (empty text: a new log). Its header must be the one
// fleetLogHeader gives for `names`.
FleetLog readFleetLog(std::string_view text, const std::vector<std::string>& names);

// Opens the log of a run before any radio is touched: an existing log is
// read (its header must be ours) and the labels it holds ok are returned in
// `ok`; a new or empty one gets the header. False with a reason.
bool openFleetLog(const std::string& path, const std::vector<std::string>& names, std::set<std::string>& ok,
                  std::string& error);

// Where the backup of radio `label` goes: DIR/LABEL.bc, or, when a backup
// of an earlier run is there (it may be the only copy of what the radio
// held), DIR/LABEL-2.bc, DIR/LABEL-3.bc, ...
std::string freeBackupPath(const std::string& dir, const std::string& label);

// Saves `radio` as the backup of radio `label` in `dir` (at freeBackupPath),
// whole or not at all; `savedAs` names the file, `error` why it failed.
bool saveFleetBackup(const std::string& dir, const std::string& label, const Document& radio, std::string& savedAs,
                     std::string& error);

// Appends `text` to the file and flushes it to the disk (fsync), so that a
// crash leaves every row written before it whole. False with a reason.
bool appendDurably(const std::string& path, std::string_view text, std::string& error);

// Now as ISO 8601 local time with its offset: "2024-05-01T14:03:07+02:00".
std::string localTimestamp();

}   // namespace pellaro
