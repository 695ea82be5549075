// SPDX-License-Identifier: GPL-3.0-or-later
// The generic channel CSV that other programming tools share: what each of
// its columns means for a channel of this radio, both ways.
#include <algorithm>
#include <cstdio>

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "files/channel_csv_rows.h"

namespace pellaro::channel_csv {

namespace {

constexpr int kRxFrequency = colOf(Column::RxFrequency);
constexpr int kRxTone = colOf(Column::RxTone);
constexpr int kTxFrequency = colOf(Column::TxFrequency);
constexpr int kTxTone = colOf(Column::TxTone);
constexpr int kPower = colOf(Column::Power);
constexpr int kBandwidth = colOf(Column::Bandwidth);
constexpr int kName = colOf(Column::Name);

const std::vector<std::string>& genericColumns() {
    static const std::vector<std::string> columns = {
        "Location",     "Name",       "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq", "DtcsCode",
        "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",   "TStep",  "Skip", "Power",     "Comment",
    };
    return columns;
}

// ---- numbers ---------------------------------------------------------------

// A MHz text in whole hertz; nothing when it is not a plain positive number.
std::optional<std::uint64_t> hertz(std::string_view mhz) {
    const std::string t = trimmed(mhz);
    if (t.empty() || t.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    const auto v = parseDecimalScaled(t, 6);
    if (!v || v->magnitude > 100000000000ull) return std::nullopt;
    return v->magnitude;
}

// Hertz as MHz with six decimals, as the format writes frequencies.
std::string mhzText(std::uint64_t hz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu.%06llu", static_cast<unsigned long long>(hz / 1000000),
                  static_cast<unsigned long long>(hz % 1000000));
    return buf;
}

// A cell's frequency text (10 Hz units) in hertz.
std::uint64_t cellHertz(const std::string& cell) {
    const auto v = parseDecimalScaled(cell, 6);
    return v ? v->magnitude : 0;
}

// ---- tones -------------------------------------------------------------------

// Hz "88.5" to the tone list's "88.5HZ"; nothing when the list has no such tone.
std::optional<std::string> ctcssEntry(std::string_view hz) {
    const std::string t = trimmed(hz);
    if (t.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    const auto hundredths = parseDecimalScaled(t, 2);
    if (!hundredths || hundredths->magnitude % 10 != 0) return std::nullopt;
    const auto tenths = hundredths->magnitude / 10;
    const std::string text = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "HZ";
    const auto& list = toneList("OFF");
    if (std::find(list.begin(), list.end(), text) == list.end()) return std::nullopt;
    return text;
}

// Code "23" or "023" with polarity N or R to "D023N" / "D023I".
std::optional<std::string> dcsEntry(std::string_view code, char polarity) {
    std::string t = trimmed(code);
    if (t.empty() || t.size() > 3 || t.find_first_not_of("01234567") != std::string::npos) return std::nullopt;
    if (polarity != 'N' && polarity != 'R') return std::nullopt;
    t.insert(0, 3 - t.size(), '0');
    const std::string text = "D" + t + (polarity == 'N' ? "N" : "I");
    const auto& list = toneList("OFF");
    if (std::find(list.begin(), list.end(), text) == list.end()) return std::nullopt;
    return text;
}

enum class ToneKind { None, Ctcss, Dcs };

// One side (transmit or receive) of a row's tone setting.
struct ToneSide {
    ToneKind kind = ToneKind::None;
    const char* valueColumn = "";   // rToneFreq, cToneFreq, DtcsCode or RxDtcsCode
    int polarity = 0;               // 0: transmit letter of DtcsPolarity, 1: receive letter
};

struct ToneSetting {
    ToneSide tx, rx;
    std::string error;   // the Tone / CrossMode values are none the format knows
};

ToneSide crossSide(std::string_view part, bool transmit) {
    if (part == "Tone") return {ToneKind::Ctcss, transmit ? "rToneFreq" : "cToneFreq", 0};
    if (part == "DTCS") return {ToneKind::Dcs, transmit ? "DtcsCode" : "RxDtcsCode", transmit ? 0 : 1};
    return {};
}

ToneSetting toneSetting(const std::string& tone, const std::string& cross) {
    if (tone.empty()) return {};
    if (tone == "Tone") return {{ToneKind::Ctcss, "rToneFreq", 0}, {}, {}};
    if (tone == "TSQL") return {{ToneKind::Ctcss, "cToneFreq", 0}, {ToneKind::Ctcss, "cToneFreq", 1}, {}};
    if (tone == "DTCS") return {{ToneKind::Dcs, "DtcsCode", 0}, {ToneKind::Dcs, "DtcsCode", 1}, {}};
    if (tone == "Cross") {
        const std::size_t arrow = cross.find("->");
        const std::string txPart = arrow == std::string::npos ? "" : cross.substr(0, arrow);
        const std::string rxPart = arrow == std::string::npos ? "" : cross.substr(arrow + 2);
        const bool known = arrow != std::string::npos && (txPart.empty() || txPart == "Tone" || txPart == "DTCS") &&
                           (rxPart.empty() || rxPart == "Tone" || rxPart == "DTCS") &&
                           !(txPart.empty() && rxPart.empty());
        if (!known) return {{}, {}, "CrossMode " + quoteUserText(cross) + " is not one this radio can hold"};
        return {crossSide(txPart, true), crossSide(rxPart, false), {}};
    }
    return {{}, {}, "Tone " + quoteUserText(tone) + " is not one this radio can hold (\"\", Tone, TSQL, DTCS, Cross)"};
}

// The planned tone cell of one side, or the reason it cannot be had.
struct ToneCell {
    std::optional<PlannedCell> cell;
    std::string refusal;
};

ToneCell toneCell(PlannedRow& row, const CsvRecord& r, const Header& h, int col, const ToneSide& side) {
    if (side.kind == ToneKind::None) return {PlannedCell{col, "OFF", true}, {}};
    const std::string value = trimmed(field(r, h, side.valueColumn).value_or(""));
    if (side.kind == ToneKind::Ctcss) {
        if (const auto e = ctcssEntry(readDecimalComma(row, col, value))) return {PlannedCell{col, *e, false}, {}};
        return {{},
                "CTCSS " + quoteUserText(value) + " Hz (" + side.valueColumn + ") is not in this radio's tone list"};
    }
    const std::string polarity = trimmed(field(r, h, "DtcsPolarity").value_or("NN"));
    const char p = polarity.size() == 2 ? polarity[static_cast<std::size_t>(side.polarity)] : '?';
    if (const auto e = dcsEntry(value, p)) return {PlannedCell{col, *e, false}, {}};
    return {{},
            "DCS " + quoteUserText(value) + " (" + side.valueColumn + ", polarity " + quoteUserText(polarity) +
                ") is not in this radio's tone list"};
}

// ---- power --------------------------------------------------------------------

// "5W", "5.0 W" or "5" in hundredths of a watt.
std::optional<std::uint64_t> watts(std::string_view text) {
    std::string t = trimmed(text);
    if (!t.empty() && (t.back() == 'W' || t.back() == 'w')) t = trimmed(t.substr(0, t.size() - 1));
    if (t.empty() || t.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    const auto v = parseDecimalScaled(t, 2);
    if (!v) return std::nullopt;
    return v->magnitude;
}

// ---- one row ------------------------------------------------------------------

PlannedRow planRow(const CsvRecord& r, const Header& h, Band band, std::optional<std::uint64_t> mostWatts) {
    PlannedRow row;
    row.line = r.line;
    row.band = band;
    const std::string location = trimmed(field(r, h, "Location").value_or(""));
    const auto channel = channelNumber(location);
    if (!channel) {
        row.refused = true;
        row.issues.push_back(issue(Severity::Refused, row, kNumberColumn,
                                   "Location " + quoteUserText(location) + " is not a channel of this radio (1 to " +
                                       std::to_string(kRows) + "): row left out"));
        return row;
    }
    row.channel = *channel;
    auto refuse = [&](int col, const std::string& why) {
        row.issues.push_back(issue(Severity::Refused, row, col, why));
    };

    // A frequency goes to the rule as written (however many decimals): the
    // rule reads it, rounds it onto the raster or says why not.
    std::optional<std::string> frequency = field(r, h, "Frequency");
    if (frequency) frequency = readDecimalComma(row, kRxFrequency, trimmed(*frequency));
    if (frequency) row.cells.push_back({kRxFrequency, *frequency, false});
    row.emptiedWhy = "the row has no Frequency";

    // Transmit: Duplex with Offset.
    std::optional<std::string> transmit;
    // Without a Duplex column a frequency is simplex, the format's default.
    const auto duplex = field(r, h, "Duplex");
    const std::string d = trimmed(duplex.value_or(""));
    std::string offset = trimmed(field(r, h, "Offset").value_or(""));
    if (d == "+" || d == "-" || d == "split") offset = readDecimalComma(row, kTxFrequency, offset);
    if (duplex || frequency) {
        if (d.empty()) {
            if (frequency) transmit = *frequency;   // simplex
        } else if (d == "+" || d == "-") {
            const auto rx = hertz(frequency.value_or("")), off = hertz(offset);
            if (!rx || !off)
                refuse(kTxFrequency,
                       "Duplex " + d + " with Offset " + quoteUserText(offset) + " gives no transmission frequency");
            else if (d == "-" && *off > *rx)
                refuse(kTxFrequency, "Duplex - with Offset " + quoteUserText(offset) + " goes below 0 MHz");
            else
                transmit = mhzText(d == "+" ? *rx + *off : *rx - *off);
        } else if (d == "split") {
            transmit = offset;
        } else if (d == "off") {
            transmit = "";
        } else {
            refuse(kTxFrequency, "Duplex " + quoteUserText(d) + " is none of \"\", +, -, split, off");
        }
    }

    // Tones, in the receive then transmit cells.
    std::optional<PlannedCell> rxTone, txTone;
    if (const auto tone = field(r, h, "Tone")) {
        const ToneSetting s = toneSetting(trimmed(*tone), trimmed(field(r, h, "CrossMode").value_or("")));
        if (!s.error.empty()) {
            refuse(kRxTone, s.error);
        } else {
            const ToneCell rx = toneCell(row, r, h, kRxTone, s.rx);
            if (rx.cell)
                rxTone = rx.cell;
            else
                refuse(kRxTone, rx.refusal);
            if (transmit && transmit->empty()) {
                if (s.tx.kind != ToneKind::None)
                    row.issues.push_back(issue(Severity::Note, row, kTxTone,
                                               std::string("the transmit tone (") + s.tx.valueColumn +
                                                   ") is not kept: the channel does not transmit (Duplex off)"));
            } else {
                const ToneCell tx = toneCell(row, r, h, kTxTone, s.tx);
                if (tx.cell)
                    txTone = tx.cell;
                else
                    refuse(kTxTone, tx.refusal);
            }
        }
    }

    if (rxTone) row.cells.push_back(*rxTone);
    if (transmit) row.cells.push_back({kTxFrequency, *transmit, false});
    if (txTone) row.cells.push_back(*txTone);

    if (const auto power = field(r, h, "Power")) {
        const std::string p = trimmed(*power);
        const auto w = watts(p);
        const bool receives = !trimmed(frequency.value_or("")).empty();
        if (p.empty()) {
            if (receives) row.cells.push_back({kPower, "High", false});
        } else if (sameIgnoringCase(p, "High"))
            row.cells.push_back({kPower, "High", false});
        else if (sameIgnoringCase(p, "Low"))
            row.cells.push_back({kPower, "Low", false});
        else if (w && mostWatts)
            row.cells.push_back({kPower, *w >= *mostWatts ? "High" : "Low", false});
        else
            refuse(kPower, "Power " + quoteUserText(p) + " is neither High, Low nor a number of watts");
    }
    if (const auto mode = field(r, h, "Mode")) {
        const std::string m = trimmed(*mode);
        if (m == "FM")
            row.cells.push_back({kBandwidth, "Wide", false});
        else if (m == "NFM")
            row.cells.push_back({kBandwidth, "Narrow", false});
        else if (!m.empty())
            refuse(kBandwidth, "Mode " + quoteUserText(m) + " is not one this radio has (FM, NFM)");
    }
    if (const auto name = field(r, h, "Name")) row.cells.push_back({kName, *name, false});
    return row;
}

// ---- export -------------------------------------------------------------------

bool isOff(const std::string& tone) { return tone.empty() || tone == "OFF" || tone == "0FF"; }
bool isDcs(const std::string& tone) { return tone.size() == 5 && tone.front() == 'D'; }
std::string ctcssHz(const std::string& tone) { return tone.substr(0, tone.size() - 2); }   // "88.5HZ"
std::string dcsCode(const std::string& tone) { return tone.substr(1, 3); }
char dcsPolarity(const std::string& tone) { return tone.back() == 'I' ? 'R' : 'N'; }

// The coarsest channel step the frequency lies on, in kHz, for TStep.
std::string stepOf(const std::string& cell) {
    const auto v = parseDecimalScaled(cell, 5);
    const std::uint64_t units = v ? v->magnitude : 0;
    static const std::pair<unsigned, const char*> kSteps[] = {{5000, "50.00"}, {2500, "25.00"}, {1250, "12.50"},
                                                              {1000, "10.00"}, {625, "6.25"},   {500, "5.00"},
                                                              {250, "2.50"}};
    for (const auto& [step, text] : kSteps)
        if (units % step == 0) return text;
    return "5.00";
}

// VHF or UHF, for choosing "split" over an offset across the bands.
bool sameBand(std::uint64_t a, std::uint64_t b) { return (a < 300000000) == (b < 300000000); }

std::vector<std::string> genericRow(const ChannelTable& t, int row) {
    auto cell = [&](int col) -> const std::string& { return t.at(col, row); };
    const std::string& rxText = cell(kRxFrequency);
    const std::string& txText = cell(kTxFrequency);
    const std::uint64_t rx = cellHertz(rxText), tx = cellHertz(txText);

    std::string duplex, offset = "0.000000";
    if (txText.empty())
        duplex = "off";
    else if (rxText.empty() || !sameBand(rx, tx))
        duplex = "split", offset = mhzText(tx);
    else if (tx > rx)
        duplex = "+", offset = mhzText(tx - rx);
    else if (tx < rx)
        duplex = "-", offset = mhzText(rx - tx);

    // The format's own defaults where a tone is not used.
    std::string tone, rTone = "88.5", cTone = "88.5", dtcs = "023", rxDtcs = "023", cross = "Tone->Tone";
    char txPol = 'N', rxPol = 'N';
    const std::string txTone = txText.empty() ? std::string() : cell(kTxTone);
    const std::string& rxTone = cell(kRxTone);
    const bool txOff = isOff(txTone), rxOff = isOff(rxTone);
    if (!txOff && !isDcs(txTone)) rTone = ctcssHz(txTone);
    if (!rxOff && !isDcs(rxTone)) cTone = ctcssHz(rxTone);
    if (!txOff && isDcs(txTone)) dtcs = dcsCode(txTone), txPol = dcsPolarity(txTone);
    if (!rxOff && isDcs(rxTone)) rxDtcs = dcsCode(rxTone), rxPol = dcsPolarity(rxTone);
    if (txOff && rxOff) {
        tone = "";
    } else if (!txOff && rxOff && !isDcs(txTone)) {
        tone = "Tone";
    } else if (!txOff && !rxOff && !isDcs(txTone) && txTone == rxTone) {
        tone = "TSQL";
        rTone = cTone;
    } else if (!txOff && !rxOff && isDcs(txTone) && isDcs(rxTone) && dcsCode(txTone) == dcsCode(rxTone)) {
        tone = "DTCS";
    } else {
        tone = "Cross";
        cross = std::string(txOff           ? ""
                            : isDcs(txTone) ? "DTCS"
                                            : "Tone") +
                "->" +
                (rxOff           ? ""
                 : isDcs(rxTone) ? "DTCS"
                                 : "Tone");
    }
    const std::string mode = cell(kBandwidth) == "Narrow" ? "NFM" : cell(kBandwidth).empty() ? "" : "FM";
    return {std::to_string(row),
            latin1ToUtf8(cell(kName)),
            rxText.empty() ? std::string() : mhzText(rx),
            duplex,
            offset,
            tone,
            rTone,
            cTone,
            dtcs,
            std::string{txPol, rxPol},
            rxDtcs,
            cross,
            mode,
            stepOf(rxText.empty() ? txText : rxText),
            "",
            cell(kPower),
            ""};
}

}   // namespace

bool isGenericHeader(const Header& h) { return h.find("Location").has_value(); }

namespace {

std::vector<PlannedRow> planGeneric(const CsvTable& table, Band band, std::vector<ReportItem>& fileIssues) {
    const Header header(table.records.front().fields);
    Place headerLine;
    headerLine.line = table.records.front().line;

    // Columns this radio has no place for: said once, for the file.
    std::vector<std::string> unknown;
    for (const std::string& name : header.names()) {
        const bool known = std::any_of(genericColumns().begin(), genericColumns().end(),
                                       [&](const std::string& c) { return sameIgnoringCase(c, name); });
        if (!known && !name.empty()) unknown.push_back(name);
    }
    if (!unknown.empty()) {
        constexpr std::size_t kNamed = 10;
        std::string list;
        for (std::size_t i = 0; i < unknown.size() && i < kNamed; ++i)
            list += (list.empty() ? "" : ", ") + quoteUserText(unknown[i]);
        if (unknown.size() > kNamed) list += " and " + std::to_string(unknown.size() - kNamed) + " more";
        fileIssues.push_back({Severity::Note, headerLine, "columns this radio has no place for, ignored: " + list});
    }

    // Watts: the file's highest is High, every lower one Low.
    std::optional<std::uint64_t> mostWatts;
    int skipped = 0;
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        const CsvRecord& r = table.records[i];
        if (const auto w = watts(field(r, header, "Power").value_or("")))
            mostWatts = std::max(mostWatts.value_or(0), *w);
        if (!trimmed(field(r, header, "Skip").value_or("")).empty()) ++skipped;
    }
    if (skipped > 0)
        fileIssues.push_back({Severity::Note, headerLine,
                              "Skip is set on " + std::to_string(skipped) +
                                  " row(s): this radio has no scan skip, the column is ignored"});

    std::vector<PlannedRow> rows;
    for (std::size_t i = 1; i < table.records.size(); ++i)
        rows.push_back(planRow(table.records[i], header, band, mostWatts));
    return rows;
}

}   // namespace

std::string readGeneric(const CsvTable& table, std::optional<Band> band, std::vector<PlannedRow>& rows,
                        std::vector<ReportItem>& fileIssues) {
    rows = planGeneric(table, band.value_or(Band::A), fileIssues);
    return {};
}

CsvExport exportGeneric(const Document& doc, std::optional<Band> band) {
    CsvExport out;
    out.csv = csvLine(genericColumns());
    const ChannelTable& t = doc.table(band.value_or(Band::A));
    for (int row = 1; row <= kRows; ++row) {
        if (!programmed(t, row)) continue;
        out.csv += csvLine(genericRow(t, row));
        ++out.rows;
    }
    return out;
}

}   // namespace pellaro::channel_csv
