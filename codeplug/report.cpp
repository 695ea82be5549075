// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/report.h"

#include "codeplug/cell_entry.h"

namespace pellaro {

const char* bandLetter(Band band) { return band == Band::A ? "A" : "B"; }

std::string placeText(const Place& p) {
    std::string text;
    if (p.band) {
        text = bandLetter(*p.band);
        if (p.channel > kRows) {
            text += " past channel " + std::to_string(kRows);
        } else if (p.channel > 0) {
            text += " " + std::to_string(p.channel);
            if (p.column >= kColumns)
                text += " past the last column";
            else if (p.column > kNumberColumn)
                text += " " + channelHeadings()[static_cast<std::size_t>(p.column)];
        }
    } else {
        text = p.setting;
    }
    if (p.line > 0) return "line " + std::to_string(p.line) + (text.empty() ? "" : ": " + text);
    return text;
}

std::string plainLabel(std::string_view label) {
    while (!label.empty() && (label.back() == ' ' || label.back() == ':')) label.remove_suffix(1);
    return std::string(label);
}

Place settingPlace(std::string_view pageTitle, std::string_view label) {
    Place p;
    p.setting = std::string(pageTitle) + " / " + plainLabel(label);
    return p;
}

std::string itemText(const ReportItem& item) {
    std::string place = placeText(item.place);
    return place.empty() ? item.reason : place + ": " + item.reason;
}

namespace {

// Length of the UTF-8 sequence starting at s[i]; 0 when it is not one.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

}   // namespace

std::string quoteUserText(std::string_view utf8) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++chars) {
        if (chars == kShown) return out + "…\"";
        std::size_t n = sequenceLength(utf8, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";   // U+FFFD
            ++i;
        } else {
            out.append(utf8.substr(i, n));
            i += n;
        }
    }
    return out + "\"";
}

std::vector<std::string> shownLines(const std::vector<std::string>& lines, std::size_t shown) {
    if (lines.size() <= shown) return lines;
    std::vector<std::string> out(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(shown));
    out.push_back("… and " + std::to_string(lines.size() - shown) + " more");
    return out;
}

}   // namespace pellaro
