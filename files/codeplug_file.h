// SPDX-License-Identifier: GPL-3.0-or-later
// Codeplug files (".bc"): 262 lines of comma-separated fields holding what the
// editors show, the channel cells and the raw mirrors. Bytes are Latin-1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"

namespace pellaro {

// Result of checking or writing: empty `error` means success.
struct FileResult {
    std::string error;
    bool ok() const { return error.empty(); }
};

// The exact bytes of the file for `doc`. Refuses (error naming the field; for
// a cell its band, channel and column) a text holding ",", "~", "'", "\"",
// CR, LF or another control character, which the file could not give back.
FileResult saveCodeplug(const Document& doc, std::string& bytesOut);

// Loads file bytes (CR, LF or CR LF line ends) into `doc`. The whole file is
// validated first; on error `doc` is unchanged and the error says which line
// is wrong and why ("line 5 has 3 fields, 14 expected."), to follow
// notACodeplugMessage's lead-in.
FileResult loadCodeplug(std::string_view bytes, Document& doc);
// "NAME is not a valid codeplug file: " and the load error: one sentence
// naming the file and the line. UTF-8 (quoted file bytes are converted).
std::string notACodeplugMessage(const std::string& name, const FileResult& loaded);

// Writes `bytes` to `path` through a temporary file in the same folder that is
// renamed over the target, so a failed write leaves the old file intact. A
// replaced file keeps its mode, and its owner and group where the user may
// give them; a symbolic link stays and the file it names is replaced.
// Refused, with the reason, and nothing written: a folder, a device or pipe,
// a link to nothing, a file the user may not write, and a file with more
// than one name (hard links), which a rename would part.
FileResult writeFileAtomically(const std::string& path, std::string_view bytes);
// Whether writeFileAtomically(path, ...) of about `bytes` bytes can be done
// now: the same refusals, and a temporary file of that size made and removed
// in the folder (a missing or read-only folder, a full disk). For checks
// before long work whose result is saved at its end.
FileResult checkWritable(const std::string& path, std::size_t bytes = 64 * 1024);
// Reads a whole file; error text on failure.
FileResult readWholeFile(const std::string& path, std::string& bytesOut);

// The splitter of the file format: separators and skipped characters, with
// quoted stretches kept together; empty items are dropped.
std::vector<std::string> splitItems(std::string_view text, std::string_view separators, std::string_view skipped);

}   // namespace pellaro
