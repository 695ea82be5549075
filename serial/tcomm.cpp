// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/tcomm.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace pellaro {

namespace {

using Clock = std::chrono::steady_clock;

// Notice codes the worker threads hand to the main thread.
constexpr int kNoticeReceiveData = 1025;
constexpr int kNoticeReceiveError = 1026;
constexpr int kNoticeHangup = 1027;
constexpr int kNoticeModemState = 1028;
constexpr int kNoticeSendEmpty = 1029;

constexpr std::size_t kReadChunk = 2048;   // bytes per hand-off at most
constexpr int kModemCheckMs = 100;         // line error / modem line check interval
constexpr auto kThreadStopWait = std::chrono::seconds(10);
// A pseudo-terminal counts bytes as sent once they are in the other side's
// input, but hands them to the reader a moment later; a purge before that
// drops them. Closing waits this long after the last write on one.
constexpr auto kPseudoTerminalSettle = std::chrono::milliseconds(50);
// After a timed-out drain, how long the discarded output may take to
// release the drain.
constexpr auto kDrainRelease = std::chrono::seconds(1);

bool isPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned m = major(st.st_rdev);
    return (m >= 136 && m <= 143) || m == 3;   // Unix98 and BSD pseudo-terminal slaves
}

QEvent::Type noticeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct NoticeEvent : QEvent {
    NoticeEvent(int c, std::uint64_t g) : QEvent(noticeEventType()), code(c), generation(g) {}
    int code;
    std::uint64_t generation;
    std::uint32_t value = 0;
    std::vector<std::uint8_t> data;
};

speed_t speedFor(std::uint32_t baud, bool& known) {
    struct Entry {
        std::uint32_t baud;
        speed_t speed;
    };
    static constexpr Entry table[] = {
        {50, B50},           {75, B75},         {110, B110},         {134, B134},         {150, B150},
        {200, B200},         {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},       {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},     {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000},
    };
    for (const auto& e : table) {
        if (e.baud == baud) {
            known = true;
            return e.speed;
        }
    }
    known = false;
    return B0;
}

