// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer schedule, the reply dispatch, the write data and the decoders
// of the non-channel blocks.
#include "codeplug/memory_map.h"

#include <algorithm>

#include "codeplug/codes.h"
#include "codeplug/fields.h"

namespace pellaro {

using fields::Field;
using fields::fieldIn;
using fields::kMirrorPlace;

namespace fields {

std::string fittedMirror(const Document& doc, int n) {
    const auto len = static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(n)]);
    std::string m = doc.k[static_cast<std::size_t>(n)];
    m.resize(len, 'F');
    for (char& c : m) {
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!isHexText(std::string_view(&c, 1)))
            c = 'F';
    }
    return m;
}

void splice(Document& doc, const Field& f, std::string_view code) {
    if (f.mirror <= 0) return;
    std::string& m = doc.k[static_cast<std::size_t>(f.mirror)];
    if (m.size() != static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(f.mirror)]))
        m = fittedMirror(doc, f.mirror);
    std::string c(code.substr(0, static_cast<std::size_t>(f.width)));
    c.resize(static_cast<std::size_t>(f.width), 'F');
    m.replace(static_cast<std::size_t>(f.first - 1), c.size(), c);
}

}   // namespace fields

// ---- schedule -------------------------------------------------------------------

BlockInfo blockInfo(int block) {
    constexpr std::uint16_t kChannelBlockLength = kRecordBytes * kRecordsPerBlock;
    if (block >= 0 && block < kChannelBlocks) {
        const BandLayout& band = bandLayout(blockBand(block));
        return {static_cast<std::uint16_t>(band.base + (block - band.firstBlock) * kChannelBlockLength),
                kChannelBlockLength, 2 * kChannelBlockLength};
    }
    switch (block) {
        case kVfoABlock:
            return {0x0300, 0x30, 96};
        case kVfoBBlock:
            return {0x0380, 0x30, 96};
        case kGeneralBlock:
            return {0x0200, 0x30, 96};
        case kDtmfBlock:
            return {0x0240, 0x30, 96};
        case kDtmf78Block:
            return {0x0270, 0x10, 32};
        case kIdentityBlock:
            return {0x0280, 0x40, 128};
        case kStateBlock:
            return {0x02C0, 0x01, 2};
        case kMessagesBlock:
            return {0x02D0, 0x21, 66};
        default:
            return {0, 0, 0};
    }
}

std::string readRequest(int block) {
    const BlockInfo b = blockInfo(block);
    return "52454144" + hexWord(b.address) + hexWord(b.length);
}

bool readReplyAccepted(int block, std::size_t chars) {
    if (block < 0 || block >= kBlockCount) return false;
    // The radio's 48-byte answer is taken at every block.
    return chars == 96 || chars == static_cast<std::size_t>(blockInfo(block).replyChars);
}

// ---- decoders ---------------------------------------------------------------------

namespace {

// Offset of a field's mirror inside its block text.
int blockOffset(const Field& f) { return kMirrorPlace[static_cast<std::size_t>(f.mirror)].offset; }

// A small hex value of a field, or nothing when absent or not hex.
std::optional<std::uint32_t> valueAt(std::string_view text, int offset, const Field& f) {
    const std::string_view s = fieldIn(text, offset, f);
    if (s.empty()) return std::nullopt;
    return hexValue(s);
}

// Sets `sel` to the value when it is at most `max`; otherwise leaves it.
void selectUpTo(int& sel, std::optional<std::uint32_t> v, std::uint32_t max) {
    if (v && *v <= max) sel = static_cast<int>(*v);
}

// A tone code of a set-up record as an entry of the "0FF" tone list; a code
// that matches no entry ends on the last entry.
int setupToneIndex(std::string_view code) {
    const std::string text = toneIsOff(code) ? std::string("0FF") : toneText(code);
    const auto& list = toneList("0FF");
    const auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? static_cast<int>(list.size()) - 1 : static_cast<int>(it - list.begin());
}

// The DTMF and identity editors whose mirror lies in `block`, each taken only
// when the text holds its whole mirror (a short answer leaves the others).
void decodeDtmfEditors(Document& doc, int block, std::string_view hex) {
    for (int e = 1; e <= 16; ++e) {
        const Field& f = fields::kDtmf[static_cast<std::size_t>(e)];
        const auto& place = kMirrorPlace[static_cast<std::size_t>(f.mirror)];
        if (place.block != block) continue;
        if (static_cast<std::size_t>(place.offset + kMirrorLength[static_cast<std::size_t>(f.mirror)]) > hex.size())
            continue;
        std::string& editor = e <= 8 ? doc.sy[static_cast<std::size_t>(e)] : doc.sypz[static_cast<std::size_t>(e - 8)];
        editor = dtmfGroupText(fieldIn(hex, place.offset, f), fields::dtmfPositions(e));
    }
}

}   // namespace

