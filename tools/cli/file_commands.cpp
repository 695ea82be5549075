// SPDX-License-Identifier: GPL-3.0-or-later
// pellaro-cli new / show: the codeplug file commands.
#include <algorithm>
#include <iostream>
#include <sstream>

#include "codeplug/cell_entry.h"
#include "codeplug/document.h"
#include "codeplug/settings_view.h"
#include "files/codeplug_file.h"
#include "tools/cli/cli_files.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

// Characters (not bytes) of a UTF-8 text, for column alignment.
std::size_t displayWidth(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padded(const std::string& utf8, std::size_t width) {
    const std::size_t w = displayWidth(utf8);
    return w >= width ? utf8 : utf8 + std::string(width - w, ' ');
}

bool programmed(const ChannelTable& t, int row) {
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        if (!t.at(col, row).empty()) return true;
    return false;
}

// One channel table as aligned columns: the headings, then the programmed rows.
void printTable(std::ostream& out, const char* caption, const ChannelTable& t) {
    out << caption << "\n";
    std::vector<int> rows;
    for (int row = 1; row <= kRows; ++row)
        if (programmed(t, row)) rows.push_back(row);
    if (rows.empty()) {
        out << "  (no programmed channels)\n\n";
        return;
    }
    std::array<std::size_t, kColumns> width{};
    for (int col = kNumberColumn; col < kColumns; ++col) {
        width[col] = displayWidth(channelHeadings()[static_cast<std::size_t>(col)]);
        for (int row : rows) width[col] = std::max(width[col], displayWidth(latin1ToUtf8(t.at(col, row))));
    }
    auto line = [&](auto cellText) {
        std::string s = " ";
        for (int col = kNumberColumn; col < kColumns; ++col) s += " " + padded(cellText(col), width[col]) + " |";
        s.pop_back();
        while (!s.empty() && s.back() == ' ') s.pop_back();
        out << s << "\n";
    };
    line([](int col) { return std::string(channelHeadings()[static_cast<std::size_t>(col)]); });
    std::string rule = " ";
    for (int col = kNumberColumn; col < kColumns; ++col) rule += " " + std::string(width[col], '-') + " +";
    rule.pop_back();
    rule.pop_back();
    out << rule << "\n";
    for (int row : rows) line([&](int col) { return latin1ToUtf8(t.at(col, row)); });
    out << "\n";
}

void printPage(std::ostream& out, const std::string& title, const std::vector<ShownSetting>& settings) {
    out << title << "\n";
    std::size_t width = 0;
    for (const ShownSetting& s : settings) width = std::max(width, displayWidth(s.label));
    for (const ShownSetting& s : settings) {
        std::string line = "  " + padded(s.label, width) + " " + s.value;
        while (line.back() == ' ') line.pop_back();   // an empty text shows as nothing
        out << line << "\n";
    }
    out << "\n";
}

void printDocument(std::ostream& out, const Document& d) {
    printTable(out, channelPageTitle(Band::A), d.table(Band::A));
    printTable(out, channelPageTitle(Band::B), d.table(Band::B));
    for (const SettingsPage& page : settingsPages(d)) printPage(out, page.title, page.settings);
    std::vector<ShownSetting> memory;
    for (int n = 1; n <= 15; ++n) memory.push_back({mirrorCaption(n), d.k[static_cast<std::size_t>(n)]});
    printPage(out, "Raw memory (k1..k15)", memory);
}

int cliNew(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        printError("usage: pellaro-cli new FILE");
        return kExitUsage;
    }
    // Like paste: 2 when nothing was written.
    return saveCodeplugFile(args[0], Document()) ? kExitOk : kExitUsage;
}

int cliShow(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        printError("usage: pellaro-cli show FILE");
        return kExitUsage;
    }
    std::string bytes;
    if (FileResult r = readWholeFile(args[0], bytes); !r.ok()) {
        printError(r.error);
        return kExitUsage;
    }
    Document doc;
    if (FileResult r = loadCodeplug(bytes, doc); !r.ok()) {
        printError(notACodeplugMessage(args[0], r));
        return kExitUsage;
    }
    std::ostringstream text;
    printDocument(text, doc);
    std::cout << text.str() << std::flush;
    if (!std::cout) {
        printError("cannot write the listing");
        return kExitFailure;
    }
    return kExitOk;
}

const CommandRegistration newCommand{{"new", "FILE", "write a new (default) codeplug to FILE", cliNew}};
const CommandRegistration showCommand{
    {"show", "FILE", "print the codeplug in FILE: the programmed channels of both bands, then every setting", cliShow}};

}   // namespace

}   // namespace pellaro::cli
