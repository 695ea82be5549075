// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/fleet_plan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "codeplug/cell_entry.h"
#include "files/codeplug_file.h"
#include "files/csv_text.h"

namespace pellaro {

namespace {

constexpr const char* kLogTail[] = {"Start", "End", "Result", "Message", "Verify differences"};

// A label names a backup file (DIR/LABEL.bc) and a log row: it must stay a
// plain file name inside the folder.
std::string labelProblem(const std::string& label) {
    if (label.find_first_not_of(" \t") == std::string::npos) return "the radio has no label";
    if (label.find('/') != std::string::npos || label.find('\\') != std::string::npos || label.front() == '.')
        return quoteUserText(label) + " cannot name a backup file (no \"/\", no \"\\\", no \".\" at the start)";
    for (unsigned char c : label)
        if (c < 0x20 || c == 0x7F) return quoteUserText(label) + " holds a control character";
    return {};
}

ReportItem lineItem(Severity severity, int line, std::string reason) {
    ReportItem item;
    item.severity = severity;
    item.place.line = line;
    item.reason = std::move(reason);
    return item;
}

}   // namespace

FleetPlan planFleet(const Document& tmpl, const std::vector<std::string>& header,
                    const std::vector<std::vector<std::string>>& rows, const std::vector<int>& lines) {
    FleetPlan plan;
    plan.labelled = !header.empty() && header.front() == kRadioColumn;
    for (std::size_t i = plan.labelled ? 1 : 0; i < header.size(); ++i) {
        const auto found = findValueName(header[i]);
        if (!found) {
            plan.error = quoteUserText(header[i]) +
                         " is neither a channel cell (\"A 5 Receiving Frequency\") nor a setting (\"" +
                         settingName(kNativeIdCode) + "\"); pellaro-cli names lists them";
            return plan;
        }
        for (const std::string& earlier : plan.names)
            if (earlier == header[i]) {
                plan.error = quoteUserText(header[i]) + " is given twice";
                return plan;
            }
        plan.names.push_back(header[i]);
        plan.found.push_back(*found);
    }
    if (plan.names.empty() && !plan.labelled) {
        plan.error = "no value names in the header";
        return plan;
    }

    std::set<std::string> labels;
    const std::size_t width = plan.names.size() + (plan.labelled ? 1 : 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::string>& fields = rows[r];
        FleetRow row;
        row.line = r < lines.size() ? lines[r] : 0;
        if (fields.size() != width) {
            plan.refused.push_back(
                lineItem(Severity::Refused, row.line,
                         std::to_string(fields.size()) + " fields where the header has " + std::to_string(width)));
            continue;
        }
        row.label = plan.labelled ? fields.front() : std::to_string(r + 1);
        if (const std::string problem = labelProblem(row.label); !problem.empty())
            plan.refused.push_back(lineItem(Severity::Refused, row.line, problem));
        else if (!labels.insert(row.label).second)
            plan.refused.push_back(
                lineItem(Severity::Refused, row.line, "radio " + quoteUserText(row.label) + " is listed twice"));
        row.values.assign(fields.begin() + (plan.labelled ? 1 : 0), fields.end());
        row.doc = tmpl;
        for (std::size_t v = 0; v < row.values.size(); ++v) {
            const CellEntry e = enterValue(row.doc, plan.found[v], row.values[v]);
            if (e.kind == CellEntry::Kind::Refused)
                plan.refused.push_back(lineItem(Severity::Refused, row.line, plan.names[v] + ": " + e.reason));
            else if (e.kind == CellEntry::Kind::Adjusted)
                plan.changed.push_back(
                    lineItem(Severity::Changed, row.line, plan.names[v] + ": changed on the way in: " + e.reason));
        }
        plan.rows.push_back(std::move(row));
    }
    if (plan.rows.empty() && plan.refused.empty()) plan.error = "no radios in the table";
    return plan;
}

FleetPlan planFleetCsv(const Document& tmpl, std::string_view csvText) {
    const CsvTable table = parseCsv(csvText);
    if (!table.ok() || table.records.empty()) {
        FleetPlan plan;
        plan.error = table.ok() ? "no header" : table.error;
        return plan;
    }
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        rows.push_back(table.records[i].fields);
        lines.push_back(table.records[i].line);
    }
    return planFleet(tmpl, table.records.front().fields, rows, lines);
}

