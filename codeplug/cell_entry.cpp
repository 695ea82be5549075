// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/cell_entry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "codeplug/codes.h"
#include "codeplug/report.h"
#include "codeplug/rules.h"

namespace pellaro {

const char* const kNameCharactersText =
    "names take only blank, A-Z, a-z, 0-9 and the signs of plain ASCII other than , ~ ' \"";

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the UTF-8 character starting at s[i]; 0 when the bytes there are
// not one.
std::size_t characterLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = characterLength(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

CellEntry refused(std::string reason) { return {CellEntry::Kind::Refused, std::move(reason)}; }

// ---- frequencies ---------------------------------------------------------------

// A frequency text read as the number of MHz it is, in the cell's 10 Hz units,
// rounded up when it has more decimals than the cell holds.
struct Reading {
    enum class Where { NotANumber, Below, Between, Above, InBand } where = Where::NotANumber;
    std::uint32_t units = 0;
    bool rounded = false;   // decimals beyond the fifth were not all zero
};

Reading readFrequency(std::string_view text) {
    Reading r;
    const std::size_t dot = text.find('.');
    if (text.empty() || std::count(text.begin(), text.end(), '.') > 1 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '.'; }))
        return r;
    std::string_view whole = text.substr(0, dot);
    const std::string_view decimals = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    constexpr std::uint64_t kPerMHz = 100000;
    if (whole.size() > 5) {   // 100000 MHz and more: far above the top edge
        r.where = Reading::Where::Above;
        return r;
    }
    std::uint64_t units = 0;
    for (char c : whole) units = units * 10 + static_cast<std::uint64_t>(c - '0');
    units *= kPerMHz;
    std::uint64_t fraction = 0;
    for (std::size_t i = 0; i < 5; ++i) fraction = fraction * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
    units += fraction;
    r.rounded = decimals.size() > 5 && decimals.substr(5).find_first_not_of('0') != std::string_view::npos;
    if (r.rounded) ++units;
    // The value itself, not its rounding, is held against the edges.
    const auto above = [&](int mhz) { return units > mhz * kPerMHz; };
    const auto below = [&](int mhz) { return units < mhz * kPerMHz || (units == mhz * kPerMHz && r.rounded); };
    if (below(VhfLow))
        r.where = Reading::Where::Below;
    else if (above(UhfHigh))
        r.where = Reading::Where::Above;
    else if (above(VhfHigh) && below(UhfLow))
        r.where = Reading::Where::Between;
    else
        r.where = Reading::Where::InBand;
    r.units = static_cast<std::uint32_t>(units);
    return r;
}

// A frequency text of digits and "." as a message shows the number: as given,
// cut after 40 characters.
std::string mhz(std::string_view digits) {
    constexpr std::size_t kShown = 40;
    return digits.size() <= kShown ? std::string(digits) + " MHz" : std::string(digits.substr(0, kShown)) + "… MHz";
}

CellEntry enterFrequency(Document& doc, Band band, int col, int row, std::string_view text, const std::string& shown) {
    const std::string_view typed = trimmed(text);
    using Where = Reading::Where;
    const Reading reading = typed.empty() || typed == "." ? Reading{Where::InBand, 0, false} : readFrequency(typed);
    switch (reading.where) {
        case Where::NotANumber:
            return refused(shown + " is not a frequency in MHz (digits and one \".\")");
        case Where::Below:
            return refused(mhz(typed) + " is below " + std::to_string(VhfLow) + " MHz");
        case Where::Between:
            return refused(mhz(typed) + " is between the bands, above " + std::to_string(VhfHigh) + " MHz and below " +
                           std::to_string(UhfLow) + " MHz");
        case Where::Above:
            return refused(mhz(typed) + " is above " + std::to_string(UhfHigh) + " MHz");
        case Where::InBand:
            break;
    }
    // What typing the value would give: completion, step raster, defaults.
    const std::string given = typed.empty() || typed == "." ? std::string(typed) : frequencyText(reading.units);
    ChannelTable& t = doc.table(band);
    const auto before = t.cells[static_cast<std::size_t>(row)];
    const CommitOutcome outcome = commitChannelFrequency(doc, band, col, row, given);
    if (!outcome.message.empty()) {
        std::string message = outcome.message;
        while (!message.empty() && message.back() == ' ') message.pop_back();
        return refused(shown + ": " + message);
    }
    if (t.cells[static_cast<std::size_t>(row)] == before) return {CellEntry::Kind::Unchanged, {}};
    const std::string& cell = t.at(col, row);
    if (reading.rounded || (!given.empty() && given != "." && cell != given))
        return {CellEntry::Kind::Adjusted, shown + " rounded onto the channel step raster: " + cell};
    return {CellEntry::Kind::Applied, {}};
}

// ---- list cells ----------------------------------------------------------------

CellEntry enterListCell(Document& doc, Band band, int col, int row, std::string_view text, const std::string& shown) {
    const std::string_view given = trimmed(text);
    const std::string& cell = doc.table(band).at(col, row);
    if (given == cell) return {CellEntry::Kind::Unchanged, {}};
    if (!channelEditorOffered(doc, band, col, row)) {
        const bool transmit = columnSide(col) == CellSide::Transmit;
        return refused(shown + (transmit ? ": the channel has no transmission frequency"
                                         : ": the channel has no receiving frequency"));
    }
    if (given.empty()) return refused("an empty text: a programmed channel keeps an entry here");

    std::string entry;
    for (const std::string& e : channelListEntries(col))
        if (sameIgnoringCase(e, given)) entry = e;
    // The text a new frequency writes, which the list may not offer.
    if (const char* written = columnInfo(col).newText; entry.empty() && written && sameIgnoringCase(given, written))
        entry = written;
    if (entry.empty())
        return refused(shown + " is not an entry of the " + channelHeadings()[static_cast<std::size_t>(col)] + " list");
    if (entry == cell) return {CellEntry::Kind::Unchanged, {}};
    commitChannelList(doc, band, col, row, entry);
    return {CellEntry::Kind::Applied, {}};
}