// Signals the close event, on which both threads wait with every operation.
// Adding one to the event's counter fails only when a signal interrupts it.
void signalClose(int closeFd) {
    const std::uint64_t one = 1;
    while (::write(closeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

}   // namespace

// The hidden notice object: lives in the thread that created the component
// and calls its events there.
class NoticeTarget : public QObject {
public:
    explicit NoticeTarget(TComm::Impl* impl) : impl_(impl) {}
    bool event(QEvent* e) override;
    TComm::Impl* impl_;   // null once the component is gone
    bool dispatching_ = false;
};

struct TComm::Impl {
    explicit Impl(TComm* self) : owner(self) {}

    TComm* owner;

    // Published properties (main thread only).
    std::string commName = "COM2";
    std::uint32_t baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    std::uint16_t xonLimit = 500;
    std::uint16_t xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TParity openParity = TParity::None;   // the parity in force: taken at open
    TStopBits stopBits = TStopBits::_1;
    std::uint8_t xonChar = 0x11;
    std::uint8_t xoffChar = 0x13;
    std::uint8_t replacedChar = 0x00;
    // Time-outs are read by the receive thread while it runs.
    std::atomic<std::uint32_t> readIntervalTimeout{100};
    std::atomic<std::uint32_t> readTotalTimeoutMultiplier{0};
    std::atomic<std::uint32_t> readTotalTimeoutConstant{0};
    std::uint32_t writeTotalTimeoutMultiplier = 0;
    std::uint32_t writeTotalTimeoutConstant = 0;
    // Discarding null bytes happens in the receive thread.
    std::atomic<bool> dropNullBytes{false};
    // Fast transfers: hand every read over at once (read by the receive thread).
    std::atomic<bool> receiveAtOnce{false};

    // Port state.
    int fd = -1;
    int closeFd = -1;   // the close event: an eventfd, readable once signalled
    termios savedTermios{};
    bool haveSavedTermios = false;
    std::uint64_t generation = 0;   // notices of an earlier open are dropped
    int lastErrno = 0;
    std::string lastDetail;

    std::thread readThread;
    std::thread writeThread;
    std::atomic<bool> readEnded{false};
    std::atomic<bool> writeEnded{false};
    std::mutex endMutex;
    std::condition_variable endCv;

    // Transmit queue.
    std::mutex queueMutex;
    std::condition_variable queueCv;
    std::deque<std::vector<std::uint8_t>> queue;
    bool closing = false;          // under queueMutex
    bool transmitFailed = false;   // under queueMutex: a write met a port error
    std::atomic<bool> sendEmpty{true};
    std::condition_variable sentCv;   // sendEmpty became true, or the transmit thread ended
    std::atomic<Clock::rep> lastWriteEnd{0};

    NoticeTarget* notice = nullptr;

    bool open() const { return fd >= 0; }

    void post(NoticeEvent* e) { QCoreApplication::postEvent(notice, e); }
    void postSimple(int code, std::uint64_t gen, std::uint32_t value = 0) {
        auto* e = new NoticeEvent(code, gen);
        e->value = value;
        post(e);
    }

    void applyLineSettings();
    void applyModemLines();
    void readLoop(std::uint64_t gen);
    void writeLoop(std::uint64_t gen);
    bool writeWhole(const std::vector<std::uint8_t>& bytes, std::uint64_t gen);
    void waitEnded(std::atomic<bool>& ended, std::thread& thread, const char* name);
    void failOpen(const char* message, int err, const std::string& detail);
    void deliver(NoticeEvent& e);
};

bool NoticeTarget::event(QEvent* e) {
    if (e->type() != noticeEventType()) return QObject::event(e);
    if (impl_) {
        dispatching_ = true;
        impl_->deliver(*static_cast<NoticeEvent*>(e));
        dispatching_ = false;
    }
    return true;   // the event (and the received copy in it) is released by Qt
}

// Runs on the main thread. A handler may close the port or even destroy the
// component, so nothing of the component is touched after the call.
void TComm::Impl::deliver(NoticeEvent& e) {
    if (!open() || e.generation != generation) return;   // posted before the port was closed: dropped
    TComm* self = owner;
    switch (e.code) {
        case kNoticeReceiveData:
            if (self->OnReceiveData) {
                auto handler = self->OnReceiveData;
                handler(self, e.data.data(), static_cast<std::uint16_t>(e.data.size()));
            }
            break;
        case kNoticeReceiveError:
            if (self->OnReceiveError) {
                auto handler = self->OnReceiveError;
                handler(self, e.value);
            }
            break;
        case kNoticeHangup:
            if (self->OnRequestHangup) {
                auto handler = self->OnRequestHangup;
                handler(self);
            }
            break;
        case kNoticeModemState:
            if (self->OnModemStateChange) {
                auto handler = self->OnModemStateChange;
                handler(self, e.value);
            }
            break;
        case kNoticeSendEmpty:
            if (self->OnSendDataEmpty) {
                auto handler = self->OnSendDataEmpty;
                handler(self);
            }
            break;
        default:
            break;
    }
}

// The line configuration as raw binary termios: no echo, no canonical input,
// no signals, no output processing, no CR/LF translation. Settings with no
// termios counterpart (DSR flow and sensitivity, DTR handshaking, continue on
// XOFF, the XON/XOFF limits) are kept as properties only.
void TComm::Impl::applyLineSettings() {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;

    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[std::min<unsigned>(static_cast<unsigned>(byteSize), 3)];
    switch (openParity) {
        case TParity::None:
            break;
        case TParity::Odd:
            t.c_cflag |= PARENB | PARODD;
            break;
        case TParity::Even:
            t.c_cflag |= PARENB;
            break;
        case TParity::Mark:
            t.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case TParity::Space:
            t.c_cflag |= PARENB | CMSPAR;
            break;
    }
    if (stopBits != TStopBits::_1) t.c_cflag |= CSTOPB;
    // A byte with a parity error is read as 0x00 when checking is on; without
    // replacement it is dropped instead of being passed on wrong.
    if (parityCheck) {
        t.c_iflag |= INPCK;
        if (!replaceWhenParityError) t.c_iflag |= IGNPAR;
    }
    if (outxCtsFlow || rtsControl == TRtsControl::RtsHandshake) t.c_cflag |= CRTSCTS;
    if (outxXonXoffFlow) t.c_iflag |= IXON;
    if (inxXonXoffFlow) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(xoffChar);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    bool known = false;
    const speed_t speed = speedFor(baudRate, known);
    if (known) {   // an unsupported rate leaves the line at its current rate
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    (void)tcsetattr(fd, TCSANOW, &t);   // as on the original line: the result is not checked
    applyModemLines();
}

// DTR and RTS by their control properties; a port without modem lines (a
// pseudo-terminal) refuses these, which is fine.
void TComm::Impl::applyModemLines() {
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    (void)ioctl(fd, dtrControl == TDtrControl::DtrDisable ? TIOCMBIC : TIOCMBIS, &dtr);
    if (rtsControl != TRtsControl::RtsHandshake)
        (void)ioctl(fd, rtsControl == TRtsControl::RtsDisable ? TIOCMBIC : TIOCMBIS, &rts);
}

// The receive thread: waits on the port and the close event together, collects
// bytes until 2048 have come or ReadIntervalTimeout ms pass without a byte
// after the first, then hands them over. Line errors and ring/carrier changes
// come from the driver's interrupt counters, checked at most every 100 ms.
void TComm::Impl::readLoop(std::uint64_t gen) {
    std::vector<std::uint8_t> chunk;
    chunk.reserve(kReadChunk);
    Clock::time_point firstByte{};
    Clock::time_point lastByte{};

    serial_icounter_struct counters{};
    bool countersAvailable = ioctl(fd, TIOCGICOUNT, &counters) == 0;
    Clock::time_point lastCheck = Clock::now();

    auto handOver = [&] {
        if (chunk.empty()) return;
        auto* e = new NoticeEvent(kNoticeReceiveData, gen);
        e->data = std::move(chunk);
        post(e);
        chunk = {};
        chunk.reserve(kReadChunk);
    };
    // Deadline of the chunk being collected: the interval after the last byte,
    // and the total time-out (when set) counted from the first byte.
    auto deadline = [&]() -> Clock::time_point {
        const std::uint32_t interval = readIntervalTimeout.load();
        Clock::time_point d = lastByte + std::chrono::milliseconds(interval);
        const std::uint32_t mult = readTotalTimeoutMultiplier.load();
        const std::uint32_t constant = readTotalTimeoutConstant.load();
        if (mult != 0 || constant != 0) {
            const auto total = std::chrono::milliseconds(static_cast<std::uint64_t>(mult) * kReadChunk + constant);
            d = std::min(d, firstByte + total);
        }
        return d;
    };
    auto checkCounters = [&] {
        if (!countersAvailable) return;
        lastCheck = Clock::now();
        serial_icounter_struct now{};
        if (ioctl(fd, TIOCGICOUNT, &now) != 0) {
            countersAvailable = false;
            return;
        }
        std::uint32_t errors = 0;
        if (now.overrun != counters.overrun) errors |= kLineErrorOverrun;
        if (now.parity != counters.parity) errors |= kLineErrorParity;
        if (now.frame != counters.frame) errors |= kLineErrorFraming;
        if (now.brk != counters.brk) errors |= kLineErrorBreak;
        if (now.buf_overrun != counters.buf_overrun) errors |= kLineErrorBufferOverrun;
        std::uint32_t modem = 0;
        if (now.dcd != counters.dcd) modem |= kModemCarrier;
        if (now.rng != counters.rng) modem |= kModemRing;
        counters = now;
        if (errors) postSimple(kNoticeReceiveError, gen, errors);
        if (modem) postSimple(kNoticeModemState, gen, modem);
    };

    std::uint8_t buf[kReadChunk];
    for (;;) {
        int timeout = -1;
        const auto now = Clock::now();
        if (!chunk.empty()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline() - now).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
        }
        if (countersAvailable) {
            const auto untilCheck =
                std::chrono::ceil<std::chrono::milliseconds>(lastCheck + std::chrono::milliseconds(kModemCheckMs) - now)
                    .count();
            const int c = static_cast<int>(std::clamp<long long>(untilCheck, 0, kModemCheckMs));
            timeout = timeout < 0 ? c : std::min(timeout, c);
        }

        pollfd fds[2] = {{closeFd, POLLIN, 0}, {fd, POLLIN, 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            handOver();
            postSimple(kNoticeHangup, gen);
            return;
        }
        if (fds[0].revents) return;   // close event: the port is being closed, pending bytes are purged

        if (fds[1].revents & POLLIN) {
            const std::size_t room = kReadChunk - chunk.size();
            const ssize_t n = ::read(fd, buf, room);
            if (n > 0) {
                const auto t = Clock::now();
                if (chunk.empty()) firstByte = t;
                lastByte = t;
                if (dropNullBytes.load()) {
                    std::copy_if(buf, buf + n, std::back_inserter(chunk), [](std::uint8_t b) { return b != 0; });
                } else {
                    chunk.insert(chunk.end(), buf, buf + n);
                }
                if (chunk.size() >= kReadChunk) handOver();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // End of file or a read error: the device went away.
                handOver();
                postSimple(kNoticeHangup, gen);
                return;
            }
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            handOver();
            postSimple(kNoticeHangup, gen);
            return;
        }

        if (!chunk.empty() && (receiveAtOnce.load() || Clock::now() >= deadline())) handOver();
        if (countersAvailable && Clock::now() - lastCheck >= std::chrono::milliseconds(kModemCheckMs)) checkCounters();
    }
}

// Writes one send request wholly, continuing partial writes; a full output
// queue is waited out together with the close event. False ends the thread.
bool TComm::Impl::writeWhole(const std::vector<std::uint8_t>& bytes, std::uint64_t gen) {
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + offset, bytes.size() - offset);
        if (n > 0) {
            offset += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            postSimple(kNoticeHangup, gen);
            return false;
        }
        pollfd fds[2] = {{closeFd, POLLIN, 0}, {fd, POLLOUT, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            postSimple(kNoticeHangup, gen);
            return false;
        }
        if (fds[0].revents) return false;   // closing
        if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLOUT)) {
            postSimple(kNoticeHangup, gen);
            return false;
        }
    }
    return true;
}

