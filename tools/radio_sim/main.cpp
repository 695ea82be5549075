// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-radio-sim: a simulated Pellaro radio on a pseudo-terminal.
#include "tools/radio_sim/radio_sim.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: pellaro-radio-sim [options]\n"
    "\n"
    "Opens a pseudo-terminal and answers the Pellaro clone protocol on it.\n"
    "The first line on stdout is the device to open, like a serial port.\n"
    "Runs until SIGINT (Ctrl+C) or SIGTERM, or until a vanish fault fires.\n"
    "\n"
    "Options:\n"
    "  --image FILE        start from this raw memory image (7168 bytes)\n"
    "                      instead of a fresh codeplug\n"
    "  --save FILE         on exit, save the memory to FILE (raw, 7168 bytes)\n"
    "  --no-pacing         answer at once instead of at 19200 baud\n"
    "  --turnaround MS     wait MS milliseconds before each answer\n"
    "  --fault KIND        misbehave at one request: no-answer, short, long,\n"
    "                      double-ack, nak, garbage, vanish; or at one write:\n"
    "                      drop (acknowledged, not stored), alter (stored\n"
    "                      with one byte inverted, see --offset)\n"
    "  --at N              ... at request N of the exchange (0-based; in a\n"
    "                      full read or write, request N is block N)\n"
    "  --at-address HEX    ... at the first request for this address\n"
    "  --exchange N        ... only in exchange N (1 for the first CLNK_OPN\n"
    "                      since the start, 2 for the next, ...)\n"
    "  --repeat            fire the fault at every matching request\n"
    "  --offset N          the byte of the write's data that alter inverts\n"
    "                      (0-based, default 0: the block's first byte)\n"
    "  --radios N          N radios on the cable, one after another: once the\n"
    "                      one answering has been written and --linger has\n"
    "                      passed without a block read or written (a probe's\n"
    "                      handshake, one-byte read and EXIT do not count), it\n"
    "                      is taken off: silence for --swap, then the next one\n"
    "                      answers, with its own fresh memory (or --image);\n"
    "                      after the last one, silence\n"
    "  --swap SECONDS      how long changing radios takes (default 0)\n"
    "  --linger SECONDS    how long a written radio stays on (default 1)\n"
    "  --save-dir DIR      save each radio's memory as DIR/radio-K.img (raw)\n"
    "                      after each exchange with it\n"
    "  --radio K           aim the fault at radio K only (1..N)\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 on a normal end, 2 on bad options, an unreadable image\n"
    "or a failure to open the pseudo-terminal or to save.\n";

int usageError(const std::string& message) {
    std::cerr << "pellaro-radio-sim: " << message << "\n"
              << "Try 'pellaro-radio-sim --help'.\n";
    return 2;
}

bool parseSeconds(const std::string& text, std::chrono::milliseconds& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(seconds >= 0 && seconds <= 3600)) return false;
    out = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    return true;
}

bool parseNumber(const std::string& text, int base, long max, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, base);
    return errno == 0 && *end == '\0' && value >= 0 && value <= max;
}

}   // namespace

