// SPDX-License-Identifier: GPL-3.0-or-later
// Tab-separated cells as spreadsheets (LibreOffice Calc, Excel, Google
// Sheets) and other programming tools put them on the clipboard: one line per
// row, cells separated by tabs. A cell that holds a tab, a line break or a
// double quote travels in double quotes, its own quotes doubled.
#pragma once

#include <string>
#include <string_view>

#include "codeplug/channel_edit.h"   // TextGrid

namespace pellaro {

// Reads tab-separated text. Lines end with LF, CR LF or CR; one line end at
// the very end is no row of its own. An empty line is a row of one empty
// cell, so an empty text is no row at all and "\n" is one empty cell. A cell
// that starts with a double quote runs to the matching quote ("" inside is
// one quote) and may hold tabs and line breaks; characters between the
// closing quote and the next tab are kept as written. A quote that is never
// closed is an ordinary character. The bytes are not interpreted otherwise.
TextGrid readTsv(std::string_view text);

// Writes rows as tab-separated text, each row ended by LF; a cell holding a
// tab, CR, LF or double quote is quoted. readTsv(writeTsv(g)) gives g back for
// every grid whose rows hold at least one cell.
std::string writeTsv(const TextGrid& rows);

}   // namespace pellaro
