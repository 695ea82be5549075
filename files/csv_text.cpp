// CSV text through libcsv, with the line numbers a report needs.
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

}  // namespace

CsvTable parseCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) return {{}, "cannot start the CSV reader"};
    csv_set_space_func(&parser, noSpace);

    Reader r;
    int line = 1;
    std::string error;
    // Line by line, so that each record knows the line it starts on and a
    // comment is recognised only where a record could start.
    for (std::size_t at = 0; at < text.size() && error.empty(); ++line) {
        const std::size_t end = lineEnd(text, at);
        const std::string_view chunk = text.substr(at, end - at);
        at = end;
        if (!r.inRecord) {
            if (chunk.front() == '#' || chunk.find_first_not_of("\r\n") == std::string_view::npos) continue;
            r.inRecord = true;
            r.current.line = line;
        }
        if (csv_parse(&parser, chunk.data(), chunk.size(), onField, onRecord, &r) != chunk.size())
            error = "line " + std::to_string(line) + ": " + csv_strerror(csv_error(&parser));
    }
    if (error.empty() && csv_fini(&parser, onField, onRecord, &r) != 0)
        error = "line " + std::to_string(r.current.line) + ": a quoted field is not closed";
    csv_free(&parser);
    if (!error.empty()) return {{}, "not a CSV file: " + error};
    return std::move(r.table);
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (i) out += ',';
        const bool quote = f.find_first_of(",\"\r\n") != std::string::npos ||
                           (!f.empty() && (f.front() == ' ' || f.front() == '\t' || f.back() == ' ' ||
                                           f.back() == '\t' || f.front() == '#'));
        if (!quote) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
    return out;
}

}  // namespace pellaro
