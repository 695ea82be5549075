// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/value_names.h"

#include "codeplug/codes.h"
#include "codeplug/report.h"

namespace pellaro {

std::optional<ValueName> findValueName(std::string_view name) {
    if (const auto setting = findSetting(name)) return ValueName{false, Band::A, 0, 0, *setting};
    if (name.size() < 4 || (name[0] != 'A' && name[0] != 'B') || name[1] != ' ') return std::nullopt;
    std::size_t i = 2;
    int channel = 0;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && channel <= kRows)
        channel = channel * 10 + (name[i++] - '0');
    if (i == 2 || channel < 1 || channel > kRows || i >= name.size() || name[i] != ' ') return std::nullopt;
    const std::string_view heading = name.substr(i + 1);
    for (int col = kFirstCellColumn; col < kColumns; ++col)
        if (channelHeadings()[static_cast<std::size_t>(col)] == heading)
            return ValueName{true, name[0] == 'A' ? Band::A : Band::B, channel, col, {}};
    return std::nullopt;
}

std::string valueText(const Document& doc, const ValueName& name) {
    if (name.cell) return latin1ToUtf8(doc.table(name.band).at(name.column, name.channel));
    return shownSetting(doc, name.setting).value;
}

CellEntry enterValue(Document& doc, const ValueName& name, std::string_view utf8) {
    if (!name.cell) return enterSetting(doc, name.setting, utf8);
    std::string latin1;
    if (!utf8ToLatin1(utf8, latin1))
        return {CellEntry::Kind::Refused, quoteUserText(utf8) + " holds characters this radio cannot hold"};
    return enterChannelCell(doc, name.band, name.column, name.channel, latin1);
}

}   // namespace pellaro
