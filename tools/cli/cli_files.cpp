// SPDX-License-Identifier: GPL-3.0-or-later
// Loading, saving and locking codeplug files for the commands.
#include "tools/cli/cli_files.h"

#include "files/codeplug_file.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

bool loadCodeplugFile(const std::string& path, Document& doc) {
    std::string bytes;
    if (FileResult r = readWholeFile(path, bytes); !r.ok()) {
        printError(r.error);
        return false;
    }
    if (FileResult r = loadCodeplug(bytes, doc); !r.ok()) {
        printError(notACodeplugMessage(path, r));
        return false;
    }
    return true;
}

bool saveCodeplugFile(const std::string& path, const Document& doc, const std::string& consequence) {
    std::string bytes;
    FileResult r = saveCodeplug(doc, bytes);
    if (!r.ok())
        r.error = "Cannot write \"" + path + "\": " + r.error;
    else
        r = writeFileAtomically(path, bytes);
    if (r.ok()) return true;
    std::string message = r.error;
    if (!consequence.empty()) {
        while (!message.empty() && message.back() == '.') message.pop_back();
        message += "; " + consequence;
    }
    printError(message);
    return false;
}

bool lockForRewrite(const std::string& path, FileLock& lock) {
    const FileResult r = lock.acquire(path);
    if (!r.ok()) printError(r.error);
    return r.ok();
}

}   // namespace pellaro::cli
