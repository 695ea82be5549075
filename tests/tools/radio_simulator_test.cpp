// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio on a pseudo-terminal, driven by a plain POSIX client as
// a serial port would be; and the pellaro-radio-sim program's command line.
#include "tools/radio_sim/radio_sim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

using namespace pellaro::sim;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The client's end of the line, held by RAII so a failing check closes it.
class Port {
public:
    explicit Port(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~Port() {
        if (fd_ >= 0) ::close(fd_);
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    int fd() const { return fd_; }
    bool send(const Bytes& b) { return ::write(fd_, b.data(), b.size()) == static_cast<ssize_t>(b.size()); }
    // Collects bytes until `want` have come or `quiet` passes without one.
    Bytes receive(std::size_t want, std::chrono::milliseconds quiet = 300ms) {
        Bytes got;
        std::uint8_t buf[256];
        while (got.size() < want) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) break;
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

private:
    int fd_ = -1;
};

Bytes frame(std::string_view word, unsigned a, unsigned n, const Bytes& data = {}) {
    Bytes b(word.begin(), word.end());
    for (unsigned v : {a >> 8u, a & 0xFFu, n >> 8u, n & 0xFFu}) b.push_back(static_cast<std::uint8_t>(v));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
Bytes word(std::string_view w) { return Bytes(w.begin(), w.end()); }
Bytes slice(const Memory& m, std::size_t a, std::size_t n) {
    return Bytes(m.begin() + static_cast<std::ptrdiff_t>(a), m.begin() + static_cast<std::ptrdiff_t>(a + n));
}

SimulatorOptions unpaced() {
    SimulatorOptions o;
    o.pacing = false;
    return o;
}

}   // namespace

TEST(RadioSimulator, AnswersReadsAndWritesOverThePseudoTerminal) {
    RadioSimulator sim(unpaced());
    const std::string path = sim.start();
    ASSERT_FALSE(path.empty()) << sim.error();
    Port port(path);
    ASSERT_GE(port.fd(), 0);

    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    ASSERT_TRUE(port.send(frame("READ", 0x0400, 0x30)));
    EXPECT_EQ(port.receive(0x30), slice(sim.memory(), 0x0400, 0x30));

    Bytes data(0x30);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    data[0] = 0x00;   // NUL, XON and XOFF pass unaltered both ways
    data[1] = 0x11;
    data[2] = 0x13;
    ASSERT_TRUE(port.send(frame("WRIE", 0x1BD0, 0x30, data)));
    EXPECT_EQ(port.receive(1), Bytes{kAck});
    EXPECT_EQ(slice(sim.memory(), 0x1BD0, 0x30), data);
    ASSERT_TRUE(port.send(frame("READ", 0x1BD0, 0x30)));
    EXPECT_EQ(port.receive(0x30), data);
    ASSERT_TRUE(port.send(word("EXIT")));
    // Nothing more arrives: no echo, no answer to the closing word.
    EXPECT_TRUE(port.receive(1, 50ms).empty());

    const SimulatorCounters c = sim.counters();
    EXPECT_EQ(c.protocol.framesSeen, 5u);
    EXPECT_EQ(c.bytesReceived, 8u + 8 + 8 + 0x30 + 8 + 4);
    EXPECT_EQ(c.bytesSent, 0x30u + 1 + 0x30);
    sim.stop();
    EXPECT_FALSE(sim.running());
}

TEST(RadioSimulator, ClientMayCloseReopenAndOpenExclusively) {
    RadioSimulator sim(unpaced());
    const std::string path = sim.start();
    ASSERT_FALSE(path.empty()) << sim.error();
    {
        Port first(path);
        ASSERT_GE(first.fd(), 0);
        ASSERT_TRUE(first.send(word("CLNK_OPN")));
    }
    // The client closed; the simulator holds on and answers the next client.
    Port port(path);
    ASSERT_GE(port.fd(), 0);
    ASSERT_EQ(::ioctl(port.fd(), TIOCEXCL), 0) << std::strerror(errno);
    if (::geteuid() != 0) {
        // Only a privileged process may open past an exclusive open.
        const int second = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        EXPECT_LT(second, 0);
        EXPECT_EQ(errno, EBUSY);
        if (second >= 0) ::close(second);
    }
    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    ASSERT_TRUE(port.send(frame("READ", 0x02D0, 0x21)));
    EXPECT_EQ(port.receive(0x21), slice(sim.memory(), 0x02D0, 0x21));
}

TEST(RadioSimulator, PacesAnswersLikeTheLineAndWaitsTheTurnaround) {
    SimulatorOptions o;   // pacing on, 19200 baud
    o.turnaround = 40ms;
    RadioSimulator sim(o);
    const std::string path = sim.start();
    ASSERT_FALSE(path.empty()) << sim.error();
    Port port(path);
    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    const auto t0 = Clock::now();
    ASSERT_TRUE(port.send(frame("READ", 0x0400, 0x30)));
    EXPECT_EQ(port.receive(0x30).size(), 0x30u);
    const auto took = Clock::now() - t0;
    // 8 request bytes in, 48 out at ~0.52 ms each, plus the turnaround.
    EXPECT_GE(took, 40ms + 28ms);
    EXPECT_LT(took, 40ms + 28ms + 150ms);
}

TEST(RadioSimulator, StopIsPromptDuringASlowAnswer) {
    SimulatorOptions o;
    o.baud = 300;   // 48 bytes take 1.6 s
    RadioSimulator sim(o);
    const std::string path = sim.start();
    ASSERT_FALSE(path.empty()) << sim.error();
    Port port(path);
    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    ASSERT_TRUE(port.send(frame("READ", 0x0400, 0x30)));
    std::this_thread::sleep_for(100ms);
    const auto t0 = Clock::now();
    sim.stop();
    EXPECT_LT(Clock::now() - t0, 100ms);
    EXPECT_LT(sim.counters().bytesSent, 0x30u);
}

TEST(RadioSimulator, FaultAtARequestAndVanish) {
    SimulatorOptions o = unpaced();
    o.fault = {FaultKind::DoubleAck, 1, std::nullopt};
    RadioSimulator sim(o);
    const std::string path = sim.start();
    ASSERT_FALSE(path.empty()) << sim.error();
    Port port(path);
    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    ASSERT_TRUE(port.send(frame("WRIE", 0x02C0, 1, {0x01})));
    EXPECT_EQ(port.receive(1), Bytes{kAck});
    ASSERT_TRUE(port.send(frame("WRIE", 0x02C0, 1, {0x02})));
    EXPECT_EQ(port.receive(3, 100ms), (Bytes{kAck, kAck}));

    // The radio disappears at request 0 of the next exchange: the client's
    // side hangs up instead of waiting for ever.
    sim.setFault({FaultKind::Vanish, 0, std::nullopt});
    ASSERT_TRUE(port.send(word("CLNK_OPN")));
    ASSERT_TRUE(port.send(frame("READ", 0x0400, 0x30)));
    pollfd p{port.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    for (int i = 0; i < 100 && sim.running(); ++i) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(sim.vanished());
    EXPECT_FALSE(sim.running());

    // The radio can come back, on a new device, with what it had stored.
    sim.setFault({});
    const std::string again = sim.start();
    ASSERT_FALSE(again.empty()) << sim.error();
    Port reopened(again);
    ASSERT_TRUE(reopened.send(word("CLNK_OPN")));
    ASSERT_TRUE(reopened.send(frame("READ", 0x02C0, 1)));
    EXPECT_EQ(reopened.receive(1), Bytes{0x02});
}

// ---- the program --------------------------------------------------------

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
};

// Runs the program with `args`, reads its first line, then sends SIGTERM if
// it is still running.
ProgramRun runProgram(const std::string& args, bool terminate) {
    ProgramRun r;
    const std::string cmd = std::string("exec ") + PELLARO_RADIO_SIM_PROGRAM + " " + args + " 2>/dev/null";
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) return r;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFd[1], 1);
        ::close(pipeFd[0]);
        ::close(pipeFd[1]);
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFd[1]);
    char c;
    while (::read(pipeFd[0], &c, 1) == 1 && c != '\n') r.out += c;
    if (terminate) ::kill(pid, SIGTERM);
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}   // namespace

