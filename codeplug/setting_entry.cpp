// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/setting_entry.h"

#include <cctype>

#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/report.h"
#include "codeplug/rules.h"

namespace pellaro {

namespace {

PageId pageOf(SettingId id) { return static_cast<PageId>(id.page); }
const SettingInfo& infoOf(SettingId id) { return settingInfo(pageOf(id), id.row); }
Band bandOf(SettingId id) { return pageBand(pageOf(id)); }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trimmedView(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

void pick(Document& doc, SettingId id, int index) {
    const SettingInfo& s = infoOf(id);
    switch (s.store) {
        case SettingStore::SetupSelection:
            pickSetupList(doc, bandOf(id), s.number, index);
            break;
        case SettingStore::State:
            pickState(doc, index);
            break;
        case SettingStore::LimitMode:
            pickLimitMode(doc, index);
            break;
        default:
            pickSettingsList(doc, s.number, index);
            break;
    }
}

CellEntry enterEntry(Document& doc, SettingId id, const ShownSetting& now, std::string_view given, SettingSource from) {
    const std::string_view text = trimmedView(given);
    if (text == kNoEntry) {
        if (now.value == kNoEntry) return {CellEntry::Kind::Unchanged, {}};
        if (from == SettingSource::File) {
            // The selection as program code sets it, as Open sets it for a
            // list that shows no entry, which no pick can give.
            settingSelection(doc, pageOf(id), infoOf(id)) = -1;
            return {CellEntry::Kind::Applied, {}};
        }
        return {CellEntry::Kind::Refused, std::string(kNoEntry) + " cannot be picked; pick an entry of the list"};
    }
    const std::vector<std::string>& entries = *now.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // A list entry may carry blanks of its own ("A/upper Band ").
        if (!sameIgnoringCase(trimmedView(entries[i]), text)) continue;
        if (entries[i] == now.value) return {CellEntry::Kind::Unchanged, {}};
        pick(doc, id, static_cast<int>(i));
        return {CellEntry::Kind::Applied, {}};
    }
    return {CellEntry::Kind::Refused, quoteUserText(given) + " is not an entry of the list"};
}

// Whether typing (or pasting) `text` into the editor holding `before` gives
// exactly `text`.
bool typeable(const SettingInfo& s, const std::string& before, const std::string& text) {
    switch (s.editor) {
        case SettingEditor::DtmfCode:
            return filterEdit(before, text, &dtmfKeyFilter, dtmfLimit(s.number)) == text;
        case SettingEditor::Message:
            return filterEdit(before, text, &messageKey, 7) == text;
        case SettingEditor::LimitFrequency:
            return filterEdit(before, text, &limitKeyFilter, static_cast<int>(text.size() + before.size())) == text;
        default:
            return true;   // the set-up and FM editors take any text and judge it when committed
    }
}

CommitOutcome commitText(Document& doc, SettingId id, const std::string& text) {
    const SettingInfo& s = infoOf(id);
    switch (s.editor) {
        case SettingEditor::SetupRx:
            return commitSetupRxFrequency(doc, bandOf(id), text, Trigger::Exit);
        case SettingEditor::SetupOffset:
            return commitSetupOffset(doc, bandOf(id), text);
        case SettingEditor::Fm:
            return commitFmFrequency(doc, text);
        case SettingEditor::DtmfCode:
            dtmfKeyUp(doc, s.number, text);
            return {};
        case SettingEditor::Message:
            return commitMessage(doc, s.number, text);
        default:
            return commitLimit(doc, s.number, text);
    }
}

CellEntry enterText(Document& doc, SettingId id, std::string_view utf8, SettingSource from) {
    std::string text;
    if (!utf8ToLatin1(utf8, text))
        return {CellEntry::Kind::Refused, quoteUserText(utf8) + " holds characters this radio cannot hold"};
    const SettingInfo& setting = infoOf(id);
    std::string& editor = settingText(doc, pageOf(id), setting);
    if (text == editor) return {CellEntry::Kind::Unchanged, {}};
    if (!typeable(setting, editor, text))
        return {CellEntry::Kind::Refused, quoteUserText(utf8) + " cannot be typed here: " + settingRule(id)};
    Document scratch = doc;
    const CommitOutcome outcome = commitText(scratch, id, text);
    // A radio keeps a band set-up frequency outside the range its editor
    // checks (band B's set-up at 433.50000); a read shows it and a file
    // keeps it. From a file it is taken as a read takes it, and said so.
    if (from == SettingSource::File && setting.editor == SettingEditor::SetupRx && !outcome.message.empty()) {
        const FreqParse p = parseFrequency(text);
        if (p.error == FreqError::None && p.units != kNoFrequency) {
            doc.vfo(bandOf(id)).rxFreq = text;
            fields::splice(doc, fields::vfoField(bandOf(id), setting.number), hexDword(p.units));
            return {CellEntry::Kind::Adjusted, "taken as a radio holds it, although its editor takes only " +
                                                   outcome.message.substr(outcome.message.find("in ") + 3)};
        }
    }
    if (!outcome.message.empty() || settingText(scratch, pageOf(id), setting) != text)
        return {CellEntry::Kind::Refused,
                quoteUserText(utf8) + " is refused" + (outcome.message.empty() ? "" : ": " + outcome.message)};
    doc = std::move(scratch);
    return {CellEntry::Kind::Applied, {}};
}

}   // namespace

const std::vector<SettingId>& allSettings() {
    static const std::vector<SettingId> all = [] {
        std::vector<SettingId> ids;
        for (int page = 0; page < kSettingsPageCount; ++page)
            for (int row = 0; row < settingRows(static_cast<PageId>(page)); ++row) ids.push_back({page, row});
        return ids;
    }();
    return all;
}

std::string settingKey(std::string_view label) {
    while (!label.empty() && (label.back() == ' ' || label.back() == ':')) label.remove_suffix(1);
    return std::string(label);
}

ShownSetting shownSetting(const Document& doc, SettingId id) { return shownSetting(doc, pageOf(id), id.row); }

std::string settingPageTitle(SettingId id) { return pageTitle(static_cast<PageId>(id.page)); }

std::string settingName(SettingId id) { return settingPageTitle(id) + "/" + settingKey(infoOf(id).label); }

std::optional<SettingId> findSetting(std::string_view name) {
    for (const SettingId& id : allSettings())
        if (settingName(id) == name) return id;
    return std::nullopt;
}

CellEntry enterSetting(Document& doc, SettingId id, std::string_view utf8, SettingSource from) {
    const ShownSetting now = shownSetting(doc, id);
    if (now.entries) return enterEntry(doc, id, now, utf8, from);
    return enterText(doc, id, utf8, from);
}

std::string settingRule(SettingId id) {
    const ShownSetting shown = shownSetting(Document(), id);
    if (shown.entries) {
        std::string rule = "one of:";
        for (const std::string& e : *shown.entries) rule += " \"" + e + "\"";
        return rule;
    }
    switch (infoOf(id).editor) {
        case SettingEditor::SetupRx:
            return "a frequency in MHz from 136 to 176, or empty";
        case SettingEditor::SetupOffset:
            return "a frequency in MHz";
        case SettingEditor::Fm:
            return "a frequency in MHz from 88 to 108, or empty";
        case SettingEditor::DtmfCode:
            return "up to " + std::to_string(dtmfLimit(infoOf(id).number)) + " DTMF digits: 0-9, A, B, C, D, * and #";
        case SettingEditor::Message:
            return "up to 7 characters: letters, digits, blanks and the signs other than , ~ ' \"";
        default:
            return "a frequency in MHz (digits and \".\")";
    }
}

}   // namespace pellaro
