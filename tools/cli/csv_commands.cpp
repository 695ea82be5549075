// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli export / import / diff: channel plans as CSV, and the
// differences between two codeplug files.
#include <filesystem>
#include <iostream>
#include <optional>

#include "codeplug/compare.h"
#include "codeplug/document.h"
#include "codeplug/report.h"
#include "files/channel_csv.h"
#include "files/codeplug_file.h"
#include "files/csv_formats.h"
#include "files/csv_text.h"
#include "tools/cli/cli_files.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

struct ChannelArgs {
    std::vector<std::string> files;
    std::optional<Band> band;
    std::optional<CsvFormat> format;
    bool replace = false;
    bool written = false;
    std::string error;
};

// Two file names and the options a command allows, in any order.
ChannelArgs parseArgs(const std::vector<std::string>& args, bool allowCsvOptions, bool allowReplace,
                      bool allowWritten) {
    ChannelArgs a;
    for (std::size_t i = 0; i < args.size() && a.error.empty(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (allowCsvOptions && arg == "--band") {
            const std::string v = hasValue ? args[++i] : "";
            if (v == "A" || v == "a")
                a.band = Band::A;
            else if (v == "B" || v == "b")
                a.band = Band::B;
            else
                a.error = "--band takes A or B";
        } else if (allowCsvOptions && arg == "--format") {
            const CsvFormatEntry* f = findCsvFormat(hasValue ? args[++i] : "");
            if (f)
                a.format = f->id;
            else
                a.error = "--format takes " + csvFormatNames(" or ");
        } else if (allowReplace && arg == "--replace") {
            a.replace = true;
        } else if (allowWritten && arg == "--written") {
            a.written = true;
        } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            a.error = "unknown option " + arg;
        } else {
            a.files.push_back(arg);
        }
    }
    if (a.error.empty() && a.files.size() != 2) a.error = "two files are needed";
    return a;
}

int cliExport(const std::vector<std::string>& args) {
    const ChannelArgs a = parseArgs(args, true, false, false);
    if (!a.error.empty()) {
        printError(a.error + "; usage: pellaro-cli export FILE.bc OUT.csv [--band A|B] [--format " +
                   csvFormatNames("|") + "]");
        return kExitUsage;
    }
    Document doc;
    if (!loadCodeplugFile(a.files[0], doc)) return kExitUsage;
    const CsvExport out = exportChannels(doc, a.format.value_or(csvFormats().front().id), a.band);
    if (!out.ok()) {
        printError(out.error);
        return kExitUsage;
    }
    if (const std::string refusal = exportTargetRefusal(a.files[1], a.files[0]); !refusal.empty()) {
        printError(refusal + "; nothing was written, choose another file name");
        return kExitUsage;
    }
    if (FileResult r = writeFileAtomically(a.files[1], out.csv); !r.ok()) {
        printError(r.error);
        return kExitFailure;
    }
    std::cerr << out.rows << " channel(s) written to " << a.files[1] << "\n";
    return kExitOk;
}

// The lines of the report that say why rows or values were refused, shortened.
void printRefusals(const std::string& csvPath, const ImportReport& report) {
    std::vector<std::string> refused;
    for (const ReportItem& i : report.issues)
        if (i.severity == Severity::Refused) refused.push_back(itemText(i));
    for (const std::string& line : shownLines(refused)) std::cerr << csvPath << ": " << line << "\n";
}

