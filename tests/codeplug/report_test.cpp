// SPDX-License-Identifier: GPL-3.0-or-later
// How reports name places, quote texts and shorten long lists.
#include <gtest/gtest.h>

#include "codeplug/report.h"

namespace pellaro {
namespace {

TEST(Report, PlacesAreNamedOneWay) {
    struct Case {
        Place place;
        const char* text;
    };
    const Case cases[] = {
        {{0, Band::A, 5, 1, ""}, "A 5 Receiving Frequency"},
        {{12, Band::B, 3, 12, ""}, "line 12: B 3 Channel Name"},
        {{0, Band::A, 7, 0, ""}, "A 7"},
        {{0, Band::B, 0, 0, ""}, "B"},
        {{0, Band::A, 129, 0, ""}, "A past channel 128"},
        {{0, Band::A, 3, 13, ""}, "A 3 past the last column"},
        {{0, std::nullopt, 0, 0, "Comprehensive Setting / Volume"}, "Comprehensive Setting / Volume"},
        {{3, std::nullopt, 0, 0, ""}, "line 3"},
        {{}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(placeText(c.place), c.text);
    EXPECT_EQ(itemText({Severity::Refused, {4, Band::A, 2, 0, ""}, "emptied"}), "line 4: A 2: emptied");
    EXPECT_EQ(itemText({Severity::Note, {}, "no header"}), "no header");
}

TEST(Report, QuotedTextsAreCutAfterFortyCharactersOnCharacterBoundaries) {
    EXPECT_EQ(quoteUserText("Äpfel"), "\"Äpfel\"");
    EXPECT_EQ(quoteUserText(std::string(40, 'x')), "\"" + std::string(40, 'x') + "\"");
    EXPECT_EQ(quoteUserText(std::string(1 << 20, 'x')), "\"" + std::string(40, 'x') + "…\"");
    std::string umlauts;
    for (int i = 0; i < 41; ++i) umlauts += "Ä";
    std::string shown;
    for (int i = 0; i < 40; ++i) shown += "Ä";
    EXPECT_EQ(quoteUserText(umlauts), "\"" + shown + "…\"");
    EXPECT_EQ(quoteUserText("\xC4pfel"), "\"\xEF\xBF\xBDpfel\"");
}

TEST(Report, LongListsShowTheFirstTwentyAndACount) {
    std::vector<std::string> lines(23, "x");
    auto shown = shownLines(lines);
    ASSERT_EQ(shown.size(), 21u);
    EXPECT_EQ(shown.back(), "… and 3 more");
    EXPECT_EQ(shownLines(std::vector<std::string>(20, "y")).size(), 20u);
}

}   // namespace
}   // namespace pellaro
