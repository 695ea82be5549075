// SPDX-License-Identifier: GPL-3.0-or-later
// The 24-byte channel record and the cells of its channel table row.
#include <string>

#include "codeplug/codes.h"
#include "codeplug/memory_map.h"

namespace pellaro {

namespace {

// Record characters (counted from 0) of each field.
constexpr std::size_t kRxFreq = 0, kRxTone = 8, kRxMode = 12, kTxFreq = 14, kTxTone = 22,
                      kLaunch = 26, kEnd = 28, kFlags = 30, kName = 32;

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

// Signalling cell: empty is not set (FF), otherwise its place in the list.
std::string encodeSignal(const std::string& cell) {
    if (cell.empty()) return "FF";
    const auto i = signalIndex(cell);
    return i ? hexByte(static_cast<unsigned>(*i)) : "FF";
}

}  // namespace

void decodeChannel(Document& doc, Band band, int row, std::string_view hex48) {
    if (row < 1 || row > kRows || hex48.size() < 48) return;
    ChannelTable& t = doc.table(band);
    auto cell = [&](int col) -> std::string& { return t.at(col, row); };

    cell(1) = decodeFrequency(hex48.substr(kRxFreq, 8));
    cell(2) = decodeTone(hex48.substr(kRxTone, 4), cell(1));
    cell(3) = decodeListCode(hex48.substr(kRxMode, 2), cell(1), channelModeList());
    cell(4) = decodeFrequency(hex48.substr(kTxFreq, 8));
    cell(5) = decodeTone(hex48.substr(kTxTone, 4), cell(4));
    cell(6) = decodeListCode(hex48.substr(kLaunch, 2), cell(4), signalList());
    cell(7) = decodeListCode(hex48.substr(kEnd, 2), cell(4), signalList());

    const auto flags = hexValue(hex48.substr(kFlags, 2));
    if (!flags || *flags == 0xFF) {
        for (int c = 8; c <= 11; ++c) cell(c).clear();
    } else {
        cell(8) = (*flags & 0x80) ? "High" : "Low";
        cell(9) = (*flags & 0x40) ? "Wide" : "Narrow";
        cell(10) = (*flags & 0x20) ? "ON" : "OFF";
        cell(11) = (*flags & 0x10) ? "ON" : "OFF";
    }
    cell(12) = nameText(hex48.substr(kName, 16));
}

std::string encodeChannel(const Document& doc, Band band, int row) {
    if (row < 1 || row > kRows) return std::string(32, 'F') + "00" + std::string(14, 'F');
    const ChannelTable& t = doc.table(band);
    auto cell = [&](int col) -> const std::string& { return t.at(col, row); };

    std::string out;
    out.reserve(48);
    out += frequencyHex(cell(1));
    out += toneCode(cell(2));
    // "OFF" in the mode column is what a newly filled channel holds: not set.
    const std::string& mode = cell(3);
    out += mode == "QT/DQT" ? "00" : mode == "QT/DQT+Signaling" ? "01" : "FF";
    out += frequencyHex(cell(4));
    out += toneCode(cell(5));
    out += encodeSignal(cell(6));
    out += encodeSignal(cell(7));

    bool anyEmpty = false;
    for (int c = 8; c <= 11; ++c) anyEmpty = anyEmpty || cell(c).empty();
    if (anyEmpty) {
        out += "FF";
    } else {
        unsigned flags = 0;
        if (cell(8) == "High") flags |= 0x80;
        if (cell(9) == "Wide") flags |= 0x40;
        if (cell(10) == "ON") flags |= 0x20;
        if (cell(11) == "ON") flags |= 0x10;
        out += hexByte(flags);
    }
    out += nameHex(cell(12));
    return out;
}

}  // namespace pellaro
