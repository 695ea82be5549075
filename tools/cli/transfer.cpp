// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli read [--fast] DEVICE OUT.bc / pellaro-cli write [--fast]
// [--verify] [--backup BACKUP.bc] DEVICE IN.bc / pellaro-cli verify [--fast]
// DEVICE FILE.bc: the full read and the full write from the command line,
// and the checks around a write, over the same serial component and clone
// engine as the main window.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "clone/compare_radio.h"
#include "clone/engine.h"
#include "codeplug/memory_map.h"
#include "files/codeplug_file.h"
#include "serial/access_hint.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"
#include "tools/cli/cli_files.h"
#include "tools/cli/commands.h"
#include "tools/cli/radio_session.h"

namespace pellaro::cli {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitTransferFailed = 1;
constexpr int kExitCannotOpen = 2;   // device cannot be opened, file cannot be read or written

// Options of read, write and verify, given anywhere among the arguments.
struct TransferOptions {
    bool fast = false;   // --fast: fast transfers (see CloneEngine::setFastTransfers)
    // write only:
    bool verify = false;                     // --verify: read the radio back and compare
    std::optional<std::string> backupPath;   // --backup FILE: read the radio into FILE first
};

// ---- Ending a transfer early -----------------------------------------------
// Ctrl+C, SIGTERM and SIGHUP during a transfer do not end the program at
// once, which would leave the radio in clone mode: the handler only asks the
// engine to stop, which it does before its next block, with "EXIT". The
// handler then steps back, so a second signal ends the program at once.

std::atomic<bool> stopAsked{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "set from a signal handler");

extern "C" void askStop(int signal) {
    stopSignal.store(signal);
    stopAsked.store(true);
}

class StopOnSignals {
public:
    StopOnSignals() {
        struct sigaction action {};
        action.sa_handler = askStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            // A signal ignored from the start stays ignored (nohup, a
            // background job of a shell without job control).
            installed_[i] = ::sigaction(kSignals[i], nullptr, &saved_[i]) == 0 && saved_[i].sa_handler != SIG_IGN &&
                            ::sigaction(kSignals[i], &action, nullptr) == 0;
        }
    }
    ~StopOnSignals() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            if (installed_[i]) ::sigaction(kSignals[i], &saved_[i], nullptr);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction saved_[std::size(kSignals)]{};
    bool installed_[std::size(kSignals)]{};
};

// The exit status of a run ended by a signal, as the shell gives it.
int stoppedStatus() { return 128 + stopSignal.load(); }

std::string signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "Ctrl+C (SIGINT)";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "signal " + std::to_string(signal);
    }
}

// After a transfer's own message: why it ended, when it was stopped or the
// device went away, with what the radio now holds.
void explainEnd(const TransferResult& result, bool vanished, const std::string& radioHolds) {
    if (result.stopped)
        printError("stopped by " + signalName(stopSignal.load()) + " after " + std::to_string(result.blocksDone) +
                   " of " + std::to_string(kBlockCount) + " blocks; " + radioHolds);
    else if (vanished)
        printError("the device disappeared");
}

// Refuses, before the radio is touched, a file a transfer's end could not
// save (missing or read-only folder, full disk, a file that may not be
// replaced); the save itself stays whole or nothing.
bool checkOutputFile(const std::string& path, const char* whatNot) {
    const FileResult r = checkWritable(path);
    if (!r.ok()) {
        std::string message = r.error;
        while (!message.empty() && message.back() == '.') message.pop_back();
        printError(message + "; " + whatNot);
    }
    return r.ok();
}

// Stops the run when one of the signals comes, and says when the device went
// away, for the length of one command.
struct TransferWatch {
    explicit TransferWatch(TComm& comm) : comm_(comm) {
        comm_.OnRequestHangup = [this](TComm*) { vanished = true; };
    }
    ~TransferWatch() { comm_.OnRequestHangup = nullptr; }
    TransferWatch(const TransferWatch&) = delete;
    TransferWatch& operator=(const TransferWatch&) = delete;

    bool vanished = false;

private:
    TComm& comm_;
};

