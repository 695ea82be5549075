// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/codeplug_text.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include <yaml-cpp/yaml.h>

#include "codeplug/cell_entry.h"
#include "codeplug/channel_edit.h"
#include "codeplug/codes.h"
#include "codeplug/compare.h"
#include "codeplug/setting_entry.h"
#include "codeplug/settings_view.h"

namespace pellaro {

namespace {

// ---- writing --------------------------------------------------------------------------------

// A double-quoted YAML scalar: every text stays a text ("0FF", "023").
std::string quoted(std::string_view utf8) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto b = static_cast<unsigned char>(c);
        // U+0080..U+009F (a Latin-1 byte 0x80..0x9F) are not printable in
        // YAML, and U+0085 would read as a line break.
        if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            const auto cp = static_cast<unsigned char>(utf8[++i]);
            out += "\\x";
            out += kHex[cp >> 4];
            out += kHex[cp & 0xF];
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Keys are written plain where YAML reads them back as the same text.
std::string key(std::string_view k) {
    bool plain = !k.empty() && k.front() != ' ' && k.back() != ' ';
    for (char c : k)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '.' || c == '/' || c == '(' || c == ')' ||
              c == '+' || c == '_'))
            plain = false;
    return plain ? std::string(k) : quoted(k);
}

// The allowed entries of a list, in a trailing comment; a long list by its
// ends and its length.
std::string entriesComment(const std::vector<std::string>& entries) {
    constexpr std::size_t kListed = 12;
    std::string c = "   #";
    if (entries.size() <= kListed) {
        for (std::size_t i = 0; i < entries.size(); ++i) c += (i ? ", " : " ") + quoted(entries[i]);
        return c;
    }
    return c + " " + quoted(entries.front()) + ", " + quoted(entries[1]) + " … " + quoted(entries.back()) + " (" +
           std::to_string(entries.size()) + " entries)";
}

const char* mirrorName(int n) {
    static const char* const kNames[16] = {"",   "k1", "k2",  "k3",  "k4",  "k5",  "k6",  "k7",
                                           "k8", "k9", "k10", "k11", "k12", "k13", "k14", "k15"};
    return kNames[n];
}

// The mirror bytes of `doc` that `replayed` (its values entered into New)
// does not hold, as runs of differing bytes.
struct RawRun {
    int mirror = 0;
    int firstByte = 0;   // byte position within the mirror
    std::string hex;     // the bytes, as the mirror holds them
};
std::vector<RawRun> rawRuns(const Document& doc, const Document& replayed) {
    std::vector<RawRun> runs;
    for (int n = 1; n <= 15; ++n) {
        const std::string& want = doc.k[static_cast<std::size_t>(n)];
        const std::string& got = replayed.k[static_cast<std::size_t>(n)];
        const std::size_t bytes = want.size() / 2;
        for (std::size_t i = 0; i < bytes; ++i) {
            if (got.compare(2 * i, 2, want, 2 * i, 2) == 0) continue;
            if (!runs.empty() && runs.back().mirror == n &&
                runs.back().firstByte + static_cast<int>(runs.back().hex.size() / 2) == static_cast<int>(i))
                runs.back().hex += want.substr(2 * i, 2);
            else
                runs.push_back({n, static_cast<int>(i), want.substr(2 * i, 2)});
        }
    }
    return runs;
}

std::string spacedBytes(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += (i ? " " : "") + hex.substr(i, 2);
    return out;
}

// The document's values, without the raw section.
std::string valuesText(const Document& doc) {
    std::string out = "# Pellaro codeplug (pellaro-cli dump): channels, settings and raw bytes\n";
    out += std::string("format: ") + kTextFormat + "\n";
    out += "channels:\n";
    for (Band band : {Band::A, Band::B}) {
        const ChannelTable& t = doc.table(band);
        std::string lines;
        for (int row = 1; row <= kRows; ++row) {
            if (channelEmpty(t, row)) continue;
            lines += "    - {" + channelHeadings()[kNumberColumn] + ": " + std::to_string(row);
            for (int col = kFirstCellColumn; col < kColumns; ++col) {
                const std::string& cell = t.at(col, row);
                if (cell.empty()) continue;
                lines +=
                    ", " + key(channelHeadings()[static_cast<std::size_t>(col)]) + ": " + quoted(latin1ToUtf8(cell));
            }
            lines += "}\n";
        }
        out += std::string("  ") + bandLetter(band) + ":" + (lines.empty() ? " []\n" : "\n" + lines);
    }
    for (const SettingsPage& page : settingsPages(doc)) {
        out += key(page.title) + ":\n";
        for (const ShownSetting& s : page.settings) {
            out += "  " + key(settingKey(s.label)) + ": " + quoted(s.value);
            if (s.entries) out += entriesComment(*s.entries);
            out += "\n";
        }
    }
    return out;
}

