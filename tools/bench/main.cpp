// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-bench: times a full read and a full write through the real serial
// component against the paced simulated radio (run as a child process, so
// the CPU time measured is the programming tool's own), in the normal mode
// and in the fast mode, one after the other in the same run. The normal
// mode is compared with the protocol floor: what the 19200 baud line and the
// protocol's fixed waits allow at best; the fast mode with fixed goals of
// about 1.5 x the line's own time.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"

namespace {

using namespace pellaro;

constexpr double kBytesPerSecond = 19200.0 / 10.0;   // 8N1: ten bits a byte
constexpr double kReplySilence = 0.100;              // hands a reply over
constexpr double kHalfPoll = 0.010;                  // half of a 20 ms poll
constexpr double kHandshake = 0.500;

// Targets a transfer must meet.
constexpr double kWallFactor = 1.05;
constexpr double kCpuSeconds = 0.5;
constexpr double kStallMs = 30.0;
// Fast mode: wall time of a full read and a full write, and CPU time.
constexpr double kFastReadSeconds = 6.6;
constexpr double kFastWriteSeconds = 6.7;
constexpr double kFastCpuSeconds = 0.3;

// The line's own time: the handshake wait and every frame and answer back to
// back, without any silence or poll.
double lineTime(bool write) {
    double seconds = kHandshake;
    for (int n = 0; n < kBlockCount; ++n) {
        const int length = blockInfo(n).length;
        seconds += (write ? 8 + length + 1 : 8 + length) / kBytesPerSecond;
    }
    return seconds;
}

double protocolFloor(bool write) {
    double seconds = kHandshake;
    for (int n = 0; n < kBlockCount; ++n) {
        const int length = blockInfo(n).length;
        const int sent = write ? 8 + length : 8;
        const int answered = write ? 1 : length;
        seconds += (sent + answered) / kBytesPerSecond + kReplySilence + kHalfPoll;
    }
    return seconds;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Measures how late a 5 ms timer fires: the longest time the event loop
// could not run while a transfer was waiting.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double now = clock_.nsecsElapsed() / 1e6;
            const double late = now - last_ - 5.0;
            if (late > worst_) worst_ = late;
            last_ = now;
        });
    }
    void start() {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double stop() {
        timer_.stop();
        return worst_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0;
    double worst_ = 0;
};

struct Figures {
    std::string result;
    double wall = 0, cpu = 0, stall = 0;
    double wallGoal = 0, cpuGoal = 0;
    std::string goalText;   // what the wall goal is made of
    bool met() const { return wall <= wallGoal && cpu <= cpuGoal && stall <= kStallMs; }
};

Figures runTransfer(CloneEngine& engine, Document& doc, bool write) {
    StallMeter meter;
    Figures f;
    char text[64];
    if (engine.fastTransfers()) {
        f.wallGoal = write ? kFastWriteSeconds : kFastReadSeconds;
        f.cpuGoal = kFastCpuSeconds;
        std::snprintf(text, sizeof text, "line %.2f s", lineTime(write));
    } else {
        const double floor = protocolFloor(write);
        f.wallGoal = kWallFactor * floor;
        f.cpuGoal = kCpuSeconds;
        std::snprintf(text, sizeof text, "%.2f x floor %.2f s", kWallFactor, floor);
    }
    f.goalText = text;
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    meter.start();
    const TransferResult r = write ? engine.fullWrite(doc) : engine.fullRead(doc);
    f.stall = meter.stop();
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    f.cpu = cpuSeconds() - cpu0;
    f.result = r.message;
    return f;
}

void print(const char* name, const Figures& f) {
    const std::string goal = "(" + f.goalText + ")";
    std::printf("%-16s %-15s wall %6.2f s <= %5.2f s %-22s cpu %5.3f s <= %.1f s  stall %5.1f ms  %s\n", name,
                f.result.c_str(), f.wall, f.wallGoal, goal.c_str(), f.cpu, f.cpuGoal, f.stall,
                f.met() ? "ok" : "MISSED");
    std::fflush(stdout);
}

}   // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString simPath = QCoreApplication::applicationDirPath() + "/pellaro-radio-sim";
    if (argc > 2 && std::string(argv[1]) == "--sim") simPath = QString::fromLocal8Bit(argv[2]);

    QProcess radio;
    radio.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    radio.start(simPath, {});
    if (!radio.waitForStarted(5000)) {
        std::fprintf(stderr, "pellaro-bench: cannot start %s\n", qPrintable(simPath));
        return 2;
    }
    while (!radio.canReadLine() && radio.waitForReadyRead(5000)) {
    }
    const std::string device = radio.readLine().trimmed().toStdString();
    if (device.empty()) {
        std::fprintf(stderr, "pellaro-bench: the simulated radio named no device\n");
        return 2;
    }

    int status = 0;
    {
        TComm comm;
        setComm1Line(comm);   // no flow control: 0x11 and 0x13 pass
        comm.setCommName(device);
        try {
            comm.OpenPort();
        } catch (const ECommsError& e) {
            std::fprintf(stderr, "pellaro-bench: %s: %s\n", device.c_str(), e.what());
            return 2;
        }
        PortLink link(comm);
        CloneEngine engine(link);
        Document doc;

        std::printf("Full transfers against the paced simulated radio on %s\n", device.c_str());
        const Figures read = runTransfer(engine, doc, false);
        print("full read", read);
        const Figures write = runTransfer(engine, doc, true);
        print("full write", write);
        engine.setFastTransfers(true);
        const Figures fastRead = runTransfer(engine, doc, false);
        print("fast full read", fastRead);
        const Figures fastWrite = runTransfer(engine, doc, true);
        print("fast full write", fastWrite);
        engine.setFastTransfers(false);
        std::printf(
            "targets: normal wall <= %.2f x floor, cpu <= %.1f s; fast wall <= %.1f s (read) and "
            "%.1f s (write), cpu <= %.1f s; stall <= %.0f ms\n",
            kWallFactor, kCpuSeconds, kFastReadSeconds, kFastWriteSeconds, kFastCpuSeconds, kStallMs);
        std::fflush(stdout);
        if (read.result != "Read success!" || write.result != "Write success!") status = 1;
        if (fastRead.result != "Read success!" || fastWrite.result != "Write success!") status = 1;
        if (!read.met() || !write.met() || !fastRead.met() || !fastWrite.met()) status = 1;
        comm.waitUntilSent(kSendDrainTimeoutMs);   // the last "EXIT" reaches the radio
        comm.ClosePort();
    }
    radio.terminate();
    if (!radio.waitForFinished(3000)) radio.kill();
    return status;
}
