// SPDX-License-Identifier: GPL-3.0-or-later
// Channel cells as tab-separated text, the way the clipboard and
// `pellaro-cli paste` / `copy` carry them: pasted through pasteCells, the
// editors' rules, and copied as the cells stand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "codeplug/channel_edit.h"

namespace pellaro {

// pasteCells from tab-separated text (a leading UTF-8 byte order mark is
// dropped). A text longer than kMaxPasteText is refused whole: a full table
// with headings is about 16 KB.
constexpr std::size_t kMaxPasteText = 1 << 20;
EditResult pasteText(Document& doc, Band band, int row, int col, std::string_view utf8Tsv);

// The cells of `range` as tab-separated UTF-8 text, as they stand. With
// headings, the first line holds the headings of the copied columns. An empty
// text for a range outside the table.
std::string copyText(const Document& doc, Band band, const CellRange& range, bool withHeadings);

}   // namespace pellaro
