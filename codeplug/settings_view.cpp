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

ShownSetting::Kind kindOf(SettingEditor editor) {
    switch (editor) {
        case SettingEditor::List:
            return Kind::Entry;
        case SettingEditor::SetupRx:
        case SettingEditor::SetupOffset:
        case SettingEditor::LimitFrequency:
            return Kind::Frequency;
        case SettingEditor::Fm:
            return Kind::FmFrequency;
        case SettingEditor::DtmfCode:
        case SettingEditor::Message:
            return Kind::Text;
    }
    return Kind::Text;
}

// The record place the setting's editor writes.
fields::Field fieldOf(PageId page, const SettingInfo& s) {
    const auto at = static_cast<std::size_t>(s.number);
    switch (s.store) {
        case SettingStore::SetupSelection:
        case SettingStore::SetupRx:
        case SettingStore::SetupOffset:
            return fields::vfoField(pageBand(page), s.number);
        case SettingStore::Selection:
        case SettingStore::Fm:
            return fields::kSettings[at];
        case SettingStore::DtmfCode:
            return fields::kDtmf[at];
        case SettingStore::State:
            return {0, 0, 0};
        case SettingStore::Message:
            return fields::kMessage[at];
        case SettingStore::Limit:
        case SettingStore::LimitMode:
            return fields::kLimit[at];
    }
    return {0, 0, 0};
}

ShownSetting shownRow(const Document& d, PageId page, const SettingInfo& s) {
    const fields::Field f = fieldOf(page, s);
    if (const std::vector<std::string>* entries = settingEntries(s.list)) {
        const int index = settingSelection(d, page, s);
        const bool some = index >= 0 && index < static_cast<int>(entries->size());
        return shown(s.label, some ? (*entries)[static_cast<std::size_t>(index)] : "(no entry)", Kind::Entry, f,
                     entries);
    }
    return shown(s.label, latin1ToUtf8(settingText(d, page, s)), kindOf(s.editor), f);
}

}   // namespace

int& settingSelection(Document& doc, PageId page, const SettingInfo& s) {
    const auto at = static_cast<std::size_t>(s.number);
    switch (s.store) {
        case SettingStore::SetupSelection:
            return doc.vfo(pageBand(page)).sel[at];
        case SettingStore::State:
            return doc.sypz9;
        case SettingStore::LimitMode:
            return doc.xp5;
        default:
            return doc.gn[at];
    }
}

int settingSelection(const Document& doc, PageId page, const SettingInfo& s) {
    return settingSelection(const_cast<Document&>(doc), page, s);
}

std::string& settingText(Document& doc, PageId page, const SettingInfo& s) {
    const auto at = static_cast<std::size_t>(s.number);
    switch (s.store) {
        case SettingStore::SetupRx:
            return doc.vfo(pageBand(page)).rxFreq;
        case SettingStore::SetupOffset:
            return doc.vfo(pageBand(page)).offset;
        case SettingStore::DtmfCode:
            return s.number <= 8 ? doc.sy[at] : doc.sypz[at - 8];
        case SettingStore::Message:
            return s.number == 1 ? doc.kaiji1 : doc.kaiji2;
        case SettingStore::Limit:
            return doc.xp[at];
        default:
            return doc.gn3;
    }
}

const std::string& settingText(const Document& doc, PageId page, const SettingInfo& s) {
    return settingText(const_cast<Document&>(doc), page, s);
}

ShownSetting shownSetting(const Document& doc, PageId page, int row) {
    return shownRow(doc, page, settingInfo(page, row));
}

SettingsPage settingsPage(const Document& doc, PageId page) {
    SettingsPage shownPage{page, pageTitle(page), {}};
    const int rows = settingRows(page);
    shownPage.settings.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) shownPage.settings.push_back(shownRow(doc, page, settingInfo(page, row)));
    return shownPage;
}

std::vector<SettingsPage> settingsPages(const Document& doc) {
    std::vector<SettingsPage> pages;
    pages.reserve(kSettingsPageCount);
    for (int page = 0; page < kSettingsPageCount; ++page) pages.push_back(settingsPage(doc, static_cast<PageId>(page)));
    return pages;
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
    for (int page = 0; page < kSettingsPageCount; ++page) {
        const auto id = static_cast<PageId>(page);
        for (int row = 0; row < settingRows(id); ++row)
            if (n != 0 && fieldOf(id, settingInfo(id, row)).mirror == n) return id;
    }
    return PageId::Dtmf;
}

std::string mirrorPage(int n) { return n >= 1 && n <= 15 ? pageTitle(mirrorPageId(n)) : ""; }

}   // namespace pellaro
