// SPDX-License-Identifier: GPL-3.0-or-later
// The commit rules of every editor, as operations on the document.
#include "codeplug/rules.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codeplug/codes.h"
#include "codeplug/fields.h"

namespace pellaro {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Characters a codeplug file cannot give back inside a text field.
bool unstorable(char c) { return c == ',' || c == '~' || c == '\'' || c == '"'; }

// Printable ASCII that a name or a power-on message may hold.
bool nameCharacter(char key) {
    const auto u = static_cast<unsigned char>(key);
    return u >= 32 && u <= 126 && !unstorable(key);
}

bool validRow(int row) { return row >= 1 && row <= kRows; }

std::string bandEdgesText() {
    return std::to_string(VhfLow) + "~" + std::to_string(VhfHigh) + "MHZ " + std::to_string(UhfLow) + "~" +
           std::to_string(UhfHigh) + "MHZ";
}

CellSide sideOf(bool receive) { return receive ? CellSide::Receive : CellSide::Transmit; }

// A frequency commit clears every cell of its side, or writes the side's
// defaults when the frequency is new.
void clearGroup(ChannelTable& t, bool receive, int row) {
    for (int c = kFirstCellColumn; c < kColumns; ++c)
        if (columnSide(c) == sideOf(receive)) t.at(c, row).clear();
}

void writeGroupDefaults(ChannelTable& t, bool receive, int row) {
    for (int c = kFirstCellColumn; c < kColumns; ++c)
        if (columnSide(c) == sideOf(receive) && columnInfo(c).newText) t.at(c, row) = columnInfo(c).newText;
}

bool onStepRaster(std::uint64_t units) { return units % 250 == 0 || units % 625 == 0; }

bool inBand(std::uint64_t tenBillionths) {
    // The text is read with ten decimals so that nothing typed is rounded
    // into the band.
    constexpr std::uint64_t MHz = 10000000000ull;
    const auto in = [&](int lo, int hi) { return tenBillionths >= lo * MHz && tenBillionths <= hi * MHz; };
    return in(VhfLow, VhfHigh) || in(UhfLow, UhfHigh);
}

// Largest value the frequency field stores; FFFFFFFF is "none".
std::string fieldRangeMessage(std::string_view text) {
    return "'" + latin1ToUtf8(text) + "' cannot be stored: frequencies from 0 to 42949.67294 MHz only";
}

KeyOutcome dtmfFilter(std::size_t currentLength, char key, int limit, const char* message) {
    if (currentLength >= static_cast<std::size_t>(limit) && key != kBackspace) return {KeyAction::Discard, {}};
    if (key == kBackspace || key == kEnter) return {KeyAction::Accept, {}};
    if (isDigit(key) || key == '#' || key == '*' || (key >= 'A' && key <= 'D')) return {KeyAction::Accept, {}};
    return {KeyAction::Discard, message};
}

constexpr const char* kDtmfGroupMessage = "DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D";
constexpr const char* kIdentityMessage = "输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D";

std::size_t setupListSize(int editor) {
    switch (editor) {
        case 1:
        case 6:
        case 10:
        case 11:
        case 12:
        case 13:
            return 2;
        case 2:
            return kRows;
        case 4:
        case 7:
            return toneList("0FF").size();
        case 5:
        case 8:
            return signalList().size();
        case 14:
            return 3;
        case 16:
            return stepList().size();
        default:
            return 0;
    }
}

std::size_t settingsListSize(int editor) {
    switch (editor) {
        case 1:
        case 7:
        case 8:
        case 10:
        case 15:
            return 2;
        case 2:
        case 11:
            return 21;
        case 4:
        case 5:
        case 6:
        case 12:
        case 13:
            return 4;
        case 9:
        case 14:
            return 10;
        default:
            return 0;
    }
}

bool indexIn(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}   // namespace

std::string filterPaste(std::string_view current, std::string_view pasted, KeyFilterFn filter, int limit) {
    std::string text(current);
    for (char c : pasted) {
        // Line ends and other control characters of a paste are never keys.
        if (static_cast<unsigned char>(c) < 32) continue;
        if (filter(text.size(), c, limit).action == KeyAction::Accept) text.push_back(c);
    }
    return text;
}

std::string filterEdit(std::string_view before, std::string_view after, KeyFilterFn filter, int limit) {
    const std::size_t n = before.size(), m = after.size();
    // Which characters of `after` are kept from `before`: their longest
    // common subsequence (the texts are a few characters; a huge pair falls
    // back to the common beginning and end).
    std::vector<bool> kept(m, false);
    if (n * m <= (std::size_t{1} << 20)) {
        std::vector<std::vector<std::uint16_t>> lcs(n + 1, std::vector<std::uint16_t>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                lcs[i][j] = before[i] == after[j] ? static_cast<std::uint16_t>(lcs[i + 1][j + 1] + 1)
                                                  : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        for (std::size_t i = 0, j = 0; i < n && j < m;) {
            if (before[i] == after[j]) {
                kept[j++] = true;
                ++i;
            } else if (lcs[i + 1][j] >= lcs[i][j + 1]) {
                ++i;
            } else {
                ++j;
            }
        }
    } else {
        std::size_t head = 0;
        while (head < n && head < m && before[head] == after[head]) kept[head] = true, ++head;
        for (std::size_t tail = 0; tail < n - head && tail < m - head && before[n - 1 - tail] == after[m - 1 - tail];
             ++tail)
            kept[m - 1 - tail] = true;
    }
    const auto keptCount = static_cast<std::size_t>(std::count(kept.begin(), kept.end(), true));
    std::string text;
    std::size_t added = 0;
    for (std::size_t j = 0; j < m; ++j) {
        const char c = after[j];
        if (kept[j]) {
            text.push_back(c);
        } else if (static_cast<unsigned char>(c) >= 32 &&
                   filter(keptCount + added, c, limit).action == KeyAction::Accept) {
            text.push_back(c);
            ++added;
        }
    }
    return text;
}

std::string receiveRangeMessage(Band band) {
    return "Receiving Frequency in " + bandEdgesText() + (band == Band::A ? " " : "");
}

std::string transmitRangeMessage(Band band) {
    return "Transmission Frequency in " + bandEdgesText() + (band == Band::A ? " " : "");
}

// ---- channel cells -------------------------------------------------------------------

KeyOutcome channelFrequencyKey(std::size_t currentLength, char key, int limit) {
    if (key == kEnter) return {KeyAction::Commit, {}};
    if (key == kBackspace) return {KeyAction::Accept, {}};
    if (currentLength >= static_cast<std::size_t>(limit)) return {KeyAction::Discard, {}};
    if (isDigit(key) || key == '.') return {KeyAction::Accept, {}};
    return {KeyAction::Discard, {}};
}

CommitOutcome commitChannelFrequency(Document& doc, Band band, int col, int row, std::string_view typed) {
    if (columnEditor(col) != CellEditor::Frequency || !validRow(row))
        return {{}, EditorAfter::Keep, std::string(typed)};
    const bool receive = columnSide(col) == CellSide::Receive;
    ChannelTable& t = doc.table(band);

    // Empty text, or a lone ".": the channel loses this side; the editor
    // stays, empty, where it is.
    if (typed.empty() || typed == ".") {
        clearGroup(t, receive, row);
        return {{}, EditorAfter::EmptyKeep, {}};
    }
    auto refuse = [&]() -> CommitOutcome {
        clearGroup(t, receive, row);
        const std::string message = receive ? receiveRangeMessage(band) : transmitRangeMessage(band);
        if (receive && band == Band::B) return {message, EditorAfter::Keep, std::string(typed)};
        return {message, EditorAfter::EmptyHide, {}};
    };
    if (std::count(typed.begin(), typed.end(), '.') > 1) return refuse();

    // Leading zeros go before completion, so 0145.5 reads as 145.50000.
    std::string text(typed);
    std::size_t zeros = 0;
    while (zeros + 1 < text.size() && text[zeros] == '0' && isDigit(text[zeros + 1])) ++zeros;
    text.erase(0, zeros);
    if (text.find('.') == std::string::npos) text += '.';
    if (text.size() < 9) text.append(9 - text.size(), '0');

    const auto value = parseDecimalScaled(text, 10);
    if (!value) return {notAFloatMessage(typed), EditorAfter::Keep, std::string(typed)};
    if (value->negative || !inBand(value->magnitude)) return refuse();

    if (text == t.at(col, row)) return {{}, EditorAfter::EmptyHide, {}};

    std::uint64_t units = value->magnitude / 100000;
    // Off the channel step raster: up to the next multiple of 250 above it.
    if (!onStepRaster(units)) units = (units / 250 + 1) * 250;
    t.at(col, row) = frequencyText(static_cast<std::uint32_t>(units));
    writeGroupDefaults(t, receive, row);
    return {{}, EditorAfter::EmptyHide, {}};
}

KeyOutcome channelNameKey(std::size_t currentLength, char key, int limit) {
    if (key == kEnter) return {KeyAction::Commit, {}};
    if (key == kBackspace) return {KeyAction::Accept, {}};
    if (!nameCharacter(key) || currentLength >= static_cast<std::size_t>(limit)) return {KeyAction::Discard, {}};
    return {KeyAction::Accept, {}};
}

CommitOutcome commitChannelName(Document& doc, Band band, int row, std::string_view text) {
    if (!validRow(row)) return {{}, EditorAfter::EmptyHide, {}};
    std::string& cell = doc.table(band).at(colOf(Column::Name), row);
    if (text == cell) return {{}, EditorAfter::EmptyHide, {}};   // left as it was
    // A name read from the radio or a file may hold characters that typing
    // cannot give: they stay; what was typed or pasted meets the key rules.
    cell = filterEdit(cell, text, &channelNameKey, 7);
    // A codeplug file reads a cell of one blank back as empty; such a name
    // shows nothing on the radio either, so it is kept as no name.
    if (cell == " ") cell.clear();
    return {{}, EditorAfter::EmptyHide, {}};
}

void commitChannelList(Document& doc, Band band, int col, int row, std::string_view entry) {
    if (!validRow(row) || columnEditor(col) != CellEditor::List) return;
    doc.table(band).at(col, row) = std::string(entry);
}

const std::vector<std::string>& channelListEntries(int col) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> narrowWide = {"Narrow", "Wide"};
    switch (isCellColumn(col) ? columnInfo(col).list : CellList::None) {
        case CellList::Tones:
            return toneList("OFF");
        case CellList::Mode:
            return channelModeList();
        case CellList::Signals:
            return signalList();
        case CellList::LowHigh:
            return lists::lowHigh();
        case CellList::NarrowWide:
            return narrowWide;
        case CellList::OffOn:
            return lists::offOn();
        case CellList::None:
            return none;
    }
    return none;
}

bool channelEditorOffered(const Document& doc, Band band, int col, int row) {
    if (!validRow(row)) return false;
    const ChannelTable& t = doc.table(band);
    switch (columnEditor(col)) {
        case CellEditor::Frequency:
            return true;
        case CellEditor::List:
        case CellEditor::Name:
            return !t.at(sideFrequencyColumn(columnSide(col)), row).empty();
        case CellEditor::None:
            return false;
    }
    return false;
}

// ---- band set-up pages -------------------------------------------------------------------

void pickSetupList(Document& doc, Band band, int editor, int index) {
    if (editor < 1 || editor > 16 || !indexIn(index, setupListSize(editor))) return;
    doc.vfo(band).sel[static_cast<std::size_t>(editor)] = index;
    std::string code;
    if (editor == 4 || editor == 7)
        code = toneCode(toneList("0FF")[static_cast<std::size_t>(index)]);
    else if (editor == 16)
        code = hexWord(stepValues()[static_cast<std::size_t>(index)]);
    else
        code = hexByte(static_cast<unsigned>(index));   // entry position; channel number minus 1
    fields::splice(doc, fields::vfoField(band, editor), code);
}

CommitOutcome commitSetupRxFrequency(Document& doc, Band band, std::string_view text, Trigger how) {
    BandSetup& v = doc.vfo(band);
    const fields::Field field = fields::vfoField(band, 3);
    v.rxFreq = std::string(text);
    const FreqParse p = parseFrequency(text);
    if (p.error == FreqError::NotANumber) return {notAFloatMessage(text), EditorAfter::Keep, v.rxFreq};
    if (p.error == FreqError::None && p.units == kNoFrequency) {
        fields::splice(doc, field, "FFFFFFFF");
        return {{}, EditorAfter::Keep, {}};
    }
    const std::uint32_t lo = VhfLow * 100000u, hi = VhfHigh * 100000u;
    if (p.error == FreqError::OutOfRange || p.units < lo || p.units > hi) {
        const char* leadIn =
            (band == Band::A && how == Trigger::Exit) ? "Receiving Frequency in" : "Receive Frequency in ";
        v.rxFreq.clear();
        fields::splice(doc, field, "FFFFFFFF");
        return {leadIn + std::to_string(VhfLow) + "MHZ~" + std::to_string(VhfHigh) + "MHZ", EditorAfter::EmptyKeep, {}};
    }
    fields::splice(doc, field, hexDword(p.units));
    return {{}, EditorAfter::Keep, v.rxFreq};
}

CommitOutcome commitSetupOffset(Document& doc, Band band, std::string_view text) {
    BandSetup& v = doc.vfo(band);
    v.offset = std::string(text);
    const FreqParse p = parseFrequency(text);
    if (p.error == FreqError::NotANumber) return {notAFloatMessage(text), EditorAfter::Keep, v.offset};
    // Negative or too large: nothing is stored, the mirror keeps its value.
    if (p.error == FreqError::OutOfRange) return {fieldRangeMessage(text), EditorAfter::Keep, v.offset};
    fields::splice(doc, fields::vfoField(band, 15), hexDword(p.units));
    return {{}, EditorAfter::Keep, v.offset};
}

// ---- comprehensive settings --------------------------------------------------------------

void pickSettingsList(Document& doc, int editor, int index) {
    if (editor < 1 || editor > 15 || !indexIn(index, settingsListSize(editor))) return;
    static constexpr unsigned kTones[] = {0x03E8, 0x05AA, 0x06D6, 0x0834};
    static constexpr unsigned kTimes[] = {0x0032, 0x0064, 0x0096, 0x00C8};
    doc.gn[static_cast<std::size_t>(editor)] = index;
    std::string code;
    if (editor == 12)
        code = hexWord(kTones[index]);
    else if (editor == 13)
        code = hexWord(kTimes[index]);
    else
        code = hexByte(static_cast<unsigned>(index));   // gn1: 00 "A/upper Band ", 01 "B/Under Band"
    fields::splice(doc, fields::kSettings[static_cast<std::size_t>(editor)], code);
}

CommitOutcome commitFmFrequency(Document& doc, std::string_view text) {
    const fields::Field& field = fields::kSettings[3];
    doc.gn3 = std::string(text);
    if (text.empty()) {
        fields::splice(doc, field, "FFFF");
        return {{}, EditorAfter::Keep, {}};
    }
    const auto v = parseDecimalScaled(text, 1);   // 100 kHz units
    if (!v) return {notAFloatMessage(text), EditorAfter::Keep, doc.gn3};
    if ((v->negative && v->magnitude != 0) || v->magnitude < 880 || v->magnitude > 1080) {
        doc.gn3.clear();
        fields::splice(doc, field, "FFFF");
        return {"FM Frequency 88~108MHz", EditorAfter::EmptyKeep, {}};
    }
    fields::splice(doc, field, hexWord(static_cast<unsigned>(v->magnitude)));
    return {{}, EditorAfter::Keep, doc.gn3};
}

// ---- DTMF page --------------------------------------------------------------------------------

int dtmfLimit(int editor) { return editor >= 11 ? 5 : 7; }

KeyOutcome dtmfKey(int editor, std::size_t currentLength, char key) {
    return dtmfFilter(currentLength, key, dtmfLimit(editor), editor <= 8 ? kDtmfGroupMessage : kIdentityMessage);
}

KeyOutcome dtmfKeyFilter(std::size_t currentLength, char key, int limit) {
    return dtmfFilter(currentLength, key, limit, kDtmfGroupMessage);
}

std::string dtmfKeyUp(Document& doc, int editor, std::string_view text) {
    if (editor < 1 || editor > 16) return std::string(text);
    // Whatever arrives (typed or pasted) is held to the key rules, so the
    // group in the mirror always matches the editor.
    const std::string clean = filterPaste({}, text, &dtmfKeyFilter, dtmfLimit(editor));
    (editor <= 8 ? doc.sy[static_cast<std::size_t>(editor)] : doc.sypz[static_cast<std::size_t>(editor - 8)]) = clean;
    fields::splice(doc, fields::kDtmf[static_cast<std::size_t>(editor)],
                   dtmfGroupHex(clean, fields::dtmfPositions(editor)));
    return clean;
}

void pickState(Document& doc, int index) {
    if (indexIn(index, lists::state().size())) doc.sypz9 = index;
}

// ---- limit page -----------------------------------------------------------------------------------

KeyOutcome messageKey(std::size_t currentLength, char key, int limit) {
    if (key == kBackspace) return {KeyAction::Accept, {}};
    if (currentLength >= static_cast<std::size_t>(limit) || !nameCharacter(key)) return {KeyAction::Discard, {}};
    return {KeyAction::Accept, {}};
}

CommitOutcome commitMessage(Document& doc, int which, std::string_view text) {
    if (which != 1 && which != 2) return {{}, EditorAfter::Keep, std::string(text)};
    const fields::Field& field = fields::kMessage[static_cast<std::size_t>(which)];
    // The message as k10 holds it (read from the radio or a file, or the
    // last commit). Committing it unchanged rewrites nothing, so bytes the
    // radio keeps there survive; an edit keeps what it did not touch.
    const std::string held = nameText(fields::fieldIn(doc.k[10], 0, field));
    const std::string clean = filterEdit(held, text, &messageKey, 7);
    (which == 1 ? doc.kaiji1 : doc.kaiji2) = clean;
    if (clean != held) fields::splice(doc, field, nameHex(clean));
    return {{}, EditorAfter::Keep, clean};
}

KeyOutcome limitKey(int which, char key) {
    if (key == kEnter) return {which >= 1 && which <= 3 ? KeyAction::Next : KeyAction::Discard, {}};
    if (key == kBackspace || isDigit(key) || key == '.') return {KeyAction::Accept, {}};
    return {KeyAction::Discard, {}};
}

KeyOutcome limitKeyFilter(std::size_t, char key, int) { return limitKey(4, key); }

CommitOutcome commitLimit(Document& doc, int which, std::string_view text) {
    if (which < 1 || which > 4) return {{}, EditorAfter::Keep, std::string(text)};
    std::string& editor = doc.xp[static_cast<std::size_t>(which)];
    editor = std::string(text);
    const FreqParse p = parseFrequency(text);
    if (p.error == FreqError::NotANumber) return {notAFloatMessage(text), EditorAfter::Keep, editor};
    if (p.error == FreqError::OutOfRange) return {fieldRangeMessage(text), EditorAfter::Keep, editor};
    fields::splice(doc, fields::kLimit[static_cast<std::size_t>(which)], hexDword(p.units));
    return {{}, EditorAfter::Keep, editor};
}

void pickLimitMode(Document& doc, int index) {
    if (!indexIn(index, lists::offOn().size())) return;
    doc.xp5 = index;
    fields::splice(doc, fields::kLimit[5], hexByte(static_cast<unsigned>(index)));
}

}   // namespace pellaro