// pellaro-cli read DEVICE OUT.bc: OUT.bc is written only after a successful read.
int readCommand(const std::string& device, const std::string& outPath, const TransferOptions& options) {
    if (!checkOutputFile(outPath, "the radio was not read")) return kExitCannotOpen;
    StopOnSignals stopOnSignals;
    EventLoopScope events;
    TComm comm;
    if (stopAsked.load()) return stoppedStatus();   // stopped before the radio was touched
    if (!openDevice(comm, device)) return kExitCannotOpen;
    TransferWatch watch(comm);
    Document doc;
    TransferResult result;
    {
        RadioSession session(comm, options.fast, &stopAsked, RadioSession::Close::AtOnce);
        ProgressBar bar("Reading");
        result = session.engine().fullRead(doc, [&bar](int n) { bar(n); });
    }
    std::cout << result.message << std::endl;
    explainEnd(result, watch.vanished, "nothing was saved (the radio is unchanged)");
    if (result.stopped) return stoppedStatus();
    if (!result.ok) return kExitTransferFailed;

    std::string bytes;
    FileResult saved = saveCodeplug(doc, bytes);
    if (saved.ok()) saved = writeFileAtomically(outPath, bytes);
    if (!saved.ok()) {
        // The last line: a script that looks only at it must not take the
        // read for done.
        std::cout << "Not saved: " << saved.error << std::endl;
        return kExitCannotOpen;
    }
    return kExitSuccess;
}

// What the radio holds after a write that was stopped.
std::string partialWriteText(const TransferResult& result, const std::optional<std::string>& backup) {
    if (result.blocksDone == 0) return "nothing was written to the radio";
    return "the radio holds a partial write; write again" + (backup ? ", or write the backup " + *backup : "");
}

// pellaro-cli write DEVICE IN.bc: the file is checked before the radio is touched.
int writeCommand(const std::string& device, const std::string& inPath, const TransferOptions& options) {
    // The file first: nothing goes to the radio from a file that cannot be
    // read, or that holds what the editors would refuse.
    Document doc;
    if (!loadCodeplugFile(inPath, doc)) return kExitCannotOpen;
    if (!fitForWrite(doc, inPath)) return kExitCannotOpen;

    StopOnSignals stopOnSignals;
    EventLoopScope events;
    TComm comm;
    if (stopAsked.load()) return stoppedStatus();   // stopped before the radio was touched
    if (!openDevice(comm, device)) return kExitCannotOpen;
    TransferWatch watch(comm);
    TransferResult result;
    {
        RadioSession session(comm, options.fast, &stopAsked, RadioSession::Close::AtOnce);
        ProgressBar bar("Writing");
        result = session.engine().fullWrite(doc, [&bar](int n) { bar(n); });
    }
    std::cout << result.message << std::endl;
    explainEnd(result, watch.vanished, partialWriteText(result, {}));
    if (result.stopped) return stoppedStatus();
    return result.ok ? kExitSuccess : kExitTransferFailed;
}

// ---- Verify and backup -------------------------------------------------
// write --verify, write --backup and verify: more than one clone exchange
// over one open port, with the radio given its closing word and a quiet gap
// between them.

// Reads and checks a codeplug file; prints the reason when it cannot be used.

// Whether two paths name one existing file (under any name or link).
bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The differences one a line, then the verdict; true when there were none.
bool reportDifferences(const std::vector<Difference>& differences) {
    for (const Difference& d : differences) std::cout << d.text << "\n";
    if (differences.empty()) {
        std::cout << "Verify success!" << std::endl;
        return true;
    }
    std::cout << "Verify failed: " << differences.size() << (differences.size() == 1 ? " difference" : " differences")
              << std::endl;
    return false;
}

// pellaro-cli write with --verify or --backup. The file to write is checked
// first; with --backup the radio is read and the backup saved before the
// write, and nothing is written when either fails; with --verify the radio is
// read back after "Write success!" and its record bytes compared with those
// sent.
int checkedWriteCommand(const std::string& device, const std::string& inPath, const TransferOptions& options) {
    Document doc;
    if (!loadCodeplugFile(inPath, doc) || !fitForWrite(doc, inPath)) return kExitCannotOpen;
    if (options.backupPath && sameFile(*options.backupPath, inPath)) {
        printError("the backup would replace " + inPath + ", the file to write; give another name");
        return kExitUsage;
    }
    if (options.backupPath && !checkOutputFile(*options.backupPath, "nothing was written to the radio (nor read)"))
        return kExitCannotOpen;

    StopOnSignals stopOnSignals;
    EventLoopScope events;
    TComm comm;
    if (stopAsked.load()) return stoppedStatus();   // stopped before the radio was touched
    if (!openDevice(comm, device)) return kExitCannotOpen;
    TransferWatch watch(comm);
    RadioSession session(comm, options.fast, &stopAsked, RadioSession::Close::AfterGap);

    if (options.backupPath) {
        Document old;
        TransferResult read;
        {
            ProgressBar bar("Backing up");
            read = session.engine().fullRead(old, [&bar](int n) { bar(n); });
        }
        if (!read.ok) {
            std::cout << read.message << std::endl;
            if (read.stopped || watch.vanished) {
                explainEnd(read, watch.vanished, "nothing was written to the radio");
                return read.stopped ? stoppedStatus() : kExitTransferFailed;
            }
            printError("the backup read failed; nothing was written to the radio");
            return kExitTransferFailed;
        }
        if (!saveCodeplugFile(*options.backupPath, old, "nothing was written to the radio")) return kExitCannotOpen;
        std::cout << "Backup saved to " << *options.backupPath << std::endl;
        session.pause();
    }

    TransferResult written;
    {
        ProgressBar bar("Writing");
        written = session.engine().fullWrite(doc, [&bar](int n) { bar(n); });
    }
    std::cout << written.message << std::endl;
    explainEnd(written, watch.vanished, partialWriteText(written, options.backupPath));
    if (written.stopped) return stoppedStatus();
    if (!written.ok || !options.verify) return written.ok ? kExitSuccess : kExitTransferFailed;

    session.pause();
    RadioComparison back;
    {
        ProgressBar bar("Verifying");
        back = compareWithRadio(session.engine(), doc, [&bar](int n) { bar(n); });
    }
    if (!back.read.ok) {
        std::cout << back.read.message << "\nVerify failed: the radio could not be read back" << std::endl;
        explainEnd(back.read, watch.vanished, "the radio holds the whole write, not verified");
        return back.read.stopped ? stoppedStatus() : kExitTransferFailed;
    }
    return reportDifferences(back.differences) ? kExitSuccess : kExitTransferFailed;
}

