// SPDX-License-Identifier: GPL-3.0-or-later
// Code tables and conversions: every table both ways, frequency exactness.
#include <gtest/gtest.h>

#include <set>

#include "codeplug/codes.h"

using namespace pellaro;

TEST(HexText, FixedWidthsAndParsing) {
    EXPECT_EQ(hexByte(0x0F), "0F");
    EXPECT_EQ(hexByte(0x1FF), "FF");   // a byte field never widens
    EXPECT_EQ(hexWord(0x29E), "029E");
    EXPECT_EQ(hexDword(0xE4F548), "00E4F548");
    EXPECT_EQ(toHex(std::string_view("\x01\xAB\xFF", 3)), "01ABFF");
    EXPECT_EQ(fromHex("01abF"), (std::vector<std::uint8_t>{0x01, 0xAB}));   // odd tail dropped
    EXPECT_FALSE(fromHex("0G"));
    EXPECT_FALSE(hexValue(""));
    EXPECT_FALSE(hexValue("1FFFFFFFF"));
    EXPECT_EQ(hexValue("0FFFFFFFF"), 0xFFFFFFFFu);
}

TEST(DecimalScaled, ExactReading) {
    struct Case {
        const char* text;
        int scale;
        bool ok;
        bool negative;
        std::uint64_t magnitude;
    };
    const Case cases[] = {
        {"145.00007", 5, true, false, 14500007},
        {"136.0125", 5, true, false, 13601250},
        {"144.39", 5, true, false, 14439000},
        {" 0145.5 ", 5, true, false, 14550000},
        {"145.123456", 5, true, false, 14512345},   // beyond five decimals: truncated
        {".5", 1, true, false, 5},
        {"5.", 1, true, false, 50},
        {"0.0012", 5, true, false, 120},
        {"-0.6", 5, true, true, 60000},
        {"1E2", 5, true, false, 10000000},
        {"1.5e-1", 1, true, false, 1},
        {"101.57", 1, true, false, 1015},
        {"", 5, false, false, 0},
        {".", 5, false, false, 0},
        {"1.2.3", 5, false, false, 0},
        {"12a", 5, false, false, 0},
        {"1E", 5, false, false, 0},
        {"- 1", 5, false, false, 0},
    };
    for (const auto& c : cases) {
        const auto r = parseDecimalScaled(c.text, c.scale);
        ASSERT_EQ(r.has_value(), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(r->negative, c.negative) << c.text;
        EXPECT_EQ(r->magnitude, c.magnitude) << c.text;
    }
    EXPECT_EQ(parseDecimalScaled("1E30", 5)->magnitude, UINT64_MAX);
}

TEST(FrequencyField, TextForms) {
    EXPECT_EQ(frequencyText(0x00E4F548), "150.05000");
    EXPECT_EQ(frequencyText(6600000), "66.00000");
    EXPECT_EQ(frequencyText(60000), "0.60000");
    EXPECT_EQ(frequencyText(0), "0.00000");
    EXPECT_EQ(frequencyText(0xFFFFFFFE), "42949.67294");
    EXPECT_EQ(frequencyText(0x80000000), "21474.83648");
    EXPECT_EQ(frequencyText(kNoFrequency), "");
    EXPECT_EQ(frequencyHex("150.05"), "00E4F548");
    EXPECT_EQ(frequencyHex(""), "FFFFFFFF");
    EXPECT_EQ(frequencyHex("42949.67294"), "FFFFFFFE");

    struct Refused {
        const char* text;
        FreqError error;
    };
    for (const Refused& r :
         {Refused{"42949.67295", FreqError::OutOfRange}, Refused{"42949.67296", FreqError::OutOfRange},
          Refused{"99999999", FreqError::OutOfRange}, Refused{"-1", FreqError::OutOfRange},
          Refused{"1.2.3", FreqError::NotANumber}, Refused{"abc", FreqError::NotANumber}})
        EXPECT_EQ(parseFrequency(r.text).error, r.error) << r.text;
    EXPECT_EQ(parseFrequency("-0").units, 0u);
}

// Every 10 Hz step of a few bands converts to its exact unit count, in the
// full form and in the shortest form a user types.
TEST(FrequencyField, ExactOverTheWholeGrid) {
    // 2 m and 70 cm amateur bands, the VHF band edge and the sub-MHz offsets.
    const std::pair<std::uint32_t, std::uint32_t> bands[] = {
        {13600000, 13700000}, {14400000, 14800000}, {43000000, 44000000}, {0, 200000}};
    for (const auto& [lo, hi] : bands) {
        for (std::uint32_t u = lo; u <= hi; ++u) {
            const std::string full = frequencyText(u);
            const FreqParse p = parseFrequency(full);
            ASSERT_EQ(p.units, u) << full;
            std::string shortest = full;
            while (shortest.back() == '0') shortest.pop_back();
            ASSERT_EQ(parseFrequency(shortest).units, u) << shortest;
        }
    }
    EXPECT_EQ(limitText(13600000), "136");
    EXPECT_EQ(limitText(14512500), "145.125");
    EXPECT_EQ(limitText(1000), "0.01");
    EXPECT_EQ(limitText(0), "0");
    EXPECT_EQ(limitText(0x02625A00), "400");
    EXPECT_EQ(limitText(kNoFrequency), "");
}

TEST(ToneTable, AllEntriesBothWays) {
    const auto& channel = toneList("OFF");
    const auto& setup = toneList("0FF");
    ASSERT_EQ(channel.size(), 206u);
    ASSERT_EQ(setup.size(), 206u);
    EXPECT_EQ(channel[0], "OFF");
    EXPECT_EQ(setup[0], "0FF");
    EXPECT_EQ(channel[1], "67.0HZ");
    EXPECT_EQ(channel[39], "250.3HZ");
    EXPECT_EQ(channel[40], "D023N");
    EXPECT_EQ(channel[123], "D023I");
    EXPECT_EQ(channel[205], "D754I");
    std::set<std::string> codes;
    for (std::size_t i = 1; i < channel.size(); ++i) {
        const std::string code = toneCode(channel[i]);
        ASSERT_EQ(code.size(), 4u) << channel[i];
        EXPECT_EQ(toneText(code), channel[i]);
        EXPECT_EQ(setup[i], channel[i]);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 205u);   // no two entries share a code

    const std::pair<const char*, const char*> known[] = {{"67.0HZ", "029E"}, {"250.3HZ", "09C7"}, {"D023N", "8023"},
                                                         {"D023I", "C023"},  {"D754I", "C754"},   {"OFF", "FFFF"},
                                                         {"0FF", "FFFF"},    {"", "FFFF"}};
    for (const auto& [text, code] : known) EXPECT_EQ(toneCode(text), code) << text;
}

// Codes outside the lists decode by the rules and must encode back to the
// same four digits, or every later byte of the record would move.
TEST(ToneTable, CodesOutsideTheListsRoundTrip) {
    const std::pair<const char*, const char*> cases[] = {{"0300", "76.8HZ"}, {"0050", "8.0HZ"}, {"1234", "466.0HZ"},
                                                         {"C0D0", "D0D0I"},  {"8754", "D754N"}, {"9ABC", "3961.2HZ"},
                                                         {"0005", "0.5HZ"}};
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(toneText(code), text) << code;
        EXPECT_EQ(toneCode(text), code) << text;
    }
    EXPECT_EQ(toneText("0000"), "");
    EXPECT_EQ(toneText("FFFF"), "");
    EXPECT_TRUE(toneIsOff("0000"));
}

