// SPDX-License-Identifier: GPL-3.0-or-later
// Where an exported channel plan may go: never over a codeplug file, which
// the plan would replace with its channels alone.
#include <sys/stat.h>

#include "files/channel_csv.h"
#include "files/codeplug_file.h"

namespace pellaro {

std::string exportTargetRefusal(const std::string& path, const std::string& source) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return {};
    struct stat input {};
    if (!source.empty() && ::stat(source.c_str(), &input) == 0 && input.st_dev == target.st_dev &&
        input.st_ino == target.st_ino)
        return path + " is the codeplug file the channels come from; a channel plan written there would replace it";
    std::string bytes;
    Document scratch;
    if (readWholeFile(path, bytes).ok() && loadCodeplug(bytes, scratch).ok())
        return path + " is a codeplug file; a channel plan written there would replace it and every setting in it";
    return {};
}

}   // namespace pellaro
