// SPDX-License-Identifier: GPL-3.0-or-later
// Codeplug files: the 262-line ".bc" text that stores what the editors show,
// the channel cells and the raw mirrors k1..k15.
#include "files/codeplug_file.h"

#include "codeplug/codes.h"

#include <charconv>
#include <utility>

namespace pellaro {

namespace {

// 1-based file lines of the settings; each band's grid lies in the lines
// before its set-up line (1..128 and 130..257 with 128 channels).
constexpr int kLineSetupA = kRows + 1;
constexpr int kLineSetupB = kLineSetupA + kRows + 1;
constexpr int kLineSettings = kLineSetupB + 1;
constexpr int kLineLimits = kLineSettings + 1;
constexpr int kLineMirrors = kLineLimits + 1;
constexpr int kLineCodes = kLineMirrors + 1;
constexpr int kFileLines = kLineCodes;
constexpr int kCellFields = kColumns + 1;   // one field more than the grid has columns

const char* bandName(Band b) { return b == Band::A ? "A/Upper Band" : "B/Under Band"; }

// How a field is written and read back.
enum class Kind {
    Index,     // combo item index, value field "n,"
    Text,      // text field "x ,"; every blank is removed on loading
    Message,   // text field; only the terminating blank is removed on loading
};

struct Field {
    Kind kind;
    std::string name;   // the editor's name, used in messages
    int listSize = 0;   // Index: the number of entries of the editor's list
    int* index = nullptr;
    std::string* text = nullptr;
};

Field indexField(std::string name, int size, int& value) {
    return {Kind::Index, std::move(name), size, &value, nullptr};
}
Field textField(std::string name, std::string& value, Kind kind = Kind::Text) {
    return {kind, std::move(name), 0, nullptr, &value};
}

// Item counts of the band set-up lists 1, 2, 4..8, 10..14, 16.
constexpr std::array<int, 17> kSetupListSize = {0, 2, kRows, 0, 206, 18, 2, 206, 18, 0, 2, 2, 2, 2, 3, 0, 7};
// Item counts of gn1..gn15 (gn3 is text).
constexpr std::array<int, 16> kSettingsListSize = {0, 2, 21, 0, 4, 4, 4, 2, 2, 10, 2, 21, 4, 4, 10, 2};

// The fields of one settings line, in file order, bound to `d`. Save only
// reads through the pointers.
std::vector<Field> settingFields(Document& d, int line) {
    std::vector<Field> f;
    if (line == kLineSetupA || line == kLineSetupB) {
        BandSetup& s = d.vfo(line == kLineSetupA ? Band::A : Band::B);
        const std::string side = line == kLineSetupA ? "left" : "right";
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16}) {
            if (n == 3)
                f.push_back(textField(side + "3", s.rxFreq));
            else if (n == 15)
                f.push_back(textField(side + "15", s.offset));
            else
                f.push_back(indexField(side + std::to_string(n), kSetupListSize[n], s.sel[n]));
        }
    } else if (line == kLineSettings) {
        for (int n = 1; n <= 15; ++n) {
            if (n == 3)
                f.push_back(textField("gn3", d.gn3));
            else
                f.push_back(indexField("gn" + std::to_string(n), kSettingsListSize[n], d.gn[n]));
        }
    } else if (line == kLineLimits) {
        f.push_back(textField("kaiji1", d.kaiji1, Kind::Message));
        f.push_back(textField("kaiji2", d.kaiji2, Kind::Message));
        for (int n = 1; n <= 4; ++n) f.push_back(textField("xp" + std::to_string(n), d.xp[n]));
        f.push_back(indexField("xp5", 2, d.xp5));
    } else if (line == kLineCodes) {
        for (int n = 1; n <= 8; ++n) f.push_back(textField("sypz" + std::to_string(n), d.sypz[n]));
        f.push_back(indexField("sypz9", 3, d.sypz9));
        for (int n = 1; n <= 8; ++n) f.push_back(textField("sy" + std::to_string(n), d.sy[n]));
    }
    return f;
}

bool isSettingLine(int line) {
    return line == kLineSetupA || line == kLineSetupB || line == kLineSettings || line == kLineLimits ||
           line == kLineCodes;
}

// Grid line (1-based) to its band and channel; false for the other lines.
bool gridLine(int line, Band& band, int& row) {
    if (line >= 1 && line <= kRows) {
        band = Band::A;
        row = line;
        return true;
    }
    if (line >= kLineSetupA + 1 && line <= kLineSetupA + kRows) {
        band = Band::B;
        row = line - kLineSetupA;
        return true;
    }
    return false;
}

