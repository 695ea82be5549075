// SPDX-License-Identifier: GPL-3.0-or-later
// The lock of the commands that rewrite a file in place (POSIX flock).
#include "files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace pellaro {

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_);   // closing lets go of the lock
    fd_ = -1;
}

FileResult FileLock::acquire(const std::string& path, int waitMs) {
    release();
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
    // flock has no time-out of its own: try, then sleep a little longer each
    // time (the thread sleeps; nothing spins).
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return {"Cannot read \"" + path + "\": " + std::strerror(errno)};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat locked {
            }, named{};
            if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
                locked.st_ino == named.st_ino) {
                fd_ = fd;
                return {};
            }
            // Replaced meanwhile by the holder before us: lock the new file.
            ::close(fd);
        } else {
            const int err = errno;
            ::close(fd);
            if (err != EWOULDBLOCK && err != EINTR) return {"Cannot lock \"" + path + "\": " + std::strerror(err)};
            if (Clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - Clock::now()));
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
        if (Clock::now() >= deadline) break;
    }
    return {"Cannot change \"" + path + "\": another program is changing it (still after " +
            std::to_string((std::max(waitMs, 0) + 999) / 1000) + " s); it is unchanged, try again when that is done."};
}

}   // namespace pellaro
