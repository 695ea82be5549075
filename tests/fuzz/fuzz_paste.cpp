// SPDX-License-Identifier: GPL-3.0-or-later
// Pasted tab-separated text and the channel row operations with arbitrary
// input. The input is a series of steps, each [op][a][b][length: 2 bytes]
// [text]: the op byte picks the operation and the band, a and b its
// channels and columns (a few outside the table too), the text is what a
// paste brings. After every step each channel row holds only texts the cell
// editors can give, column 0 keeps the channel numbers, nothing outside the
// tables changes, a step refused as a whole changes nothing and `changed`
// tells the truth. At the end every table copies and pastes back to itself
// and into an empty document, and the document saves and loads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codeplug/cell_entry.h"
#include "codeplug/channel_edit.h"
#include "codeplug/rules.h"
#include "files/channel_clipboard.h"
#include "files/tsv.h"
#include "tests/fuzz/fuzz_check.h"

using namespace pellaro;

namespace {

bool nameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 32 && u <= 126 && c != ',' && c != '~' && c != '\'' && c != '"';
}

bool frequencyTheEditorsGive(const std::string& cell) {
    const auto v = parseDecimalScaled(cell, 5);
    if (cell.size() != 9 || !v || v->negative || v->magnitude > 0xFFFFFFFEu) return false;
    const auto units = static_cast<std::uint32_t>(v->magnitude);
    const auto in = [&](int lo, int hi) { return units >= lo * 100000u && units <= hi * 100000u; };
    return frequencyText(units) == cell && (in(VhfLow, VhfHigh) || in(UhfLow, UhfHigh)) &&
           (units % 250 == 0 || units % 625 == 0);
}

bool entryOf(int col, const std::string& cell) {
    if ((col == 2 || col == 5) && cell == "0FF") return true;
    if (col == 3 && cell == "OFF") return true;
    for (const std::string& e : channelListEntries(col))
        if (e == cell) return true;
    return false;
}

// Empty when the row is one the cell editors can give; otherwise what is wrong.
std::string rowProblem(const ChannelTable& t, int row) {
    auto cell = [&](int col) -> const std::string& { return t.at(col, row); };
    auto where = [&](int col) {
        return "channel " + std::to_string(row) + " column " + std::to_string(col) + " [" + cell(col) + "]";
    };
    if (cell(0) != std::to_string(row)) return where(0) + ": not the channel number";
    struct Group {
        int freq;
        std::vector<int> cells;
    };
    static const Group kGroups[] = {{1, {2, 3, 8, 9, 10, 11}}, {4, {5, 6, 7}}};
    for (const Group& g : kGroups) {
        if (cell(g.freq).empty()) {
            for (int col : g.cells)
                if (!cell(col).empty()) return where(col) + ": set without its frequency";
            continue;
        }
        if (!frequencyTheEditorsGive(cell(g.freq))) return where(g.freq) + ": no frequency the editor gives";
        for (int col : g.cells)
            if (!entryOf(col, cell(col))) return where(col) + ": no entry of its list";
    }
    const std::string& name = cell(12);
    if (!name.empty() && cell(1).empty()) return where(12) + ": a name without a receiving frequency";
    if (name.size() > 7) return where(12) + ": longer than 7";
    for (char c : name)
        if (!nameCharacter(c)) return where(12) + ": a character the name keys refuse";
    return {};
}

void checkTable(const Document& doc, Band band) {
    for (int row = 1; row <= kRows; ++row) {
        const std::string problem = rowProblem(doc.table(band), row);
        FUZZ_REQUIRE(problem.empty(), std::string(band == Band::A ? "band A " : "band B ") + problem);
    }
}

void checkStep(const Document& before, const Document& after, const EditResult& r) {
    FUZZ_REQUIRE(r.changed == !(after == before), "\"changed\" is wrong for " + r.name);
    if (!r.refusal.empty()) FUZZ_REQUIRE(after == before, "a refused step changed the document: " + r.refusal);
    const Band other = r.band == Band::A ? Band::B : Band::A;
    FUZZ_REQUIRE(after.table(other) == before.table(other), r.name + " changed the other band");
    checkTable(after, r.band);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Document doc;
    std::size_t at = 0;
    int steps = 0;
    std::string_view lastText;
    while (at + 5 <= size && steps < 16) {
        const int op = data[at];
        const int a = data[at + 1];
        const int b = data[at + 2];
        std::size_t len = (data[at + 3] | (data[at + 4] << 8)) % 8192;
        at += 5;
        if (len > size - at) len = size - at;
        const std::string_view text(reinterpret_cast<const char*>(data + at), len);
        at += len;
        ++steps;

        const Band band = (op & 0x80) ? Band::B : Band::A;
        const bool flag = op & 0x40;
        const int first = a % 131;   // 0..130: a few outside 1..128
        const int last = b % 131;
        const Document before = doc;
        EditResult r;
        switch (op % 10) {
            case 0:
            case 1:
            case 2:
            case 3:
                r = pasteText(doc, band, first, b % 14, text);
                lastText = text;
                break;
            case 4:
                r = insertChannel(doc, band, first);
                break;
            case 5:
                r = deleteChannels(doc, band, first, last);
                break;
            case 6:
                r = clearChannels(doc, band, first, last);
                break;
            case 7:
                r = moveChannels(doc, band, first, last, flag ? Direction::Up : Direction::Down);
                break;
            case 8:
                r = sortChannels(doc, band, first, last, flag ? SortKey::Name : SortKey::Frequency);
                break;
            default:
                r = emptyCells(doc, band, {first, last, text.empty() ? 0 : text[0] % 14, static_cast<int>(len % 14)});
                break;
        }
        FUZZ_REQUIRE(r.band == band, r.name + " names the other band");
        checkStep(before, doc, r);
    }
    checkTable(doc, Band::A);
    checkTable(doc, Band::B);
    // Nothing beyond the tables changed since the start.
    Document rest = doc;
    rest.grid = Document().grid;
    FUZZ_REQUIRE(rest == Document(),
                 "a table operation changed something beyond the tables: " + fuzz::firstDifference(Document(), rest));

    // The reader gives back what the writer wrote of it.
    const TextGrid grid = readTsv(lastText);
    FUZZ_REQUIRE(readTsv(writeTsv(grid)) == grid, "tab-separated text does not read back as written");

    for (Band band : {Band::A, Band::B}) {
        const std::string copy = copyText(doc, band, {1, kRows, 0, kColumns - 1}, true);
        Document same = doc;
        const EditResult onto = pasteText(same, band, 1, 0, copy);
        FUZZ_REQUIRE(!onto.changed && onto.refused.empty() && onto.adjusted.empty(),
                     "a copy pasted onto itself changed something");
        Document empty;
        const EditResult into = pasteText(empty, band, 1, 0, copy);
        FUZZ_REQUIRE(into.refused.empty() && into.adjusted.empty() && empty.table(band) == doc.table(band),
                     "a copy pasted into an empty table gives other cells");
    }

    std::string bytes;
    const FileResult saved = saveCodeplug(doc, bytes);
    FUZZ_REQUIRE(saved.ok(), "a pasted document does not save: " + saved.error);
    fuzz::checkSaveLoad(doc);
    return 0;
}
