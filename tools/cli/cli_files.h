// SPDX-License-Identifier: GPL-3.0-or-later
// Codeplug files as the commands of pellaro-cli load and save them, each
// failure said once on stderr in one sentence that names the file.
#pragma once

#include <string>

#include "codeplug/document.h"
#include "files/file_lock.h"

namespace pellaro::cli {

// Reads and loads the codeplug file `path` into `doc`; false (with the reason
// printed) when it cannot be read or is not a codeplug file.
bool loadCodeplugFile(const std::string& path, Document& doc);

// Saves `doc` to `path` whole or not at all; false (with the reason printed,
// followed by `consequence` when given, e.g. "nothing was written to the
// radio") when it could not be saved.
bool saveCodeplugFile(const std::string& path, const Document& doc, const std::string& consequence = {});

// For the commands that rewrite a file in place (paste, import): holds the
// file's lock from before the read to after the rename, so that two such
// commands on one file take turns. False (with the reason printed) when the
// file cannot be locked, or another program held it too long.
bool lockForRewrite(const std::string& path, FileLock& lock);

}   // namespace pellaro::cli