// ---- reading --------------------------------------------------------------------------------

int lineOf(const YAML::Node& n) { return n.Mark().line + 1; }

struct Reader {
    TextLoadReport report;
    Document& doc;

    void refuse(int line, std::string reason, std::optional<Band> band = {}, int channel = 0, int column = 0) {
        report.refused.push_back({Severity::Refused, {line, band, channel, column, {}}, std::move(reason)});
    }

    // A scalar's text; null gives "".
    std::optional<std::string> text(const YAML::Node& n) {
        if (n.IsNull()) return std::string();
        if (!n.IsScalar()) {
            refuse(lineOf(n), "a text is expected here, not a list or a mapping");
            return std::nullopt;
        }
        return n.Scalar();
    }

    // A mapping's entries with their keys, each key once.
    std::vector<std::pair<std::string, YAML::Node>> entries(const YAML::Node& map, const std::string& what) {
        std::vector<std::pair<std::string, YAML::Node>> out;
        std::set<std::string> seen;
        for (auto it = map.begin(); it != map.end(); ++it) {
            if (!it->first.IsScalar()) {
                refuse(lineOf(it->first), "a key of " + what + " is not a text");
                continue;
            }
            const std::string k = it->first.Scalar();
            if (!seen.insert(k).second) {
                refuse(lineOf(it->first), quoteUserText(k) + " is given twice in " + what);
                continue;
            }
            out.emplace_back(k, it->second);
        }
        return out;
    }

    void channel(Band band, const YAML::Node& line) {
        if (!line.IsMap()) {
            refuse(lineOf(line), "a channel is a mapping of its column headings to texts", band);
            return;
        }
        std::optional<int> number;
        bool numbered = false;
        std::map<int, std::pair<std::string, int>> cells;   // column -> text, line
        for (const auto& [k, v] : entries(line, "a channel")) {
            int col = -1;
            for (int c = 0; c < kColumns; ++c)
                if (channelHeadings()[static_cast<std::size_t>(c)] == k) col = c;
            if (col < 0) {
                refuse(lineOf(v), quoteUserText(k) + " is not a column of the channel tables", band);
                continue;
            }
            const auto t = text(v);
            if (!t) continue;
            if (col == kNumberColumn) {
                numbered = true;
                number = channelNumberOf(*t);
                if (!number)
                    refuse(lineOf(v), quoteUserText(*t) + " is not a channel 1 to " + std::to_string(kRows), band);
                continue;
            }
            cells[col] = {*t, lineOf(v)};
        }
        if (!number) {
            if (!numbered)
                refuse(lineOf(line), "the channel has no " + channelHeadings()[kNumberColumn] + " number", band);
            return;
        }
        if (!channels[static_cast<int>(band)].insert(*number).second) {
            refuse(lineOf(line), "the channel is given twice", band, *number);
            return;
        }
        clearChannels(doc, band, *number, *number);
        for (const auto& [col, given] : cells) {
            std::string latin1;
            if (!utf8ToLatin1(given.first, latin1)) {
                refuse(given.second, quoteUserText(given.first) + " holds characters this radio cannot hold", band,
                       *number, col);
                continue;
            }
            const CellEntry e = enterChannelCell(doc, band, col, *number, latin1);
            if (e.kind == CellEntry::Kind::Refused)
                refuse(given.second, e.reason, band, *number, col);
            else if (e.kind == CellEntry::Kind::Adjusted)
                report.changed.push_back({Severity::Changed, {given.second, band, *number, col, {}}, e.reason});
        }
        ++report.channels;
    }

