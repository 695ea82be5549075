// SPDX-License-Identifier: GPL-3.0-or-later
// What every radio command of pellaro-cli needs around the clone engine:
// an application object for the serial component's events, the port opened
// as the main window opens it, and a progress bar on a terminal.
#pragma once

#include <QCoreApplication>

#include <atomic>
#include <memory>
#include <string>

#include "clone/engine.h"
#include "codeplug/document.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"

namespace pellaro::cli {

// TComm hands received bytes over through the Qt event queue, so a transfer
// needs an application object; the front end may not have made one.
class EventLoopScope {
public:
    EventLoopScope() {
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }

private:
    int argc_ = 1;
    char name_[12] = "pellaro-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

// Why DEVICE could not be opened, in words a user can act on.
std::string openFailureReason(const std::string& device, const TComm& comm, const std::string& message);

// Opens DEVICE as the main window's Comm1 ends up configured: 19200 baud,
// 8N1, DTR and RTS on, no flow control. Prints the reason on failure.
bool openDevice(TComm& comm, const std::string& device);

// Closes the port once the last closing word ("EXIT") has left the line:
// closing purges what is still queued, and the radio must get it.
void closeRadioPort(TComm& comm);

// One open port and one engine for the exchanges of a command; the next
// exchange waits for pause(), the quiet gap after a closing word. The port is
// closed with the session, through closeRadioPort, after one more gap when
// the radio may be spoken to again right away (AfterGap).
class RadioSession {
public:
    enum class Close { AtOnce, AfterGap };
    RadioSession(TComm& comm, bool fast, const std::atomic<bool>* stop, Close close);
    ~RadioSession();
    RadioSession(const RadioSession&) = delete;
    RadioSession& operator=(const RadioSession&) = delete;

    CloneEngine& engine() { return engine_; }
    void pause();

private:
    TComm& comm_;
    PortLink link_;
    CloneEngine engine_;
    Close close_;
};

// Lists on stderr, by place, what a write of `doc` (loaded from `path`)
// would send and must not; false when there is any: nothing then goes to
// the radio.
bool fitForWrite(const Document& doc, const std::string& path);

// A progress bar on stderr, drawn only when stderr is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(const char* label);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    void operator()(int blocks);

private:
    const char* label_;
    bool shown_;
    bool drawn_ = false;
};

}   // namespace pellaro::cli
