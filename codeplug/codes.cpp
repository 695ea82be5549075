// SPDX-License-Identifier: GPL-3.0-or-later
// Code tables and text conversions shared by the record codecs and editors.
#include "codeplug/codes.h"

#include <algorithm>
#include <array>
#include <limits>

#include "codeplug/memory_layout.h"

namespace pellaro {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string fixedHex(std::uint64_t value, int digits) {
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Decimal text of a whole number with a point before its last `decimals`
// digits; a whole part of 0 is written when the number has no more digits.
std::string withPoint(std::uint64_t value, std::size_t decimals) {
    std::string digits = std::to_string(value);
    if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    digits.insert(digits.size() - decimals, ".");
    return digits;
}

}   // namespace

// ---- hex text -------------------------------------------------------------

std::string toHex(const std::uint8_t* data, std::size_t n) {
    std::string out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(kHexDigits[data[i] >> 4]);
        out.push_back(kHexDigits[data[i] & 0xF]);
    }
    return out;
}

std::string toHex(const std::vector<std::uint8_t>& bytes) { return toHex(bytes.data(), bytes.size()); }

std::string toHex(std::string_view bytes) {
    return toHex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::optional<std::vector<std::uint8_t>> fromHex(std::string_view hex) {
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = hexDigitValue(hex[i]);
        const int lo = hexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

bool isHexText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; });
}

// Fixed widths: a field never grows or shrinks whatever the value.
std::string hexByte(unsigned value) { return fixedHex(value & 0xFFu, 2); }
std::string hexWord(unsigned value) { return fixedHex(value & 0xFFFFu, 4); }
std::string hexDword(std::uint32_t value) { return fixedHex(value, 8); }

std::optional<std::uint32_t> hexValue(std::string_view hex) {
    if (hex.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : hex) {
        const int d = hexDigitValue(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// ---- decimal numbers --------------------------------------------------------

std::optional<Scaled> parseDecimalScaled(std::string_view text, int scale) {
    std::string_view s = trimBlanks(text);
    Scaled result;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        result.negative = s[i] == '-';
        ++i;
    }
    // Mantissa digits without leading zeros, and how many of them stand
    // before the point.
    std::string digits;
    long long pointPos = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            sawDigit = true;
            if (digits.empty() && c == '0') {
                if (sawPoint) --pointPos;   // 0.0012: the point moves right
                continue;
            }
            digits.push_back(c);
            if (!sawPoint) ++pointPos;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit) return std::nullopt;
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        bool expDigit = false;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            expDigit = true;
            if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (!expDigit) return std::nullopt;
        if (expNegative) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;

    // The value is 0.<digits> x 10^(pointPos + exponent); scaled, its whole
    // part is the first pointPos + exponent + scale digits.
    const long long wholeDigits = pointPos + exponent + scale;
    if (digits.empty() || wholeDigits <= 0) return result;   // magnitude 0
    if (wholeDigits > 20) {
        result.magnitude = std::numeric_limits<std::uint64_t>::max();
        return result;
    }
    std::uint64_t magnitude = 0;
    for (long long d = 0; d < wholeDigits; ++d) {
        const unsigned digit = d < static_cast<long long>(digits.size())
                                   ? static_cast<unsigned>(digits[static_cast<std::size_t>(d)] - '0')
                                   : 0u;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            result.magnitude = std::numeric_limits<std::uint64_t>::max();
            return result;
        }
        magnitude = magnitude * 10 + digit;
    }
    result.magnitude = magnitude;
    return result;
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool utf8ToLatin1(std::string_view utf8, std::string& latin1Out) {
    latin1Out.clear();
    bool whole = true;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            latin1Out += static_cast<char>(c);
            ++i;
            continue;
        }
        // Length of the sequence from its lead byte; continuation bytes checked.
        const std::size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool valid = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (valid && length == 2) {
            const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            if (code >= 0x80 && code <= 0xFF) {
                latin1Out += static_cast<char>(code);
                i += 2;
                continue;
            }
        }
        latin1Out += '?';
        whole = false;
        i += valid ? length : 1;
    }
    return whole;
}

std::string notAFloatMessage(std::string_view text) {
    return "'" + latin1ToUtf8(text) + "' is not a valid floating point value";
}

// ---- frequency field ----------------------------------------------------------