int main(int argc, char** argv) {
    using namespace pellaro::sim;
    std::string imagePath, savePath;
    SimulatorOptions options;
    bool faultGiven = false;
    bool rackTimesGiven = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--image") {
            if (!value(imagePath)) return usageError("--image needs a file");
        } else if (arg == "--save") {
            if (!value(savePath)) return usageError("--save needs a file");
        } else if (arg == "--no-pacing") {
            options.pacing = false;
        } else if (arg == "--turnaround") {
            if (!value(v) || !parseNumber(v, 10, 60000, n))
                return usageError("--turnaround needs milliseconds (0 to 60000)");
            options.turnaround = std::chrono::milliseconds(n);
        } else if (arg == "--fault") {
            if (!value(v)) return usageError("--fault needs a kind");
            const auto kind = faultKindFromName(v);
            if (!kind) return usageError("unknown fault '" + v + "'");
            options.fault.kind = *kind;
            faultGiven = true;
        } else if (arg == "--at") {
            if (!value(v) || !parseNumber(v, 10, 1000000, n)) return usageError("--at needs a request number");
            options.fault.atRequest = static_cast<int>(n);
        } else if (arg == "--at-address") {
            if (!value(v)) return usageError("--at-address needs a hex address");
            if (v.rfind("0x", 0) == 0 || v.rfind("0X", 0) == 0) v.erase(0, 2);
            if (!parseNumber(v, 16, 0xFFFF, n)) return usageError("--at-address needs a hex address (0 to FFFF)");
            options.fault.atAddress = static_cast<std::uint16_t>(n);
        } else if (arg == "--exchange") {
            if (!value(v) || !parseNumber(v, 10, 1000000, n) || n < 1)
                return usageError("--exchange needs an exchange number (1 or more)");
            options.fault.inExchange = static_cast<int>(n);
        } else if (arg == "--repeat") {
            options.fault.repeat = true;
        } else if (arg == "--offset") {
            if (!value(v) || !parseNumber(v, 10, 0xFFFF, n))
                return usageError("--offset needs a byte number (0 to 65535)");
            options.fault.offset = static_cast<std::size_t>(n);
        } else if (arg == "--radios") {
            if (!value(v) || !parseNumber(v, 10, 1000, n) || n < 1)
                return usageError("--radios needs a number of radios (1 to 1000)");
            options.rack.radios = static_cast<int>(n);
        } else if (arg == "--swap" || arg == "--linger") {
            std::chrono::milliseconds ms{};
            if (!value(v) || !parseSeconds(v, ms)) return usageError(arg + " needs seconds (0 to 3600)");
            (arg == "--swap" ? options.rack.swap : options.rack.linger) = ms;
            rackTimesGiven = true;
        } else if (arg == "--save-dir") {
            if (!value(options.rack.saveDir) || options.rack.saveDir.empty())
                return usageError("--save-dir needs a folder");
        } else if (arg == "--radio") {
            if (!value(v) || !parseNumber(v, 10, 1000, n) || n < 1)
                return usageError("--radio needs a radio number (1 or more)");
            options.rack.faultRadio = static_cast<int>(n);
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    if (faultGiven && options.fault.kind != FaultKind::None && !options.fault.atRequest && !options.fault.atAddress)
        return usageError("--fault needs --at N or --at-address HEX");

    if (rackTimesGiven && options.rack.radios == 0) return usageError("--swap and --linger need --radios N");
    if (options.rack.faultRadio && !faultGiven) return usageError("--radio needs --fault");
    if (options.rack.faultRadio && *options.rack.faultRadio > std::max(1, options.rack.radios))
        return usageError("--radio names a radio past --radios");

    if (!options.rack.saveDir.empty()) {
        struct stat st {};
        if (::stat(options.rack.saveDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            ::access(options.rack.saveDir.c_str(), W_OK | X_OK) != 0) {
            std::cerr << "pellaro-radio-sim: " << options.rack.saveDir << " is not a folder that can be written\n";
            return 2;
        }
    }

    Memory memory = freshCodeplug();
    if (!imagePath.empty()) {
        std::string error;
        const auto loaded = loadImage(imagePath, error);
        if (!loaded) {
            std::cerr << "pellaro-radio-sim: " << error << "\n";
            return 2;
        }
        memory = *loaded;
    }

    // Signals are taken by sigwait() on this thread; the simulator's thread
    // inherits the blocked mask. A vanish fault ends the program by SIGUSR1.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    options.onVanish = [] { ::kill(::getpid(), SIGUSR1); };

    RadioSimulator simulator(memory, options);
    const std::string path = simulator.start();
    if (path.empty()) {
        std::cerr << "pellaro-radio-sim: cannot open a pseudo-terminal: " << simulator.error() << "\n";
        return 2;
    }
    std::cout << path << std::endl;

    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();

    const SimulatorCounters c = simulator.counters();
    std::cerr << "pellaro-radio-sim: " << c.protocol.exchanges << " exchanges, " << c.protocol.closings
              << " closed by EXIT, " << c.protocol.readRequests << " reads, " << c.protocol.writeRequests << " writes, "
              << c.bytesReceived << " bytes in, " << c.bytesSent << " bytes out"
              << (simulator.vanished() ? ", vanished" : "") << "\n";

    if (simulator.saveFailures() > 0) {
        std::cerr << "pellaro-radio-sim: " << simulator.saveFailures()
                  << " saves into the save folder failed: " << simulator.error() << "\n";
        return 2;
    }
    if (!savePath.empty()) {
        std::string error;
        if (!saveImage(savePath, simulator.memory(), error)) {
            std::cerr << "pellaro-radio-sim: " << error << "\n";
            return 2;
        }
    }
    return 0;
}