// The transmit thread: takes send requests from its queue in order; tells the
// main thread (1029) each time the queue has run empty after a write.
void TComm::Impl::writeLoop(std::uint64_t gen) {
    bool notify = true;
    std::unique_lock lock(queueMutex);
    for (;;) {
        if (closing) break;
        if (queue.empty()) {
            sendEmpty = true;
            sentCv.notify_all();
            if (notify) {
                lock.unlock();
                postSimple(kNoticeSendEmpty, gen);
                lock.lock();
            }
            queueCv.wait(lock, [&] { return closing || !queue.empty(); });
            notify = false;
            continue;
        }
        std::vector<std::uint8_t> request = std::move(queue.front());
        queue.pop_front();
        lock.unlock();
        const bool ok = writeWhole(request, gen);
        lastWriteEnd = Clock::now().time_since_epoch().count();
        lock.lock();
        if (!ok) {
            transmitFailed = !closing;
            break;
        }
        notify = true;
    }
    queue.clear();
    sendEmpty = true;
    sentCv.notify_all();
}

void TComm::Impl::waitEnded(std::atomic<bool>& ended, std::thread& thread, const char* name) {
    if (!thread.joinable()) return;
    {
        std::unique_lock lock(endMutex);
        if (!endCv.wait_for(lock, kThreadStopWait, [&] { return ended.load(); })) {
            // Both threads wait only together with the close event, so this
            // does not happen; they use the port and this component's state,
            // so they must end before either goes away: keep waiting.
            qWarning("Serial %s thread did not end within 10 s of closing the port", name);
        }
    }
    thread.join();
}