std::string frequencyText(std::uint32_t units) {
    if (units == kNoFrequency) return {};
    return withPoint(units, 5);
}

FreqParse parseFrequency(std::string_view text) {
    FreqParse out;
    if (text.empty()) return out;
    const auto scaled = parseDecimalScaled(text, 5);
    if (!scaled) {
        out.error = FreqError::NotANumber;
        return out;
    }
    // FFFFFFFF is the "none" code, so the largest storable value is one less.
    if ((scaled->negative && scaled->magnitude != 0) || scaled->magnitude >= kNoFrequency) {
        out.error = FreqError::OutOfRange;
        return out;
    }
    out.units = static_cast<std::uint32_t>(scaled->magnitude);
    return out;
}

std::string frequencyHex(std::string_view text) {
    const FreqParse p = parseFrequency(text);
    if (p.error != FreqError::None) return hexDword(kNoFrequency);
    return hexDword(p.units);
}

std::string limitText(std::uint32_t units) {
    if (units == kNoFrequency) return {};
    std::string text = withPoint(units, 5);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// ---- tones ----------------------------------------------------------------------

const std::vector<double>& ctcssTones() {
    static const std::vector<double> tones = {67.0,  69.3,  71.9,  74.4,  77.0,  79.7,  82.5,  85.4,  88.5,  91.5,
                                              94.8,  97.4,  100.0, 103.5, 107.2, 110.9, 114.8, 118.8, 123.0, 127.3,
                                              131.8, 136.5, 141.3, 146.2, 151.4, 156.7, 162.2, 167.9, 173.8, 179.9,
                                              186.2, 192.8, 203.5, 210.7, 218.1, 225.7, 233.6, 241.8, 250.3};
    return tones;
}

const std::vector<std::string>& dcsCodes() {
    static const std::vector<std::string> codes = {
        "023", "025", "026", "031", "032", "043", "047", "051", "054", "065", "071", "072", "073", "074",
        "114", "115", "116", "125", "131", "132", "134", "143", "152", "155", "156", "162", "165", "172",
        "174", "205", "223", "226", "243", "244", "245", "251", "261", "263", "265", "271", "306", "311",
        "315", "331", "343", "346", "351", "364", "365", "371", "411", "412", "413", "423", "431", "432",
        "445", "464", "465", "466", "503", "506", "516", "532", "546", "565", "606", "612", "624", "627",
        "631", "632", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};
    return codes;
}

namespace {

std::vector<std::string> buildToneList(const std::string& off) {
    std::vector<std::string> list;
    list.reserve(206);
    list.push_back(off);
    // Tones are held to one decimal; tenths as an integer avoid any rounding.
    for (double hz : ctcssTones()) list.push_back(withPoint(static_cast<unsigned>(hz * 10 + 0.5), 1) + "HZ");
    for (const auto& c : dcsCodes()) list.push_back("D" + c + "N");
    for (const auto& c : dcsCodes()) list.push_back("D" + c + "I");
    return list;
}

}   // namespace

// The channel tables spell the off entry "OFF", the set-up pages "0FF"; any
// other spelling gets the channel table's list.
const std::vector<std::string>& toneList(std::string_view offText) {
    static const std::vector<std::string> channel = buildToneList("OFF");
    static const std::vector<std::string> setup = buildToneList("0FF");
    return offText == "0FF" ? setup : channel;
}

std::string toneCode(std::string_view text) {
    if (text.empty() || text.size() == 3) return "FFFF";
    if (text.find("HZ") != std::string_view::npos) {
        std::string digits;
        for (char c : text) {
            if (c >= '0' && c <= '9')
                digits.push_back(c);
            else if (c != '.' && c != 'H' && c != 'Z')
                return "FFFF";
        }
        if (digits.empty()) return "FFFF";
        const auto v = parseDecimalScaled(digits, 0);
        if (!v || v->magnitude > 0xFFFF) return "FFFF";
        // Always four digits, so that the rest of the record keeps its place.
        return hexWord(static_cast<unsigned>(v->magnitude));
    }
    // DCS: only the leading "D" and the trailing polarity letter are code
    // letters; the three digits between are taken as they stand.
    if (text.size() == 5 && text.front() == 'D' && isHexText(text.substr(1, 3))) {
        if (text.back() == 'N') return "8" + upper(text.substr(1, 3));
        if (text.back() == 'I') return "C" + upper(text.substr(1, 3));
    }
    return "FFFF";
}

bool toneIsOff(std::string_view code) {
    const std::string c = upper(code);
    return c == "FFFF" || c == "0000";
}

std::string toneText(std::string_view code) {
    const std::string c = upper(code);
    if (c.size() != 4 || !isHexText(c) || toneIsOff(c)) return {};
    if (c[0] == 'C') return "D" + c.substr(1) + "I";
    if (c[0] == '8') return "D" + c.substr(1) + "N";
    return withPoint(*hexValue(c), 1) + "HZ";
}

// ---- signalling ---------------------------------------------------------------

const std::vector<std::string>& signalList() {
    static const std::vector<std::string> list = {"OFF",
                                                  "DTMF1",
                                                  "DTMF2",
                                                  "DTMF3",
                                                  "DTMF4",
                                                  "DTMF5",
                                                  "DTMF6",
                                                  "DTMF7",
                                                  "DTMF8",
                                                  "DTMF1+Identity Code",
                                                  "DTMF2+Identity Code",
                                                  "DTMF3+Identity Code",
                                                  "DTMF4+Identity Code",
                                                  "DTMF5+Identity Code",
                                                  "DTMF6+Identity Code",
                                                  "DTMF7+Identity Code",
                                                  "DTMF8+Identity Code",
                                                  "Identity Code"};
    return list;
}

std::optional<int> signalIndex(std::string_view text) {
    const auto& list = signalList();
    const auto it = std::find(list.begin(), list.end(), text);
    if (it == list.end()) return std::nullopt;
    return static_cast<int>(it - list.begin());
}

std::string signalText(int code) {
    const auto& list = signalList();
    if (code < 0 || code >= static_cast<int>(list.size())) return {};
    return list[static_cast<std::size_t>(code)];
}

// ---- receiving mode -------------------------------------------------------------

const std::vector<std::string>& channelModeList() {
    static const std::vector<std::string> list = {"QT/DQT", "QT/DQT+Signaling"};
    return list;
}

const std::vector<std::string>& setupModeList() {
    static const std::vector<std::string> list = {"QT/DQT", "QT/DQT+ Signaling"};
    return list;
}

// ---- frequency step ---------------------------------------------------------------

const std::vector<std::string>& stepList() {
    static const std::vector<std::string> list = {"2.5K", "5K", "6.25K", "10K", "12.5K", "25K", "50K"};
    return list;
}

const std::vector<unsigned>& stepValues() {
    static const std::vector<unsigned> values = {250, 500, 625, 1000, 1250, 2500, 5000};
    return values;
}

std::optional<int> stepIndexFromCode(std::string_view code) {
    if (code.size() != 4) return std::nullopt;
    const auto v = hexValue(code);
    if (!v) return std::nullopt;
    const auto& values = stepValues();
    const auto it = std::find(values.begin(), values.end(), *v);
    if (it == values.end()) return std::nullopt;
    return static_cast<int>(it - values.begin());
}

// ---- DTMF digits -------------------------------------------------------------------

namespace {
// Symbol of each code 00..0F.
constexpr std::array<char, 16> kDtmfSymbols = {'D', '1', '2', '3', '4', '5', '6', '7',
                                               '8', '9', '0', '*', '#', 'A', 'B', 'C'};
}   // namespace

std::optional<std::uint8_t> dtmfCode(char symbol) {
    for (std::size_t i = 0; i < kDtmfSymbols.size(); ++i)
        if (kDtmfSymbols[i] == symbol) return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

std::string dtmfSymbol(std::uint8_t code) {
    if (code < kDtmfSymbols.size()) return std::string(1, kDtmfSymbols[code]);
    return hexByte(code);
}

std::string dtmfGroupText(std::string_view groupHex, int positions) {
    if (groupHex.size() < 2) return {};
    const auto count = hexValue(groupHex.substr(0, 2));
    if (!count || *count == 0) return {};
    const std::size_t n = std::min<std::size_t>(*count, static_cast<std::size_t>(positions));
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = 2 + 2 * i;
        if (at + 2 > groupHex.size()) break;
        const auto code = hexValue(groupHex.substr(at, 2));
        text += code ? dtmfSymbol(static_cast<std::uint8_t>(*code)) : std::string(groupHex.substr(at, 2));
    }
    return text;
}

std::string dtmfGroupHex(std::string_view text, int positions) {
    std::string codes;
    int n = 0;
    for (char c : text) {
        if (n == positions) break;
        const auto code = dtmfCode(c);
        if (!code) continue;   // a symbol outside the table never reaches the record
        codes += hexByte(*code);
        ++n;
    }
    for (int i = n; i < positions; ++i) codes += "FF";
    return hexByte(static_cast<unsigned>(n)) + codes;
}

// ---- length-prefixed texts -----------------------------------------------------------

std::string nameText(std::string_view hex16) {
    if (hex16.size() < 2) return {};
    const auto count = hexValue(hex16.substr(0, 2));
    if (!count || *count == 0 || *count == 0xFF) return {};
    // The record has room for seven characters; a larger count reads seven.
    const std::size_t n = std::min<std::size_t>(*count, 7);
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = 2 + 2 * i;
        if (at + 2 > hex16.size()) break;
        const auto code = hexValue(hex16.substr(at, 2));
        if (!code) break;
        text.push_back(static_cast<char>(*code));
    }
    return text;
}