int cliImport(const std::vector<std::string>& args) {
    const ChannelArgs a = parseArgs(args, true, true, false);
    if (!a.error.empty()) {
        printError(a.error + "; usage: pellaro-cli import FILE.bc IN.csv [--band A|B] [--format " +
                   csvFormatNames("|") + "] [--replace]");
        return kExitUsage;
    }
    const std::string& codeplug = a.files[0];
    const std::string& csvPath = a.files[1];
    FileLock lock;   // held from the read to the rename (see lockForRewrite)
    if (!lockForRewrite(codeplug, lock)) return kExitUsage;
    Document doc;
    if (!loadCodeplugFile(codeplug, doc)) return kExitUsage;
    std::error_code sizeError;
    if (std::filesystem::file_size(csvPath, sizeError) > kLargestChannelCsv && !sizeError) {
        printError(csvPath + ": " + csvTooLargeText() + "; " + codeplug + " is unchanged");
        return kExitUsage;
    }
    std::string csv;
    if (FileResult r = readWholeFile(csvPath, csv); !r.ok()) {
        printError(r.error);
        return kExitUsage;
    }
    // Without --format the header says which it is.
    const std::optional<CsvFormat> format = a.format ? a.format : detectCsvFormat(csv);
    if (!format) {
        const CsvTable table = parseCsv(csv);
        printError(csvPath + ": " +
                   (table.ok()
                        ? "not a channel CSV (its header names neither the " + csvFormatNames(" nor the ") + " columns)"
                        : table.error) +
                   "; " + codeplug + " is unchanged");
        return kExitUsage;
    }
    const ImportReport report = importChannels(doc, csv, ImportOptions{*format, a.band, a.replace});
    if (!report.usable) {
        printRefusals(csvPath, report);
        printError(csvPath + ": " + report.error + "; " + codeplug + " is unchanged");
        return kExitUsage;
    }
    if (!report.applied) {
        // Replace takes the rows all or none.
        printRefusals(csvPath, report);
        printError(csvPath + ": " + std::to_string(report.rowsRefused) + " row(s) left out and " +
                   std::to_string(report.valuesRefused()) +
                   " value(s) refused; --replace takes every row or none, so " + codeplug +
                   " is unchanged (mend the file, or import without --replace to merge the rest)");
        return kExitFailure;
    }
    if (!saveCodeplugFile(codeplug, doc, "nothing was imported")) return kExitUsage;
    for (const std::string& line : report.lines()) std::cerr << csvPath << ": " << line << "\n";
    std::cerr << report.rowsTaken << " row(s) taken, ";
    if (report.channelsEmptied > 0) std::cerr << report.channelsEmptied << " channel(s) emptied, ";
    std::cerr << report.rowsRefused << " row(s) left out\n";
    return report.anyRefused() ? kExitFailure : kExitOk;
}

int cliDiff(const std::vector<std::string>& args) {
    const ChannelArgs a = parseArgs(args, false, false, true);
    if (!a.error.empty()) {
        printError(a.error + "; usage: pellaro-cli diff A.bc B.bc [--written]");
        return kExitUsage;
    }
    Document first, second;
    if (!loadCodeplugFile(a.files[0], first) || !loadCodeplugFile(a.files[1], second)) return kExitUsage;
    const std::vector<Difference> ds =
        a.written ? compareImages(writeImage(first), writeImage(second)) : compareDocuments(first, second);
    for (const Difference& d : ds) std::cout << d.text << "\n";
    std::cout << std::flush;
    if (!std::cout) {
        printError("cannot write the differences");
        return kExitUsage;
    }
    return ds.empty() ? kExitOk : kExitFailure;
}

const CommandRegistration exportCommand{
    {"export", "FILE.bc OUT.csv [--band A|B] [--format native|generic]",
     "write the programmed channels of FILE.bc as CSV (default: both bands, native)", cliExport}};
const CommandRegistration importCommand{
    {"import", "FILE.bc IN.csv [--band A|B] [--format native|generic] [--replace]",
     "take the channels of IN.csv into FILE.bc through the editors' rules (default: merge by channel number); "
     "refusals on stderr; exit 1 if any (with --replace nothing is then written), 2 if nothing could be written",
     cliImport}};
const CommandRegistration diffCommand{
    {"diff", "A.bc B.bc [--written]",
     "print what differs from A.bc to B.bc (--written: only what a write would send); exit 1 if anything", cliDiff}};

}   // namespace

}   // namespace pellaro::cli
