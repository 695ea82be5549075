// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/tsv.h"

#include "files/csv_text.h"

namespace pellaro {

namespace {

bool lineEnd(char c) { return c == '\n' || c == '\r'; }

// Steps over the line end at `i` (CR LF counts as one).
std::size_t afterLineEnd(std::string_view text, std::size_t i) {
    return (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? i + 2 : i + 1;
}

// Position of the quote that closes a quoted cell opened at `open`, or npos
// when the cell is never closed.
std::size_t closingQuote(std::string_view text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') continue;
        if (i + 1 < text.size() && text[i + 1] == '"') {
            ++i;   // a doubled quote inside the cell
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

bool needsQuotes(const std::string& cell) { return cell.find_first_of("\t\r\n\"") != std::string::npos; }

}   // namespace

TextGrid readTsv(std::string_view text) {
    TextGrid rows;
    if (text.empty()) return rows;
    std::vector<std::string> row;
    std::string cell;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (true) {
        // At the start of a cell.
        cell.clear();
        if (i < n && text[i] == '"') {
            if (const std::size_t close = closingQuote(text, i); close != std::string_view::npos) {
                for (std::size_t k = i + 1; k < close; ++k) {
                    cell += text[k];
                    if (text[k] == '"') ++k;   // the second of a doubled quote
                }
                i = close + 1;
            }
        }
        while (i < n && text[i] != '\t' && !lineEnd(text[i])) cell += text[i++];
        row.push_back(std::move(cell));
        if (i < n && text[i] == '\t') {
            ++i;
            continue;
        }
        rows.push_back(std::move(row));
        row.clear();
        if (i >= n) break;
        i = afterLineEnd(text, i);
        if (i >= n) break;   // the line end that closes the last row
    }
    return rows;
}

std::string writeTsv(const TextGrid& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += '\t';
            appendField(out, row[c], needsQuotes(row[c]));
        }
        out += '\n';
    }
    return out;
}

}   // namespace pellaro
