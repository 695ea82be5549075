// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/csv_formats.h"

#include "files/channel_csv_rows.h"

namespace pellaro {

namespace {

using namespace channel_csv;

constexpr CsvFormatEntry kFormats[] = {
    {CsvFormat::Native, "native", "Native", "Native: the columns of the channel tables", "our own columns",
     "the header names no Channel column and no channel heading", false, isNativeHeader, readNative, exportNative},
    {CsvFormat::Generic, "generic", "Generic", "Generic: the columns other programming tools share (one band)",
     "the generic columns", "the header names no Location column", true, isGenericHeader, readGeneric, exportGeneric},
};

}   // namespace

std::span<const CsvFormatEntry> csvFormats() { return kFormats; }

const CsvFormatEntry& csvFormat(CsvFormat id) {
    for (const CsvFormatEntry& f : kFormats)
        if (f.id == id) return f;
    return kFormats[0];
}

const CsvFormatEntry* findCsvFormat(std::string_view name) {
    for (const CsvFormatEntry& f : kFormats)
        if (f.name == name) return &f;
    return nullptr;
}

std::string csvFormatNames(std::string_view separator) {
    std::string out;
    for (const CsvFormatEntry& f : kFormats) {
        if (!out.empty()) out += separator;
        out += f.name;
    }
    return out;
}

}   // namespace pellaro
