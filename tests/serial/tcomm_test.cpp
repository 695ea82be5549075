// SPDX-License-Identifier: GPL-3.0-or-later
// TComm and the port link over pseudo-terminals: the test holds the master
// side and plays the radio; the component opens the slave path as CommName.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "serial/access_hint.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"

using namespace pellaro;

namespace {

// The master side of a pseudo-terminal pair, closed on scope exit.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) slave = ptsname(master);
    }
    ~Pty() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    bool ok() const { return master >= 0 && !slave.empty(); }

    // Writes everything, waiting for room as needed.
    bool write(const std::vector<std::uint8_t>& bytes) const {
        std::size_t off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::write(master, bytes.data() + off, bytes.size() - off);
            if (n > 0) {
                off += static_cast<std::size_t>(n);
            } else {
                pollfd p{master, POLLOUT, 0};
                if (::poll(&p, 1, 2000) <= 0) return false;
            }
        }
        return true;
    }
    // Reads until `count` bytes came or `ms` passed without any.
    std::vector<std::uint8_t> read(std::size_t count, int ms = 2000) const {
        std::vector<std::uint8_t> out;
        std::uint8_t buf[4096];
        while (out.size() < count) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0) break;
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
    bool readable(int ms) const {
        pollfd p{master, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    termios slaveSettings() const   // on a master, the terminal's own settings
    {
        termios t{};
        tcgetattr(master, &t);
        return t;
    }
};

// A component configured as the main window's Comm1 ends up: 19200 8N1, no flow control.
std::unique_ptr<TComm> comm1For(const std::string& path) {
    auto comm = std::make_unique<TComm>();
    setComm1Line(*comm);
    comm->setCommName(path);
    return comm;
}

QString openError(TComm& comm) {
    try {
        comm.OpenPort();
    } catch (const ECommsError& e) {
        return QString::fromStdString(e.what());
    }
    return QString();
}

std::vector<std::uint8_t> allByteValues() {
    std::vector<std::uint8_t> v(256);
    for (int i = 0; i < 256; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return v;
}

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

}   // namespace

class TCommTest : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void openErrors_data();
    void openErrors();
    void alreadyOpenLeavesPortWorking();
    void sendDataRules();
    void bytesIntactBothWays();
    void burstIntactAndInOrder();
    void handOffAfterInterval_data();
    void handOffAfterInterval();
    void receiveAtOnceAndWaitForBytes();
    void propertiesWhileOpen();
    void closeWhileWriteBlocked();
    void hangupWhenOtherEndCloses();
    void noticesAfterCloseAreDropped();
    void destroyedFromInsideHandler();
    void receiveBufferHexText();
    void portDelayRunsEvents();
    void accessHintNamesAGroupOnlyWhenItHelps_data();
    void accessHintNamesAGroupOnlyWhenItHelps();
};

void TCommTest::defaults() {
    TComm c;
    QCOMPARE(QString::fromStdString(c.CommName()), QString("COM2"));
    QCOMPARE(c.BaudRate(), 9600u);
    QVERIFY(c.TxContinueOnXoff() && c.Outx_XonXoffFlow() && c.Inx_XonXoffFlow());
    QVERIFY(!c.ParityCheck() && !c.Outx_CtsFlow() && !c.IgnoreNullChar());
    QCOMPARE(c.XonChar(), std::uint8_t(0x11));
    QCOMPARE(c.XoffChar(), std::uint8_t(0x13));
    QCOMPARE(c.XonLimit(), std::uint16_t(500));
    QCOMPARE(c.ReadIntervalTimeout(), 100u);
    QVERIFY(c.ByteSize() == TByteSize::_8 && c.StopBits() == TStopBits::_1 && c.Parity() == TParity::None);
    QVERIFY(c.DtrControl() == TDtrControl::DtrEnable && c.RtsControl() == TRtsControl::RtsEnable);
    QCOMPARE(static_cast<int>(TRtsControl::RtsTransmissionAvailable), 3);
    QCOMPARE(static_cast<int>(TParity::Space), 4);
    QVERIFY(!c.isOpen());
    c.ClosePort();   // closed: nothing happens
    setComm1Values(c);
    QCOMPARE(c.BaudRate(), 19200u);
}

void TCommTest::openErrors_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing path") << "missing"
                                  << "Error opening serial port";
    QTest::newRow("regular file") << "file"
                                  << "File handle is not a comm handle ";
    QTest::newRow("not a terminal device") << "/dev/null"
                                           << "File handle is not a comm handle ";
    QTest::newRow("held by another component") << "busy"
                                               << "Error opening serial port";
}

