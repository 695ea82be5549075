// SPDX-License-Identifier: GPL-3.0-or-later
// CSV text as RFC 4180 has it, read through libcsv: fields separated by ",",
// quoted fields with doubled quotes, line breaks CR LF, LF or CR. A UTF-8
// byte-order mark at the start is skipped, so are blank lines and lines that
// begin with "#" (comments). Fields keep their blanks.
//
// A text that cannot be read says why in a user's terms, with its line: bytes
// that are not UTF-8 (the whole text is checked before anything is read), a
// UTF-16 file, a header separated by ";" or tabs, a quote where a field may
// not hold one, a quoted field never closed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

struct CsvRecord {
    int line = 0;   // line of the file the record starts on, counted from 1
    std::vector<std::string> fields;
};

struct CsvTable {
    std::vector<CsvRecord> records;
    std::string error;   // non-empty: the text cannot be read; `records` is then empty
    bool ok() const { return error.empty(); }
};

CsvTable parseCsv(std::string_view text);

// One record: the fields joined by ",", each quoted when it holds a comma, a
// quote, a line break or blanks at its ends, or starts with "#"; ends in CR LF.
std::string csvLine(const std::vector<std::string>& fields);

// One field as CSV and tab-separated text write it: as it is, or quoted, its
// own quotes doubled.
void appendField(std::string& out, std::string_view field, bool quoted);

}   // namespace pellaro
