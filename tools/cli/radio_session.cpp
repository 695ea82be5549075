// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/radio_session.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <vector>

#include "clone/compare_radio.h"
#include "codeplug/memory_map.h"
#include "codeplug/write_check.h"
#include "serial/access_hint.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

std::string openFailureReason(const std::string& device, const TComm& comm, const std::string& message) {
    const int err = comm.lastOpenErrno();
    if (message == kMsgNotCommHandle || err == ENOTTY) return "not a terminal (not a serial device)";
    if (err == EACCES || err == EPERM) return "permission denied; " + accessRefusedHint(device);
    if (err == EBUSY || err == EWOULDBLOCK || message == kMsgAlreadyOpened) return "busy: another program is using it";
    if (err == ENOENT) return "no such device";
    const std::string detail = comm.lastOpenErrorDetail();
    return detail.empty() ? message : detail;
}

bool openDevice(TComm& comm, const std::string& device) {
    setComm1Line(comm);
    comm.setCommName(device);
    try {
        comm.OpenPort();
    } catch (const ECommsError& e) {
        printError("cannot open " + device + ": " + openFailureReason(device, comm, e.what()));
        return false;
    }
    return true;
}

ProgressBar::ProgressBar(const char* label) : label_(label), shown_(::isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    if (shown_ && drawn_) std::fputc('\n', stderr);
}

void ProgressBar::operator()(int blocks) {
    if (!shown_) return;
    constexpr int kWidth = 40;
    const int filled = blocks * kWidth / kBlockCount;
    std::fprintf(stderr, "\r%s [%s%s] %3d/%d", label_, std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), blocks, kBlockCount);
    std::fflush(stderr);
    drawn_ = true;
}

// Lists on stderr what a write of `doc` would send and must not; false when
// there is any (nothing then goes to the radio).
bool fitForWrite(const Document& doc, const std::string& path) {
    std::vector<std::string> lines;
    for (const ReportItem& item : checkForWrite(doc)) lines.push_back(itemText(item));
    if (lines.empty()) return true;
    for (const std::string& line : shownLines(lines)) std::cerr << path << ": " << line << "\n";
    printError(std::to_string(lines.size()) + (lines.size() == 1 ? " value" : " values") + " of " + path +
               " the editors would refuse; nothing was written to the radio");
    return false;
}

void closeRadioPort(TComm& comm) {
    comm.waitUntilSent(kSendDrainTimeoutMs);
    comm.ClosePort();
}

RadioSession::RadioSession(TComm& comm, bool fast, const std::atomic<bool>* stop, Close close)
    : comm_(comm), link_(comm), engine_(link_), close_(close) {
    engine_.setFastTransfers(fast);
    engine_.setStopRequest(stop);
}

RadioSession::~RadioSession() {
    if (close_ == Close::AfterGap) pause();
    closeRadioPort(comm_);
}

void RadioSession::pause() { pauseBetweenExchanges(link_); }

}   // namespace pellaro::cli
