// pellaro-cli new / show: the codeplug file commands.
#include <algorithm>
#include <iostream>
#include <sstream>

#include "codeplug/codes.h"
#include "codeplug/document.h"
#include "files/codeplug_file.h"
#include "tools/cli/commands.h"

namespace pellaro::cli {

namespace {

// Texts of the codeplug are Latin-1 bytes; the terminal wants UTF-8.
std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Characters (not bytes) of a UTF-8 text, for column alignment.
std::size_t displayWidth(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padded(const std::string& utf8, std::size_t width) {
    const std::size_t w = displayWidth(utf8);
    return w >= width ? utf8 : utf8 + std::string(width - w, ' ');
}

const char* const kHeadings[kColumns] = {
    "Channel", "Receiving Frequency", "Receiving CTCSS", "Receiving Mode",
    "Transmission Frequency", "Transmission CTCSS", "Launch Signaling",
    "Transmit end Signaling", "Power", "Wide / Narrow", "Compandor", "Scrambler",
    "Channel Name",
};

bool programmed(const ChannelTable& t, int row) {
    for (int col = 1; col < kColumns; ++col)
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
    for (int col = 0; col < kColumns; ++col) {
        width[col] = displayWidth(kHeadings[col]);
        for (int row : rows) width[col] = std::max(width[col], displayWidth(latin1ToUtf8(t.at(col, row))));
    }
    auto line = [&](auto cellText) {
        std::string s = " ";
        for (int col = 0; col < kColumns; ++col) s += " " + padded(cellText(col), width[col]) + " |";
        s.pop_back();
        while (!s.empty() && s.back() == ' ') s.pop_back();
        out << s << "\n";
    };
    line([](int col) { return std::string(kHeadings[col]); });
    std::string rule = " ";
    for (int col = 0; col < kColumns; ++col) rule += " " + std::string(width[col], '-') + " +";
    rule.pop_back();
    rule.pop_back();
    out << rule << "\n";
    for (int row : rows) line([&](int col) { return latin1ToUtf8(t.at(col, row)); });
    out << "\n";
}

// One setting as its page shows it: the label, then the list entry or the text.
struct Shown {
    std::string label;
    std::string value;
};

Shown listSetting(const char* label, const std::vector<std::string>& entries, int index) {
    if (index < 0 || index >= static_cast<int>(entries.size())) return {label, "(no entry)"};
    return {label, entries[static_cast<std::size_t>(index)]};
}
Shown textSetting(const char* label, const std::string& text) { return {label, latin1ToUtf8(text)}; }

void printPage(std::ostream& out, const char* page, const std::vector<Shown>& settings) {
    out << page << "\n";
    std::size_t width = 0;
    for (const Shown& s : settings) width = std::max(width, displayWidth(s.label));
    for (const Shown& s : settings) {
        std::string line = "  " + padded(s.label, width) + " " + s.value;
        while (line.back() == ' ') line.pop_back();   // an empty text shows as nothing
        out << line << "\n";
    }
    out << "\n";
}

std::vector<Shown> setupPage(const BandSetup& s, Band band) {
    // Top to bottom as the page shows them.
    return {
        listSetting(band == Band::A ? "Working Mode :" : "Working Mode:", lists::workingMode(), s.sel[1]),
        listSetting("Channel No.:", lists::channelNumbers(), s.sel[2]),
        textSetting("Receiving Frequency: ", s.rxFreq),
        listSetting("Receiving CTCSS:", toneList("0FF"), s.sel[4]),
        listSetting("Receiving Mode:", setupModeList(), s.sel[6]),
        listSetting("Transmission CTCSS:", toneList("0FF"), s.sel[7]),
        listSetting("Launch Signaling:", signalList(), s.sel[8]),
        listSetting("Transmit end Signaling:", signalList(), s.sel[5]),
        listSetting("Power:", lists::lowHigh(), s.sel[10]),
        listSetting("Wide/Narrow Band:", lists::bandwidth(), s.sel[11]),
        listSetting("Compandor:", lists::offOn(), s.sel[12]),
        listSetting("Scrambler:", lists::offOn(), s.sel[13]),
        listSetting("Difference frequency direction:", lists::offsetDirection(), s.sel[14]),
        textSetting("Transmit Offset Frequency(MHZ):", s.offset),
        listSetting("Frequency Step:", stepList(), s.sel[16]),
    };
}

void printDocument(std::ostream& out, const Document& d) {
    printTable(out, "A/Upper Band Channel", d.table(Band::A));
    printTable(out, "B/Under Band Channel", d.table(Band::B));
    printPage(out, "A/Upper Band Set up", setupPage(d.vfo(Band::A), Band::A));
    printPage(out, "B/Under Band Set up", setupPage(d.vfo(Band::B), Band::B));
    printPage(out, "Comprehensive Setting",
              {
                  listSetting("Optional Main Band :", lists::mainBand(), d.gn[1]),
                  listSetting("Volume             :", lists::zeroTo(20), d.gn[2]),
                  textSetting("FM Frequency       :", d.gn3),
                  listSetting("Standby Backlight  :", lists::backlight(), d.gn[4]),
                  listSetting("Receiving Backlight:", lists::backlight(), d.gn[5]),
                  listSetting("Transmit  Backlight:", lists::backlight(), d.gn[6]),
                  listSetting("Backlight Mode     :", lists::backlightMode(), d.gn[7]),
                  listSetting("Beep               :", lists::offOn(), d.gn[8]),
                  listSetting("Vibration Ring Time:", lists::vibration(), d.gn[9]),
                  listSetting("Busy Channel Lock  :", lists::offOn(), d.gn[10]),
                  listSetting("Time Over Timer        :", lists::timeOut(), d.gn[11]),
                  listSetting("Single Signaling choice:", lists::singleTone(), d.gn[12]),
                  listSetting("DTMF Transmitting Time :", lists::dtmfTime(), d.gn[13]),
                  listSetting("Squelch level          :", lists::zeroTo(9), d.gn[14]),
                  listSetting("Repeater Mode          :", lists::offOn(), d.gn[15]),
              });
    const char* const codeLabels[9] = {
        "",
        "Native ID Code        :",
        "Master Control ID Code:",
        "Alarm Code            :",
        "Identity Display Code :",
        "Revive Code           :",
        "Remote Stun Code      :",
        "Remote Kill Code      :",
        "Monitor Code          :",
    };
    std::vector<std::string> dtmfLabels;
    std::vector<Shown> dtmf;
    for (int n = 1; n <= 8; ++n) dtmfLabels.push_back("DTMF" + std::to_string(n) + ":");
    for (int n = 1; n <= 8; ++n) dtmf.push_back(textSetting(dtmfLabels[n - 1].c_str(), d.sy[n]));
    for (int n = 1; n <= 8; ++n) dtmf.push_back(textSetting(codeLabels[n], d.sypz[n]));
    dtmf.push_back(listSetting("Current State         :", lists::state(), d.sypz9));
    printPage(out, "DTMF Groups", dtmf);
    printPage(out, "Limit Frequency",
              {
                  textSetting("Boot Information 1:", d.kaiji1),
                  textSetting("Boot Information 2:", d.kaiji2),
                  textSetting("Limit VHF Band (Low):", d.xp[1]),
                  textSetting("Limit VHF Band (High):", d.xp[2]),
                  textSetting("Limit UHF Band (Low):", d.xp[3]),
                  textSetting("Limit UHF Band (High):", d.xp[4]),
                  listSetting("Limit Frequency Band Mode:", lists::offOn(), d.xp5),
              });
    const char* const mirrorCaptions[16] = {
        "",
        "0X0300--0X030F:", "0X0310--0X031F:", "0X0380--0X038F:", "0X0390--0X039F:", "0X0200--0X0211:",
        "0X0240--0X024F:", "0X0250--0X025F:", "0X0260--0X026F:", "0X0270--0X027F:", "0X02D0--0X02DF:",
        "0X02E0--0X02F0:", "0X0280--0X028F:", "0X0290--0X029B:", "0X029C--0X02A7:", "0X02A8--0X02B3:",
    };
    std::vector<Shown> memory;
    for (int n = 1; n <= 15; ++n) memory.push_back({mirrorCaptions[n], d.k[n]});
    printPage(out, "Raw memory (k1..k15)", memory);
}

int cliNew(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        printError("usage: pellaro-cli new FILE");
        return kExitUsage;
    }
    std::string bytes;
    if (FileResult r = saveCodeplug(Document(), bytes); !r.ok()) {
        printError(r.error);
        return kExitFailure;
    }
    if (FileResult r = writeFileAtomically(args[0], bytes); !r.ok()) {
        printError(r.error);
        return kExitFailure;
    }
    return kExitOk;
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
    {"show", "FILE", "print the codeplug in FILE: the programmed channels of both bands, then every setting",
     cliShow}};

}  // namespace

}  // namespace pellaro::cli
