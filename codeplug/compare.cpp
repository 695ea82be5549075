// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two codeplugs: channels by the record bytes their cells give,
// settings by their shown values, then the mirror bytes left unexplained.
#include "codeplug/compare.h"

#include <algorithm>

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/report.h"
#include "codeplug/settings_view.h"

namespace pellaro {

namespace {

constexpr const char* kArrow = " \xE2\x86\x92 ";   // " → "

// One side of a comparison: the document whose cells and editors are shown,
// and where its record bytes come from (an image as sent or received, or the
// document's own encoding).
struct Side {
    const Document& doc;
    const MemoryImage* image = nullptr;

    std::string record(Band band, int row) const {
        if (!image) return encodeChannel(doc, band, row);
        return (*image)[static_cast<std::size_t>(channelBlock(band, row))].substr(
            static_cast<std::size_t>(recordOffsetInBlock(row)), kRecordChars);
    }
    std::string state() const { return image ? (*image)[kStateBlock] : writeData(doc, kStateBlock); }
};

std::string shownText(const std::string& utf8) { return utf8.empty() ? "(empty)" : utf8; }

// "00E4F548" as "00 E4 F5 48".
std::string spacedBytes(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        if (!out.empty()) out += ' ';
        out += hex.substr(i, 2);
    }
    return out;
}

std::string addressText(unsigned address) { return "0x" + hexWord(address); }

// The flags byte is compared bit by bit, one flag column per bit.
std::string flagsPiece(std::string_view record, const ColumnInfo& flag) {
    const auto flags = hexValue(record.substr(static_cast<std::size_t>(flag.at), 2)).value_or(0xFF);
    if (flags == 0xFF) return "FF";
    return (flags & flag.flagBit) ? "1" : "0";
}

void channelDifference(std::vector<Difference>& out, const Side& a, const Side& b, Band band, int row, int col,
                       std::size_t at, std::size_t len, const std::string& ra, const std::string& rb) {
    Difference d;
    d.kind = Difference::Kind::Channel;
    d.band = band;
    d.channel = row;
    d.column = col;
    d.address = static_cast<std::uint16_t>(channelAddress(band, row) + at / 2);
    d.before = shownText(latin1ToUtf8(a.doc.table(band).at(col, row)));
    d.after = shownText(latin1ToUtf8(b.doc.table(band).at(col, row)));
    d.text = placeText({0, band, row, col, {}}) + ": " + d.before + kArrow + d.after;
    // The cells read the same but the radio would not hold the same bytes.
    if (d.before == d.after)
        d.text += " (" + addressText(d.address) + ": " + spacedBytes(ra.substr(at, len)) + kArrow +
                  spacedBytes(rb.substr(at, len)) + ")";
    out.push_back(std::move(d));
}

void compareChannels(std::vector<Difference>& out, const Side& a, const Side& b) {
    for (Band band : {Band::A, Band::B}) {
        for (int row = 1; row <= kRows; ++row) {
            std::string ra = a.record(band, row), rb = b.record(band, row);
            ra.resize(kRecordChars, 'F');
            rb.resize(kRecordChars, 'F');
            if (ra == rb) continue;
            bool anyFlag = false;
            int firstFlag = -1;
            for (int col = kFirstCellColumn; col < kColumns; ++col) {
                const ColumnInfo& p = columnInfo(col);
                const auto at = static_cast<std::size_t>(p.at), len = static_cast<std::size_t>(p.length);
                if (p.code == RecordCode::Flag) {
                    if (firstFlag < 0) firstFlag = col;
                    if (flagsPiece(ra, p) != flagsPiece(rb, p)) {
                        anyFlag = true;
                        channelDifference(out, a, b, band, row, col, at, len, ra, rb);
                    }
                    // Bits no cell shows (the low nibble, as a radio may hold it)
                    // go with the first flag cell, after the last.
                    const bool lastFlag = col + 1 == kColumns || columnInfo(col + 1).code != RecordCode::Flag;
                    if (lastFlag && !anyFlag && ra.compare(at, len, rb, at, len) != 0)
                        channelDifference(out, a, b, band, row, firstFlag, at, len, ra, rb);
                    continue;
                }
                if (ra.compare(at, len, rb, at, len) != 0)
                    channelDifference(out, a, b, band, row, col, at, len, ra, rb);
            }
        }
    }
}

Difference memoryDifference(const SettingsPage& page, int mirror, unsigned address, std::string_view bytesA,
                            std::string_view bytesB) {
    Difference d;
    d.kind = Difference::Kind::Memory;
    d.page = page.title;
    d.pageId = page.id;
    d.mirror = mirror;
    d.address = static_cast<std::uint16_t>(address);
    d.before = spacedBytes(bytesA);
    d.after = spacedBytes(bytesB);
    const std::size_t count = bytesA.size() / 2;
    d.text = (mirror > 0 ? "k" + std::to_string(mirror) + " " : std::string()) + addressText(address) +
             (count > 1 ? "-" + addressText(address + static_cast<unsigned>(count) - 1) : std::string()) + ": " +
             d.before + kArrow + d.after;
    return d;
}

// The settings of one page, then the bytes of the page's mirrors that differ
// while no setting of the page says so.
void comparePage(std::vector<Difference>& out, const SettingsPage& pa, const SettingsPage& pb, const Side& a,
                 const Side& b) {
    // Which setting writes each character of each mirror; -1 for none.
    std::array<std::vector<int>, 16> owner;
    std::vector<bool> reported(pa.settings.size(), false);
    for (std::size_t i = 0; i < pa.settings.size(); ++i) {
        const ShownSetting& sa = pa.settings[i];
        const ShownSetting& sb = pb.settings[i];
        if (sa.mirror > 0) {
            std::vector<int>& o = owner[static_cast<std::size_t>(sa.mirror)];
            o.resize(static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(sa.mirror)]), -1);
            for (int c = 0; c < sa.width; ++c) o[static_cast<std::size_t>(sa.first - 1 + c)] = static_cast<int>(i);
        }
        if (sameShownValue(sa.kind, sa.value, sb.value)) continue;
        reported[i] = true;
        Difference d;
        d.kind = Difference::Kind::Setting;
        d.page = pa.title;
        d.pageId = pa.id;
        d.label = sa.label;
        d.mirror = sa.mirror;
        d.before = shownText(sa.value);
        d.after = shownText(sb.value);
        d.text = placeText(settingPlace(pa.title, sa.label)) + ": " + d.before + kArrow + d.after;
        out.push_back(std::move(d));
    }

    auto note = [&](int setting) {
        return setting < 0 ? std::string()
                           : " (" + plainLabel(pa.settings[static_cast<std::size_t>(setting)].label) + " shows " +
                                 shownText(pa.settings[static_cast<std::size_t>(setting)].value) + " on both)";
    };
    for (int n = 1; n <= 15; ++n) {
        if (mirrorPageId(n) != pa.id) continue;
        const std::string ma = fields::fittedMirror(a.doc, n), mb = fields::fittedMirror(b.doc, n);
        if (ma == mb) continue;
        std::vector<int> o = owner[static_cast<std::size_t>(n)];
        o.resize(ma.size(), -1);
        // Runs of bytes of one owner, cut to their first and last differing byte.
        for (std::size_t start = 0; start < ma.size();) {
            std::size_t end = start;
            while (end < ma.size() && o[end] == o[start]) end += 2;
            std::size_t first = end, last = start;
            for (std::size_t c = start; c < end; c += 2)
                if (ma.compare(c, 2, mb, c, 2) != 0) {
                    first = std::min(first, c);
                    last = c;
                }
            const int who = o[start];
            if (first < end && !(who >= 0 && reported[static_cast<std::size_t>(who)])) {
                Difference d = memoryDifference(pa, n, mirrorAddress(n) + static_cast<unsigned>(first / 2),
                                                std::string_view(ma).substr(first, last + 2 - first),
                                                std::string_view(mb).substr(first, last + 2 - first));
                d.text += note(who);
                out.push_back(std::move(d));
            }
            start = end;
        }
    }
    // The state byte has no mirror: its bytes count when the list shows the
    // same on both sides (a value the list has no entry for).
    if (pa.id == PageId::Dtmf && !reported.back()) {
        std::string sa = a.state(), sb = b.state();
        sa.resize(2, 'F');
        sb.resize(2, 'F');
        if (sa != sb) {
            Difference d = memoryDifference(pa, 0, blockInfo(kStateBlock).address, sa, sb);
            d.text = "state byte " + d.text + note(static_cast<int>(pa.settings.size()) - 1);
            out.push_back(std::move(d));
        }
    }
}