void TComm::Impl::failOpen(const char* message, int err, const std::string& detail) {
    lastErrno = err;
    lastDetail = detail;
    throw ECommsError(message);
}

namespace {

std::string errnoDetail(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "permission denied";
        case EBUSY:
        case EWOULDBLOCK:
            return "busy: the port is in use by another program";
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "no such device";
        case EISDIR:
            return "not a terminal (a folder)";
        default:
            return std::strerror(err);
    }
}

}   // namespace

TComm::TComm() : d_(std::make_unique<Impl>(this)) { d_->notice = new NoticeTarget(d_.get()); }

TComm::~TComm() {
    ClosePort();
    d_->notice->impl_ = nullptr;
    if (d_->notice->dispatching_)
        d_->notice->deleteLater();   // destroyed from inside one of its events
    else
        delete d_->notice;   // drops its pending notices as well
}

bool TComm::isOpen() const { return d_->open(); }
std::string TComm::lastOpenErrorDetail() const { return d_->lastDetail; }
int TComm::lastOpenErrno() const { return d_->lastErrno; }

void TComm::OpenPort() {
    Impl& d = *d_;
    if (d.open()) {
        d.lastErrno = 0;
        d.lastDetail = "already open";
        throw ECommsError(kMsgAlreadyOpened);   // the open port is left untouched
    }
    d.lastErrno = 0;
    d.lastDetail.clear();

    const int fd = ::open(d.commName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) d.failOpen(kMsgErrorOpening, errno, errnoDetail(errno));
    if (!isatty(fd)) {
        const int err = errno;
        ::close(fd);
        d.failOpen(kMsgNotCommHandle, err, "not a terminal");
    }
    // Exclusive use: the terminal refuses further opens, and the lock keeps
    // out a second opener that the terminal would let through (root).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        ::close(fd);
        d.failOpen(kMsgErrorOpening, err, errnoDetail(err));
    }
    if (tcgetattr(fd, &d.savedTermios) != 0) {
        const int err = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        d.failOpen(kMsgCannotSetupBuffer, err, errnoDetail(err));
    }
    d.haveSavedTermios = true;

    d.fd = fd;
    tcflush(fd, TCIOFLUSH);
    d.sendEmpty = true;
    d.dropNullBytes = d.ignoreNullChar;
    d.openParity = d.parity;
    d.applyLineSettings();

    auto closeFd = [&d] {
        if (d.haveSavedTermios) (void)tcsetattr(d.fd, TCSANOW, &d.savedTermios);
        d.haveSavedTermios = false;
        ::ioctl(d.fd, TIOCNXCL);
        ::close(d.fd);
        d.fd = -1;
    };

    d.closeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (d.closeFd < 0) {
        const int err = errno;
        closeFd();
        d.failOpen(kMsgUnableCreateEvent, err, errnoDetail(err));
    }

    ++d.generation;
    const std::uint64_t gen = d.generation;
    {
        std::lock_guard lock(d.queueMutex);
        d.closing = false;
        d.transmitFailed = false;
        d.queue.clear();
    }
    d.readEnded = false;
    d.writeEnded = false;
    auto threadBody = [&d](void (Impl::*loop)(std::uint64_t), std::atomic<bool>& ended, std::uint64_t g) {
        (d.*loop)(g);
        std::lock_guard lock(d.endMutex);
        ended = true;
        d.endCv.notify_all();
    };
    try {
        d.readThread = std::thread(threadBody, &Impl::readLoop, std::ref(d.readEnded), gen);
    } catch (const std::system_error& e) {
        ::close(d.closeFd);
        d.closeFd = -1;
        closeFd();
        d.failOpen(kMsgUnableCreateReadThread, e.code().value(), e.what());
    }
    try {
        d.writeThread = std::thread(threadBody, &Impl::writeLoop, std::ref(d.writeEnded), gen);
    } catch (const std::system_error& e) {
        signalClose(d.closeFd);
        d.waitEnded(d.readEnded, d.readThread, "receive");
        ::close(d.closeFd);
        d.closeFd = -1;
        closeFd();
        d.failOpen(kMsgUnableCreateWriteThread, e.code().value(), e.what());
    }
}

