// SPDX-License-Identifier: GPL-3.0-or-later
// Editor rules: key filters, commits, messages and the splices into mirrors.
#include <gtest/gtest.h>

#include "codeplug/codes.h"
#include "codeplug/rules.h"

using namespace pellaro;

namespace {

// The mirror with the characters of one field blanked out, to check that a
// commit touched nothing else.
std::string outside(std::string m, int first, int width) {
    return m.replace(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(width),
                     std::string(static_cast<std::size_t>(width), '.'));
}

std::string cellsOf(const Document& d, Band b, int row) {
    std::string s;
    for (int c = 1; c <= 12; ++c) s += d.table(b).at(c, row) + "|";
    return s;
}

}   // namespace

// ---- channel cells ------------------------------------------------------------------

TEST(ChannelFrequency, CompletionRasterAndBandEdges) {
    struct Case {
        const char* typed;
        const char* cell;
    };   // cell "" = refused
    const Case cases[] = {
        {"145.5", "145.50000"},
        {"145", "145.00000"},
        {"0145.5", "145.50000"},
        {"00145", "145.00000"},
        {"145.12345", "145.12500"},
        {"145.00625", "145.00625"},
        {"145.0125", "145.01250"},
        {"145.001", "145.00250"},
        {"136", "136.00000"},
        {"176", "176.00000"},
        {"400", "400.00000"},
        {"490", "490.00000"},
        {"175.99999", "176.00000"},
        {"144.39", "144.39000"},
        {"136.0125", "136.01250"},
        {"176.00001", ""},
        {"399.99999", ""},
        {"135.99999", ""},
        {"0.5", ""},
        {"1.2.3", ""},
        {"145..5", ""},
        {"145125000", ""},
    };
    for (const auto& c : cases) {
        for (Band band : {Band::A, Band::B}) {
            Document d;
            d.table(band).at(12, 7) = "NAME";
            const CommitOutcome out = commitChannelFrequency(d, band, 1, 7, c.typed);
            if (*c.cell) {
                EXPECT_EQ(out.message, "") << c.typed;
                EXPECT_EQ(out.editor, EditorAfter::EmptyHide);
                EXPECT_EQ(cellsOf(d, band, 7), std::string(c.cell) + "|0FF|OFF|||||High|Wide|OFF|OFF|NAME|") << c.typed;
            } else {
                EXPECT_EQ(out.message, receiveRangeMessage(band)) << c.typed;
                EXPECT_EQ(cellsOf(d, band, 7), "||||||||||||") << c.typed;
                if (band == Band::B) {
                    EXPECT_EQ(out.editor, EditorAfter::Keep);
                    EXPECT_EQ(out.editorText, c.typed);
                } else {
                    EXPECT_EQ(out.editor, EditorAfter::EmptyHide);
                }
            }
        }
    }
    EXPECT_EQ(receiveRangeMessage(Band::A), "Receiving Frequency in 136~176MHZ 400~490MHZ ");
    EXPECT_EQ(receiveRangeMessage(Band::B), "Receiving Frequency in 136~176MHZ 400~490MHZ");
    EXPECT_EQ(transmitRangeMessage(Band::A), "Transmission Frequency in 136~176MHZ 400~490MHZ ");
    EXPECT_EQ(transmitRangeMessage(Band::B), "Transmission Frequency in 136~176MHZ 400~490MHZ");
}

