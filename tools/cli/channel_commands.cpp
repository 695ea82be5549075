// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli paste / copy: channel cells of a codeplug file as tab-separated
// text, through the same operations as the window's clipboard.
#include <cstdio>
#include <iostream>
#include <optional>

#include "codeplug/channel_edit.h"
#include "codeplug/report.h"
#include "files/channel_clipboard.h"
#include "files/codeplug_file.h"
#include "tools/cli/cli_files.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

constexpr const char* kPasteArguments = "FILE.bc BAND ROW COL";
constexpr const char* kPasteSummary =
    "paste tab-separated cells from stdin into band A or B of FILE.bc at channel ROW, column COL; "
    "refused cells on stderr, exit 1 if any, 2 if nothing was written";
constexpr const char* kCopyArguments = "[--headings] FILE.bc BAND ROW1-ROW2 [COL1-COL2]";
constexpr const char* kCopySummary =
    "print channels ROW1-ROW2 of band A or B (columns 1-12, or COL1-COL2) as tab-separated cells";

std::optional<int> number(const std::string& text, int lo, int hi) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < lo || n > hi) return std::nullopt;
    return n;
}

std::optional<Band> band(const std::string& text) {
    if (text == "A" || text == "a") return Band::A;
    if (text == "B" || text == "b") return Band::B;
    return std::nullopt;
}

// "5-8" or "5", both ends within lo..hi, the first not after the second.
std::optional<std::pair<int, int>> span(const std::string& text, int lo, int hi) {
    const std::size_t dash = text.find('-');
    const auto first = number(text.substr(0, dash), lo, hi);
    const auto last = dash == std::string::npos ? first : number(text.substr(dash + 1), lo, hi);
    if (!first || !last || *first > *last) return std::nullopt;
    return std::pair{*first, *last};
}

// Reads no further than one byte past what a paste takes, which the paste
// then refuses as too large.
bool readStandardInput(std::string& out) {
    char buffer[65536];
    std::size_t n;
    while (out.size() <= kMaxPasteText && (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) out.append(buffer, n);
    if (std::ferror(stdin)) {
        printError("cannot read standard input");
        return false;
    }
    return true;
}

int cliPaste(const std::vector<std::string>& args) {
    if (args.size() != 4) {
        printError(std::string("usage: pellaro-cli paste ") + kPasteArguments + " < cells.tsv");
        return kExitUsage;
    }
    const auto b = band(args[1]);
    const auto row = number(args[2], 1, kRows);
    const auto col = number(args[3], 0, kColumns - 1);
    if (!b || !row || !col) {
        printError("BAND is A or B, ROW a channel 1-" + std::to_string(kRows) + ", COL a column 0-" +
                   std::to_string(kColumns - 1));
        return kExitUsage;
    }
    // Held from the read to the rename: a paste running meanwhile on the
    // same file waits, and then starts from this one's result.
    FileLock lock;
    if (!lockForRewrite(args[0], lock)) return kExitUsage;
    Document doc;
    if (!loadCodeplugFile(args[0], doc)) return kExitUsage;
    std::string input;
    if (!readStandardInput(input)) return kExitUsage;

    const EditResult r = pasteText(doc, *b, *row, *col, input);
    if (!r.refusal.empty()) {
        printError(r.refusal);
        return kExitUsage;
    }
    for (const ReportItem& item : r.refused) std::cerr << "refused: " << itemText(item) << "\n";
    for (const ReportItem& item : r.adjusted) std::cerr << "changed on the way in: " << itemText(item) << "\n";
    if (!r.refused.empty()) std::cerr << summaryText(r) << "\n";
    // 0 all taken, 1 written with refusals, 2 nothing written.
    if (r.changed) {
        if (!saveCodeplugFile(args[0], doc, "nothing was pasted")) return kExitUsage;
    } else if (!r.refused.empty()) {
        printError("nothing was taken; " + args[0] + " is unchanged");
        return kExitUsage;
    }
    return r.refused.empty() ? kExitOk : kExitFailure;
}

int cliCopy(const std::vector<std::string>& given) {
    bool headings = false;
    const std::vector<std::string> args = withoutFlag(given, "--headings", headings);
    if (args.size() != 3 && args.size() != 4) {
        printError(std::string("usage: pellaro-cli copy ") + kCopyArguments);
        return kExitUsage;
    }
    const auto b = band(args[1]);
    const auto rows = span(args[2], 1, kRows);
    const auto cols = args.size() == 4 ? span(args[3], 0, kColumns - 1) : std::pair{kFirstCellColumn, kColumns - 1};
    if (!b || !rows || !cols) {
        printError("BAND is A or B, ROW1-ROW2 channels within 1-" + std::to_string(kRows) +
                   ", COL1-COL2 columns within 0-" + std::to_string(kColumns - 1));
        return kExitUsage;
    }
    Document doc;
    if (!loadCodeplugFile(args[0], doc)) return kExitUsage;
    std::cout << copyText(doc, *b, {rows->first, rows->second, cols->first, cols->second}, headings) << std::flush;
    if (!std::cout) {
        printError("cannot write the cells");
        return kExitFailure;
    }
    return kExitOk;
}

const CommandRegistration pasteCommand{{"paste", kPasteArguments, kPasteSummary, cliPaste}};
const CommandRegistration copyCommand{{"copy", kCopyArguments, kCopySummary, cliCopy}};

}   // namespace

}   // namespace pellaro::cli