// ---- names ---------------------------------------------------------------------------

bool nameKey(std::string_view character) {
    return character.size() == 1 && channelNameKey(0, character[0]).action == KeyAction::Accept &&
           character[0] != kBackspace;
}

// '"Ä" is not taken', '"Ä" and "ö" are not taken', '"Ä", "ö", "ü" and others
// are not taken'.
std::string droppedText(const std::vector<std::string>& named, bool others) {
    std::string text;
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (i > 0) text += (i + 1 == named.size() && !others) ? " and " : ", ";
        text += quoteUserText(named[i]);
    }
    if (others) text += " and others";
    return text + (named.size() == 1 && !others ? " is not taken" : " are not taken");
}

CellEntry enterName(Document& doc, Band band, int row, std::string_view utf8) {
    constexpr int kName = colOf(Column::Name);
    std::string& cell = doc.table(band).at(kName, row);
    if (utf8 == latin1ToUtf8(cell)) return {CellEntry::Kind::Unchanged, {}};
    const std::string shown = quoteUserText(utf8);
    if (!channelEditorOffered(doc, band, kName, row))
        return refused(shown + ": the channel has no receiving frequency");

    // The characters the name keys take, in order; the others are named.
    constexpr std::size_t kNamed = 3;
    std::string kept;
    std::vector<std::string> named;
    bool others = false;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = characterLength(utf8, i);
        const std::string_view character = utf8.substr(i, n);
        i += n;
        if (nameKey(character)) {
            kept += character;
            continue;
        }
        if (std::find(named.begin(), named.end(), character) != named.end()) continue;
        if (named.size() < kNamed)
            named.emplace_back(character);
        else
            others = true;
    }
    if (kept.empty() && !named.empty())
        return refused(shown + ": no character of it is taken: " + droppedText(named, others) + "; " +
                       kNameCharactersText);

    constexpr std::size_t kNameLength = 7;
    const bool cut = kept.size() > kNameLength;
    if (cut) kept.resize(kNameLength);
    const std::string before = cell;
    commitChannelName(doc, band, row, kept);

    std::vector<std::string> reasons;
    if (!named.empty()) reasons.push_back(droppedText(named, others) + "; " + kNameCharactersText);
    if (cut) reasons.push_back("a name holds at most 7 characters");
    if (cell.empty() && !kept.empty()) reasons.push_back("a name of one blank is kept as none");
    if (reasons.empty()) return {cell == before ? CellEntry::Kind::Unchanged : CellEntry::Kind::Applied, {}};
    std::string reason = shown + " became " + (cell.empty() ? std::string("no name") : quotedCellText(cell)) + ": ";
    for (std::size_t i = 0; i < reasons.size(); ++i) reason += (i > 0 ? "; " : "") + reasons[i];
    return {CellEntry::Kind::Adjusted, reason};
}

CellEntry enterText(Document& doc, Band band, int col, int row, std::string_view utf8) {
    if (!validUtf8(utf8)) return refused(quoteUserText(utf8) + " is not UTF-8 text");
    const CellEditor editor = columnEditor(col);
    if (editor == CellEditor::Name) return enterName(doc, band, row, utf8);
    // Beyond Latin-1 the text stands as "?" for the rule, which no frequency
    // or entry holds; the message quotes it as given.
    std::string latin1;
    utf8ToLatin1(utf8, latin1);
    const std::string shown = quoteUserText(trimmed(utf8));
    if (editor == CellEditor::Frequency) return enterFrequency(doc, band, col, row, latin1, shown);
    return enterListCell(doc, band, col, row, latin1, shown);
}

}   // namespace

const std::array<std::string, kColumns>& channelHeadings() {
    static const std::array<std::string, kColumns> headings = [] {
        std::array<std::string, kColumns> h;
        for (int c = 0; c < kColumns; ++c) h[static_cast<std::size_t>(c)] = columnInfo(c).heading;
        return h;
    }();
    return headings;
}

CellEntry enterChannelText(Document& doc, Band band, int col, int row, std::string_view utf8) {
    if (row < 1 || row > kRows || !isCellColumn(col)) return refused("outside the channel table");
    // Not taken means unchanged: whatever a rule did to the channel on its
    // way to refusing the text is undone.
    ChannelTable& t = doc.table(band);
    const auto before = t.cells[static_cast<std::size_t>(row)];
    CellEntry e = enterText(doc, band, col, row, utf8);
    if (!e.taken()) t.cells[static_cast<std::size_t>(row)] = before;
    return e;
}

CellEntry enterChannelCell(Document& doc, Band band, int col, int row, std::string_view text) {
    return enterChannelText(doc, band, col, row, latin1ToUtf8(text));
}

std::string quotedCellText(std::string_view latin1) {
    // One byte per character: what the quote shows, and one more to say it is cut.
    constexpr std::size_t kShown = 41;
    return quoteUserText(latin1ToUtf8(latin1.substr(0, kShown)));
}

}   // namespace pellaro