TEST(ChannelFrequency, GroupsKeptDefaultedOrCleared) {
    Document d;
    ChannelTable& t = d.table(Band::A);
    const char* full[] = {"145.50000", "67.0HZ", "QT/DQT", "145.00000", "D023N", "DTMF1",
                          "OFF",       "Low",    "Narrow", "ON",        "ON",    "AB"};
    auto fill = [&] {
        for (int c = 1; c <= 12; ++c) t.at(c, 3) = full[c - 1];
    };

    fill();   // unchanged text, also in a shorter form: nothing written
    commitChannelFrequency(d, Band::A, 1, 3, "145.5");
    EXPECT_EQ(cellsOf(d, Band::A, 3), "145.50000|67.0HZ|QT/DQT|145.00000|D023N|DTMF1|OFF|Low|Narrow|ON|ON|AB|");

    commitChannelFrequency(d, Band::A, 1, 3, "145.525");   // receive defaults; name and transmit stay
    EXPECT_EQ(cellsOf(d, Band::A, 3), "145.52500|0FF|OFF|145.00000|D023N|DTMF1|OFF|High|Wide|OFF|OFF|AB|");

    fill();
    commitChannelFrequency(d, Band::A, 4, 3, "146");
    EXPECT_EQ(cellsOf(d, Band::A, 3), "145.50000|67.0HZ|QT/DQT|146.00000|0FF|OFF|OFF|Low|Narrow|ON|ON|AB|");

    fill();
    CommitOutcome out = commitChannelFrequency(d, Band::A, 1, 3, "");
    EXPECT_EQ(out.editor, EditorAfter::EmptyKeep);
    EXPECT_EQ(cellsOf(d, Band::A, 3), "|||145.00000|D023N|DTMF1|OFF||||||");

    fill();
    out = commitChannelFrequency(d, Band::A, 1, 3, ".");
    EXPECT_EQ(out.editor, EditorAfter::EmptyKeep);
    EXPECT_EQ(out.message, "");
    EXPECT_EQ(t.at(1, 3), "");

    fill();   // a refused transmit frequency clears columns 4 to 7 only, in both bands
    out = commitChannelFrequency(d, Band::A, 4, 3, "300");
    EXPECT_EQ(out.message, "Transmission Frequency in 136~176MHZ 400~490MHZ ");
    EXPECT_EQ(cellsOf(d, Band::A, 3), "145.50000|67.0HZ|QT/DQT|||||Low|Narrow|ON|ON|AB|");
    d.table(Band::B).at(4, 1) = "145.00000";
    out = commitChannelFrequency(d, Band::B, 4, 1, "300");
    EXPECT_EQ(out.editor, EditorAfter::EmptyHide);
    EXPECT_EQ(d.table(Band::B).at(4, 1), "");

    fill();   // not a number (only reachable by program code): nothing changes
    out = commitChannelFrequency(d, Band::A, 1, 3, "abc");
    EXPECT_EQ(out.message, "'abc' is not a valid floating point value");
    EXPECT_EQ(out.editor, EditorAfter::Keep);
    EXPECT_EQ(t.at(1, 3), "145.50000");
}

TEST(ChannelKeys, FrequencyAndNameFilters) {
    struct Case {
        std::size_t length;
        char key;
        KeyAction want;
    };
    const Case frequency[] = {
        {3, '5', KeyAction::Accept},  {3, '.', KeyAction::Accept},        {3, 'a', KeyAction::Discard},
        {3, '-', KeyAction::Discard}, {3, kEnter, KeyAction::Commit},     {9, '1', KeyAction::Discard},
        {9, '.', KeyAction::Discard}, {9, kBackspace, KeyAction::Accept}, {9, kEnter, KeyAction::Commit}};
    for (const auto& c : frequency) EXPECT_EQ(channelFrequencyKey(c.length, c.key).action, c.want) << c.length << c.key;

    const Case name[] = {
        {0, ' ', KeyAction::Accept},  {0, '!', KeyAction::Accept},        {6, '}', KeyAction::Accept},
        {7, 'A', KeyAction::Discard}, {7, kBackspace, KeyAction::Accept}, {0, kEnter, KeyAction::Commit},
        {0, ',', KeyAction::Discard}, {0, '~', KeyAction::Discard},       {0, '\'', KeyAction::Discard},
        {0, '"', KeyAction::Discard}, {0, '\x7F', KeyAction::Discard},    {0, '\xE9', KeyAction::Discard},
        {0, '\t', KeyAction::Discard}};
    for (const auto& c : name) EXPECT_EQ(channelNameKey(c.length, c.key).action, c.want) << int(c.key);

    Document d;
    commitChannelName(d, Band::B, 9, "a,b\"c~d'efghij");   // pasted: same rules
    EXPECT_EQ(d.table(Band::B).at(12, 9), "abcdefg");
    commitChannelName(d, Band::B, 9, "");
    EXPECT_EQ(d.table(Band::B).at(12, 9), "");
    // A name of one blank would load back from a file as none: it is none.
    commitChannelName(d, Band::B, 9, " ");
    EXPECT_EQ(d.table(Band::B).at(12, 9), "");

    // A name read from the radio keeps every byte when its editor is left
    // without a change.
    for (const std::string& name :
         {std::string("Caf\xE9"), std::string("A,B~"), std::string("\x01X"), std::string(" ")}) {
        d.table(Band::A).at(12, 3) = name;
        commitChannelName(d, Band::A, 3, name);
        EXPECT_EQ(d.table(Band::A).at(12, 3), name);
    }
}

