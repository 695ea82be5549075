// SPDX-License-Identifier: GPL-3.0-or-later
// The settings pages as they show a document.
#include "codeplug/settings_view.h"

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/memory_map.h"

namespace pellaro {

namespace {

using Kind = ShownSetting::Kind;

ShownSetting shown(std::string label, std::string value, Kind kind, const fields::Field& f,
                   const std::vector<std::string>* entries = nullptr) {
    return {std::move(label), std::move(value), kind, f.mirror, f.first, f.width, entries};
}

ShownSetting entry(const char* label, const std::vector<std::string>& entries, int index, const fields::Field& f) {
    const bool some = index >= 0 && index < static_cast<int>(entries.size());
    return shown(label, some ? entries[static_cast<std::size_t>(index)] : "(no entry)", Kind::Entry, f, &entries);
}

ShownSetting text(std::string label, const std::string& latin1, Kind kind, const fields::Field& f) {
    return shown(std::move(label), latin1ToUtf8(latin1), kind, f);
}

struct Rows {
    PageId page;
    int row = 0;
    const char* next() { return settingLabel(page, row++); }
};

SettingsPage setupPage(const Document& d, Band band) {
    const BandSetup& s = d.vfo(band);
    auto f = [&](int editor) { return fields::vfoField(band, editor); };
    const PageId id = band == Band::A ? PageId::SetupA : PageId::SetupB;
    Rows l{id};
    // Top to bottom as the page shows them.
    return {id,
            pageTitle(id),
            {
                entry(l.next(), lists::workingMode(), s.sel[1], f(1)),
                entry(l.next(), lists::channelNumbers(), s.sel[2], f(2)),
                text(l.next(), s.rxFreq, Kind::Frequency, f(3)),
                entry(l.next(), toneList("0FF"), s.sel[4], f(4)),
                entry(l.next(), setupModeList(), s.sel[6], f(6)),
                entry(l.next(), toneList("0FF"), s.sel[7], f(7)),
                entry(l.next(), signalList(), s.sel[8], f(8)),
                entry(l.next(), signalList(), s.sel[5], f(5)),
                entry(l.next(), lists::lowHigh(), s.sel[10], f(10)),
                entry(l.next(), lists::bandwidth(), s.sel[11], f(11)),
                entry(l.next(), lists::offOn(), s.sel[12], f(12)),
                entry(l.next(), lists::offOn(), s.sel[13], f(13)),
                entry(l.next(), lists::offsetDirection(), s.sel[14], f(14)),
                text(l.next(), s.offset, Kind::Frequency, f(15)),
                entry(l.next(), stepList(), s.sel[16], f(16)),
            }};
}

SettingsPage comprehensivePage(const Document& d) {
    auto f = [](int editor) { return fields::kSettings[static_cast<std::size_t>(editor)]; };
    Rows l{PageId::Comprehensive};
    return {PageId::Comprehensive,
            pageTitle(PageId::Comprehensive),
            {
                entry(l.next(), lists::mainBand(), d.gn[1], f(1)),
                entry(l.next(), lists::zeroTo(20), d.gn[2], f(2)),
                text(l.next(), d.gn3, Kind::FmFrequency, f(3)),
                entry(l.next(), lists::backlight(), d.gn[4], f(4)),
                entry(l.next(), lists::backlight(), d.gn[5], f(5)),
                entry(l.next(), lists::backlight(), d.gn[6], f(6)),
                entry(l.next(), lists::backlightMode(), d.gn[7], f(7)),
                entry(l.next(), lists::offOn(), d.gn[8], f(8)),
                entry(l.next(), lists::vibration(), d.gn[9], f(9)),
                entry(l.next(), lists::offOn(), d.gn[10], f(10)),
                entry(l.next(), lists::timeOut(), d.gn[11], f(11)),
                entry(l.next(), lists::singleTone(), d.gn[12], f(12)),
                entry(l.next(), lists::dtmfTime(), d.gn[13], f(13)),
                entry(l.next(), lists::zeroTo(9), d.gn[14], f(14)),
                entry(l.next(), lists::offOn(), d.gn[15], f(15)),
            }};
}

SettingsPage dtmfPage(const Document& d) {
    Rows l{PageId::Dtmf};
    SettingsPage page{PageId::Dtmf, pageTitle(PageId::Dtmf), {}};
    for (std::size_t n = 1; n <= 8; ++n) page.settings.push_back(text(l.next(), d.sy[n], Kind::Text, fields::kDtmf[n]));
    for (std::size_t n = 1; n <= 8; ++n)
        page.settings.push_back(text(l.next(), d.sypz[n], Kind::Text, fields::kDtmf[n + 8]));
    page.settings.push_back(entry(l.next(), lists::state(), d.sypz9, fields::Field{0, 0, 0}));
    return page;
}

SettingsPage limitPage(const Document& d) {
    using fields::kLimit;
    using fields::kMessage;
    Rows l{PageId::Limit};
    return {PageId::Limit,
            pageTitle(PageId::Limit),
            {
                text(l.next(), d.kaiji1, Kind::Text, kMessage[1]),
                text(l.next(), d.kaiji2, Kind::Text, kMessage[2]),
                text(l.next(), d.xp[1], Kind::Frequency, kLimit[1]),
                text(l.next(), d.xp[2], Kind::Frequency, kLimit[2]),
                text(l.next(), d.xp[3], Kind::Frequency, kLimit[3]),
                text(l.next(), d.xp[4], Kind::Frequency, kLimit[4]),
                entry(l.next(), lists::offOn(), d.xp5, kLimit[5]),
            }};
}

}   // namespace

std::vector<SettingsPage> settingsPages(const Document& doc) {
    return {setupPage(doc, Band::A), setupPage(doc, Band::B), comprehensivePage(doc), dtmfPage(doc), limitPage(doc)};
}

bool sameShownValue(ShownSetting::Kind kind, const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (kind == Kind::Frequency) {
        const FreqParse x = parseFrequency(a), y = parseFrequency(b);
        return x.error == FreqError::None && y.error == FreqError::None && x.units == y.units;
    }
    if (kind == Kind::FmFrequency) {
        const auto x = parseDecimalScaled(a, 1), y = parseDecimalScaled(b, 1);
        return x && y && !x->negative && !y->negative && x->magnitude == y->magnitude;
    }
    return false;
}

std::uint16_t mirrorAddress(int n) {
    if (n < 1 || n > 15) return 0;
    const auto& place = fields::kMirrorPlace[static_cast<std::size_t>(n)];
    return static_cast<std::uint16_t>(blockInfo(place.block).address + place.offset / 2);
}

std::string mirrorCaption(int n) {
    if (n < 1 || n > 15) return {};
    const unsigned first = mirrorAddress(n);
    const unsigned last = first + static_cast<unsigned>(kMirrorLength[static_cast<std::size_t>(n)]) / 2 - 1;
    return "0X" + hexWord(first) + "--0X" + hexWord(last) + ":";
}

PageId mirrorPageId(int n) {
    switch (n) {
        case 1:
        case 2:
            return PageId::SetupA;
        case 3:
        case 4:
            return PageId::SetupB;
        case 5:
            return PageId::Comprehensive;
        case 10:
        case 11:
            return PageId::Limit;
        default:
            return PageId::Dtmf;
    }
}

std::string mirrorPage(int n) { return n >= 1 && n <= 15 ? pageTitle(mirrorPageId(n)) : ""; }

}   // namespace pellaro
