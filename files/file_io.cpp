// Whole-file reading and crash-safe writing of codeplug files (POSIX).
#include <fcntl.h>
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

}  // namespace

FileResult writeFileAtomically(const std::string& givenPath, std::string_view bytes) {
    if (givenPath.empty()) return {"Cannot write: no file name given."};
    // A symbolic link stays a link: the file it points to is replaced.
    std::string path = givenPath;
    struct stat link {};
    if (::lstat(givenPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* target = ::realpath(givenPath.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return {"Cannot write \"" + path + "\": that is a folder, not a file name."};

    // Keep the permissions of a file being replaced; a new file gets the
    // usual ones (0666 less the umask, applied by open()).
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return {"Cannot write \"" + path + "\": it is a folder."};
    // A device or a pipe is never replaced by a file renamed over it (saving
    // to /dev/null as root would otherwise put a plain file in its place).
    if (replacing && !S_ISREG(old.st_mode))
        return {"Cannot write \"" + path + "\": it is not a regular file."};

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (slash == std::string::npos ? std::string() : folder + "/") + "." + base + ".tmp" +
               std::to_string(::getpid()) + "_" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return {systemError("Cannot write", path, errno)};
    }
    if (fd < 0) return {systemError("Cannot write", path, EEXIST)};

    auto fail = [&](int err) -> FileResult {
        ::close(fd);
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, err)};
    };
    if (replacing && ::fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
    if (!writeAll(fd, bytes)) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, err)};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return {systemError("Cannot write", path, err)};
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
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

}  // namespace pellaro
