// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio on a pseudo-terminal pair. The client opens the slave
// side like a serial port; the simulator reads requests from the master side
// on a thread of its own and answers them, paced like a 19200 baud line.
#include "tools/radio_sim/radio_sim.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace pellaro::sim {

namespace {

using Clock = std::chrono::steady_clock;

// Answers leave in chunks of this many bytes; each chunk goes out when its
// last byte would have crossed the line. Small enough that the client sees a
// steady stream, large enough not to wake up for every byte.
constexpr std::size_t kChunk = 8;

std::string errnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

timespec toTimespec(std::chrono::nanoseconds d) {
    if (d.count() < 0) d = std::chrono::nanoseconds{0};
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(d);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(secs.count());
    ts.tv_nsec = static_cast<long>((d - secs).count());
    return ts;
}

}   // namespace

RadioSimulator::RadioSimulator(SimulatorOptions options) : RadioSimulator(freshCodeplug(), std::move(options)) {}

RadioSimulator::RadioSimulator(const Memory& memory, SimulatorOptions options)
    : options_(std::move(options)), rack_(memory, options_.fault, options_.rack, Clock::now()) {}

RadioSimulator::~RadioSimulator() { stop(); }

std::string RadioSimulator::start() {
    if (running_.load()) return devicePath();
    // A thread that ended by itself (the radio vanished) is joined first, so
    // the simulator can be started again on a new pseudo-terminal.
    stop();
    auto fail = [this](std::string why) {
        closeFds();
        std::lock_guard lock(mutex_);
        error_ = std::move(why);
        path_.clear();
        return std::string();
    };

    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail(errnoText("posix_openpt"));
    if (::grantpt(master_) != 0) return fail(errnoText("grantpt"));
    if (::unlockpt(master_) != 0) return fail(errnoText("unlockpt"));
    char name[PATH_MAX] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail(errnoText("ptsname"));

    // The simulator keeps the slave side open for its whole life: the master
    // then never sees a hang-up when the client closes the port, and the
    // terminal settings survive between the client's opens. The client's own
    // exclusive open (TIOCEXCL) still works, as it only refuses later opens.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return fail(errnoText("open pseudo-terminal"));
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) return fail(errnoText("tcgetattr"));
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0) return fail(errnoText("tcsetattr"));

    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return fail(errnoText("fcntl"));
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return fail(errnoText("pipe"));
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];

    {
        std::lock_guard lock(mutex_);
        path_ = name;
        error_.clear();
    }
    stopping_ = false;
    vanished_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return name;
}

void RadioSimulator::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
        thread_.join();
    }
    running_ = false;
    closeFds();
}

void RadioSimulator::closeFds() {
    closeFd(master_);
    closeFd(slave_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

std::string RadioSimulator::devicePath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

std::string RadioSimulator::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

int RadioSimulator::saveFailures() const {
    std::lock_guard lock(mutex_);
    return saveFailures_;
}

Memory RadioSimulator::memory() const {
    std::lock_guard lock(mutex_);
    return rack_.active().memory();
}

int RadioSimulator::radioOnCable() const {
    std::lock_guard lock(mutex_);
    return rack_.onCable();
}

void RadioSimulator::setMemory(const Memory& memory) {
    std::lock_guard lock(mutex_);
    rack_.active().setMemory(memory);
}

SimulatorCounters RadioSimulator::counters() const {
    std::lock_guard lock(mutex_);
    return {rack_.total(), bytesReceived_, bytesSent_};
}

void RadioSimulator::setFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    rack_.setFault(fault);
}

bool RadioSimulator::sleepFor(std::chrono::nanoseconds d) {
    const Clock::time_point until = Clock::now() + d;
    for (;;) {
        if (stopping_.load()) return false;
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        pollfd fd{wakeRead_, POLLIN, 0};
        const timespec ts = toTimespec(left);
        const int r = ::ppoll(&fd, 1, &ts, nullptr);
        if (r > 0) return false;   // only stop() writes the wake-up pipe
        if (r < 0 && errno != EINTR) return false;
    }
}

bool RadioSimulator::sendAnswer(const Bytes& bytes) {
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / options_.baud);
    const Clock::time_point start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const std::size_t chunk = options_.pacing ? std::min(kChunk, bytes.size() - sent) : bytes.size() - sent;
        if (options_.pacing && !sleepFor(start + byteTime * static_cast<long>(sent + chunk) - Clock::now()))
            return false;
        std::size_t done = 0;
        while (done < chunk) {
            const ssize_t n = ::write(master_, bytes.data() + sent + done, chunk - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return false;
            // The client is not reading and the terminal's buffer is full:
            // wait until there is room again (or stop() is called).
            pollfd fds[2] = {{master_, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) return false;
            if (fds[1].revents) return false;
        }
        sent += chunk;
        std::lock_guard lock(mutex_);
        bytesSent_ += chunk;
    }
    return true;
}

int RadioSimulator::pollTimeoutMs() {
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    rack_.tick(now);
    const auto next = rack_.nextChange();
    if (!next) return -1;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 60'000));
}

void RadioSimulator::saveRadios() {
    std::vector<std::pair<int, Memory>> saves;
    {
        std::lock_guard lock(mutex_);
        rack_.tick(Clock::now());
        saves = rack_.takeSaves();
    }
    for (const auto& [k, memory] : saves) {
        std::string error;
        if (saveImage(rack_.saveDir() + "/radio-" + std::to_string(k) + ".img", memory, error)) continue;
        std::lock_guard lock(mutex_);
        error_ = error;
        ++saveFailures_;
    }
}

void RadioSimulator::run() {
    // The client writes the whole request into the pseudo-terminal at once;
    // on a real line its bytes would still be arriving. The radio's receive
    // side is modelled as a line that is busy until `lineFree`.
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / options_.baud);
    Clock::time_point lineFree = Clock::now();
    std::uint8_t buffer[4096];

    while (!stopping_.load()) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int r = ::poll(fds, 2, pollTimeoutMs());
        saveRadios();
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;

        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            if (errno == EIO) {
                // No slave open (cannot happen while we hold ours); wait a
                // little instead of spinning on the hang-up.
                if (!sleepFor(std::chrono::milliseconds(20))) break;
                continue;
            }
            break;
        }
        if (n == 0) continue;

        const Clock::time_point arrived = Clock::now();
        lineFree = std::max(lineFree, arrived) + byteTime * n;
        ProtocolOutput out;
        {
            std::lock_guard lock(mutex_);
            bytesReceived_ += static_cast<std::uint64_t>(n);
            out = rack_.feed(buffer, static_cast<std::size_t>(n), arrived);
        }
        if (out.vanish) {
            // The radio is gone: closing the master hangs up the client's side.
            closeFd(master_);
            closeFd(slave_);
            vanished_ = true;
            if (options_.onVanish) options_.onVanish();
            break;
        }
        saveRadios();
        if (out.answer.empty()) continue;

        auto wait = options_.turnaround + (options_.pacing ? lineFree - Clock::now() : Clock::duration::zero());
        if (wait > Clock::duration::zero() && !sleepFor(wait)) break;
        if (!sendAnswer(out.answer)) {
            if (stopping_.load()) break;
        }
    }
    running_ = false;
}

}   // namespace pellaro::sim
