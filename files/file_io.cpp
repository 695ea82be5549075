// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading and crash-safe writing of codeplug files (POSIX).
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/codeplug_file.h"

namespace pellaro {

namespace {

// A codeplug file is about 20 KB; anything far larger is not one, and reading
// it whole would only waste memory.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

std::string systemError(const std::string& what, const std::string& path, int err) {
    return what + " \"" + path + "\": " + std::strerror(err);
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a save replaces: a symbolic link is followed to the file it names,
// which is replaced while the link stays.
struct Target {
    std::string error;    // non-empty: the save is refused
    std::string path;     // the file to replace or create
    std::string folder;   // its folder
    std::string base;     // its name in the folder
    bool replacing = false;
    struct stat old {};
};

Target resolveTarget(const std::string& givenPath) {
    Target t;
    if (givenPath.empty()) {
        t.error = "Cannot write: no file name given.";
        return t;
    }
    t.path = givenPath;
    struct stat link {};
    if (::lstat(givenPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* target = ::realpath(givenPath.c_str(), nullptr);
        if (!target) {
            // A plain file renamed over the link would quietly take its place.
            t.error = "Cannot write \"" + givenPath + "\": it is a symbolic link to a file that does not exist (" +
                      std::strerror(errno) + ").";
            return t;
        }
        t.path = target;
        std::free(target);
    }
    const std::size_t slash = t.path.rfind('/');
    t.folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : t.path.substr(0, slash));
    t.base = slash == std::string::npos ? t.path : t.path.substr(slash + 1);
    const std::string& path = t.path;
    if (t.base.empty()) {
        t.error = "Cannot write \"" + path + "\": that is a folder, not a file name.";
        return t;
    }
    t.replacing = ::stat(path.c_str(), &t.old) == 0;
    if (!t.replacing) return t;
    if (S_ISDIR(t.old.st_mode)) {
        t.error = "Cannot write \"" + path + "\": it is a folder.";
        return t;
    }
    // A device or a pipe is never replaced by a file renamed over it (saving
    // to /dev/null as root would otherwise put a plain file in its place).
    if (!S_ISREG(t.old.st_mode)) {
        t.error = "Cannot write \"" + path + "\": it is not a regular file.";
        return t;
    }
    // The rename would replace a file its owner made read-only, since only
    // the folder's permission counts for it. (root may write any file, as
    // cp does.)
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        t.error = "Cannot write \"" + path + "\": you may not change this file (" + std::strerror(errno) + ").";
        return t;
    }
    // A new file renamed over one of several names would leave the other
    // names with the old codeplug, without a word.
    if (t.old.st_nlink > 1) {
        t.error = "Cannot write \"" + path + "\": the file has " + std::to_string(t.old.st_nlink) +
                  " names (hard links), which a save would part; save under another name, or remove the "
                  "other names first.";
        return t;
    }
    return t;
}

// A free temporary name in the target's folder, opened for writing; the
// name stays within the folder's name length limit however long the
// target's name is.
int openTemporary(const Target& t, std::string& temp, int& err) {
    static std::atomic<unsigned> counter{0};
    long nameMax = ::pathconf(t.folder.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0) nameMax = NAME_MAX;
    const std::string prefix = t.path.find('/') == std::string::npos ? "" : t.folder + "/";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string suffix = ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const std::size_t room = static_cast<std::size_t>(nameMax) > suffix.size() + 1
                                     ? static_cast<std::size_t>(nameMax) - suffix.size() - 1
                                     : 0;
        temp = prefix + "." + t.base.substr(0, room) + suffix;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) {
            err = errno;
            return -1;
        }
    }
    err = EEXIST;
    return -1;
}

}   // namespace

FileResult writeFileAtomically(const std::string& givenPath, std::string_view bytes) {
    const Target t = resolveTarget(givenPath);
    if (!t.error.empty()) return {t.error};
    const std::string& path = t.path;

    std::string temp;
    int err = 0;
    const int fd = openTemporary(t, temp, err);
    if (fd < 0) return {systemError("Cannot write", path, err)};

    auto fail = [&](int e) -> FileResult {
        ::close(fd);
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, e)};
    };
    if (t.replacing) {
        // The file keeps its owner and group (a save run as root must not
        // take a user's file away from its user) where that is permitted:
        // a user who may not give them, or a file system without owners,
        // saves as before. Before the mode, since a change of owner clears
        // set-id bits.
        if ((t.old.st_uid != ::geteuid() || t.old.st_gid != ::getegid()) &&
            ::fchown(fd, t.old.st_uid, t.old.st_gid) != 0) {
            // Not permitted here: the new file is the saver's, as ever.
        }
        if (::fchmod(fd, t.old.st_mode & 07777) != 0) return fail(errno);
    }
    if (!writeAll(fd, bytes)) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, e)};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, e)};
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const int dirFd = ::open(t.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

FileResult checkWritable(const std::string& givenPath, std::size_t bytes) {
    const Target t = resolveTarget(givenPath);
    if (!t.error.empty()) return {t.error};
    std::string temp;
    int err = 0;
    const int fd = openTemporary(t, temp, err);
    if (fd < 0) return {systemError("Cannot write", t.path, err)};
    // Room for the file itself, so a full disk is found now.
    const int reserved = bytes > 0 ? ::posix_fallocate(fd, 0, static_cast<off_t>(bytes)) : 0;
    ::close(fd);
    ::unlink(temp.c_str());
    // A file system that cannot reserve room is not refused for it.
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL)
        return {systemError("Cannot write", t.path, reserved)};
    return {};
}

FileResult readWholeFile(const std::string& path, std::string& bytesOut) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {systemError("Cannot read", path, errno)};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return {systemError("Cannot read", path, err)};
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return {"Cannot read \"" + path + "\": it is not a regular file."};
    }
    if (st.st_size > kMaxFileSize) {
        ::close(fd);
        return {"Cannot read \"" + path + "\": the file is too large to be a codeplug file."};
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return {systemError("Cannot read", path, err)};
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > static_cast<std::size_t>(kMaxFileSize)) {
            ::close(fd);
            return {"Cannot read \"" + path + "\": the file is too large to be a codeplug file."};
        }
    }
    ::close(fd);
    bytesOut = std::move(bytes);
    return {};
}

}   // namespace pellaro