TEST(ChannelLists, EntriesAndOffers) {
    EXPECT_EQ(channelListEntries(2).size(), 206u);
    EXPECT_EQ(channelListEntries(2)[0], "OFF");
    EXPECT_EQ(channelListEntries(6).size(), 18u);
    EXPECT_EQ(channelListEntries(9)[0], "Narrow");
    EXPECT_EQ(channelListEntries(3)[1], "QT/DQT+Signaling");

    Document d;
    EXPECT_TRUE(channelEditorOffered(d, Band::A, 1, 5));
    EXPECT_TRUE(channelEditorOffered(d, Band::A, 4, 5));
    EXPECT_FALSE(channelEditorOffered(d, Band::A, 2, 5));
    EXPECT_FALSE(channelEditorOffered(d, Band::A, 12, 5));
    d.table(Band::A).at(1, 5) = "145.50000";
    EXPECT_TRUE(channelEditorOffered(d, Band::A, 12, 5));
    EXPECT_FALSE(channelEditorOffered(d, Band::A, 5, 5));
    commitChannelList(d, Band::A, 8, 5, "Low");
    EXPECT_EQ(d.table(Band::A).at(8, 5), "Low");
}

// ---- band set-up -------------------------------------------------------------------

TEST(SetupLists, EveryPickSplicesOnlyItsField) {
    struct Place {
        int editor;
        int mirror;
        int first;
        int width;
    };   // band A mirrors
    const Place places[] = {{1, 1, 1, 2},  {2, 1, 3, 2},  {4, 1, 13, 4},  {5, 1, 27, 2},  {6, 1, 17, 2},
                            {7, 1, 21, 4}, {8, 1, 25, 2}, {10, 1, 29, 2}, {11, 1, 31, 2}, {12, 2, 1, 2},
                            {13, 2, 3, 2}, {14, 2, 5, 2}, {16, 2, 15, 4}};
    const std::size_t sizes[17] = {0, 2, 128, 0, 206, 18, 2, 206, 18, 0, 2, 2, 2, 2, 3, 0, 7};
    for (Band band : {Band::A, Band::B}) {
        const int shift = band == Band::A ? 0 : 2;
        Document d;
        for (const Place& p : places) {
            for (std::size_t index = 0; index < sizes[p.editor]; ++index) {
                const auto before = d.k;
                pickSetupList(d, band, p.editor, static_cast<int>(index));
                const std::string& m = d.k[static_cast<std::size_t>(p.mirror + shift)];
                ASSERT_EQ(m.size(), 32u);
                ASSERT_EQ(outside(m, p.first, p.width),
                          outside(before[static_cast<std::size_t>(p.mirror + shift)], p.first, p.width));
                for (int n : {1, 2, 3, 4}) {
                    if (n != p.mirror + shift) {
                        ASSERT_EQ(d.k[static_cast<std::size_t>(n)], before[static_cast<std::size_t>(n)]);
                    }
                }
                ASSERT_EQ(d.vfo(band).sel[static_cast<std::size_t>(p.editor)], static_cast<int>(index));
            }
        }
    }
    struct Code {
        Band band;
        int editor;
        int index;
        int mirror;
        int first;
        const char* code;
    };
    const int d023i = 1 + 39 + 83;
    const Code codes[] = {{Band::A, 4, d023i, 1, 13, "C023"}, {Band::A, 4, 40, 1, 13, "8023"},
                          {Band::A, 4, 0, 1, 13, "FFFF"},     {Band::B, 7, d023i, 3, 21, "C023"},
                          {Band::A, 2, 127, 1, 3, "7F"},      {Band::B, 14, 2, 4, 5, "02"},
                          {Band::A, 16, 4, 2, 15, "04E2"},    {Band::A, 8, 17, 1, 25, "11"}};
    for (const Code& c : codes) {
        Document d;
        pickSetupList(d, c.band, c.editor, c.index);
        EXPECT_EQ(d.k[static_cast<std::size_t>(c.mirror)].substr(static_cast<std::size_t>(c.first - 1),
                                                                 std::string(c.code).size()),
                  c.code);
    }
    Document d;
    const Document before = d;
    pickSetupList(d, Band::A, 1, 2);   // not an entry: nothing changes
    EXPECT_EQ(d, before);
}

