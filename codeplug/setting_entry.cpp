// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/setting_entry.h"

#include <array>
#include <cctype>

#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/report.h"
#include "codeplug/rules.h"

namespace pellaro {

namespace {

// The pages by the numbers SettingId carries.
constexpr int SetupA = static_cast<int>(PageId::SetupA);
constexpr int SetupB = static_cast<int>(PageId::SetupB);
constexpr int Comprehensive = static_cast<int>(PageId::Comprehensive);
constexpr int Dtmf = static_cast<int>(PageId::Dtmf);

// The band set-up editors in the order the page shows them (settings_view).
constexpr std::array<int, 15> kSetupRows = {1, 2, 3, 4, 6, 7, 8, 5, 10, 11, 12, 13, 14, 15, 16};

Band bandOf(SettingId id) { return id.page == SetupB ? Band::B : Band::A; }

// What a page's text editor is, for the rule it follows.
enum class TextEditor { None, SetupRx, SetupOffset, Fm, DtmfCode, Message, LimitFrequency };

TextEditor textEditor(SettingId id) {
    switch (id.page) {
        case SetupA:
        case SetupB:
            if (id.row == 2) return TextEditor::SetupRx;
            if (id.row == 13) return TextEditor::SetupOffset;
            return TextEditor::None;
        case Comprehensive:
            return id.row == 2 ? TextEditor::Fm : TextEditor::None;
        case Dtmf:
            return id.row < 16 ? TextEditor::DtmfCode : TextEditor::None;
        default:
            if (id.row < 2) return TextEditor::Message;
            if (id.row < 6) return TextEditor::LimitFrequency;
            return TextEditor::None;
    }
}

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
    switch (id.page) {
        case SetupA:
        case SetupB:
            pickSetupList(doc, bandOf(id), kSetupRows[static_cast<std::size_t>(id.row)], index);
            break;
        case Comprehensive:
            pickSettingsList(doc, id.row + 1, index);
            break;
        case Dtmf:
            pickState(doc, index);
            break;
        default:
            pickLimitMode(doc, index);
            break;
    }
}

// The list's selection set by program code, as Open sets it: for a list
// that shows no entry, which no pick can give.
void setNoEntry(Document& doc, SettingId id) {
    switch (id.page) {
        case SetupA:
        case SetupB:
            doc.vfo(bandOf(id)).sel[static_cast<std::size_t>(kSetupRows[static_cast<std::size_t>(id.row)])] = -1;
            break;
        case Comprehensive:
            doc.gn[static_cast<std::size_t>(id.row + 1)] = -1;
            break;
        case Dtmf:
            doc.sypz9 = -1;
            break;
        default:
            doc.xp5 = -1;
            break;
    }
}

CellEntry enterEntry(Document& doc, SettingId id, const ShownSetting& now, std::string_view given, SettingSource from) {
    const std::string_view text = trimmedView(given);
    if (text == kNoEntry) {
        if (now.value == kNoEntry) return {CellEntry::Kind::Unchanged, {}};
        if (from == SettingSource::File) {
            setNoEntry(doc, id);
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

// The editor's text as the document holds it (Latin-1).
std::string& editorText(Document& doc, SettingId id) {
    switch (id.page) {
        case SetupA:
        case SetupB:
            return id.row == 2 ? doc.vfo(bandOf(id)).rxFreq : doc.vfo(bandOf(id)).offset;
        case Comprehensive:
            return doc.gn3;
        case Dtmf:
            return id.row < 8 ? doc.sy[static_cast<std::size_t>(id.row + 1)]
                              : doc.sypz[static_cast<std::size_t>(id.row - 7)];
        default:
            return id.row < 2 ? (id.row == 0 ? doc.kaiji1 : doc.kaiji2) : doc.xp[static_cast<std::size_t>(id.row - 1)];
    }
}

// Whether typing (or pasting) `text` into the editor holding `before` gives
// exactly `text`.
bool typeable(TextEditor kind, SettingId id, const std::string& before, const std::string& text) {
    switch (kind) {
        case TextEditor::DtmfCode:
            return filterEdit(before, text, &dtmfKeyFilter, dtmfLimit(id.row + 1)) == text;
        case TextEditor::Message:
            return filterEdit(before, text, &messageKey, 7) == text;
        case TextEditor::LimitFrequency:
            return filterEdit(before, text, &limitKeyFilter, static_cast<int>(text.size() + before.size())) == text;
        default:
            return true;   // the set-up and FM editors take any text and judge it when committed
    }
}

CommitOutcome commitText(Document& doc, TextEditor kind, SettingId id, const std::string& text) {
    switch (kind) {
        case TextEditor::SetupRx:
            return commitSetupRxFrequency(doc, bandOf(id), text, Trigger::Exit);
        case TextEditor::SetupOffset:
            return commitSetupOffset(doc, bandOf(id), text);
        case TextEditor::Fm:
            return commitFmFrequency(doc, text);
        case TextEditor::DtmfCode:
            dtmfKeyUp(doc, id.row + 1, text);
            return {};
        case TextEditor::Message:
            return commitMessage(doc, id.row + 1, text);
        default:
            return commitLimit(doc, id.row - 1, text);
    }
}

CellEntry enterText(Document& doc, SettingId id, std::string_view utf8, SettingSource from) {
    std::string text;
    if (!utf8ToLatin1(utf8, text))
        return {CellEntry::Kind::Refused, quoteUserText(utf8) + " holds characters this radio cannot hold"};
    const TextEditor kind = textEditor(id);
    std::string& editor = editorText(doc, id);
    if (text == editor) return {CellEntry::Kind::Unchanged, {}};
    if (!typeable(kind, id, editor, text))
        return {CellEntry::Kind::Refused, quoteUserText(utf8) + " cannot be typed here: " + settingRule(id)};
    Document scratch = doc;
    const CommitOutcome outcome = commitText(scratch, kind, id, text);
    // A radio keeps a band set-up frequency outside the range its editor
    // checks (band B's set-up at 433.50000); a read shows it and a file
    // keeps it. From a file it is taken as a read takes it, and said so.
    if (from == SettingSource::File && kind == TextEditor::SetupRx && !outcome.message.empty()) {
        const FreqParse p = parseFrequency(text);
        if (p.error == FreqError::None && p.units != kNoFrequency) {
            doc.vfo(bandOf(id)).rxFreq = text;
            fields::splice(doc, fields::vfoField(bandOf(id), 3), hexDword(p.units));
            return {CellEntry::Kind::Adjusted, "taken as a radio holds it, although its editor takes only " +
                                                   outcome.message.substr(outcome.message.find("in ") + 3)};
        }
    }
    if (!outcome.message.empty() || editorText(scratch, id) != text)
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

ShownSetting shownSetting(const Document& doc, SettingId id) {
    return settingsPages(doc)[static_cast<std::size_t>(id.page)].settings[static_cast<std::size_t>(id.row)];
}

std::string settingPageTitle(SettingId id) { return pageTitle(static_cast<PageId>(id.page)); }

std::string settingName(SettingId id) {
    return settingPageTitle(id) + "/" + settingKey(settingLabel(static_cast<PageId>(id.page), id.row));
}

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
    switch (textEditor(id)) {
        case TextEditor::SetupRx:
            return "a frequency in MHz from 136 to 176, or empty";
        case TextEditor::SetupOffset:
            return "a frequency in MHz";
        case TextEditor::Fm:
            return "a frequency in MHz from 88 to 108, or empty";
        case TextEditor::DtmfCode:
            return "up to " + std::to_string(dtmfLimit(id.row + 1)) + " DTMF digits: 0-9, A, B, C, D, * and #";
        case TextEditor::Message:
            return "up to 7 characters: letters, digits, blanks and the signs other than , ~ ' \"";
        default:
            return "a frequency in MHz (digits and \".\")";
    }
}

}   // namespace pellaro