TEST(RadioSimProgram, PrintsTheDeviceAndSavesOnTermination) {
    const auto dir = std::filesystem::temp_directory_path() / ("pellaro-sim-prog-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string save = (dir / "out.img").string();

    const ProgramRun run = runProgram("--no-pacing --save " + save, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("/dev/pts/", 0), 0u) << run.out;
    std::string error;
    const auto saved = loadImage(save, error);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ(*saved, freshCodeplug());

    // The faults of a radio that does not keep a write, with the byte to alter.
    const ProgramRun faulty = runProgram("--no-pacing --fault alter --at 2 --offset 5", true);
    EXPECT_EQ(faulty.status, 0);
    EXPECT_EQ(faulty.out.rfind("/dev/pts/", 0), 0u) << faulty.out;

    // Bad images and options end with status 2 before any device is offered.
    const std::string bad = (dir / "bad.img").string();
    std::FILE* f = std::fopen(bad.c_str(), "wb");
    std::fputs("short", f);
    std::fclose(f);
    for (const std::string& args :
         {"--image " + bad, "--image " + (dir / "none.img").string(), std::string("--fault nak"),
          std::string("--fault melt --at 1"), std::string("--turnaround x"), std::string("--bogus"),
          std::string("--fault drop --at 1 --offset x")}) {
        const ProgramRun r = runProgram(args, false);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
    std::filesystem::remove_all(dir);
}
