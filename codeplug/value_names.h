// SPDX-License-Identifier: GPL-3.0-or-later
// Any value of a codeplug by the name the comparison prints: a channel cell
// as "A 5 Receiving Frequency", a setting as "PAGE/LABEL"
// ("Comprehensive Setting/Volume"). What pellaro-cli get and set, and the
// per-radio values of several-radio programming, name values by.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codeplug/cell_entry.h"
#include "codeplug/document.h"
#include "codeplug/setting_entry.h"

namespace pellaro {

struct ValueName {
    bool cell = false;
    Band band = Band::A;   // a cell: its band, channel 1..128 and column 1..12
    int channel = 0;
    int column = 0;
    SettingId setting;   // not a cell: the setting
};

std::optional<ValueName> findValueName(std::string_view name);

// The value as the tables and pages show it (UTF-8).
std::string valueText(const Document& doc, const ValueName& name);

// Enters `utf8` through the cell's or the setting's rule (enterChannelCell,
// enterSetting); a refused text changes nothing.
CellEntry enterValue(Document& doc, const ValueName& name, std::string_view utf8);

}   // namespace pellaro
