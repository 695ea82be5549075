// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/channel_clipboard.h"

#include "codeplug/cell_entry.h"
#include "files/tsv.h"

namespace pellaro {

EditResult pasteText(Document& doc, Band band, int row, int col, std::string_view utf8Tsv) {
    if (utf8Tsv.size() > kMaxPasteText) {
        EditResult r;
        r.band = band;
        r.refusal = "The text to paste is larger than " + std::to_string(kMaxPasteText >> 20) +
                    " MB, far more than the channel tables hold.";
        return r;
    }
    if (utf8Tsv.starts_with("\xEF\xBB\xBF")) utf8Tsv.remove_prefix(3);
    return pasteCells(doc, band, row, col, readTsv(utf8Tsv));
}

std::string copyText(const Document& doc, Band band, const CellRange& range, bool withHeadings) {
    if (range.empty() || range.firstRow < 1 || range.lastRow > kRows || range.firstCol < 0 || range.lastCol >= kColumns)
        return {};
    TextGrid rows;
    if (withHeadings)
        rows.emplace_back(channelHeadings().begin() + range.firstCol, channelHeadings().begin() + range.lastCol + 1);
    const ChannelTable& t = doc.table(band);
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        std::vector<std::string> line;
        for (int col = range.firstCol; col <= range.lastCol; ++col) line.push_back(latin1ToUtf8(t.at(col, row)));
        rows.push_back(std::move(line));
    }
    return writeTsv(rows);
}

}   // namespace pellaro
