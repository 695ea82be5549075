#include "codeplug/cell_entry.h"

#include <algorithm>

#include "codeplug/codes.h"
#include "codeplug/rules.h"

namespace pellaro {

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

std::string quoted(std::string_view latin1) { return quotedCellText(latin1); }

using Row = std::array<std::string, kColumns>;

CellEntry enterFrequency(Document& doc, Band band, int col, int row, std::string_view text) {
    std::string typed(trimmed(text));
    // A spreadsheet may show more decimals than the editor takes; zeros at
    // the end of the decimals carry nothing.
    if (typed.find('.') != std::string::npos)
        while (typed.size() > 9 && typed.back() == '0') typed.pop_back();
    if (filterPaste({}, typed, &channelFrequencyKey, 9) != typed)
        return {CellEntry::Kind::Refused,
                quoted(typed) + " is not a frequency in MHz (digits and \".\", at most 9 characters)"};

    ChannelTable& t = doc.table(band);
    const Row before = t.cells[static_cast<std::size_t>(row)];
    const CommitOutcome outcome = commitChannelFrequency(doc, band, col, row, typed);
    if (!outcome.message.empty()) {
        std::string message = outcome.message;
        while (!message.empty() && message.back() == ' ') message.pop_back();
        return {CellEntry::Kind::Refused, quoted(typed) + ": " + message};
    }
    if (t.cells[static_cast<std::size_t>(row)] == before) return {CellEntry::Kind::Unchanged, {}};

    const std::string& cell = t.at(col, row);
    const auto given = parseDecimalScaled(typed, 5);
    const auto taken = parseDecimalScaled(cell, 5);
    if (given && taken && given->magnitude != taken->magnitude)
        return {CellEntry::Kind::Adjusted, quoted(typed) + " rounded onto the channel step raster: " + cell};
    return {CellEntry::Kind::Applied, {}};
}

CellEntry enterListCell(Document& doc, Band band, int col, int row, std::string_view text) {
    const std::string_view given = trimmed(text);
    const std::string& cell = doc.table(band).at(col, row);
    if (given == cell) return {CellEntry::Kind::Unchanged, {}};
    if (!channelEditorOffered(doc, band, col, row)) {
        const bool transmit = col >= 5 && col <= 7;
        return {CellEntry::Kind::Refused, quoted(given) + (transmit ? ": the channel has no transmission frequency"
                                                                    : ": the channel has no receiving frequency")};
    }
    if (given.empty()) return {CellEntry::Kind::Refused, "an empty text: a programmed channel keeps an entry here"};

    std::string entry;
    for (const std::string& e : channelListEntries(col))
        if (sameIgnoringCase(e, given)) entry = e;
    // The texts a new frequency writes, which no list offers.
    if (entry.empty() && (col == 2 || col == 5) && sameIgnoringCase(given, "0FF")) entry = "0FF";
    if (entry.empty() && col == 3 && sameIgnoringCase(given, "OFF")) entry = "OFF";
    if (entry.empty())
        return {CellEntry::Kind::Refused,
                quoted(given) + " is not an entry of the " + channelHeadings()[static_cast<std::size_t>(col)] +
                    " list"};
    if (entry == cell) return {CellEntry::Kind::Unchanged, {}};
    commitChannelList(doc, band, col, row, entry);
    return {CellEntry::Kind::Applied, {}};
}

CellEntry enterName(Document& doc, Band band, int row, std::string_view text) {
    const std::string& cell = doc.table(band).at(12, row);
    if (text == cell) return {CellEntry::Kind::Unchanged, {}};
    if (!channelEditorOffered(doc, band, 12, row))
        return {CellEntry::Kind::Refused, quoted(text) + ": the channel has no receiving frequency"};
    const std::string name = filterPaste({}, text, &channelNameKey, 7);
    commitChannelName(doc, band, row, name);
    if (cell != name)
        return {CellEntry::Kind::Adjusted, quoted(text) + " taken as no name (a name of one blank is kept as none)"};
    if (name == text) return {CellEntry::Kind::Applied, {}};
    const bool onlyCut = text.substr(0, name.size()) == name &&
                         filterPaste({}, text, &channelNameKey, static_cast<int>(text.size())) == text;
    if (onlyCut) return {CellEntry::Kind::Adjusted, quoted(text) + " cut to 7 characters: " + quoted(name)};
    return {CellEntry::Kind::Adjusted,
            quoted(text) + " taken as " + quoted(name) +
                " (a name holds at most 7 characters from blank to \"~\", without , ~ ' \")"};
}

}  // namespace

const std::array<std::string, kColumns>& channelHeadings() {
    static const std::array<std::string, kColumns> headings = {
        "Channel", "Receiving Frequency", "Receiving CTCSS", "Receiving Mode",
        "Transmission Frequency", "Transmission CTCSS", "Launch Signaling",
        "Transmit end Signaling", "Power", "Wide / Narrow", "Compandor", "Scrambler",
        "Channel Name",
    };
    return headings;
}

CellEntry enterChannelCell(Document& doc, Band band, int col, int row, std::string_view text) {
    if (row < 1 || row > kRows || col < 1 || col >= kColumns)
        return {CellEntry::Kind::Refused, "outside the channel table"};
    if (col == 1 || col == 4) return enterFrequency(doc, band, col, row, text);
    if (col == 12) return enterName(doc, band, row, text);
    return enterListCell(doc, band, col, row, text);
}

std::string quotedCellText(std::string_view latin1) {
    constexpr std::size_t kShown = 40;
    if (latin1.size() <= kShown) return "\"" + latin1ToUtf8(latin1) + "\"";
    return "\"" + latin1ToUtf8(latin1.substr(0, kShown)) + "...\"";
}

}  // namespace pellaro
