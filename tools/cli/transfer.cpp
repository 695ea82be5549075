// pellaro-cli read [--fast] DEVICE OUT.bc / pellaro-cli write [--fast] DEVICE
// IN.bc: the full read and the full write from the command line, over the
// same serial component and clone engine as the main window.
#include <unistd.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "files/codeplug_file.h"
#include "serial/access_hint.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitTransferFailed = 1;
constexpr int kExitCannotOpen = 2;   // device cannot be opened, file cannot be read or written

// Options of read and write, given anywhere among the arguments.
struct TransferOptions {
    bool fast = false;   // --fast: fast transfers (see CloneEngine::setFastTransfers)
};

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
std::string openFailureReason(const std::string& device, const TComm& comm, const std::string& message) {
    const int err = comm.lastOpenErrno();
    if (message == kMsgNotCommHandle || err == ENOTTY) return "not a terminal (not a serial device)";
    if (err == EACCES || err == EPERM) return "permission denied; " + accessRefusedHint(device);
    if (err == EBUSY || err == EWOULDBLOCK || message == kMsgAlreadyOpened)
        return "busy: another program is using it";
    if (err == ENOENT) return "no such device";
    const std::string detail = comm.lastOpenErrorDetail();
    return detail.empty() ? message : detail;
}

// A progress bar on stderr, drawn only when stderr is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(const char* label) : label_(label), shown_(::isatty(STDERR_FILENO) == 1) {}
    ~ProgressBar() {
        if (shown_ && drawn_) std::fputc('\n', stderr);
    }
    void operator()(int blocks) {
        if (!shown_) return;
        constexpr int kWidth = 40;
        const int filled = blocks * kWidth / kBlockCount;
        std::fprintf(stderr, "\r%s [%s%s] %3d/%d", label_, std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), blocks, kBlockCount);
        std::fflush(stderr);
        drawn_ = true;
    }

private:
    const char* label_;
    bool shown_;
    bool drawn_ = false;
};

// Opens DEVICE as the main window's Comm1 ends up configured: 19200 baud,
// 8N1, DTR and RTS on, no flow control. Prints the reason on failure.
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

// pellaro-cli read DEVICE OUT.bc: OUT.bc is written only after a successful read.
int readCommand(const std::string& device, const std::string& outPath, const TransferOptions& options) {
    EventLoopScope events;
    TComm comm;
    if (!openDevice(comm, device)) return kExitCannotOpen;
    Document doc;
    TransferResult result;
    {
        PortLink link(comm);
        CloneEngine engine(link);
        engine.setFastTransfers(options.fast);
        ProgressBar bar("Reading");
        result = engine.fullRead(doc, [&bar](int n) { bar(n); });
    }
    // Closing purges what is still queued: the radio must get its "EXIT".
    comm.waitUntilSent(kSendDrainTimeoutMs);
    comm.ClosePort();
    std::cout << result.message << std::endl;
    if (!result.ok) return kExitTransferFailed;

    std::string bytes;
    FileResult saved = saveCodeplug(doc, bytes);
    if (saved.ok()) saved = writeFileAtomically(outPath, bytes);
    if (!saved.ok()) {
        printError("cannot write " + outPath + ": " + saved.error);
        return kExitCannotOpen;
    }
    return kExitSuccess;
}

// pellaro-cli write DEVICE IN.bc: the file is checked before the radio is touched.
int writeCommand(const std::string& device, const std::string& inPath, const TransferOptions& options) {
    // The file first: nothing goes to the radio from a file that cannot be read.
    std::string bytes;
    FileResult loaded = readWholeFile(inPath, bytes);
    Document doc;
    if (!loaded.ok()) {
        printError("cannot read " + inPath + ": " + loaded.error);
        return kExitCannotOpen;
    }
    if (loaded = loadCodeplug(bytes, doc); !loaded.ok()) {
        printError(notACodeplugMessage(inPath, loaded));
        return kExitCannotOpen;
    }

    EventLoopScope events;
    TComm comm;
    if (!openDevice(comm, device)) return kExitCannotOpen;
    TransferResult result;
    {
        PortLink link(comm);
        CloneEngine engine(link);
        engine.setFastTransfers(options.fast);
        ProgressBar bar("Writing");
        result = engine.fullWrite(doc, [&bar](int n) { bar(n); });
    }
    comm.waitUntilSent(kSendDrainTimeoutMs);
    comm.ClosePort();
    std::cout << result.message << std::endl;
    return result.ok ? kExitSuccess : kExitTransferFailed;
}

int withTwoArguments(const std::vector<std::string>& args, const char* usage,
                     int (*run)(const std::string&, const std::string&, const TransferOptions&)) {
    TransferOptions options;
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (arg == "--fast") {
            options.fast = true;
        } else if (arg.rfind("--", 0) == 0) {
            printError("unknown option \"" + arg + "\"");
            printError(std::string("usage: pellaro-cli ") + usage);
            return kExitUsage;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        printError(std::string("usage: pellaro-cli ") + usage);
        return kExitUsage;
    }
    return run(positional[0], positional[1], options);
}

const CommandRegistration kRead{{"read", "[--fast] DEVICE OUT.bc",
                                 "read the radio on serial DEVICE into OUT.bc (--fast: fast transfer)", cliRead}};
const CommandRegistration kWrite{{"write", "[--fast] DEVICE IN.bc",
                                  "write IN.bc to the radio on serial DEVICE (--fast: fast transfer)", cliWrite}};

}  // namespace

}  // namespace pellaro::cli

int cliRead(const std::vector<std::string>& args) {
    return pellaro::cli::withTwoArguments(args, "read [--fast] DEVICE OUT.bc", pellaro::cli::readCommand);
}

int cliWrite(const std::vector<std::string>& args) {
    return pellaro::cli::withTwoArguments(args, "write [--fast] DEVICE IN.bc", pellaro::cli::writeCommand);
}
