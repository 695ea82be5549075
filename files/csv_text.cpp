// SPDX-License-Identifier: GPL-3.0-or-later
// CSV text through libcsv, with the line numbers a report needs and, for a
// file that cannot be read, the reason in the words of a user's spreadsheet.
#include "files/csv_text.h"

#include <csv.h>

namespace pellaro {

namespace {

struct Reader {
    CsvTable table;
    CsvRecord current;
    bool inRecord = false;   // a record has begun and not yet ended
};

void onField(void* data, std::size_t len, void* user) {
    auto* r = static_cast<Reader*>(user);
    r->current.fields.emplace_back(len ? std::string(static_cast<const char*>(data), len) : std::string());
}

bool blank(const std::vector<std::string>& fields) {
    for (const std::string& f : fields)
        if (f.find_first_not_of(" \t") != std::string::npos) return false;
    return true;
}

void onRecord(int, void* user) {
    auto* r = static_cast<Reader*>(user);
    if (!blank(r->current.fields)) r->table.records.push_back(std::move(r->current));
    r->current = {};
    r->inRecord = false;
}

// Blanks are part of a field (RFC 4180); libcsv would trim them otherwise.
int noSpace(unsigned char) { return 0; }

// The text up to and including the next line end (LF, CR LF or a lone CR).
std::size_t lineEnd(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\n') return i + 1;
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return i + 1;
    }
    return text.size();
}

std::string lineText(int line) { return "line " + std::to_string(line); }

// Length of the well-formed UTF-8 sequence at s[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF); 0 when there is none.
std::size_t utf8Sequence(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;   // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        n = 3, lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    else if (b >= 0xF0 && b <= 0xF4)
        n = 4, lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
    if (n == 0 || i + n > s.size() || byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

// Why the bytes are not UTF-8 text; empty when they are.
std::string encodingProblem(std::string_view text) {
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF" ||
        (text.size() >= 2 && (text[0] == '\0') != (text[1] == '\0')))
        return "the file is UTF-16; save it as UTF-8";
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
        if (c == '\0') return lineText(line) + " holds a NUL byte: the file is not text";
        const std::size_t n = utf8Sequence(text, i);
        if (n == 0) return lineText(line) + " is not UTF-8 text; save the file as UTF-8 (CSV UTF-8)";
        i += n;
    }
    return {};
}

// A header line that a spreadsheet wrote with another field separator.
std::string separatorProblem(std::string_view text) {
    int line = 1;
    for (std::size_t at = 0; at < text.size(); ++line) {
        const std::size_t end = lineEnd(text, at);
        const std::string_view chunk = text.substr(at, end - at);
        at = end;
        if (chunk.front() == '#' || chunk.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;
        if (chunk.find(',') != std::string_view::npos) return {};
        const char* other = chunk.find(';') != std::string_view::npos    ? "';'"
                            : chunk.find('\t') != std::string_view::npos ? "tabs"
                                                                         : nullptr;
        if (!other) return {};
        return lineText(line) + ": the header is separated by " + other +
               ", not ','; save the file with ',' as the field separator";
    }
    return {};
}

// What is wrong with the quoting of a record that libcsv refused, found by
// reading it as RFC 4180 has it. `record` starts where the record starts.
std::string quotingProblem(std::string_view record, int line) {
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted } state = State::FieldStart;
    int opened = line;
    for (std::size_t i = 0; i < record.size(); ++i) {
        const char c = record[i];
        const bool lineBreak = c == '\n' || (c == '\r' && (i + 1 == record.size() || record[i + 1] != '\n'));
        switch (state) {
            case State::FieldStart:
            case State::Unquoted:
                if (c == '"' && state == State::FieldStart)
                    state = State::Quoted, opened = line;
                else if (c == '"')
                    return lineText(line) +
                           ": a quote inside a field that does not start with one "
                           "(quote the whole field and write its quotes twice)";
                else
                    state = c == ',' || c == '\r' || c == '\n' ? State::FieldStart : State::Unquoted;
                break;
            case State::Quoted:
                if (c == '"') state = State::QuoteInQuoted;
                break;
            case State::QuoteInQuoted:
                if (c == '"')
                    state = State::Quoted;
                else if (c == ',' || c == '\r' || c == '\n')
                    state = State::FieldStart;
                else
                    return lineText(line) +
                           ": text after the closing quote of a field "
                           "(a quote inside a quoted field is written twice)";
                break;
        }
        if (lineBreak) ++line;
    }
    if (state == State::Quoted) return lineText(opened) + ": a quoted field starts here and is never closed";
    return lineText(line) + ": the line cannot be read as CSV";
}

}   // namespace

CsvTable parseCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // The whole file first: a byte that is not UTF-8 anywhere means the file
    // was saved in another encoding, and none of its texts can be trusted.
    if (std::string problem = encodingProblem(text); !problem.empty()) return {{}, problem};
    if (std::string problem = separatorProblem(text); !problem.empty()) return {{}, problem};
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) return {{}, "cannot start the CSV reader"};
    csv_set_space_func(&parser, noSpace);

    Reader r;
    int line = 1;
    std::size_t recordAt = 0;   // where the current record starts
    std::string error;
    // Line by line, so that each record knows the line it starts on and a
    // comment is recognised only where a record could start.
    for (std::size_t at = 0; at < text.size() && error.empty(); ++line) {
        const std::size_t end = lineEnd(text, at);
        const std::string_view chunk = text.substr(at, end - at);
        if (!r.inRecord) {
            if (chunk.front() == '#' || chunk.find_first_not_of("\r\n") == std::string_view::npos) {
                at = end;
                continue;
            }
            r.inRecord = true;
            r.current.line = line;
            recordAt = at;
        }
        at = end;
        if (csv_parse(&parser, chunk.data(), chunk.size(), onField, onRecord, &r) != chunk.size())
            error = csv_error(&parser) == CSV_EPARSE
                        ? quotingProblem(text.substr(recordAt, end - recordAt), r.current.line)
                        : lineText(line) + ": a field is too large to be read";
    }
    if (error.empty() && csv_fini(&parser, onField, onRecord, &r) != 0)
        error = quotingProblem(text.substr(recordAt), r.current.line);
    csv_free(&parser);
    if (!error.empty()) return {{}, error};
    return std::move(r.table);
}

void appendField(std::string& out, std::string_view field, bool quoted) {
    if (!quoted) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (i) out += ',';
        appendField(out, f,
                    f.find_first_of(",\"\r\n") != std::string::npos ||
                        (!f.empty() && (f.front() == ' ' || f.front() == '\t' || f.back() == ' ' || f.back() == '\t' ||
                                        f.front() == '#')));
    }
    out += "\r\n";
    return out;
}

}   // namespace pellaro
