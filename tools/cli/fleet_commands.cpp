// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli fleet DEVICE TEMPLATE.bc RADIOS.csv --log LOG.csv [--verify]
// [--backup-dir DIR] [--fast] [--detect]: one codeplug into several radios,
// each with its own values, one after another, with a log that a later run
// resumes from.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>

#include "clone/compare_radio.h"
#include "clone/fleet.h"
#include "files/codeplug_file.h"
#include "files/fleet_plan.h"
#include "serial/port_link.h"
#include "tools/cli/commands.h"
#include "tools/cli/radio_session.h"

namespace pellaro::cli {

namespace {

constexpr const char* kUsage =
    "fleet [--verify] [--backup-dir DIR] [--fast] [--detect] DEVICE TEMPLATE.bc RADIOS.csv --log LOG.csv";

struct FleetArguments {
    std::string device, templatePath, radiosPath, logPath;
    std::optional<std::string> backupDir;
    FleetOptions options;
    bool fast = false;
};

// The link a Ctrl+C, SIGTERM or SIGHUP stops; the handler only sets flags.
std::atomic<StoppableLink*> stoppable{nullptr};
std::atomic<int> stopSignal{0};

extern "C" void onStopSignal(int signal) {
    stopSignal.store(signal);
    if (StoppableLink* link = stoppable.load()) link->stop();
}

// Takes SIGINT, SIGTERM and SIGHUP for the length of the run. Without
// SA_RESTART, so that a prompt waiting for Enter returns at once.
class StopSignals {
public:
    explicit StopSignals(StoppableLink& link) {
        stoppable.store(&link);
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
        ::sigaction(SIGHUP, &action, &oldHup_);
    }
    ~StopSignals() {
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        ::sigaction(SIGHUP, &oldHup_, nullptr);
        stoppable.store(nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction oldInt_ {
    }, oldTerm_{}, oldHup_{};
};

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class CliHost : public FleetHost {
public:
    CliHost(const FleetArguments& args, const FleetPlan& plan) : args_(args), plan_(plan) {}

    bool awaitRadio(const FleetJob&, const std::string& prompt) override {
        std::cout << prompt << std::endl;
        std::string line;
        if (std::getline(std::cin, line)) return true;
        if (std::cin.eof()) std::cout << "No more radios: the input has ended" << std::endl;
        return false;
    }

    // A backup of an earlier run is never replaced (see freeBackupPath).
    bool saveBackup(const FleetJob& job, const Document& radio, std::string& savedAs, std::string& error) override {
        return saveFleetBackup(*args_.backupDir, job.label, radio, savedAs, error);
    }

    std::string timestamp() override { return localTimestamp(); }

    bool finished(const FleetJob& job, const FleetResult& result, const std::string& start,
                  const std::string& end) override {
        bar_.reset();
        const FleetRow& row = plan_.rows[static_cast<std::size_t>(&job - jobs_)];
        const std::string text =
            fleetLogRow({job.label, row.values, start, end, result.ok, result.message, result.verifyDifferences});
        std::string error;
        if (appendDurably(args_.logPath, text, error)) return true;
        printError(error + "; the run stops here");
        return false;
    }

    void say(const std::string& line) override {
        bar_.reset();
        std::cout << line << std::endl;
    }

    void stage(const FleetJob&, FleetStage stage, int blocks) override {
        static const char* const kLabels[] = {"Waiting", "Backing up", "Writing", "Verifying", "Removing"};
        if (stage != shown_ || !bar_) {
            bar_.reset();
            if (stage == FleetStage::Waiting || stage == FleetStage::Removing) return;
            bar_ = std::make_unique<ProgressBar>(kLabels[static_cast<int>(stage)]);
            shown_ = stage;
        }
        if (blocks > 0) (*bar_)(blocks);
    }

    const FleetJob* jobs_ = nullptr;   // the first job, to find a job's row

private:
    const FleetArguments& args_;
    const FleetPlan& plan_;
    std::unique_ptr<ProgressBar> bar_;
    FleetStage shown_ = FleetStage::Waiting;
};

// Everything that can be checked before the radio is touched: the template,
// every row through the rules, the backup folder and the log.
std::optional<FleetPlan> preparePlan(const FleetArguments& args, std::set<std::string>& loggedOk) {
    Document tmpl;
    std::string bytes;
    FileResult loaded = readWholeFile(args.templatePath, bytes);
    if (loaded.ok()) loaded = loadCodeplug(bytes, tmpl);
    if (!loaded.ok()) {
        printError(notACodeplugMessage(args.templatePath, loaded));
        return std::nullopt;
    }
    // The rows' own values go through the rules below; what the template
    // holds is checked as a write checks its file.
    if (!fitForWrite(tmpl, args.templatePath)) return std::nullopt;

    std::string csv;
    if (FileResult r = readWholeFile(args.radiosPath, csv); !r.ok()) {
        printError(r.error);
        return std::nullopt;
    }
    FleetPlan plan = planFleetCsv(tmpl, csv);
    if (!plan.error.empty()) {
        printError(args.radiosPath + ": " + plan.error);
        return std::nullopt;
    }
    for (const ReportItem& item : plan.changed) std::cerr << args.radiosPath << " " << itemText(item) << "\n";
    if (!plan.refused.empty()) {
        for (const ReportItem& item : plan.refused) std::cerr << args.radiosPath << " " << itemText(item) << "\n";
        printError(std::to_string(plan.refused.size()) + (plan.refused.size() == 1 ? " value" : " values") +
                   " refused; no radio was written");
        return std::nullopt;
    }
    if (args.backupDir && (!isFolder(*args.backupDir) || ::access(args.backupDir->c_str(), W_OK | X_OK) != 0)) {
        printError("cannot write backups into " + *args.backupDir +
                   ": not a folder that can be written; no radio was written");
        return std::nullopt;
    }

    std::string error;
    if (!openFleetLog(args.logPath, plan.names, loggedOk, error)) {
        printError(error);
        return std::nullopt;
    }
    return plan;
}

int runFleetCommand(const FleetArguments& args) {
    std::set<std::string> loggedOk;
    std::optional<FleetPlan> plan = preparePlan(args, loggedOk);
    if (!plan) return kExitUsage;

    std::vector<FleetJob> jobs;
    for (std::size_t i = 0; i < plan->rows.size(); ++i) {
        const FleetRow& row = plan->rows[i];
        jobs.push_back({row.label, fleetRadioTitle(*plan, i), &row.doc, loggedOk.count(row.label) > 0});
    }

    EventLoopScope events;
    TComm comm;
    if (!openDevice(comm, args.device)) return kExitUsage;
    FleetSummary summary;
    {
        PortLink port(comm);
        StoppableLink link(port);
        CloneEngine engine(link);
        engine.setFastTransfers(args.fast);
        CliHost host(args, *plan);
        host.jobs_ = jobs.data();
        StopSignals stopOnSignal(link);
        summary = runFleet(link, engine, jobs, args.options, host);
        pauseBetweenExchanges(port);
    }
    closeRadioPort(comm);

    std::cout << summary.ok << " ok, " << summary.failed << " failed, " << summary.skipped << " skipped"
              << (summary.notReached ? ", " + std::to_string(summary.notReached) + " not reached" : "")
              << "; log: " << args.logPath << std::endl;
    if (summary.interrupted) {
        printError("stopped; the exchange in progress was ended with EXIT");
        // As the shell gives a program ended by the signal: 130 for Ctrl+C.
        return 128 + (stopSignal.load() != 0 ? stopSignal.load() : SIGINT);
    }
    if (summary.logFailed) return kExitUsage;
    return summary.failed == 0 && summary.notReached == 0 ? kExitOk : kExitFailure;
}

int cliFleet(const std::vector<std::string>& given) {
    FleetArguments args;
    std::vector<std::string> positional;
    auto usage = [](const std::string& why) {
        if (!why.empty()) printError(why);
        printError(std::string("usage: pellaro-cli ") + kUsage);
        return kExitUsage;
    };
    for (std::size_t i = 0; i < given.size(); ++i) {
        const std::string& a = given[i];
        const bool hasValue = i + 1 < given.size() && !given[i + 1].empty() && given[i + 1].rfind("--", 0) != 0;
        if (a == "--verify") {
            args.options.verify = true;
        } else if (a == "--fast") {
            args.fast = true;
        } else if (a == "--detect") {
            args.options.detect = true;
        } else if (a == "--backup-dir" || a == "--log") {
            if (!hasValue) return usage(a + (a == "--log" ? " needs a file" : " needs a folder"));
            (a == "--log" ? args.logPath : args.backupDir.emplace()) = given[++i];
        } else if (a.rfind("--", 0) == 0) {
            return usage("unknown option \"" + a + "\"");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3) return usage("");
    if (args.logPath.empty()) return usage("--log LOG.csv is needed: it records which radio got what");
    args.device = positional[0];
    args.templatePath = positional[1];
    args.radiosPath = positional[2];
    args.options.backup = args.backupDir.has_value();
    return runFleetCommand(args);
}

const CommandRegistration kFleet{
    {"fleet", "[--verify] [--backup-dir DIR] [--fast] [--detect] DEVICE TEMPLATE.bc RADIOS.csv --log LOG.csv",
     "write TEMPLATE.bc to one radio after another on DEVICE, each with its row of RADIOS.csv (every value "
     "checked first; exit 2 and nothing written if one is refused), logging each radio to LOG.csv; rows "
     "logged ok are skipped (--detect: find each radio by itself; --backup-dir: read each radio into "
     "DIR/LABEL.bc first; --verify: read it back and compare)",
     cliFleet}};

}   // namespace

}   // namespace pellaro::cli