TEST(SetupFrequency, RangeLeadInsAndExactness) {
    struct Case {
        const char* text;
        const char* code;
    };
    const Case accepted[] = {{"136", "00CF8500"},   {"150.05", "00E4F548"},    {"176", "010C8E00"},
                             {"145.1", "00DD67B0"}, {"145.00007", "00DD40A7"}, {"", "FFFFFFFF"}};
    for (const auto& c : accepted) {
        Document d;
        const CommitOutcome out = commitSetupRxFrequency(d, Band::A, c.text, Trigger::Exit);
        EXPECT_EQ(out.message, "") << c.text;
        EXPECT_EQ(d.k[1].substr(4, 8), c.code) << c.text;
        EXPECT_EQ(d.vfo(Band::A).rxFreq, c.text);
    }
    struct Refused {
        Band band;
        Trigger how;
        const char* message;
    };
    const Refused refused[] = {{Band::A, Trigger::Exit, "Receiving Frequency in136MHZ~176MHZ"},
                               {Band::A, Trigger::MouseMove, "Receive Frequency in 136MHZ~176MHZ"},
                               {Band::B, Trigger::Exit, "Receive Frequency in 136MHZ~176MHZ"}};
    for (const auto& r : refused) {
        for (const char* text : {"135.99999", "176.00001", "435", "-150", "99999999"}) {
            Document d;
            const int mirror = r.band == Band::A ? 1 : 3;
            d.k[static_cast<std::size_t>(mirror)] = designMirror(1);
            const CommitOutcome out = commitSetupRxFrequency(d, r.band, text, r.how);
            EXPECT_EQ(out.message, r.message) << text;
            EXPECT_EQ(out.editor, EditorAfter::EmptyKeep);
            EXPECT_EQ(d.vfo(r.band).rxFreq, "");
            EXPECT_EQ(d.k[static_cast<std::size_t>(mirror)], "0002FFFFFFFFFFFF0000FFFF00000101");
        }
    }
    Document d;
    const std::string k1 = d.k[1];
    const CommitOutcome out = commitSetupRxFrequency(d, Band::A, "14a5", Trigger::MouseMove);
    EXPECT_EQ(out.message, "'14a5' is not a valid floating point value");
    EXPECT_EQ(out.editor, EditorAfter::Keep);
    EXPECT_EQ(d.vfo(Band::A).rxFreq, "14a5");
    EXPECT_EQ(d.k[1], k1);
}

TEST(SetupOffset, FieldCodesAndRefusals) {
    const std::pair<const char*, const char*> cases[] = {{"10", "000F4240"},   {"0.6", "0000EA60"},
                                                         {"0.01", "000003E8"}, {"0", "00000000"},
                                                         {"", "FFFFFFFF"},     {"42949.67294", "FFFFFFFE"}};
    for (const auto& [text, code] : cases) {
        Document d;
        EXPECT_EQ(commitSetupOffset(d, Band::B, text).message, "") << text;
        EXPECT_EQ(d.k[4].substr(6, 8), code) << text;
        EXPECT_EQ(outside(d.k[4], 7, 8), outside(startupMirror(4), 7, 8));
    }
    for (const char* text : {"-0.6", "42949.67295", "42949.67296", "1.2.3"}) {
        Document d;
        const CommitOutcome out = commitSetupOffset(d, Band::A, text);
        EXPECT_NE(out.message, "") << text;
        EXPECT_EQ(out.editor, EditorAfter::Keep);
        EXPECT_EQ(d.vfo(Band::A).offset, text);
        EXPECT_EQ(d.k[2], startupMirror(2)) << text;
    }
}