void TComm::ClosePort() {
    Impl& d = *d_;
    if (!d.open()) return;
    signalClose(d.closeFd);

    tcflush(d.fd, TCIFLUSH);
    d.waitEnded(d.readEnded, d.readThread, "receive");

    {
        std::lock_guard lock(d.queueMutex);
        d.closing = true;
    }
    d.queueCv.notify_all();
    tcflush(d.fd, TCOFLUSH);
    d.sendEmpty = true;
    d.waitEnded(d.writeEnded, d.writeThread, "transmit");

    ::close(d.closeFd);
    d.closeFd = -1;
    if (d.haveSavedTermios) (void)tcsetattr(d.fd, TCSANOW, &d.savedTermios);
    d.haveSavedTermios = false;
    ::ioctl(d.fd, TIOCNXCL);
    ::close(d.fd);
    d.fd = -1;
    ++d.generation;   // notices still queued for the main thread are dropped
}

bool TComm::SendData(const void* buffer, std::uint16_t count) {
    Impl& d = *d_;
    if (!d.open() || count == 0 || buffer == nullptr || d.writeEnded.load())
        return false;   // closed, nothing to send, or the transmit thread met a port error
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    {
        std::lock_guard lock(d.queueMutex);
        if (d.closing) return false;
        d.queue.emplace_back(bytes, bytes + count);
        d.sendEmpty = false;
    }
    d.queueCv.notify_one();
    return true;
}