void decodeVfo(Document& doc, Band band, std::string_view hex) {
    BandSetup& v = doc.vfo(band);
    auto field = [&](int editor) { return fields::vfoField(band, editor); };
    auto value = [&](int editor) {
        const Field f = field(editor);
        return valueAt(hex, blockOffset(f), f);
    };

    // Working mode: 2 and 3 select no entry, anything above 3 the first.
    if (const auto m = value(1)) v.sel[1] = *m <= 1 ? static_cast<int>(*m) : (*m <= 3 ? -1 : 0);
    if (const auto c = value(2)) v.sel[2] = *c <= 127 ? static_cast<int>(*c) : 0;
    if (const auto f = value(3)) v.rxFreq = frequencyText(*f);
    for (int tone : {4, 7}) {
        const Field f = field(tone);
        const std::string_view code = fieldIn(hex, blockOffset(f), f);
        if (!code.empty() && isHexText(code)) v.sel[static_cast<std::size_t>(tone)] = setupToneIndex(code);
    }
    selectUpTo(v.sel[6], value(6), 1);
    selectUpTo(v.sel[8], value(8), 17);
    selectUpTo(v.sel[5], value(5), 17);
    for (int e : {10, 11, 12, 13}) selectUpTo(v.sel[static_cast<std::size_t>(e)], value(e), 1);
    selectUpTo(v.sel[14], value(14), 2);
    if (const auto o = value(15)) v.offset = frequencyText(*o);
    const Field step = field(16);
    if (const auto i = stepIndexFromCode(fieldIn(hex, blockOffset(step), step))) v.sel[16] = *i;
}

void decodeSettings(Document& doc, std::string_view hex) {
    auto value = [&](int editor) { return valueAt(hex, 0, fields::kSettings[static_cast<std::size_t>(editor)]); };
    auto& gn = doc.gn;
    selectUpTo(gn[1], value(1), 1);   // 00 "A/upper Band ", 01 "B/Under Band"
    selectUpTo(gn[2], value(2), 20);
    if (const auto fm = value(3)) {
        if (*fm == 0xFFFF) {
            doc.gn3.clear();
        } else {
            std::string t = std::to_string(*fm);
            if (t.size() < 2) t.insert(0, "0");
            doc.gn3 = t.substr(0, t.size() - 1) + "." + t.back();
        }
    }
    // Backlights: 4 to 7 select no entry (the list has four).
    for (int e : {4, 5, 6})
        if (const auto b = value(e); b && *b <= 7)
            gn[static_cast<std::size_t>(e)] = *b <= 3 ? static_cast<int>(*b) : -1;
    selectUpTo(gn[7], value(7), 1);
    selectUpTo(gn[8], value(8), 1);
    selectUpTo(gn[9], value(9), 9);
    if (const auto b = value(10); b && *b <= 9) gn[10] = *b <= 1 ? static_cast<int>(*b) : -1;
    selectUpTo(gn[11], value(11), 20);
    static constexpr std::uint32_t kTones[] = {0x03E8, 0x05AA, 0x06D6, 0x0834};
    static constexpr std::uint32_t kTimes[] = {0x0032, 0x0064, 0x0096, 0x00C8};
    for (int i = 0; i < 4; ++i) {
        if (value(12) == kTones[i]) gn[12] = i;
        if (value(13) == kTimes[i]) gn[13] = i;
    }
    selectUpTo(gn[14], value(14), 9);
    selectUpTo(gn[15], value(15), 1);
}

void decodeDtmf131(Document& doc, std::string_view hex) { decodeDtmfEditors(doc, kDtmfBlock, hex); }
void decodeDtmf132(Document& doc, std::string_view hex) { decodeDtmfEditors(doc, kDtmf78Block, hex); }
void decodeIdentity(Document& doc, std::string_view hex) { decodeDtmfEditors(doc, kIdentityBlock, hex); }