// ---- comprehensive settings ---------------------------------------------------------------

TEST(Settings, PicksAndFmFrequency) {
    struct Pick {
        int editor;
        int index;
        int first;
        const char* code;
    };
    const Pick picks[] = {{1, 0, 1, "00"},    {1, 1, 1, "01"},     {2, 15, 3, "0F"},    {9, 0, 19, "00"},
                          {11, 20, 23, "14"}, {12, 3, 25, "0834"}, {13, 3, 29, "00C8"}, {13, 0, 29, "0032"},
                          {14, 9, 33, "09"},  {15, 1, 35, "01"},   {6, 0, 13, "00"}};
    for (const auto& p : picks) {
        Document d;
        pickSettingsList(d, p.editor, p.index);
        const int width = static_cast<int>(std::string(p.code).size());
        EXPECT_EQ(d.k[5].substr(static_cast<std::size_t>(p.first - 1), static_cast<std::size_t>(width)), p.code)
            << p.editor;
        EXPECT_EQ(outside(d.k[5], p.first, width), outside(startupMirror(5), p.first, width));
        EXPECT_EQ(d.gn[static_cast<std::size_t>(p.editor)], p.index);
    }
    struct Fm {
        const char* text;
        const char* code;
        const char* message;
        const char* after;
    };
    const Fm fm[] = {{"88", "0370", "", "88"},
                     {"108", "0438", "", "108"},
                     {"101.57", "03F7", "", "101.57"},
                     {"", "FFFF", "", ""},
                     {"87.9", "FFFF", "FM Frequency 88~108MHz", ""},
                     {"108.1", "FFFF", "FM Frequency 88~108MHz", ""},
                     {"-100", "FFFF", "FM Frequency 88~108MHz", ""}};
    for (const auto& f : fm) {
        Document d;
        d.k[5].replace(4, 4, "0400");
        const CommitOutcome out = commitFmFrequency(d, f.text);
        EXPECT_EQ(out.message, f.message) << f.text;
        EXPECT_EQ(d.k[5].substr(4, 4), f.code) << f.text;
        EXPECT_EQ(d.gn3, f.after);
        EXPECT_EQ(d.k[5].size(), 36u);
    }
    Document d;
    const CommitOutcome out = commitFmFrequency(d, "9x");
    EXPECT_EQ(out.message, "'9x' is not a valid floating point value");
    EXPECT_EQ(d.k[5], startupMirror(5));
    EXPECT_EQ(d.gn3, "9x");
}

// ---- DTMF page ------------------------------------------------------------------------------

TEST(DtmfPage, TypingEncodesIntoItsHalf) {
    Document d;
    d.k[6] = "00FFFFFFFFFFFFFF0201FFFFFFFFFFFF";
    std::string text;
    for (char key : {'1', '2', 'A', '#'}) {
        ASSERT_EQ(dtmfKey(1, text.size(), key).action, KeyAction::Accept);
        text.push_back(key);
        text = dtmfKeyUp(d, 1, text);
    }
    EXPECT_EQ(d.k[6], "0401020D0CFFFFFF0201FFFFFFFFFFFF");

    dtmfKeyUp(d, 11, "D");
    EXPECT_EQ(d.k[13].substr(0, 12), "0100FFFFFFFF");
    dtmfKeyUp(d, 12, "1");
    dtmfKeyUp(d, 12, "");   // Backspace removed the last symbol
    EXPECT_EQ(d.k[13], "0100FFFFFFFF00FFFFFFFFFF");
    dtmfKeyUp(d, 2, "C");
    EXPECT_EQ(d.k[6].substr(16), "010FFFFFFFFFFFFF");
    EXPECT_EQ(dtmfKeyUp(d, 9, "1234567"), "1234567");
    EXPECT_EQ(d.k[12].substr(0, 16), "0701020304050607");
    // Pasted text is held to the key rules before it reaches the mirror.
    EXPECT_EQ(dtmfKeyUp(d, 16, "12ab#CD99"), "12#CD");
    EXPECT_EQ(d.sypz[8], "12#CD");
    EXPECT_EQ(d.k[15].substr(12), "0501020C0F00");
    for (int n : {6, 12, 13, 15})
        EXPECT_EQ(d.k[static_cast<std::size_t>(n)].size(),
                  static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(n)]));
}