bool TComm::waitUntilSent(int timeoutMs) {
    Impl& d = *d_;
    if (!d.open()) return true;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    {
        std::unique_lock lock(d.queueMutex);
        // The transmit thread raises the flag once its queue has run empty
        // after the last write.
        const bool empty = d.sentCv.wait_until(
            lock, deadline, [&d] { return (d.sendEmpty.load() && d.queue.empty()) || d.transmitFailed; });
        if (!empty || d.transmitFailed) return false;
    }

    // tcdrain knows no time-out: it runs on a helper thread, and when the
    // time is up the output it waits for is discarded, which releases it.
    struct Drain {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
        bool ok = false;
    };
    auto drain = std::make_shared<Drain>();
    const int fd = d.fd;
    std::thread drainer([fd, drain] {
        int r;
        do {
            r = ::tcdrain(fd);
        } while (r != 0 && errno == EINTR);
        std::lock_guard lock(drain->mutex);
        drain->done = true;
        drain->ok = r == 0;
        drain->cv.notify_all();
    });
    bool drained = false;
    {
        std::unique_lock lock(drain->mutex);
        if (drain->cv.wait_until(lock, deadline, [&] { return drain->done; })) {
            drained = drain->ok;
        } else {
            lock.unlock();
            tcflush(fd, TCOFLUSH);
            lock.lock();
            if (!drain->cv.wait_for(lock, kDrainRelease, [&] { return drain->done; })) {
                // A driver that holds on regardless: the thread only touches
                // the shared state when it returns.
                lock.unlock();
                drainer.detach();
                return false;
            }
        }
    }
    drainer.join();
    if (!drained) return false;

    if (isPseudoTerminal(fd)) {
        const auto settled = Clock::time_point(Clock::duration(d.lastWriteEnd.load())) + kPseudoTerminalSettle;
        std::this_thread::sleep_until(std::min(settled, deadline));
        return Clock::now() >= settled;
    }
    return true;
}

// ---- properties --------------------------------------------------------------

// Stores a changed line property and re-applies the line settings when open.
#define PELLARO_LINE_PROPERTY(Type, Name, field)   \
    Type TComm::Name() const { return d_->field; } \
    void TComm::set##Name(Type value) {            \
        if (d_->field == value) return;            \
        d_->field = value;                         \
        if (d_->open()) d_->applyLineSettings();   \
    }