// Characters the file cannot give back as written: the field separator, the
// line separator "~", the two quotes (they glue fields together on loading)
// and control characters (CR and LF end a line).
std::string unstorableCharacter(const std::string& text) {
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ',' || c == '~' || c == '\'' || c == '"') return std::string("\"") + ch + "\"";
        if (c < 32 || c == 127) return "a control character (code " + std::to_string(c) + ")";
    }
    return {};
}

std::string refusal(const std::string& what, const std::string& bad) {
    return "Cannot save: " + what + " holds " + bad + ", which a codeplug file cannot store.";
}

bool isHexDigits(std::string_view t) {
    for (char c : t)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string withoutBlanks(std::string_view t) {
    std::string out;
    out.reserve(t.size());
    for (char c : t)
        if (c != ' ') out += c;
    return out;
}

// A decimal integer as written for a combo index ("5", "-1"); blanks around
// it, as a hand-edited file may have, are ignored.
bool parseIndex(std::string_view t, int& out) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    const char* end = t.data() + t.size();
    auto [p, ec] = std::from_chars(t.data(), end, out);
    return ec == std::errc() && p == end;
}

// The splitter, also reporting where each item starts in `text`.
std::vector<std::pair<std::string, std::size_t>> splitWithOffsets(std::string_view text, std::string_view separators,
                                                                  std::string_view skipped) {
    auto isSkipped = [&](char c) { return c == '\r' || c == '\n' || skipped.find(c) != std::string_view::npos; };
    auto isSeparator = [&](char c) { return c == '\r' || c == '\n' || separators.find(c) != std::string_view::npos; };
    std::vector<std::pair<std::string, std::size_t>> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && isSkipped(text[i])) ++i;
        if (i >= n) break;
        const std::size_t start = i;
        while (i < n && !isSeparator(text[i])) {
            if (text[i] == '\'' || text[i] == '"') {
                // A quoted stretch runs to the next same quote, or to the end.
                const std::size_t close = text.find(text[i], i + 1);
                i = close == std::string_view::npos ? n : close + 1;
            } else {
                ++i;
            }
        }
        if (i > start) items.emplace_back(std::string(text.substr(start, i - start)), start);
        if (i < n) ++i;   // step over the terminating character
    }
    return items;
}

// The file as the loader sees it: every line end (CR, LF or CR LF) becomes
// CR LF, and the text ends with one.
std::string normaliseLineEnds(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    std::size_t i = 0;
    bool lineOpen = false;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            lineOpen = false;
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        } else {
            out += c;
            lineOpen = true;
            ++i;
        }
    }
    if (lineOpen) out += "\r\n";
    return out;
}

void appendCell(std::string& out, const std::string& cell) {
    if (cell.empty())
        out += " ,";
    else
        out += cell + ",";
}

}   // namespace

std::vector<std::string> splitItems(std::string_view text, std::string_view separators, std::string_view skipped) {
    std::vector<std::string> out;
    for (auto& item : splitWithOffsets(text, separators, skipped)) out.push_back(std::move(item.first));
    return out;
}

FileResult saveCodeplug(const Document& doc, std::string& bytesOut) {
    // The field table binds to a mutable document; saving only reads it.
    Document& d = const_cast<Document&>(doc);
    std::string out;
    out.reserve(24 * 1024);
    for (int line = 1; line <= kFileLines; ++line) {
        Band band;
        int row;
        if (gridLine(line, band, row)) {
            const ChannelTable& t = doc.table(band);
            for (int col = 0; col < kColumns; ++col) {
                const std::string& cell = t.at(col, row);
                std::string bad = unstorableCharacter(cell);
                // A cell of one blank is how the file writes an empty cell.
                if (bad.empty() && cell == " ") bad = "a single blank (it would load back empty)";
                if (!bad.empty())
                    return {refusal(std::string(bandName(band)) + " channel " + std::to_string(row) + ", column \"" +
                                        columnInfo(col).heading + "\"",
                                    bad)};
                appendCell(out, cell);
            }
            out += " ,";   // column 13
        } else if (line == kLineMirrors) {
            for (int n = 1; n <= 15; ++n) {
                const std::string& m = doc.k[n];
                if (static_cast<int>(m.size()) != kMirrorLength[n] || !isHexDigits(m))
                    return {"Cannot save: the raw memory field k" + std::to_string(n) + " is not " +
                            std::to_string(kMirrorLength[n]) + " hex digits."};
                out += m + ",";
            }
        } else {
            for (const Field& f : settingFields(d, line)) {
                if (f.kind == Kind::Index) {
                    out += std::to_string(*f.index) + ",";
                    continue;
                }
                if (std::string bad = unstorableCharacter(*f.text); !bad.empty())
                    return {refusal("the text of " + f.name, bad)};
                out += *f.text + " ,";
            }
        }
        out += line < kFileLines ? "\r" : "\r\n";
    }
    bytesOut = std::move(out);
    return {};
}

