// SPDX-License-Identifier: GPL-3.0-or-later
// Entering a text into one setting from outside the settings pages: the
// command line's `set`, a codeplug text file. As for the channel cells
// (cell_entry.h), the text goes through exactly the rule the page's editor
// applies when the user commits it: a pick of an entry of its list, the key
// filter and commit of a text editor. A refused text changes nothing.
//
// Settings are named as the pages show them: "PAGE/LABEL", the page's title
// and the label without its trailing blanks and colon
// ("Comprehensive Setting/Volume", "DTMF Groups/Native ID Code",
// "A/Upper Band Set up/Wide/Narrow Band").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/cell_entry.h"
#include "codeplug/document.h"
#include "codeplug/settings_view.h"

namespace pellaro {

// A setting by its place in settingsPages(): page 0..4, row on the page.
struct SettingId {
    int page = 0;
    int row = 0;
    bool operator==(const SettingId&) const = default;
};

// The DTMF page's native ID code, the value several radios usually differ in.
inline constexpr SettingId kNativeIdCode{static_cast<int>(PageId::Dtmf), 8};

// Every setting, in page and row order.
const std::vector<SettingId>& allSettings();

// A label as names and keys use it: "Volume             :" gives "Volume".
std::string settingKey(std::string_view label);
// "Comprehensive Setting/Volume".
std::string settingName(SettingId id);
std::optional<SettingId> findSetting(std::string_view name);

// The setting as the page shows it in `doc` (label, value, list entries).
ShownSetting shownSetting(const Document& doc, SettingId id);
// The page's title.
std::string settingPageTitle(SettingId id);

// What a list shows when nothing is selected (a code no entry stands for).
inline constexpr const char* kNoEntry = "(no entry)";

// Enters `utf8` into the setting through its editor's rule:
//  - a list: an entry of the list, as spelled there (blanks around it and the
//    case of letters do not matter); `kNoEntry` only when the list already
//    has nothing selected;
//  - a text editor: the characters its key filter takes (DTMF digits, the
//    power-on message characters, the limit digits), then its commit; a
//    commit that answers with a message (out of range, not a number) is a
//    refusal.
// A text equal to what the setting shows changes nothing (Unchanged). A
// refused text leaves `doc` exactly as it was.
//
// From a file (a codeplug text), `kNoEntry` is also taken where the list
// shows an entry: the list then shows none, as Open leaves a list whose
// code no entry stands for, and its mirror keeps its code. Nobody picks it.
enum class SettingSource { User, File };
CellEntry enterSetting(Document& doc, SettingId id, std::string_view utf8, SettingSource from = SettingSource::User);

// What `names` says a setting takes: its entries, or its rule in words.
std::string settingRule(SettingId id);

}   // namespace pellaro