std::vector<std::vector<std::string>> countedValues(const std::string& first, int count) {
    std::size_t digits = first.size();
    while (digits > 0 && first[digits - 1] >= '0' && first[digits - 1] <= '9') --digits;
    if (digits == first.size() || count < 1 || count > 1000 || first.size() - digits > 15) return {};
    const std::string prefix = first.substr(0, digits);
    const std::string number = first.substr(digits);
    const long long start = std::stoll(number);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(start + i);
        if (n.size() < number.size()) n.insert(0, number.size() - n.size(), '0');
        rows.push_back({prefix + n});
    }
    return rows;
}

std::string fleetRadioTitle(const FleetPlan& plan, std::size_t row) {
    std::string what;
    const FleetRow& r = plan.rows[row];
    if (plan.labelled) {
        what = r.label;
    } else if (!plan.names.empty()) {
        const std::string& name = plan.names.front();
        const std::size_t slash = name.rfind('/');
        what = (slash == std::string::npos ? name : name.substr(slash + 1)) + " " + r.values.front();
    }
    std::string title = "radio " + std::to_string(row + 1) + " of " + std::to_string(plan.rows.size());
    return what.empty() ? title : title + " (" + what + ")";
}

std::string fleetLogHeader(const std::vector<std::string>& names) {
    std::vector<std::string> fields{std::string(kRadioColumn)};
    fields.insert(fields.end(), names.begin(), names.end());
    fields.insert(fields.end(), std::begin(kLogTail), std::end(kLogTail));
    return csvLine(fields);
}

std::string fleetLogRow(const FleetOutcome& o) {
    std::vector<std::string> fields{o.label};
    fields.insert(fields.end(), o.values.begin(), o.values.end());
    fields.insert(fields.end(),
                  {o.start, o.end, o.ok ? "ok" : "failed", o.message, std::to_string(o.verifyDifferences)});
    return csvLine(fields);
}

FleetLog readFleetLog(std::string_view text, const std::vector<std::string>& names) {
    FleetLog log;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return log;
    const CsvTable table = parseCsv(text);
    if (!table.ok()) {
        log.error = table.error;
        return log;
    }
    const std::string header = fleetLogHeader(names);
    if (table.records.empty() || csvLine(table.records.front().fields) != header) {
        log.error = "it is the log of other values (its header is not " +
                    quoteUserText(header.substr(0, header.size() - 2)) + ")";
        return log;
    }
    const std::size_t result = 1 + names.size() + 2;
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        const std::vector<std::string>& f = table.records[i].fields;
        if (f.size() > result && f[result] == "ok") log.ok.insert(f.front());
    }
    return log;
}

bool openFleetLog(const std::string& path, const std::vector<std::string>& names, std::set<std::string>& ok,
                  std::string& error) {
    std::string text;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (FileResult r = readWholeFile(path, text); !r.ok()) {
            error = r.error;
            return false;
        }
    }
    FleetLog log = readFleetLog(text, names);
    if (!log.error.empty()) {
        error = path + ": " + log.error + "; give another log";
        return false;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos && !appendDurably(path, fleetLogHeader(names), error))
        return false;
    ok = std::move(log.ok);
    return true;
}

std::string freeBackupPath(const std::string& dir, const std::string& label) {
    const std::string base = dir + "/" + label;
    std::string path = base + ".bc";
    struct stat st {};
    for (int n = 2; ::lstat(path.c_str(), &st) == 0; ++n) path = base + "-" + std::to_string(n) + ".bc";
    return path;
}

bool saveFleetBackup(const std::string& dir, const std::string& label, const Document& radio, std::string& savedAs,
                     std::string& error) {
    savedAs = freeBackupPath(dir, label);
    std::string bytes;
    FileResult saved = saveCodeplug(radio, bytes);
    if (saved.ok()) saved = writeFileAtomically(savedAs, bytes);
    if (!saved.ok()) error = "cannot write " + savedAs + ": " + saved.error;
    return saved.ok();
}

bool appendDurably(const std::string& path, std::string_view text, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    if (!synced) error = "cannot write " + path + ": " + std::strerror(errno);
    return ::close(fd) == 0 && synced;
}

std::string localTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string s = text;   // "+0200" → "+02:00"
    if (s.size() >= 5) s.insert(s.size() - 2, ":");
    return s;
}

}   // namespace pellaro
