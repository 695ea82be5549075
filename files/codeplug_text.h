// SPDX-License-Identifier: GPL-3.0-or-later
// The whole codeplug as text people read, review and keep under version
// control: YAML, one programmed channel per line, one setting per line, in
// table and page order, and the mirror bytes no value explains. The same
// document always gives the same bytes.
//
//     # Pellaro codeplug (pellaro-cli dump)
//     format: pellaro-codeplug 1
//     channels:
//       A:
//         - {Channel: 1, Receiving Frequency: "145.50000", Receiving CTCSS: "0FF", ...}
//       B: []
//     A/Upper Band Set up:
//       Working Mode: "Frequency Mode"   # "Frequency Mode", "Channel Mode"
//       ...
//     raw:
//       - {mirror: k5, address: "0x0311", bytes: "A5 00"}
//
// Keys are the column headings and the labels as the pages show them without
// their trailing blanks and colon; values are the shown texts, always quoted.
// Loading enters every value through the rule its editor applies when the
// user commits it, so a text file can give no document the editors could not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/report.h"

namespace pellaro {

inline constexpr const char* kTextFormat = "pellaro-codeplug 1";
// A codeplug text is about 40 KB; anything past this is not one.
constexpr std::size_t kMaxCodeplugText = 4u << 20;

struct CodeplugText {
    std::string text;   // UTF-8, LF line ends
    // What would not load back exactly as it stands (a value the rules would
    // refuse or change): said, never hidden. Empty for a document made through
    // the editors, read from a radio or opened from a file they wrote.
    std::vector<std::string> notes;
};
CodeplugText dumpCodeplugText(const Document& doc);

struct TextLoadReport {
    // False: not YAML, or not a codeplug text of this format; `error` says
    // why (with its line) and the document is unchanged.
    bool usable = false;
    std::string error;
    std::vector<ReportItem> refused;   // with their lines; any: the document is unchanged
    std::vector<ReportItem> changed;   // taken otherwise than given (rounded onto the step)
    int channels = 0;                  // channel lines entered
    int settings = 0;                  // setting lines entered
    bool ok() const { return usable && refused.empty(); }
};

// Enters the values of `yaml` into `doc`: channels (each line replaces its
// channel: emptied, then its cells in column order), then the settings in
// page order, then the raw bytes. Keys and lines may come in any order;
// comments do not matter. On any refusal `doc` is left as it was.
// `doc` is New for `pellaro-cli load`, the file's own contents with --merge.
TextLoadReport loadCodeplugText(std::string_view yaml, Document& doc);

}   // namespace pellaro
