// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli: a small command-line front end on the codeplug core.
#include <cstring>
#include <iostream>

#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

// Commands every build documents; the radio transfers may not be linked in.
const Command kDocumented[] = {
    {"new", "FILE", "write a new (default) codeplug to FILE", nullptr},
    {"show", "FILE", "print the codeplug in FILE: the programmed channels of both bands, then every setting", nullptr},
    {"read", "[--fast] DEVICE OUT.bc", "read the radio on serial DEVICE into OUT.bc (--fast: fast transfer)", nullptr},
    {"write", kWriteArguments, kWriteSummary, nullptr},
    {"verify", kVerifyArguments, kVerifySummary, nullptr},
    {"paste", "FILE.bc BAND ROW COL",
     "paste tab-separated cells from stdin into band A or B of FILE.bc at channel ROW, column COL; "
     "refused cells on stderr, exit 1 if any, 2 if nothing was written",
     nullptr},
    {"copy", "[--headings] FILE.bc BAND ROW1-ROW2 [COL1-COL2]",
     "print channels ROW1-ROW2 of band A or B (columns 1-12, or COL1-COL2) as tab-separated cells", nullptr},
    {"export", "FILE.bc OUT.csv [--band A|B] [--format native|generic]",
     "write the programmed channels of FILE.bc as CSV (default: both bands, native)", nullptr},
    {"import", "FILE.bc IN.csv [--band A|B] [--format native|generic] [--replace]",
     "take the channels of IN.csv into FILE.bc through the editors' rules (default: merge by channel number); "
     "refusals on stderr, exit 1 if any",
     nullptr},
    {"diff", "A.bc B.bc [--written]",
     "print what differs from A.bc to B.bc (--written: only what a write would send); exit 1 if anything", nullptr},
};

const Command* find(const std::string& name) {
    for (const Command& c : registry())
        if (name == c.name) return &c;
    return nullptr;
}

void printUsage(std::ostream& out) {
    out << "Usage: pellaro-cli COMMAND ARGUMENTS\n\nCommands:\n";
    auto line = [&](const Command& c, bool available) {
        std::string head = std::string(c.name) + " " + c.arguments;
        if (head.size() < 28) head.resize(28, ' ');
        out << "  " << head << "  " << c.summary << (available ? "" : " (not in this build)") << "\n";
    };
    for (const Command& c : kDocumented) {
        const Command* reg = find(c.name);
        line(reg ? *reg : c, reg != nullptr);
    }
    for (const Command& c : registry()) {
        bool documented = false;
        for (const Command& d : kDocumented) documented = documented || std::strcmp(d.name, c.name) == 0;
        if (!documented) line(c, true);
    }
    out << "\nExit status: 0 success, 2 bad usage or an unreadable or malformed file, 1 other failures;\n"
           "128 + the signal for a transfer stopped by Ctrl+C, SIGTERM or SIGHUP.\n";
}

}   // namespace

CommandRegistration::CommandRegistration(const Command& command) { registry().push_back(command); }

const std::vector<Command>& commands() { return registry(); }

void printError(const std::string& message) { std::cerr << "pellaro-cli: " << message << "\n"; }

std::vector<std::string> withoutFlag(const std::vector<std::string>& given, const std::string& flag, bool& present) {
    std::vector<std::string> rest;
    present = false;
    for (const std::string& a : given) {
        if (a == flag)
            present = true;
        else
            rest.push_back(a);
    }
    return rest;
}

}   // namespace pellaro::cli

int main(int argc, char** argv) {
    using namespace pellaro::cli;
    if (argc < 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        printUsage(std::cout);
        return kExitOk;
    }
    for (const Command& c : commands()) {
        if (name == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    printError("unknown or unavailable command \"" + name + "\"");
    printUsage(std::cerr);
    return kExitUsage;
}