std::vector<Difference> compareSides(const Side& a, const Side& b) {
    std::vector<Difference> out;
    compareChannels(out, a, b);
    const std::vector<SettingsPage> pa = settingsPages(a.doc), pb = settingsPages(b.doc);
    for (std::size_t p = 0; p < pa.size(); ++p) comparePage(out, pa[p], pb[p], a, b);
    return out;
}

// Two images brought to the block lengths, upper-case hex, anything else as
// F. Where one side's text of a block is shorter (a read-back that got less),
// both are cut to it, so the bytes one side lacks compare equal.
std::pair<MemoryImage, MemoryImage> fitted(const MemoryImage& a, const MemoryImage& b) {
    auto clean = [](std::string t, std::size_t keep, std::size_t length) {
        t.resize(keep);
        t.resize(length, 'F');
        for (char& c : t) {
            if (c >= 'a' && c <= 'f')
                c = static_cast<char>(c - 'a' + 'A');
            else if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
                c = 'F';
        }
        return t;
    };
    std::pair<MemoryImage, MemoryImage> out;
    for (std::size_t n = 0; n < static_cast<std::size_t>(kBlockCount); ++n) {
        const std::size_t length = static_cast<std::size_t>(blockInfo(static_cast<int>(n)).length) * 2;
        const std::size_t keep = std::min({a[n].size(), b[n].size(), length});
        out.first[n] = clean(a[n], keep, length);
        out.second[n] = clean(b[n], keep, length);
    }
    return out;
}

// What a full read of the image would show: every block through the decoders
// into a document in the start-up state.
Document decoded(const MemoryImage& image) {
    Document doc;
    for (int n = 0; n < kBlockCount; ++n) dispatchReply(doc, n, image[static_cast<std::size_t>(n)]);
    return doc;
}

}   // namespace

std::vector<Difference> compareDocuments(const Document& a, const Document& b) {
    return compareSides(Side{a}, Side{b});
}

MemoryImage writeImage(const Document& doc) {
    MemoryImage image;
    for (int n = 0; n < kBlockCount; ++n) image[static_cast<std::size_t>(n)] = writeData(doc, n);
    return image;
}

std::vector<Difference> compareImages(const MemoryImage& a, const MemoryImage& b) {
    const auto [fa, fb] = fitted(a, b);
    const Document da = decoded(fa), db = decoded(fb);
    return compareSides(Side{da, &fa}, Side{db, &fb});
}

}   // namespace pellaro