std::string nameHex(std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), 7);
    std::string out = hexByte(static_cast<unsigned>(n));
    out += toHex(text.substr(0, n));
    for (std::size_t i = n; i < 7; ++i) out += "FF";
    return out;
}

// ---- list entries ------------------------------------------------------------------------

namespace lists {

namespace {
std::vector<std::string> numbers(int from, int to, int step = 1) {
    std::vector<std::string> out;
    for (int i = from; i <= to; i += step) out.push_back(std::to_string(i));
    return out;
}
}   // namespace

const std::vector<std::string>& workingMode() {
    static const std::vector<std::string> l = {"Frequency Mode", "Channel Mode"};
    return l;
}
const std::vector<std::string>& channelNumbers() {
    static const std::vector<std::string> l = numbers(1, kChannelsPerBand);
    return l;
}
const std::vector<std::string>& lowHigh() {
    static const std::vector<std::string> l = {"Low", "High"};
    return l;
}
const std::vector<std::string>& bandwidth() {
    static const std::vector<std::string> l = {"Narrow Band", "Wide Band"};
    return l;
}
const std::vector<std::string>& offOn() {
    static const std::vector<std::string> l = {"OFF", "ON"};
    return l;
}
const std::vector<std::string>& offsetDirection() {
    static const std::vector<std::string> l = {"OFF", "+", "-"};
    return l;
}
const std::vector<std::string>& mainBand() {
    static const std::vector<std::string> l = {"A/upper Band ", "B/Under Band"};
    return l;
}
const std::vector<std::string>& zeroTo(int n) {
    // Lists "0".."n" for n up to 128, built once.
    static const std::vector<std::vector<std::string>> all = [] {
        std::vector<std::vector<std::string>> v;
        for (int i = 0; i <= 128; ++i) v.push_back(numbers(0, i));
        return v;
    }();
    return all[static_cast<std::size_t>(std::clamp(n, 0, 128))];
}
const std::vector<std::string>& backlight() {
    static const std::vector<std::string> l = {"OFF", "Orange", "Blue", "Purple"};
    return l;
}
const std::vector<std::string>& backlightMode() {
    static const std::vector<std::string> l = {"Automatic", "On"};
    return l;
}
const std::vector<std::string>& vibration() {
    static const std::vector<std::string> l = [] {
        std::vector<std::string> v = {"关"};   // UTF-8, like every display text
        for (auto& s : numbers(1, 9)) v.push_back(s);
        return v;
    }();
    return l;
}
const std::vector<std::string>& timeOut() {
    static const std::vector<std::string> l = [] {
        std::vector<std::string> v = {"OFF"};
        for (auto& s : numbers(30, 600, 30)) v.push_back(s);
        return v;
    }();
    return l;
}
const std::vector<std::string>& singleTone() {
    static const std::vector<std::string> l = {"1000HZ", "1450HZ", "1750HZ", "2100HZ"};
    return l;
}
const std::vector<std::string>& dtmfTime() {
    static const std::vector<std::string> l = {"50MS", "100MS", "150MS", "200MS"};
    return l;
}
const std::vector<std::string>& state() {
    static const std::vector<std::string> l = {"Normal", "Stun", "Kill"};
    return l;
}

}   // namespace lists

}   // namespace pellaro