    static std::optional<int> channelNumberOf(const std::string& t) {
        if (t.empty() || t.size() > 3) return std::nullopt;
        int n = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return std::nullopt;
            n = n * 10 + (c - '0');
        }
        return n >= 1 && n <= kRows ? std::optional<int>(n) : std::nullopt;
    }

    void channelSection(const YAML::Node& node) {
        if (!node.IsMap()) {
            refuse(lineOf(node), "channels holds the bands A and B");
            return;
        }
        for (const auto& [k, v] : entries(node, "channels")) {
            const std::optional<Band> band = k == "A"   ? std::optional<Band>(Band::A)
                                             : k == "B" ? std::optional<Band>(Band::B)
                                                        : std::nullopt;
            if (!band) {
                refuse(lineOf(v), quoteUserText(k) + " is not a band (A or B)");
                continue;
            }
            if (v.IsNull()) continue;
            if (!v.IsSequence()) {
                refuse(lineOf(v), "a band holds a list of channels", band);
                continue;
            }
            for (const YAML::Node& line : v) channel(*band, line);
        }
    }

    void page(int pageIndex, const YAML::Node& node) {
        if (!node.IsMap()) {
            refuse(lineOf(node), "a page holds its settings by label");
            return;
        }
        std::map<std::string, std::pair<std::string, int>> given;
        for (const auto& [k, v] : entries(node, "a page")) {
            const auto t = text(v);
            if (t) given[k] = {*t, lineOf(v)};
        }
        for (const SettingId& id : allSettings()) {
            if (id.page != pageIndex) continue;
            const std::string label = settingKey(settingLabel(static_cast<PageId>(id.page), id.row));
            const auto it = given.find(label);
            if (it == given.end()) continue;
            const CellEntry e = enterSetting(doc, id, it->second.first, SettingSource::File);
            const Place place{it->second.second, std::nullopt, 0, 0, settingName(id)};
            if (e.kind == CellEntry::Kind::Refused) report.refused.push_back({Severity::Refused, place, e.reason});
            if (e.kind == CellEntry::Kind::Adjusted) report.changed.push_back({Severity::Changed, place, e.reason});
            ++report.settings;
            given.erase(it);
        }
        for (const auto& [k, v] : given) refuse(v.second, quoteUserText(k) + " is not a setting of this page");
    }

    void raw(const YAML::Node& node) {
        if (!node.IsSequence()) {
            refuse(lineOf(node), "raw holds a list of {mirror, address, bytes}");
            return;
        }
        for (const YAML::Node& run : node) {
            if (!run.IsMap() || !run["mirror"] || !run["address"] || !run["bytes"] || run.size() != 3) {
                refuse(lineOf(run), "a raw line is {mirror: kN, address: \"0x....\", bytes: \"..\"}");
                continue;
            }
            const auto m = text(run["mirror"]), a = text(run["address"]), b = text(run["bytes"]);
            if (!m || !a || !b) continue;
            int mirror = 0;
            for (int n = 1; n <= 15; ++n)
                if (*m == mirrorName(n)) mirror = n;
            if (mirror == 0) {
                refuse(lineOf(run), quoteUserText(*m) + " is not a mirror k1 to k15");
                continue;
            }
            std::string hex;
            for (char c : *b)
                if (c != ' ') hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            const int length = kMirrorLength[static_cast<std::size_t>(mirror)] / 2;
            const unsigned first = mirrorAddress(mirror);
            unsigned address = 0;
            bool good = a->size() == 6 && (*a)[0] == '0' && ((*a)[1] == 'x' || (*a)[1] == 'X');
            for (std::size_t i = 2; good && i < a->size(); ++i) {
                const char c = static_cast<char>(std::toupper(static_cast<unsigned char>((*a)[i])));
                const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
                good = digit >= 0;
                address = address * 16 + static_cast<unsigned>(digit);
            }
            bool hexGood = !hex.empty() && hex.size() % 2 == 0;
            for (char c : hex) hexGood = hexGood && std::isxdigit(static_cast<unsigned char>(c));
            if (!good || !hexGood || address < first ||
                address + hex.size() / 2 > first + static_cast<unsigned>(length)) {
                refuse(lineOf(run), "the bytes do not lie within " + std::string(mirrorName(mirror)) + " (" +
                                        mirrorCaption(mirror) + ") or are not hex bytes");
                continue;
            }
            doc.k[static_cast<std::size_t>(mirror)].replace(2 * (address - first), hex.size(), hex);
        }
    }

    std::array<std::set<int>, 2> channels;
};

