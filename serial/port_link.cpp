// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_link.h"

#include "codeplug/codes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace pellaro {

std::string bytesToHexText(const std::uint8_t* data, std::size_t n) { return toHex(data, n); }

void portDelay(int ms) {
    if (QCoreApplication::instance() == nullptr) {
        // No event loop to keep running (a plain command-line caller): just wait.
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    QElapsedTimer clock;   // monotonic
    clock.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (ms <= 0) return;

    // Wait inside the event loop: received bytes, paint and input are all
    // processed meanwhile, and the thread sleeps until something arrives.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    for (qint64 left = ms - clock.elapsed(); left > 0; left = ms - clock.elapsed()) {
        timer.start(static_cast<int>(left));
        loop.exec();
    }
}

PortLink::PortLink(TComm& comm) : comm_(comm) {
    comm_.OnReceiveData = [this](TComm* sender, const std::uint8_t* buffer, std::uint16_t length) {
        Comm1ReceiveData(sender, buffer, length);
    };
}

PortLink::~PortLink() { comm_.OnReceiveData = nullptr; }

bool PortLink::sendBytes(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return false;
    // SendData takes at most 65535 bytes at a time; frames are far shorter.
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const auto count = static_cast<std::uint16_t>(std::min<std::size_t>(bytes.size() - offset, 0xFFFF));
        if (!comm_.SendData(bytes.data() + offset, count)) return false;
        offset += count;
    }
    return true;
}

void PortLink::portDelay(int ms) { pellaro::portDelay(ms); }

std::int64_t PortLink::clockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PortLink::waitForBytes(int ms) {
    if (QCoreApplication::instance() == nullptr) {
        pellaro::portDelay(ms);   // no event loop: nothing can arrive early
        return;
    }
    const std::size_t had = buffer_.size();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (buffer_.size() != had || ms <= 0) return;

    // Comm1ReceiveData ends the loop when bytes arrive; the timer ends it at
    // the latest after `ms`.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QEventLoop* const outer = std::exchange(waiting_, &loop);
    timer.start(ms);
    loop.exec();
    waiting_ = outer;
}

void PortLink::setReceiveAtOnce(bool atOnce) { comm_.setReceiveAtOnce(atOnce); }

void PortLink::Comm1ReceiveData(TComm*, const std::uint8_t* buffer, std::uint16_t length) {
    if (buffer == nullptr || length == 0) return;
    buffer_ += bytesToHexText(buffer, length);
    if (waiting_) waiting_->quit();
}

}   // namespace pellaro