std::string notACodeplugMessage(const std::string& name, const FileResult& loaded) {
    return name + " is not a valid codeplug file: " + loaded.error;
}

FileResult loadCodeplug(std::string_view bytes, Document& doc) {
    const std::string text = normaliseLineEnds(bytes);
    const auto lines = splitWithOffsets(text, "~", "");

    // Physical line number (1-based) of each loaded line, for messages: a
    // file with empty lines or a "~" has fewer or more lines than it shows.
    std::vector<int> physical(lines.size());
    {
        int lineNo = 1;
        std::size_t pos = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            for (; pos < lines[i].second; ++pos)
                if (text[pos] == '\n') ++lineNo;
            physical[i] = lineNo;
        }
    }
    auto where = [&](int line) {
        std::string s = "line " + std::to_string(physical[line - 1]);
        if (physical[line - 1] != line) s += " (codeplug line " + std::to_string(line) + ")";
        return s;
    };

    if (lines.size() < static_cast<std::size_t>(kFileLines))
        return {"it has " + std::to_string(lines.size()) + " lines, a codeplug file has " + std::to_string(kFileLines) +
                " (line " + std::to_string(lines.size() + 1) + " is missing)."};

    // Everything goes into a copy first, so that a bad line leaves `doc` as it was.
    Document next = doc;
    for (int line = 1; line <= kFileLines; ++line) {
        const std::vector<std::string> fields = splitItems(lines[line - 1].first, ",", ",");
        auto tooFew = [&](std::size_t need) -> FileResult {
            return {where(line) + " has " + std::to_string(fields.size()) + " fields, " + std::to_string(need) +
                    " expected."};
        };
        Band band;
        int row;
        if (gridLine(line, band, row)) {
            if (fields.size() < kCellFields) return tooFew(kCellFields);
            ChannelTable& t = next.table(band);
            for (int col = 0; col < kColumns; ++col) t.at(col, row) = fields[col] == " " ? std::string() : fields[col];
        } else if (line == kLineMirrors) {
            if (fields.size() < 15) return tooFew(15);
            for (int n = 1; n <= 15; ++n) {
                const std::string& m = fields[n - 1];
                if (static_cast<int>(m.size()) != kMirrorLength[n] || !isHexDigits(m))
                    return {where(line) + ", field " + std::to_string(n) + " (k" + std::to_string(n) + ") must be " +
                            std::to_string(kMirrorLength[n]) + " hex digits."};
                next.k[n] = m;
            }
        } else if (isSettingLine(line)) {
            const std::vector<Field> layout = settingFields(next, line);
            if (fields.size() < layout.size()) return tooFew(layout.size());
            // Every field is written with its terminator. A file that ends
            // inside the last field it needs was cut short (an interrupted
            // copy or save) and would give a shortened value.
            if (line == kFileLines) {
                const auto items = splitWithOffsets(lines[line - 1].first, ",", ",");
                const auto& last = items[layout.size() - 1];
                if (last.second + last.first.size() >= lines[line - 1].first.size())
                    return {where(line) + " ends inside its last field: the file is cut short."};
            }
            for (std::size_t i = 0; i < layout.size(); ++i) {
                const Field& f = layout[i];
                const std::string& v = fields[i];
                switch (f.kind) {
                    case Kind::Index: {
                        int value = 0;
                        if (!parseIndex(v, value))
                            return {where(line) + ", field " + std::to_string(i + 1) + " (" + f.name +
                                    ") is not a whole number: \"" + latin1ToUtf8(v) + "\"."};
                        // An index outside the list leaves the editor with no selection.
                        *f.index = value >= 0 && value < f.listSize ? value : -1;
                        break;
                    }
                    case Kind::Text:
                        *f.text = withoutBlanks(v);
                        break;
                    case Kind::Message:
                        // Inner blanks of a power-on message are part of it; only
                        // the blank of the " ," terminator goes.
                        *f.text = !v.empty() && v.back() == ' ' ? v.substr(0, v.size() - 1) : v;
                        break;
                }
            }
        }
    }
    doc = std::move(next);
    return {};
}

}   // namespace pellaro