TEST(DtmfPage, KeyFilterLimitsAndMessages) {
    struct Case {
        int editor;
        std::size_t length;
        char key;
        KeyAction action;
        const char* message;
    };
    const char* groups = "DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D";
    const char* ids = "输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D";
    const Case cases[] = {{5, 7, '1', KeyAction::Discard, ""},       {14, 5, '1', KeyAction::Discard, ""},
                          {10, 6, '1', KeyAction::Accept, ""},       {11, 4, '1', KeyAction::Accept, ""},
                          {5, 7, kBackspace, KeyAction::Accept, ""}, {14, 5, kBackspace, KeyAction::Accept, ""},
                          {2, 0, 'a', KeyAction::Discard, groups},   {10, 0, 'a', KeyAction::Discard, ids},
                          {2, 0, 'C', KeyAction::Accept, ""},        {2, 0, '\x16', KeyAction::Discard, groups},
                          {3, 0, '*', KeyAction::Accept, ""},        {7, 7, 'a', KeyAction::Discard, ""}};
    for (const auto& c : cases) {
        const KeyOutcome out = dtmfKey(c.editor, c.length, c.key);
        EXPECT_EQ(out.action, c.action) << c.editor << " " << int(c.key);
        EXPECT_EQ(out.message, c.message) << c.editor << " " << int(c.key);
    }
    Document d;
    pickState(d, 2);
    EXPECT_EQ(d.sypz9, 2);
    pickState(d, 3);
    EXPECT_EQ(d.sypz9, 2);
}

// ---- limit page ------------------------------------------------------------------------------

TEST(LimitPage, MessagesLimitsAndMode) {
    EXPECT_EQ(messageKey(7, 'A').action, KeyAction::Discard);
    EXPECT_EQ(messageKey(7, kBackspace).action, KeyAction::Accept);
    EXPECT_EQ(messageKey(0, ' ').action, KeyAction::Accept);
    EXPECT_EQ(messageKey(0, ',').action, KeyAction::Discard);
    EXPECT_EQ(messageKey(0, kEnter).action, KeyAction::Discard);

    Document d;
    d.k[10] = "0141FFFFFFFFFFFF0142FFFFFFFFFFFF";
    commitMessage(d, 2, "");
    EXPECT_EQ(d.k[10], "0141FFFFFFFFFFFF00FFFFFFFFFFFFFF");
    commitMessage(d, 1, "HELLO");
    EXPECT_EQ(d.k[10].substr(0, 16), "0548454C4C4FFFFF");
    commitMessage(d, 1, "");
    EXPECT_EQ(commitMessage(d, 1, "A B,CDEFGHIJ").editorText, "A BCDEF");   // pasted
    EXPECT_EQ(d.k[10].substr(0, 16), "0741204243444546");

    EXPECT_EQ(limitKey(1, kEnter).action, KeyAction::Next);
    EXPECT_EQ(limitKey(3, kEnter).action, KeyAction::Next);
    EXPECT_EQ(limitKey(4, kEnter).action, KeyAction::Discard);
    EXPECT_EQ(limitKey(2, 'e').action, KeyAction::Discard);
    EXPECT_EQ(limitKey(2, '.').action, KeyAction::Accept);
    EXPECT_EQ(filterPaste("1", "4x5.2\n", &limitKeyFilter, 0), "145.2");

    struct Case {
        int which;
        const char* text;
        const char* code;
    };
    const Case cases[] = {{1, "0.01", "000003E8"}, {2, "0", "00000000"},       {3, "", "FFFFFFFF"},
                          {4, "136", "00CF8500"},  {1, "145.125", "00DD7174"}, {1, "500", "02FAF080"},
                          {2, "100", "00989680"},  {3, "400", "02625A00"}};
    for (const auto& c : cases) {
        Document e;
        EXPECT_EQ(commitLimit(e, c.which, c.text).message, "") << c.text;
        const auto first = static_cast<std::size_t>((c.which - 1) * 8);
        EXPECT_EQ(e.k[11].substr(first, 8), c.code) << c.text;
        EXPECT_EQ(outside(e.k[11], static_cast<int>(first) + 1, 8),
                  outside(startupMirror(11), static_cast<int>(first) + 1, 8));
    }
    for (const char* text : {"1.2.3", "42949.67296", "-1"}) {
        Document e;
        const CommitOutcome out = commitLimit(e, 2, text);
        EXPECT_NE(out.message, "") << text;
        EXPECT_EQ(e.k[11], startupMirror(11));
        EXPECT_EQ(e.xp[2], text);
    }
    EXPECT_EQ(commitLimit(d, 1, "1.2.3").message, "'1.2.3' is not a valid floating point value");

    Document e;
    pickLimitMode(e, 0);
    EXPECT_EQ(e.k[11], std::string(32, 'F') + "00");
    EXPECT_EQ(e.xp5, 0);
}

