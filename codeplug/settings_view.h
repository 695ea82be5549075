// SPDX-License-Identifier: GPL-3.0-or-later
// Every setting as the settings pages show it: the page, the label and the
// shown value, in the pages' own order, with the mirror characters its editor
// writes. The listing of the command line and the comparison of two
// codeplugs both read the settings through this one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/settings_table.h"

namespace pellaro {

struct ShownSetting {
    // How two shown values compare: list entries and texts as they stand; a
    // frequency text by the value it stores ("145.5" is "145.50000").
    enum class Kind { Entry, Text, Frequency, FmFrequency };

    std::string label;   // as the page shows it, blanks included
    std::string value;   // UTF-8; "(no entry)" for a list with nothing selected
    Kind kind = Kind::Entry;
    int mirror = 0;                                      // k<mirror> characters first..first+width-1 hold its
    int first = 0;                                       // code; mirror 0 for the current state, which has
    int width = 0;                                       // no mirror
    const std::vector<std::string>* entries = nullptr;   // a list's entries (UTF-8)
};

struct SettingsPage {
    PageId id = PageId::SetupA;
    std::string title;   // the page's tab: "A/Upper Band Set up", ...
    std::vector<ShownSetting> settings;
};

// The five settings pages, in tab order, with `doc`'s values.
std::vector<SettingsPage> settingsPages(const Document& doc);
// One of them, and one setting of it.
SettingsPage settingsPage(const Document& doc, PageId page);
ShownSetting shownSetting(const Document& doc, PageId page, int row);

// Where `doc` keeps a setting of `page`: the selected entry of a list (-1:
// none), the text of a text editor (Latin-1). Writing them changes the
// value as program code sets it; the mirrors change only by a commit.
int& settingSelection(Document& doc, PageId page, const SettingInfo& setting);
int settingSelection(const Document& doc, PageId page, const SettingInfo& setting);
std::string& settingText(Document& doc, PageId page, const SettingInfo& setting);
const std::string& settingText(const Document& doc, PageId page, const SettingInfo& setting);

// Whether two shown values of a setting of `kind` say the same.
bool sameShownValue(ShownSetting::Kind kind, const std::string& a, const std::string& b);

// The raw mirror k<n> (1..15): its first memory address and the hidden
// caption that names its range ("0X0300--0X030F:").
std::uint16_t mirrorAddress(int n);
std::string mirrorCaption(int n);
// The page whose editors write mirror k<n> (1..15), and its title ("" for
// another n).
PageId mirrorPageId(int n);
std::string mirrorPage(int n);

}   // namespace pellaro