void decodeState(Document& doc, std::string_view hex2) {
    if (hex2.size() < 2) return;
    selectUpTo(doc.sypz9, hexValue(hex2.substr(0, 2)), 2);
}

void decodeMessages(Document& doc, std::string_view hex32) {
    const std::string_view m1 = fieldIn(hex32, 0, fields::kMessage[1]);
    const std::string_view m2 = fieldIn(hex32, 0, fields::kMessage[2]);
    if (!m1.empty()) doc.kaiji1 = nameText(m1);
    if (!m2.empty()) doc.kaiji2 = nameText(m2);
}

void decodeLimits(Document& doc, std::string_view hex) {
    for (int i = 1; i <= 4; ++i)
        if (const auto v = valueAt(hex, 0, fields::kLimit[static_cast<std::size_t>(i)]))
            doc.xp[static_cast<std::size_t>(i)] = limitText(*v);
    selectUpTo(doc.xp5, valueAt(hex, 0, fields::kLimit[5]), 1);
}

// ---- dispatch ------------------------------------------------------------------------

void dispatchReply(Document& doc, int block, std::string_view reply) {
    if (block < 0 || block >= kBlockCount || !isHexText(reply)) return;
    std::string hex(reply);
    for (char& c : hex)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    const std::string_view h = hex;

    if (block < kChannelBlocks) {
        const Band band = blockBand(block);
        const int first = blockFirstChannel(block);
        for (int r = 0; r < kRecordsPerBlock && first + r <= kChannelsPerBand; ++r) {
            const auto at = static_cast<std::size_t>(recordOffsetInBlock(first + r));
            if (h.size() >= at + kRecordChars) decodeChannel(doc, band, first + r, h.substr(at, kRecordChars));
        }
        return;
    }
    switch (block) {
        case kVfoABlock:
            decodeVfo(doc, Band::A, h);
            break;
        case kVfoBBlock:
            decodeVfo(doc, Band::B, h);
            break;
        case kGeneralBlock:
            decodeSettings(doc, h);
            break;
        case kDtmfBlock:
            decodeDtmf131(doc, h);
            break;
        case kDtmf78Block:
            decodeDtmf132(doc, h);
            break;
        case kIdentityBlock:
            decodeIdentity(doc, h);
            break;
        case kStateBlock:
            decodeState(doc, h);
            break;
        case kMessagesBlock:
            if (h.size() >= 32) decodeMessages(doc, h.substr(0, 32));
            if (h.size() >= 66) decodeLimits(doc, h.substr(32, 34));
            break;
        default:
            break;
    }
    // Mirrors take their characters only when the reply holds all of them.
    for (int n = 1; n <= 15; ++n) {
        const auto& place = kMirrorPlace[static_cast<std::size_t>(n)];
        const auto len = static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(n)]);
        if (place.block == block && static_cast<std::size_t>(place.offset) + len <= h.size())
            doc.k[static_cast<std::size_t>(n)] = std::string(h.substr(static_cast<std::size_t>(place.offset), len));
    }
}

// ---- write data ------------------------------------------------------------------------

std::string writeData(const Document& doc, int block) {
    if (block < 0 || block >= kBlockCount) return {};
    if (block < kChannelBlocks) {
        const Band band = blockBand(block);
        const int first = blockFirstChannel(block);
        std::string data;
        for (int r = 0; r < kRecordsPerBlock; ++r) data += encodeChannel(doc, band, first + r);
        return data;
    }
    if (block == kStateBlock) return hexByte(static_cast<unsigned>(doc.sypz9));   // "no entry" writes FF
    std::string data;
    for (int n = 1; n <= 15; ++n)
        if (kMirrorPlace[static_cast<std::size_t>(n)].block == block) data += fields::fittedMirror(doc, n);
    // Spare bytes after the records go out as FF.
    data.resize(static_cast<std::size_t>(blockInfo(block).length) * 2, 'F');
    return data;
}

std::string writeRequest(const Document& doc, int block) {
    const BlockInfo b = blockInfo(block);
    return "57524945" + hexWord(b.address) + hexWord(b.length) + writeData(doc, block);
}

}   // namespace pellaro
