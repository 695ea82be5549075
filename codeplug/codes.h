// SPDX-License-Identifier: GPL-3.0-or-later
// Code tables and text conversions shared by the record codecs and editors.
// All functions are pure: text or bytes in, value or text out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellaro {

// ---- hex text -------------------------------------------------------------
// Upper-case, two digits per byte, high nibble first, no separators.
std::string toHex(const std::uint8_t* data, std::size_t n);
std::string toHex(const std::vector<std::uint8_t>& bytes);
std::string toHex(std::string_view bytes);   // one char = one byte
// Pairs of hex digits to bytes; an odd trailing character is dropped.
// Returns nothing when a pair is not two hex digits (either case accepted).
std::optional<std::vector<std::uint8_t>> fromHex(std::string_view hex);
bool isHexText(std::string_view text);       // only 0-9 A-F a-f
std::string hexByte(unsigned value);         // two upper-case digits
std::string hexWord(unsigned value);         // four digits
std::string hexDword(std::uint32_t value);   // eight digits
// Hex text to number; nothing when empty, not hex or wider than 32 bits.
std::optional<std::uint32_t> hexValue(std::string_view hex);

// ---- decimal numbers --------------------------------------------------------
// Reads a decimal number text exactly and returns it times 10^scale, truncated
// toward zero (digits beyond `scale` decimals are dropped). Surrounding blanks
// are ignored; an optional sign, digits and at most one "." are allowed; an
// exponent ("1E2") is accepted as a floating point reader would. Nothing when
// the text is not a number.
struct Scaled {
    bool negative = false;
    std::uint64_t magnitude = 0;   // saturates at UINT64_MAX for absurd inputs
};
std::optional<Scaled> parseDecimalScaled(std::string_view text, int scale);

// Document texts hold one Latin-1 character per byte; messages are UTF-8.
// A text quoted in a message goes through this first.
std::string latin1ToUtf8(std::string_view text);
// UTF-8 (clipboard, files, the command line) to Latin-1. False when `utf8` is
// not valid UTF-8 or holds a character beyond Latin-1; `latin1Out` then holds
// what could be converted, with "?" for the rest.
bool utf8ToLatin1(std::string_view utf8, std::string& latin1Out);

// The run-time's message for a text that is not a number (the text quoted).
std::string notAFloatMessage(std::string_view text);

// ---- frequency field (4 bytes, 10 Hz units) -------------------------------
constexpr std::uint32_t kNoFrequency = 0xFFFFFFFFu;
// Units to the five-decimal text ("150.05000"); FFFFFFFF gives "". Values under
// 100000 show a whole part of 0 ("0.60000").
std::string frequencyText(std::uint32_t units);
// Text to the eight hex digits of the field: "" gives "FFFFFFFF".
// Refuses (nothing) a text that is not a number, a negative value, or a value
// that does not fit 32 bits (42949.67296 MHz or more, or exactly FFFFFFFF).
enum class FreqError { None, NotANumber, OutOfRange };
struct FreqParse {
    FreqError error = FreqError::None;
    std::uint32_t units = kNoFrequency;   // kNoFrequency for an empty text
};
FreqParse parseFrequency(std::string_view text);
std::string frequencyHex(std::string_view text);   // "" -> FFFFFFFF; expects a valid text

// Band limit texts: shortest decimal form ("136", "145.125"); FFFFFFFF gives "".
std::string limitText(std::uint32_t units);

// ---- tones -------------------------------------------------------------------
// The 206-entry tone list; entry 0 is the off entry, spelt `offText`
// ("OFF" in the channel tables, "0FF" with a digit zero on the set-up pages).
const std::vector<std::string>& toneList(std::string_view offText);
const std::vector<double>& ctcssTones();      // 39 tones in Hz
const std::vector<std::string>& dcsCodes();   // 83 three-digit codes
// Tone text to four hex digits: "", any three-character text -> "FFFF";
// CTCSS -> tenths of Hz as four hex digits; "DxyzN" -> "8xyz"; "DxyzI" -> "Cxyz".
std::string toneCode(std::string_view text);
// Four hex digits to text; "FFFF"/"0000" give "" (off: the caller decides
// what to show).
std::string toneText(std::string_view code);
bool toneIsOff(std::string_view code);

// ---- signalling ------------------------------------------------------------
const std::vector<std::string>& signalList();            // 18 entries, "OFF" first
std::optional<int> signalIndex(std::string_view text);   // position in the list
std::string signalText(int code);                        // "" outside 0..17

// ---- receiving mode --------------------------------------------------------
const std::vector<std::string>& channelModeList();   // "QT/DQT", "QT/DQT+Signaling"
const std::vector<std::string>& setupModeList();     // "QT/DQT", "QT/DQT+ Signaling"

// ---- frequency step ----------------------------------------------------------
const std::vector<std::string>& stepList();                    // "2.5K" .. "50K"
const std::vector<unsigned>& stepValues();                     // 250 .. 5000
std::optional<int> stepIndexFromCode(std::string_view code);   // "00FA" -> 0

// ---- DTMF digits -------------------------------------------------------------
// Symbol to code (nothing for a character outside the table) and back; a code
// outside the table gives its own two hex characters.
std::optional<std::uint8_t> dtmfCode(char symbol);
std::string dtmfSymbol(std::uint8_t code);
// Group of `positions` symbols (7 long, 5 short) to text, and text to group
// hex (2 + 2 x positions characters). The editors give only table symbols,
// at most `positions` of them; anything else is skipped or cut, so the group
// always has its full size.
std::string dtmfGroupText(std::string_view groupHex, int positions);
std::string dtmfGroupHex(std::string_view text, int positions);

// ---- length-prefixed texts (channel name, power-on message) -------------
// 8 bytes: count 0..7, the characters, FF up to the end. Counts 00 and FF give
// ""; a count above 7 reads 7 characters. Bytes are Latin-1 characters.
std::string nameText(std::string_view hex16);
std::string nameHex(std::string_view text);   // at most 7 characters

// ---- list entries of the editors ---------------------------------------------
// Fixed entry lists shared by the settings pages and the file printer.
namespace lists {
const std::vector<std::string>& workingMode();       // "Frequency Mode", "Channel Mode"
const std::vector<std::string>& channelNumbers();    // "1".."128"
const std::vector<std::string>& lowHigh();           // "Low", "High"
const std::vector<std::string>& bandwidth();         // "Narrow Band", "Wide Band"
const std::vector<std::string>& offOn();             // "OFF", "ON"
const std::vector<std::string>& offsetDirection();   // "OFF", "+", "-"
const std::vector<std::string>& mainBand();          // "A/upper Band ", "B/Under Band"
const std::vector<std::string>& zeroTo(int n);       // "0".."n"
const std::vector<std::string>& backlight();         // "OFF", "Orange", "Blue", "Purple"
const std::vector<std::string>& backlightMode();     // "Automatic", "On"
const std::vector<std::string>& vibration();         // "关", "1".."9"
const std::vector<std::string>& timeOut();           // "OFF", "30".."600"
const std::vector<std::string>& singleTone();        // "1000HZ".."2100HZ"
const std::vector<std::string>& dtmfTime();          // "50MS".."200MS"
const std::vector<std::string>& state();             // "Normal", "Stun", "Kill"
}   // namespace lists

}   // namespace pellaro
