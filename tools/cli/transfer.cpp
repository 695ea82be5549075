// pellaro-cli read [--fast] DEVICE OUT.bc / pellaro-cli write [--fast]
// [--verify] [--backup BACKUP.bc] DEVICE IN.bc / pellaro-cli verify [--fast]
// DEVICE FILE.bc: the full read and the full write from the command line,
// and the checks around a write, over the same serial component and clone
// engine as the main window.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
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

// ---- Verify and backup -------------------------------------------------
// write --verify, write --backup and verify: more than one clone exchange
// over one open port, with the radio given its closing word and a quiet gap
// between them.

// Reads and checks a codeplug file; prints the reason when it cannot be used.
bool loadInputFile(const std::string& path, Document& doc) {
    std::string bytes;
    FileResult loaded = readWholeFile(path, bytes);
    if (loaded.ok()) loaded = loadCodeplug(bytes, doc);
    if (!loaded.ok()) printError("cannot read " + path + ": " + loaded.error);
    return loaded.ok();
}

// Whether two paths name one existing file (under any name or link).
bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Saves `doc` to `path` atomically: a failure leaves any old file as it was.
bool saveBackup(const Document& doc, const std::string& path) {
    std::string bytes;
    FileResult saved = saveCodeplug(doc, bytes);
    if (saved.ok()) saved = writeFileAtomically(path, bytes);
    if (!saved.ok()) printError("cannot write " + path + ": " + saved.error + "; nothing was written to the radio");
    return saved.ok();
}

// The differences one a line, then the verdict; true when there were none.
bool reportDifferences(const std::vector<Difference>& differences) {
    for (const Difference& d : differences) std::cout << d.text << "\n";
    if (differences.empty()) {
        std::cout << "Verify success!" << std::endl;
        return true;
    }
    std::cout << "Verify failed: " << differences.size() << " differences" << std::endl;
    return false;
}

// One port, one engine, for the exchanges of a command; the port is closed
// only after the radio has had its last closing word and a quiet gap.
class RadioSession {
public:
    explicit RadioSession(TComm& comm, bool fast) : comm_(comm), link_(comm), engine_(link_) {
        engine_.setFastTransfers(fast);
    }
    ~RadioSession() {
        pauseBetweenExchanges(link_);
        comm_.waitUntilSent(kSendDrainTimeoutMs);   // the last "EXIT" has left the line
        comm_.ClosePort();
    }
    RadioSession(const RadioSession&) = delete;
    RadioSession& operator=(const RadioSession&) = delete;

    CloneEngine& engine() { return engine_; }
    void pause() { pauseBetweenExchanges(link_); }

private:
    TComm& comm_;
    PortLink link_;
    CloneEngine engine_;
};

// pellaro-cli write with --verify or --backup. The file to write is checked
// first; with --backup the radio is read and the backup saved before the
// write, and nothing is written when either fails; with --verify the radio is
// read back after "Write success!" and its record bytes compared with those
// sent.
int checkedWriteCommand(const std::string& device, const std::string& inPath, const TransferOptions& options) {
    Document doc;
    if (!loadInputFile(inPath, doc)) return kExitCannotOpen;
    if (options.backupPath && sameFile(*options.backupPath, inPath)) {
        printError("the backup would replace " + inPath + ", the file to write; give another name");
        return kExitUsage;
    }

    EventLoopScope events;
    TComm comm;
    if (!openDevice(comm, device)) return kExitCannotOpen;
    RadioSession session(comm, options.fast);

    if (options.backupPath) {
        Document old;
        TransferResult read;
        {
            ProgressBar bar("Backing up");
            read = session.engine().fullRead(old, [&bar](int n) { bar(n); });
        }
        if (!read.ok) {
            std::cout << read.message << std::endl;
            printError("the backup read failed; nothing was written to the radio");
            return kExitTransferFailed;
        }
        if (!saveBackup(old, *options.backupPath)) return kExitCannotOpen;
        std::cout << "Backup saved to " << *options.backupPath << std::endl;
        session.pause();
    }

    TransferResult written;
    {
        ProgressBar bar("Writing");
        written = session.engine().fullWrite(doc, [&bar](int n) { bar(n); });
    }
    std::cout << written.message << std::endl;
    if (!written.ok || !options.verify) return written.ok ? kExitSuccess : kExitTransferFailed;

    session.pause();
    RadioComparison back;
    {
        ProgressBar bar("Verifying");
        back = compareWithRadio(session.engine(), doc, [&bar](int n) { bar(n); });
    }
    if (!back.read.ok) {
        std::cout << back.read.message << "\nVerify failed: the radio could not be read back" << std::endl;
        return kExitTransferFailed;
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
    if (!loadInputFile(path, doc)) return kExitCannotOpen;

    EventLoopScope events;
    TComm comm;
    if (!openDevice(comm, device)) return kExitCannotOpen;
    RadioComparison radio;
    {
        RadioSession session(comm, options.fast);
        ProgressBar bar("Reading");
        radio = compareWithRadio(session.engine(), doc, [&bar](int n) { bar(n); });
    }
    if (!radio.read.ok) {
        std::cout << radio.read.message << "\nVerify failed: the radio could not be read" << std::endl;
        return kExitCannotOpen;
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

const CommandRegistration kRead{{"read", "[--fast] DEVICE OUT.bc",
                                 "read the radio on serial DEVICE into OUT.bc (--fast: fast transfer)", cliRead}};
const CommandRegistration kWrite{{"write", kWriteArguments, kWriteSummary, cliWrite}};
const CommandRegistration kVerify{{"verify", kVerifyArguments, kVerifySummary, cliVerify}};

}  // namespace

}  // namespace pellaro::cli

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