PELLARO_LINE_PROPERTY(std::uint32_t, BaudRate, baudRate)
PELLARO_LINE_PROPERTY(bool, ParityCheck, parityCheck)
PELLARO_LINE_PROPERTY(bool, Outx_CtsFlow, outxCtsFlow)
PELLARO_LINE_PROPERTY(bool, Outx_DsrFlow, outxDsrFlow)
PELLARO_LINE_PROPERTY(TDtrControl, DtrControl, dtrControl)
PELLARO_LINE_PROPERTY(bool, DsrSensitivity, dsrSensitivity)
PELLARO_LINE_PROPERTY(bool, TxContinueOnXoff, txContinueOnXoff)
PELLARO_LINE_PROPERTY(bool, Outx_XonXoffFlow, outxXonXoffFlow)
PELLARO_LINE_PROPERTY(bool, Inx_XonXoffFlow, inxXonXoffFlow)
PELLARO_LINE_PROPERTY(bool, ReplaceWhenParityError, replaceWhenParityError)
PELLARO_LINE_PROPERTY(TRtsControl, RtsControl, rtsControl)
PELLARO_LINE_PROPERTY(std::uint16_t, XonLimit, xonLimit)
PELLARO_LINE_PROPERTY(std::uint16_t, XoffLimit, xoffLimit)
PELLARO_LINE_PROPERTY(TByteSize, ByteSize, byteSize)
PELLARO_LINE_PROPERTY(TStopBits, StopBits, stopBits)
PELLARO_LINE_PROPERTY(std::uint8_t, XonChar, xonChar)
PELLARO_LINE_PROPERTY(std::uint8_t, XoffChar, xoffChar)
PELLARO_LINE_PROPERTY(std::uint8_t, ReplacedChar, replacedChar)
#undef PELLARO_LINE_PROPERTY

bool TComm::IgnoreNullChar() const { return d_->ignoreNullChar; }
void TComm::setIgnoreNullChar(bool value) {
    if (d_->ignoreNullChar == value) return;
    d_->ignoreNullChar = value;
    if (d_->open()) {
        d_->dropNullBytes = value;
        d_->applyLineSettings();
    }
}

// CommName and Parity are plain stores: they take effect at the next open.
const std::string& TComm::CommName() const { return d_->commName; }
void TComm::setCommName(const std::string& value) { d_->commName = value; }
TParity TComm::Parity() const { return d_->parity; }
void TComm::setParity(TParity value) { d_->parity = value; }

// The read time-outs are read by the receive thread before each wait, so a
// change applies at once. Write time-outs only split a write into parts,
// which the transmit thread continues anyway; they are kept as properties.
#define PELLARO_TIMEOUT_PROPERTY(Name, field)               \
    std::uint32_t TComm::Name() const { return d_->field; } \
    void TComm::set##Name(std::uint32_t value) { d_->field = value; }

PELLARO_TIMEOUT_PROPERTY(ReadIntervalTimeout, readIntervalTimeout)
PELLARO_TIMEOUT_PROPERTY(ReadTotalTimeoutMultiplier, readTotalTimeoutMultiplier)
PELLARO_TIMEOUT_PROPERTY(ReadTotalTimeoutConstant, readTotalTimeoutConstant)
PELLARO_TIMEOUT_PROPERTY(WriteTotalTimeoutMultiplier, writeTotalTimeoutMultiplier)
PELLARO_TIMEOUT_PROPERTY(WriteTotalTimeoutConstant, writeTotalTimeoutConstant)
#undef PELLARO_TIMEOUT_PROPERTY

bool TComm::ReceiveAtOnce() const { return d_->receiveAtOnce.load(); }
void TComm::setReceiveAtOnce(bool value) { d_->receiveAtOnce = value; }

void setComm1Values(TComm& comm) {
    comm.setCommName("COM1");
    comm.setBaudRate(19200);
}

void setComm1Line(TComm& comm) {
    setComm1Values(comm);
    comm.setOutx_XonXoffFlow(false);
    comm.setInx_XonXoffFlow(false);
}

}   // namespace pellaro