TEST(SignalTable, AllEntries) {
    const auto& list = signalList();
    ASSERT_EQ(list.size(), 18u);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(signalIndex(list[static_cast<std::size_t>(i)]), i);
        EXPECT_EQ(signalText(i), list[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(signalText(0x0F), "DTMF7+Identity Code");
    EXPECT_EQ(signalText(0x11), "Identity Code");
    EXPECT_EQ(signalText(0x12), "");
    EXPECT_FALSE(signalIndex("DTMF9"));
}

TEST(StepTable, AllEntries) {
    const char* codes[] = {"00FA", "01F4", "0271", "03E8", "04E2", "09C4", "1388"};
    ASSERT_EQ(stepList().size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(stepIndexFromCode(codes[i]), i);
        EXPECT_EQ(hexWord(stepValues()[static_cast<std::size_t>(i)]), codes[i]);
    }
    EXPECT_FALSE(stepIndexFromCode("0001"));
}

TEST(DtmfTable, AllSymbolsAndGroups) {
    const std::string symbols = "D1234567890*#ABC";
    for (std::size_t code = 0; code < symbols.size(); ++code) {
        EXPECT_EQ(dtmfCode(symbols[code]), code) << symbols[code];
        EXPECT_EQ(dtmfSymbol(static_cast<std::uint8_t>(code)), std::string(1, symbols[code]));
    }
    EXPECT_FALSE(dtmfCode('a'));
    EXPECT_EQ(dtmfSymbol(0x1F), "1F");

    struct Case {
        const char* text;
        int positions;
        const char* hex;
    };
    const Case cases[] = {{"", 7, "00FFFFFFFFFFFFFF"},        {"", 5, "00FFFFFFFFFF"},
                          {"123", 7, "03010203FFFFFFFF"},     {"D0", 5, "02000AFFFFFF"},
                          {"1234567", 7, "0701020304050607"}, {"12A#", 7, "0401020D0CFFFFFF"}};
    for (const auto& c : cases) {
        EXPECT_EQ(dtmfGroupHex(c.text, c.positions), c.hex) << c.text;
        EXPECT_EQ(dtmfGroupText(c.hex, c.positions), c.text) << c.hex;
    }
    EXPECT_EQ(dtmfGroupText("00010203FFFFFFFF", 7), "");   // count 00
    EXPECT_EQ(dtmfGroupText("FFFFFFFFFFFFFFFF", 7), std::string(14, 'F'));
    EXPECT_EQ(dtmfGroupText("FFFFFFFFFFFF", 5), std::string(10, 'F'));
    // A text the editors could not produce still gives a group of full size.
    EXPECT_EQ(dtmfGroupHex("1x23456789", 5), "050102030405");
}

TEST(LengthPrefixedText, NamesAndMessages) {
    EXPECT_EQ(nameHex("HELLO"), "0548454C4C4FFFFF");
    EXPECT_EQ(nameHex(""), "00FFFFFFFFFFFFFF");
    EXPECT_EQ(nameHex("ABCDEFG"), "0741424344454647");
    EXPECT_EQ(nameText("03414243FFFFFFFF"), "ABC");
    EXPECT_EQ(nameText("00414243FFFFFFFF"), "");
    EXPECT_EQ(nameText("FF414243FFFFFFFF"), "");
    EXPECT_EQ(nameText("0941424344454647"), "ABCDEFG");   // a count above 7 reads 7
    EXPECT_EQ(nameText("FE41424344454647"), "ABCDEFG");
    const std::string latin1 = "\xE9\xFC";
    EXPECT_EQ(nameText(nameHex(latin1)), latin1);
}

TEST(Lists, EntryCountsAndTexts) {
    EXPECT_EQ(lists::mainBand()[0], "A/upper Band ");
    EXPECT_EQ(lists::timeOut().size(), 21u);
    EXPECT_EQ(lists::timeOut()[20], "600");
    EXPECT_EQ(lists::zeroTo(20).size(), 21u);
    EXPECT_EQ(lists::vibration().size(), 10u);
    EXPECT_EQ(lists::channelNumbers()[127], "128");
    EXPECT_EQ(setupModeList()[1], "QT/DQT+ Signaling");
    EXPECT_EQ(channelModeList()[1], "QT/DQT+Signaling");
}