// Enters the values of a parsed text into `doc`; raw bytes last.
void enter(Reader& r, const YAML::Node& root) {
    std::optional<YAML::Node> channels, raw;
    std::vector<std::pair<int, YAML::Node>> pages;
    for (const auto& [k, v] : r.entries(root, "the file")) {
        if (k == "format") continue;
        if (k == "channels") {
            channels = v;
            continue;
        }
        if (k == "raw") {
            raw = v;
            continue;
        }
        int page = -1;
        // A page's part is headed by the page's title.
        for (int p = 0; p < kSettingsPageCount; ++p)
            if (pageTitle(static_cast<PageId>(p)) == k) page = p;
        if (page < 0)
            r.refuse(lineOf(v), quoteUserText(k) + " is not a part of a codeplug text");
        else
            pages.emplace_back(page, v);
    }
    if (channels) r.channelSection(*channels);
    std::sort(pages.begin(), pages.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    for (const auto& [page, node] : pages) r.page(page, node);
    if (raw) r.raw(*raw);
}

}   // namespace

CodeplugText dumpCodeplugText(const Document& doc) {
    CodeplugText out;
    const std::string values = valuesText(doc);
    // The raw section holds what entering these values into New leaves
    // different, so that loading the text gives the document back.
    Document replayed;   // New, as pellaro-cli new and load start from
    const TextLoadReport replay = loadCodeplugText(values, replayed);
    for (const ReportItem& item : replay.refused) out.notes.push_back(itemText(item));
    const std::vector<RawRun> runs = rawRuns(doc, replayed);
    std::string raw;
    for (const RawRun& run : runs)
        raw += "  - {mirror: " + std::string(mirrorName(run.mirror)) + ", address: \"0x" +
               hexWord(mirrorAddress(run.mirror) + static_cast<unsigned>(run.firstByte)) + "\", bytes: \"" +
               spacedBytes(run.hex) + "\"}\n";
    out.text = values + (raw.empty() ? "" : "raw:\n" + raw);
    if (out.notes.empty()) {
        for (const RawRun& run : runs)
            replayed.k[static_cast<std::size_t>(run.mirror)].replace(2 * static_cast<std::size_t>(run.firstByte),
                                                                     run.hex.size(), run.hex);
        if (!(replayed == doc))
            for (const Difference& d : compareDocuments(replayed, doc))
                out.notes.push_back(d.text + " (loading the text gives the value before the arrow)");
        if (!(replayed == doc) && out.notes.empty())
            out.notes.push_back("a cell text would load back spelled otherwise");
    }
    return out;
}

TextLoadReport loadCodeplugText(std::string_view yaml, Document& doc) {
    Document work = doc;
    Reader r{{}, work, {}};
    if (yaml.size() > kMaxCodeplugText) {
        r.report.error =
            "the file is too large for a codeplug text (more than " + std::to_string(kMaxCodeplugText >> 20) + " MB)";
        return r.report;
    }
    YAML::Node root;
    try {
        root = YAML::Load(std::string(yaml));
    } catch (const YAML::Exception& e) {
        r.report.error = "line " + std::to_string(e.mark.line + 1) + " is not YAML: " + e.msg;
        return r.report;
    }
    if (!root.IsMap() || !root["format"] || !root["format"].IsScalar()) {
        r.report.error = std::string("this is not a codeplug text: it has no \"format: ") + kTextFormat + "\" line";
        return r.report;
    }
    if (root["format"].Scalar() != kTextFormat) {
        r.report.error = "line " + std::to_string(lineOf(root["format"])) + ": the format " +
                         quoteUserText(root["format"].Scalar()) + " is not " + kTextFormat;
        return r.report;
    }
    r.report.usable = true;
    try {
        enter(r, root);
    } catch (const YAML::Exception& e) {
        r.refuse(e.mark.line + 1, e.msg);
    }
    if (r.report.refused.empty()) doc = std::move(work);
    return r.report;
}

}   // namespace pellaro