int writeOrCheckedWrite(const std::string& device, const std::string& inPath, const TransferOptions& options) {
    if (!options.verify && !options.backupPath) return writeCommand(device, inPath, options);
    return checkedWriteCommand(device, inPath, options);
}

// pellaro-cli verify DEVICE FILE.bc: what writing FILE.bc would change in the
// radio's records. Exit 0 the same, 1 different, 2 file, device or read
// unusable.
int verifyCommand(const std::string& device, const std::string& path, const TransferOptions& options) {
    Document doc;
    if (!loadCodeplugFile(path, doc)) return kExitCannotOpen;

    StopOnSignals stopOnSignals;
    EventLoopScope events;
    TComm comm;
    if (stopAsked.load()) return stoppedStatus();   // stopped before the radio was touched
    if (!openDevice(comm, device)) return kExitCannotOpen;
    TransferWatch watch(comm);
    RadioComparison radio;
    {
        RadioSession session(comm, options.fast, &stopAsked, RadioSession::Close::AfterGap);
        ProgressBar bar("Reading");
        radio = compareWithRadio(session.engine(), doc, [&bar](int n) { bar(n); });
    }
    if (!radio.read.ok) {
        std::cout << radio.read.message << "\nVerify failed: the radio could not be read" << std::endl;
        explainEnd(radio.read, watch.vanished, "nothing was compared (the radio is unchanged)");
        return radio.read.stopped ? stoppedStatus() : kExitCannotOpen;
    }
    return reportDifferences(radio.differences) ? kExitSuccess : kExitTransferFailed;
}

// ---- Arguments -----------------------------------------------------------

// `writeOptions`: --verify and --backup FILE are taken too (write only).
int withTwoArguments(const std::vector<std::string>& args, const char* usage,
                     int (*run)(const std::string&, const std::string&, const TransferOptions&),
                     bool writeOptions = false) {
    TransferOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--fast") {
            options.fast = true;
        } else if (writeOptions && arg == "--verify") {
            options.verify = true;
        } else if (writeOptions && arg == "--backup") {
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0) {
                printError("--backup needs a file");
                printError(std::string("usage: pellaro-cli ") + usage);
                return kExitUsage;
            }
            options.backupPath = args[++i];
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

const CommandRegistration kRead{
    {"read", "[--fast] DEVICE OUT.bc", "read the radio on serial DEVICE into OUT.bc (--fast: fast transfer)", cliRead}};
const CommandRegistration kWrite{{"write", kWriteArguments, kWriteSummary, cliWrite}};
const CommandRegistration kVerify{{"verify", kVerifyArguments, kVerifySummary, cliVerify}};

}   // namespace

}   // namespace pellaro::cli

int cliRead(const std::vector<std::string>& args) {
    return pellaro::cli::withTwoArguments(args, "read [--fast] DEVICE OUT.bc", pellaro::cli::readCommand);
}

int cliWrite(const std::vector<std::string>& args) {
    return pellaro::cli::withTwoArguments(args, "write [--fast] [--verify] [--backup BACKUP.bc] DEVICE IN.bc",
                                          pellaro::cli::writeOrCheckedWrite, true);
}

int cliVerify(const std::vector<std::string>& args) {
    return pellaro::cli::withTwoArguments(args, "verify [--fast] DEVICE FILE.bc", pellaro::cli::verifyCommand);
}