void TCommTest::openErrors() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Pty pty;
    QVERIFY(pty.ok());
    QTemporaryFile file;
    QVERIFY(file.open());
    std::unique_ptr<TComm> holder;
    std::string path;
    if (kind == "missing") {
        path = "/nonexistent/ttyPellaro0";
    } else if (kind == "file") {
        path = file.fileName().toStdString();
    } else if (kind == "busy") {
        holder = comm1For(pty.slave);
        holder->OpenPort();
        path = pty.slave;
    } else {
        path = kind.toStdString();
    }
    auto comm = comm1For(path);
    QCOMPARE(openError(*comm), message);
    QVERIFY(!comm->isOpen());
    QVERIFY(!comm->lastOpenErrorDetail().empty());
    QVERIFY(!comm->SendData("A", 1));
    if (holder) QVERIFY(holder->isOpen());
}

void TCommTest::alreadyOpenLeavesPortWorking() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    comm->OpenPort();
    QCOMPARE(openError(*comm), QString("This serial port already opened"));
    QVERIFY(comm->isOpen());
    QVERIFY(comm->SendData("OK", 2));
    const auto got = pty.read(2);
    QCOMPARE(std::string(got.begin(), got.end()), std::string("OK"));
}

void TCommTest::sendDataRules() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    QVERIFY(!comm->SendData("X", 1));   // closed
    comm->OpenPort();
    QVERIFY(!comm->SendData("X", 0));   // nothing to send
    comm->ClosePort();
    QVERIFY(!comm->SendData("X", 1));   // closed again
    PortLink link(*comm);
    QVERIFY(!link.sendBytes({0x45}));
    QVERIFY(pty.read(1, 20).empty());
}

void TCommTest::bytesIntactBothWays() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    PortLink link(*comm);
    comm->OpenPort();
    const auto bytes = allByteValues();   // 0x00, 0x11, 0x13, CR, LF, ^C ... included

    QVERIFY(link.sendBytes(bytes));
    QCOMPARE(pty.read(bytes.size()), bytes);

    QVERIFY(pty.write(bytes));
    QVERIFY(QTest::qWaitFor([&] { return link.receiveBuffer().size() >= 512; }, 3000));
    QCOMPARE(QString::fromStdString(link.receiveBuffer()),
             QString::fromStdString(bytesToHexText(bytes.data(), bytes.size())));
}

void TCommTest::burstIntactAndInOrder() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    std::vector<std::uint8_t> got;
    std::vector<int> sizes;
    comm->OnReceiveData = [&](TComm*, const std::uint8_t* buf, std::uint16_t n) {
        sizes.push_back(n);
        got.insert(got.end(), buf, buf + n);
    };
    comm->OpenPort();
    std::vector<std::uint8_t> burst(5000);
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF);
    QVERIFY(pty.write(burst));
    QVERIFY(QTest::qWaitFor([&] { return got.size() >= burst.size(); }, 5000));
    QCOMPARE(got, burst);
    for (int n : sizes) QVERIFY(n > 0 && n <= 2048);
    QVERIFY(std::find(sizes.begin(), sizes.end(), 2048) != sizes.end());
}

void TCommTest::handOffAfterInterval_data() {
    QTest::addColumn<int>("interval");
    QTest::newRow("default 100 ms") << 100;
    QTest::newRow("changed to 30 ms while open") << 30;
}

void TCommTest::handOffAfterInterval() {
    QFETCH(int, interval);
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    PortLink link(*comm);
    comm->OpenPort();
    comm->setReadIntervalTimeout(static_cast<std::uint32_t>(interval));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(pty.write({0x06}));
    QVERIFY(QTest::qWaitFor([&] { return !link.receiveBuffer().empty(); }, 2000));
    const qint64 first = clock.elapsed();
    QVERIFY2(first >= interval - 2, qPrintable(QString::number(first)));
    QVERIFY2(first < interval + 400, qPrintable(QString::number(first)));

    // A second byte after the first hand-off is a hand-off of its own.
    QVERIFY(pty.write({0x06}));
    QVERIFY(QTest::qWaitFor([&] { return link.receiveBuffer().size() >= 4; }, 2000));
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("0606"));
}