// ---- edits keep what they did not touch ------------------------------------------

TEST(Edits, OnlyWhatTheEditBringsInMeetsTheKeyFilter) {
    struct Case {
        const char* before;
        const char* after;
        const char* kept;
    };
    const Case cases[] = {
        {"\xC4pfel", "\xC4pfel", "\xC4pfel"},     // untouched
        {"\xC4pfel", "\xC4pfel1", "\xC4pfel1"},   // one typed after it
        {"A'B'", "A'B'C", "A'B'C"},
        {"A'B'", "A'B", "A'B"},                     // a deletion
        {"\xC4pfel", "x\xC4pfely", "x\xC4pfely"},   // typed on both sides
        {"\xC4pfel", "\xC4pf,el", "\xC4pfel"},      // a typed comma is refused
        {"", "\xC4pfel", "pfel"},                   // pasted: the filter judges all
        {"ABCDEFG", "ABCDEFGH", "ABCDEFG"},         // the limit counts kept ones too
        {"AB",
         "A\x01"
         "B\x7F",
         "AB"},   // control characters never pass
    };
    for (const auto& c : cases) EXPECT_EQ(filterEdit(c.before, c.after, &channelNameKey, 7), c.kept) << c.after;
}

TEST(Edits, PowerOnMessagesAndNamesFromTheRadioSurvive) {
    Document d;
    // As read: "\xC4pfel", and "A'B'" followed by bytes other than FF.
    d.k[10] =
        "05C47066656CFFFF"
        "04412742270012FF";
    d.kaiji1 = "\xC4pfel";
    d.kaiji2 = "A'B'";
    const std::string asRead = d.k[10];
    EXPECT_EQ(commitMessage(d, 1, "\xC4pfel").editorText, "\xC4pfel");
    EXPECT_EQ(commitMessage(d, 2, "A'B'").editorText, "A'B'");
    EXPECT_EQ(d.k[10], asRead);
    EXPECT_EQ(d.kaiji2, "A'B'");

    EXPECT_EQ(commitMessage(d, 1, "\xC4pfel1").editorText, "\xC4pfel1");
    EXPECT_EQ(d.k[10],
              "06C47066656C31FF"
              "04412742270012FF");

    d.table(Band::A).at(1, 3) = "145.50000";
    d.table(Band::A).at(12, 3) = "\xC4pfel";
    commitChannelName(d, Band::A, 3, "\xC4pfel1");
    EXPECT_EQ(d.table(Band::A).at(12, 3), "\xC4pfel1");
}

TEST(Messages, QuotedTextIsUtf8) {
    Document d;
    const std::string expected = "'4\xC3\x9F' is not a valid floating point value";   // '4ß'
    EXPECT_EQ(commitSetupRxFrequency(d, Band::A, "4\xDF", Trigger::Exit).message, expected);
    EXPECT_EQ(commitSetupOffset(d, Band::B, "4\xDF").message, expected);
    EXPECT_EQ(commitFmFrequency(d, "4\xDF").message, expected);
    EXPECT_EQ(commitLimit(d, 1, "4\xDF").message, expected);
    EXPECT_EQ(latin1ToUtf8("A\xE9\xFF"), "A\xC3\xA9\xC3\xBF");
}
