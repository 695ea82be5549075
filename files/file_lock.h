// SPDX-License-Identifier: GPL-3.0-or-later
// A lock held by a command that reads a file, changes it and writes it back,
// so that two such commands on one file take turns instead of one losing the
// other's update.
#pragma once

#include <string>

#include "files/codeplug_file.h"

namespace pellaro {

// An exclusive flock on the file a path names, held until destruction.
//
// A save replaces the file by renaming a new one over it, so the path then
// names another file than the one locked. Whoever obtains the lock therefore
// checks that the path still names the file it locked, and otherwise locks
// the new one: every holder has the file the path names, from its read to
// its rename. Only cooperating programs (pellaro-cli's paste and import) take
// the lock; it keeps nobody else out.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks the existing file `path` names (through a symbolic link too),
    // waiting up to `waitMs` for another holder to let go, then refusing.
    // The error names the file and says why.
    FileResult acquire(const std::string& path, int waitMs = kDefaultWaitMs);
    void release();
    bool held() const { return fd_ >= 0; }

    static constexpr int kDefaultWaitMs = 5000;

private:
    int fd_ = -1;
};

}   // namespace pellaro