// Fast transfers: bytes handed over as they arrive, and a wait that ends
// when they do. The interval is made long so that only ReceiveAtOnce can
// explain a prompt hand-off.
void TCommTest::receiveAtOnceAndWaitForBytes() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    PortLink link(*comm);
    comm->OpenPort();
    comm->setReadIntervalTimeout(1000);
    QVERIFY(!comm->ReceiveAtOnce());
    link.setReceiveAtOnce(true);
    QVERIFY(comm->ReceiveAtOnce());

    QElapsedTimer clock;
    clock.start();
    QVERIFY(pty.write({0x06}));
    link.waitForBytes(3000);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("06"));

    // Nothing arrives: the wait lasts its time, asleep.
    clock.restart();
    const double cpu0 = threadCpuMs();
    link.waitForBytes(100);
    QVERIFY2(clock.elapsed() >= 100 && clock.elapsed() < 600, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(threadCpuMs() - cpu0 < 20.0, "busy waiting");

    // Back to the normal hand-over: the byte waits for the interval's silence.
    link.setReceiveAtOnce(false);
    QVERIFY(pty.write({0x15}));
    link.waitForBytes(300);
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("06"));
    QVERIFY(QTest::qWaitFor([&] { return link.receiveBuffer().size() == 4; }, 3000));
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("0615"));
}

void TCommTest::propertiesWhileOpen() {
    Pty pty;
    QVERIFY(pty.ok());
    const termios before = pty.slaveSettings();
    QVERIFY(before.c_lflag & ICANON);   // a fresh terminal is cooked
    auto comm = comm1For(pty.slave);
    comm->OpenPort();

    termios t = pty.slaveSettings();
    QCOMPARE(cfgetospeed(&t), speed_t(B19200));
    QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
    QVERIFY(!(t.c_oflag & OPOST));
    QVERIFY(!(t.c_iflag & (IXON | IXOFF | ICRNL)));
    QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB | CLOCAL | CREAD), tcflag_t(CS8 | CLOCAL | CREAD));

    comm->setBaudRate(9600);   // re-applied at once
    // A pseudo-terminal keeps no parity-enable bit, but it keeps the odd bit.
    comm->setParity(TParity::Odd);      // not until the next open
    comm->setStopBits(TStopBits::_2);   // at once
    comm->setInx_XonXoffFlow(true);     // at once
    t = pty.slaveSettings();
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));
    QVERIFY(!(t.c_cflag & PARODD));
    QVERIFY(t.c_cflag & CSTOPB);
    QVERIFY(t.c_iflag & IXOFF);

    comm->ClosePort();
    t = pty.slaveSettings();
    QVERIFY(t.c_lflag & ICANON);   // the saved settings are back
    QCOMPARE(cfgetospeed(&t), cfgetospeed(&before));

    comm->OpenPort();
    t = pty.slaveSettings();
    QVERIFY(t.c_cflag & PARODD);
}

void TCommTest::closeWhileWriteBlocked() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    int empties = 0;
    comm->OnSendDataEmpty = [&](TComm*) { ++empties; };
    comm->OpenPort();
    // Nobody reads the master: far more than the terminal buffers hold.
    std::vector<std::uint8_t> block(65535, 0x55);
    for (int i = 0; i < 8; ++i) QVERIFY(comm->SendData(block.data(), static_cast<std::uint16_t>(block.size())));
    QVERIFY(pty.readable(1000));
    QTest::qWait(30);
    const int emptiesBefore = empties;

    QElapsedTimer clock;
    clock.start();
    comm->ClosePort();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!comm->isOpen());
    QCoreApplication::processEvents();
    QCOMPARE(empties, emptiesBefore);   // the queue never ran empty while open

    comm->OpenPort();   // and the port opens again cleanly
    QVERIFY(comm->isOpen());
}

void TCommTest::hangupWhenOtherEndCloses() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    int hangups = 0;
    comm->OnRequestHangup = [&](TComm*) { ++hangups; };
    comm->OpenPort();
    pty.closeMaster();
    QVERIFY(QTest::qWaitFor([&] { return hangups > 0; }, 2000));
    QVERIFY(comm->isOpen());   // the owner decides whether to close
    QElapsedTimer clock;
    clock.start();
    comm->ClosePort();
    QVERIFY(clock.elapsed() < 1000);
}

