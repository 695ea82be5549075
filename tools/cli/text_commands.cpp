// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli dump / load / get / set / names: the codeplug as readable text,
// and any value by the name the comparison prints.
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "codeplug/report.h"
#include "codeplug/rules.h"
#include "codeplug/setting_entry.h"
#include "codeplug/value_names.h"
#include "files/codeplug_file.h"
#include "files/codeplug_text.h"
#include "tools/cli/cli_files.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

// A name that is neither a cell nor a setting, said once for both commands.
void unknownName(const std::string& name) {
    printError(quoteUserText(name) +
               " is neither a channel cell (\"A 5 Receiving Frequency\") nor a setting (\"Comprehensive "
               "Setting/Volume\"); pellaro-cli names lists them");
}

// "radio.yaml:14: A 3 Receiving CTCSS: ...", as compilers name a line.
std::string atLine(const std::string& file, ReportItem item) {
    const int line = item.place.line;
    item.place.line = 0;
    return file + ":" + (line > 0 ? std::to_string(line) + ":" : "") + " " + itemText(item);
}

int cliDump(const std::vector<std::string>& args) {
    if (args.size() != 1 && args.size() != 2) {
        printError("usage: pellaro-cli dump FILE.bc [OUT.yaml]");
        return kExitUsage;
    }
    Document doc;
    if (!loadCodeplugFile(args[0], doc)) return kExitUsage;
    const CodeplugText dumped = dumpCodeplugText(doc);
    for (const std::string& note : dumped.notes) std::cerr << "would not load back as it stands: " << note << "\n";
    if (args.size() == 2) {
        if (FileResult r = writeFileAtomically(args[1], dumped.text); !r.ok()) {
            printError(r.error);
            return kExitUsage;
        }
    } else {
        std::cout << dumped.text << std::flush;
        if (!std::cout) {
            printError("cannot write the text");
            return kExitUsage;
        }
    }
    return dumped.notes.empty() ? kExitOk : kExitFailure;
}

int cliLoad(const std::vector<std::string>& given) {
    bool merge = false;
    const std::vector<std::string> args = withoutFlag(given, "--merge", merge);
    if (args.size() != 2) {
        printError("usage: pellaro-cli load [--merge] IN.yaml FILE.bc");
        return kExitUsage;
    }
    std::string yaml;
    if (FileResult r = readWholeFile(args[0], yaml); !r.ok()) {
        printError(r.error);
        return kExitUsage;
    }
    // With --merge the file is rewritten in place: held from its read to the
    // rename, as paste and import hold theirs.
    FileLock lock;
    if (merge && !lockForRewrite(args[1], lock)) return kExitUsage;
    Document doc;
    if (merge && !loadCodeplugFile(args[1], doc)) return kExitUsage;
    const TextLoadReport report = loadCodeplugText(yaml, doc);
    if (!report.usable) {
        printError(args[0] + ": " + report.error);
        return kExitUsage;
    }
    for (const ReportItem& item : report.changed) std::cerr << atLine(args[0], item) << "\n";
    for (const ReportItem& item : report.refused) std::cerr << atLine(args[0], item) << "\n";
    if (!report.refused.empty()) {
        printError(std::to_string(report.refused.size()) + (report.refused.size() == 1 ? " value" : " values") +
                   " refused; " + args[1] + " is not written");
        return kExitFailure;
    }
    return saveCodeplugFile(args[1], doc) ? kExitOk : kExitUsage;
}

int cliGet(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        printError("usage: pellaro-cli get FILE.bc NAME...");
        return kExitUsage;
    }
    Document doc;
    if (!loadCodeplugFile(args[0], doc)) return kExitUsage;
    std::string out;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto name = findValueName(args[i]);
        if (!name) {
            unknownName(args[i]);
            return kExitUsage;
        }
        out += valueText(doc, *name) + "\n";
    }
    std::cout << out << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}

int cliSet(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        printError("usage: pellaro-cli set FILE.bc NAME=VALUE...");
        return kExitUsage;
    }
    FileLock lock;
    if (!lockForRewrite(args[0], lock)) return kExitUsage;
    Document doc;
    if (!loadCodeplugFile(args[0], doc)) return kExitUsage;
    bool refused = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        const std::string name = args[i].substr(0, eq);
        if (eq == std::string::npos) {
            printError("NAME=VALUE expected, not " + quoteUserText(args[i]));
            return kExitUsage;
        }
        const auto found = findValueName(name);
        if (!found) {
            unknownName(name);
            return kExitUsage;
        }
        const CellEntry e = enterValue(doc, *found, args[i].substr(eq + 1));
        if (e.kind == CellEntry::Kind::Refused) {
            std::cerr << "refused: " << name << ": " << e.reason << "\n";
            refused = true;
        } else if (e.kind == CellEntry::Kind::Adjusted) {
            std::cerr << "changed on the way in: " << name << ": " << e.reason << "\n";
        }
    }
    if (refused) {
        printError(args[0] + " is not written");
        return kExitFailure;
    }
    return saveCodeplugFile(args[0], doc) ? kExitOk : kExitUsage;
}

int cliNames(const std::vector<std::string>& args) {
    if (!args.empty()) {
        printError("usage: pellaro-cli names");
        return kExitUsage;
    }
    std::string out;
    for (Band band : {Band::A, Band::B})
        for (int col = kFirstCellColumn; col < kColumns; ++col) {
            out += std::string(bandLetter(band)) + " N " + channelHeadings()[static_cast<std::size_t>(col)] +
                   "\tN = 1.." + std::to_string(kRows) + "; ";
            if (columnEditor(col) == CellEditor::Frequency)
                out += "a frequency in MHz, 136-176 or 400-490, on the channel step, or empty";
            else if (columnEditor(col) == CellEditor::Name)
                out += "up to 7 characters: letters, digits, blanks and the signs other than , ~ ' \"";
            else {
                out += "one of:";
                for (const std::string& e : channelListEntries(col)) out += " \"" + latin1ToUtf8(e) + "\"";
            }
            out += "\n";
        }
    for (const SettingId& id : allSettings()) out += settingName(id) + "\t" + settingRule(id) + "\n";
    std::cout << out << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}

const CommandRegistration dumpCommand{
    {"dump", "FILE.bc [OUT.yaml]", "print FILE.bc (or write OUT.yaml) as a readable codeplug text", cliDump}};
const CommandRegistration loadCommand{
    {"load", "[--merge] IN.yaml FILE.bc",
     "write FILE.bc from a codeplug text, every value through the editors' rules (from New, or FILE.bc with "
     "--merge); nothing written and exit 1 if one is refused",
     cliLoad}};
const CommandRegistration getCommand{{"get", "FILE.bc NAME...",
                                      "print the value of each NAME (\"A 5 Receiving Frequency\", \"Comprehensive "
                                      "Setting/Volume\")",
                                      cliGet}};
const CommandRegistration setCommand{
    {"set", "FILE.bc NAME=VALUE...",
     "enter each VALUE through its editor's rule and rewrite FILE.bc; nothing written and exit 1 if one is "
     "refused",
     cliSet}};
const CommandRegistration namesCommand{
    {"names", "", "list every NAME that get and set take, with its entries or rule", cliNames}};

}   // namespace

}   // namespace pellaro::cli
