// SPDX-License-Identifier: GPL-3.0-or-later
// The 24-byte channel record and the cells of its channel table row.
#include <algorithm>
#include <string>

#include "codeplug/codes.h"
#include "codeplug/memory_map.h"
#include "codeplug/rules.h"

namespace pellaro {

namespace {

std::string decodeFrequency(std::string_view hex8) {
    const auto v = hexValue(hex8);
    return v ? frequencyText(*v) : std::string();
}

// Tone cell: off shows "OFF" only on a channel that has the frequency.
std::string decodeTone(std::string_view hex4, const std::string& frequencyCell) {
    if (toneIsOff(hex4)) return frequencyCell.empty() ? std::string() : std::string("OFF");
    return toneText(hex4);
}

// Receiving mode and signalling cells share one rule: 00 is the off entry
// only on a channel with the frequency, and FF never shows anything.
std::string decodeListCode(std::string_view hex2, const std::string& frequencyCell,
                           const std::vector<std::string>& list) {
    const auto v = hexValue(hex2);
    if (!v) return {};
    if (*v == 0) return frequencyCell.empty() ? std::string() : list[0];
    if (*v < list.size()) return list[*v];
    return {};
}

// A list cell: empty is not set (FF), otherwise its place in the list; a text
// the list does not hold ("OFF" in the mode column, as a new frequency
// leaves it) is not set either.
std::string encodeListCode(const std::string& cell, const std::vector<std::string>& list) {
    if (cell.empty()) return "FF";
    const auto it = std::find(list.begin(), list.end(), cell);
    return it == list.end() ? "FF" : hexByte(static_cast<unsigned>(it - list.begin()));
}

// The flags byte and where it lies: the place the flag columns share.
const ColumnInfo& flagsPlace() {
    static const ColumnInfo& first = *std::find_if(kColumnTable.begin(), kColumnTable.end(),
                                                   [](const ColumnInfo& c) { return c.code == RecordCode::Flag; });
    return first;
}

}   // namespace

void decodeChannel(Document& doc, Band band, int row, std::string_view hex48) {
    if (row < 1 || row > kRows || hex48.size() < static_cast<std::size_t>(kRecordChars)) return;
    ChannelTable& t = doc.table(band);
    auto cell = [&](int c) -> std::string& { return t.at(c, row); };

    const ColumnInfo& flagsAt = flagsPlace();
    const auto flags =
        hexValue(hex48.substr(static_cast<std::size_t>(flagsAt.at), static_cast<std::size_t>(flagsAt.length)));
    // In column order: a frequency comes before the cells of its side.
    for (int c = kFirstCellColumn; c < kColumns; ++c) {
        const ColumnInfo& column = columnInfo(c);
        const std::string_view field =
            hex48.substr(static_cast<std::size_t>(column.at), static_cast<std::size_t>(column.length));
        const std::string& frequency = cell(sideFrequencyColumn(column.side));
        switch (column.code) {
            case RecordCode::Frequency:
                cell(c) = decodeFrequency(field);
                break;
            case RecordCode::Tone:
                cell(c) = decodeTone(field, frequency);
                break;
            case RecordCode::ListIndex:
                cell(c) = decodeListCode(field, frequency, channelListEntries(c));
                break;
            case RecordCode::Flag:
                if (!flags || *flags == 0xFF)
                    cell(c).clear();
                else
                    cell(c) = channelListEntries(c)[(*flags & column.flagBit) ? 1 : 0];
                break;
            case RecordCode::Name:
                cell(c) = nameText(field);
                break;
            case RecordCode::None:
                break;
        }
    }
}

std::string encodeChannel(const Document& doc, Band band, int row) {
    const ColumnInfo& flagsAt = flagsPlace();
    std::string out(static_cast<std::size_t>(kRecordChars), 'F');
    if (row < 1 || row > kRows) {
        out.replace(static_cast<std::size_t>(flagsAt.at), 2, "00");
        return out;
    }
    const ChannelTable& t = doc.table(band);
    unsigned flags = 0;
    bool anyFlagEmpty = false;
    for (int c = kFirstCellColumn; c < kColumns; ++c) {
        const ColumnInfo& column = columnInfo(c);
        const std::string& cell = t.at(c, row);
        std::string field;
        switch (column.code) {
            case RecordCode::Frequency:
                field = frequencyHex(cell);
                break;
            case RecordCode::Tone:
                field = toneCode(cell);
                break;
            case RecordCode::ListIndex:
                field = encodeListCode(cell, channelListEntries(c));
                break;
            case RecordCode::Flag:
                anyFlagEmpty = anyFlagEmpty || cell.empty();
                if (cell == channelListEntries(c)[1]) flags |= column.flagBit;
                continue;
            case RecordCode::Name:
                field = nameHex(cell);
                break;
            case RecordCode::None:
                continue;
        }
        out.replace(static_cast<std::size_t>(column.at), field.size(), field);
    }
    out.replace(static_cast<std::size_t>(flagsAt.at), 2, anyFlagEmpty ? std::string("FF") : hexByte(flags));
    return out;
}

}   // namespace pellaro