void TCommTest::noticesAfterCloseAreDropped() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    int calls = 0;
    comm->OnReceiveData = [&](TComm*, const std::uint8_t*, std::uint16_t) { ++calls; };
    comm->OnSendDataEmpty = [&](TComm*) { ++calls; };
    comm->OpenPort();
    comm->setReadIntervalTimeout(0);   // hand over at once
    QVERIFY(pty.write({1, 2, 3}));
    ::usleep(50 * 1000);   // posted, but not yet processed
    comm->ClosePort();
    QCoreApplication::processEvents();
    QCOMPARE(calls, 0);
}

void TCommTest::destroyedFromInsideHandler() {
    Pty pty;
    QVERIFY(pty.ok());
    auto comm = comm1For(pty.slave);
    bool called = false;
    comm->OnReceiveData = [&](TComm*, const std::uint8_t*, std::uint16_t) {
        called = true;
        comm.reset();   // closes the port from inside its own event
    };
    comm->OpenPort();
    QVERIFY(pty.write({0x06}));
    QVERIFY(QTest::qWaitFor([&] { return called; }, 2000));
    QVERIFY(!comm);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TCommTest::receiveBufferHexText() {
    TComm comm;
    PortLink link(comm);
    const std::uint8_t ack = 0x06;
    link.Comm1ReceiveData(&comm, &ack, 1);
    link.Comm1ReceiveData(&comm, &ack, 1);
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("0606"));
    const std::uint8_t three[] = {0x00, 0x0A, 0xFF, 0x99};
    link.Comm1ReceiveData(&comm, three, 3);   // exactly the count given
    QCOMPARE(QString::fromStdString(link.receiveBuffer()), QString("0606000AFF"));
    link.clearReceiveBuffer();
    QVERIFY(link.receiveBuffer().empty());
}

void TCommTest::portDelayRunsEvents() {
    int runs = 0;
    QTimer::singleShot(0, this, [&] { ++runs; });
    portDelay(0);
    QCOMPARE(runs, 1);   // pending events run once, also for 0 ms
    QMetaObject::invokeMethod(
        this, [&] { ++runs; }, Qt::QueuedConnection);
    portDelay(-5);
    QCOMPARE(runs, 2);

    QElapsedTimer clock;
    clock.start();
    const double cpu0 = threadCpuMs();
    QTimer::singleShot(30, this, [&] { ++runs; });   // runs inside the wait
    portDelay(200);
    const qint64 wall = clock.elapsed();
    const double cpu = threadCpuMs() - cpu0;
    QCOMPARE(runs, 3);
    QVERIFY2(wall >= 200 && wall < 1000, qPrintable(QString::number(wall)));
    QVERIFY2(cpu < 40.0, qPrintable(QString("cpu %1 ms: busy waiting").arg(cpu)));
}

void TCommTest::accessHintNamesAGroupOnlyWhenItHelps_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("namesGroup");
    QTest::newRow("600, the owner only") << 0600 << false;
    QTest::newRow("640, the group may only read") << 0640 << false;
    QTest::newRow("660, the group may read and write") << 0660 << true;
}

void TCommTest::accessHintNamesAGroupOnlyWhenItHelps() {
    QFETCH(int, mode);
    QFETCH(bool, namesGroup);
    QTemporaryDir dir;
    const std::string device = dir.filePath(QStringLiteral("ttyX")).toStdString();
    QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly);
    QCOMPARE(::chmod(device.c_str(), static_cast<mode_t>(mode)), 0);
    const group* own = ::getgrgid(::getegid());
    QVERIFY(own);
    const QString hint = QString::fromStdString(accessRefusedHint(device));
    const QString join = QStringLiteral("group %1. Join it with: sudo usermod -aG %1 $USER").arg(own->gr_name);
    QCOMPARE(hint.contains(join), namesGroup);
    // The way without sudo names the user, never root (whom $USER names as root).
    const QString asRoot = QStringLiteral("(or without sudo, as root: usermod -aG %1 ").arg(own->gr_name);
    QCOMPARE(hint.contains(asRoot), namesGroup);
    QVERIFY2(!hint.contains(asRoot + QStringLiteral("root)")) && !hint.contains(asRoot + QStringLiteral("$USER")),
             qPrintable(hint));
    QCOMPARE(hint.contains(QStringLiteral("group")), namesGroup);
    if (!namesGroup)
        QCOMPARE(hint, QStringLiteral("ask the system's administrator for access to %1, or use another port")
                           .arg(QString::fromStdString(device)));
}

QTEST_GUILESS_MAIN(TCommTest)
#include "tcomm_test.moc"
