// SPDX-License-Identifier: GPL-3.0-or-later
// The codeplug as text: a dump loads back to the same document, a refused
// value changes nothing, and hand edits (order, comments) do not matter.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "codeplug/cell_entry.h"
#include "codeplug/rules.h"
#include "codeplug/setting_entry.h"
#include "files/codeplug_file.h"
#include "files/codeplug_text.h"

namespace pellaro {
namespace {

// A document as users and radios leave it: channels and settings entered
// through the editors' rules, and mirror bytes that no editor explains.
Document randomDocument(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](const std::vector<std::string>& list) { return list[rng() % list.size()]; };
    auto frequency = [&] {
        const bool uhf = rng() % 2;
        const unsigned lo = uhf ? 40000000 : 13600000, span = uhf ? 9000000 : 4000000;
        return std::to_string((lo + rng() % span) / 100000) + "." + std::to_string(10000 + rng() % 90000).substr(1);
    };
    Document d;
    for (Band band : {Band::A, Band::B})
        for (int n = 0; n < 30; ++n) {
            const int row = 1 + static_cast<int>(rng() % kRows);
            if (rng() % 6) enterChannelCell(d, band, 1, row, frequency());
            if (rng() % 3) enterChannelCell(d, band, 4, row, frequency());
            for (int col : {2, 3, 5, 6, 7, 8, 9, 10, 11})
                if (rng() % 2) enterChannelCell(d, band, col, row, pick(channelListEntries(col)));
            enterChannelCell(d, band, 12, row, std::string("N-") + static_cast<char>('A' + rng() % 26));
        }
    for (const SettingId& id : allSettings()) {
        const ShownSetting s = shownSetting(d, id);
        if (s.entries && rng() % 2) enterSetting(d, id, pick(*s.entries));
    }
    dtmfKeyUp(d, 1 + static_cast<int>(rng() % 8), "12A#");
    commitMessage(d, 1, "HI " + std::to_string(rng() % 100));
    commitSetupRxFrequency(d, Band::A, "145.5", Trigger::Exit);
    // Bytes of the radio's own that no editor shows.
    for (int n : {1, 5, 11, 13}) d.k[static_cast<std::size_t>(n)][2 + rng() % 8] = "0123456789ABCDEF"[rng() % 16];
    return d;
}

std::string fileBytes(const Document& d) {
    std::string bytes;
    EXPECT_TRUE(saveCodeplug(d, bytes).ok());
    return bytes;
}

TEST(CodeplugText, DumpLoadsBackByteForByte) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        const Document source = randomDocument(seed);
        const CodeplugText text = dumpCodeplugText(source);
        EXPECT_TRUE(text.notes.empty()) << "seed " << seed << ": " << text.notes.front();
        EXPECT_EQ(dumpCodeplugText(source).text, text.text) << "the same document gives the same text";
        Document loaded;
        const TextLoadReport r = loadCodeplugText(text.text, loaded);
        ASSERT_TRUE(r.ok()) << "seed " << seed << ": " << (r.usable ? itemText(r.refused.front()) : r.error);
        EXPECT_EQ(fileBytes(loaded), fileBytes(source)) << "seed " << seed;
    }
}

TEST(CodeplugText, OneChangedValueIsOneChangedLine) {
    Document d = randomDocument(3);
    const std::string before = dumpCodeplugText(d).text;
    enterSetting(d, *findSetting("Comprehensive Setting/Volume"), "7");
    const std::string after = dumpCodeplugText(d).text;
    int changed = 0;
    std::size_t i = 0, j = 0;
    while (i < before.size() && j < after.size()) {
        const std::size_t a = before.find('\n', i), b = after.find('\n', j);
        if (before.compare(i, a - i, after, j, b - j) != 0) ++changed;
        i = a + 1;
        j = b + 1;
    }
    EXPECT_EQ(changed, 1);
}

TEST(CodeplugText, HandEditsInAnyOrderWithCommentsLoad) {
    const std::string text =
        "# my radio\n"
        "Comprehensive Setting:   # radio-wide\n"
        "  Squelch level: '5'\n"
        "  Volume: \"12\"\n"
        "channels:\n"
        "  B:\n"
        "    - {Channel Name: \"HOME\", Receiving Frequency: \"433.5\", Channel: 7}\n"
        "format: pellaro-codeplug 1\n";
    Document d;
    const TextLoadReport r = loadCodeplugText(text, d);
    ASSERT_TRUE(r.ok()) << (r.usable ? itemText(r.refused.front()) : r.error);
    EXPECT_EQ(shownSetting(d, *findSetting("Comprehensive Setting/Volume")).value, "12");
    EXPECT_EQ(shownSetting(d, *findSetting("Comprehensive Setting/Squelch level")).value, "5");
    EXPECT_EQ(d.table(Band::B).at(1, 7), "433.50000");
    EXPECT_EQ(d.table(Band::B).at(12, 7), "HOME");
}

TEST(CodeplugText, RefusalsAndUnknownKeysChangeNothingAndNameTheirLines) {
    struct Case {
        const char* body;
        const char* said;
    };
    const Case cases[] = {
        {"Comprehensive Setting:\n  Volume: \"99\"\n", "line 3: Comprehensive Setting/Volume: \"99\" is not an entry"},
        {"Comprehensive Setting:\n  Loudness: \"9\"\n", "line 3: \"Loudness\" is not a setting of this page"},
        {"Extras:\n  x: 1\n", "line 3: \"Extras\" is not a part of a codeplug text"},
        {"channels:\n  A:\n    - {Channel: 3, Receiving Frequency: \"145.5\", Receiving CTCSS: \"159.8\"}\n",
         "line 4: A 3 Receiving CTCSS: \"159.8\" is not an entry"},
        {"channels:\n  A:\n    - {Channel: 200, Receiving Frequency: \"145.5\"}\n",
         "line 4: A: \"200\" is not a channel"},
        {"channels:\n  A:\n    - {Channel: 1}\n    - {Channel: 1}\n", "line 5: A 1: the channel is given twice"},
        {"DTMF Groups:\n  DTMF1: \"12X\"\n", "line 3: DTMF Groups/DTMF1: \"12X\" cannot be typed here"},
        {"raw:\n  - {mirror: k5, address: \"0x0100\", bytes: \"00\"}\n", "line 3: the bytes do not lie within k5"},
    };
    for (const Case& c : cases) {
        Document d = randomDocument(9);
        const Document before = d;
        const TextLoadReport r = loadCodeplugText(std::string("format: pellaro-codeplug 1\n") + c.body, d);
        ASSERT_TRUE(r.usable) << c.body;
        ASSERT_FALSE(r.refused.empty()) << c.body;
        EXPECT_EQ(itemText(r.refused.front()).rfind(c.said, 0), 0u) << itemText(r.refused.front());
        EXPECT_EQ(d, before) << c.body;
    }
}

TEST(CodeplugText, EveryLatin1CharacterStaysInItsQuotedValue) {
    Document d;
    enterChannelCell(d, Band::A, 1, 1, "145.5");
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    d.table(Band::A).at(12, 1) = all;   // as a radio might send it
    const CodeplugText text = dumpCodeplugText(d);
    EXPECT_EQ(text.text.find("    - {Channel: 1,"), text.text.find("    - {"));
    EXPECT_EQ(text.text.find("\n  B:"), text.text.find('\n', text.text.find("    - {Channel: 1,")))
        << "the channel stays on one line";
    ASSERT_EQ(text.notes.size(), 1u) << "the name would be refused, and that is said";
    Document loaded;
    EXPECT_TRUE(loadCodeplugText(text.text, loaded).usable) << "the text still reads as YAML";
}

TEST(CodeplugText, OnlyThisFormatIsUsable) {
    for (const char* text : {"channels: [", "just text", "format: pellaro-codeplug 2\n", "- a\n- b\n", ""}) {
        Document d;
        const TextLoadReport r = loadCodeplugText(text, d);
        EXPECT_FALSE(r.usable) << text;
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(d, Document());
    }
}

TEST(SettingEntry, EverySettingHasOneNameAndTheLabelItsPageShows) {
    std::set<std::string> names;
    for (const SettingId& id : allSettings()) {
        const std::string name = settingName(id);
        EXPECT_TRUE(names.insert(name).second) << name << " twice";
        EXPECT_EQ(findSetting(name), id) << name;
        EXPECT_EQ(shownSetting(Document(), id).label, settingLabel(static_cast<PageId>(id.page), id.row)) << name;
        const SettingInfo& info = settingInfo(static_cast<PageId>(id.page), id.row);
        EXPECT_EQ(settingEntries(info.list) != nullptr, info.editor == SettingEditor::List) << name;
    }
    EXPECT_EQ(names.size(), 69u);   // 15 + 15 + 15 + 17 + 7
    EXPECT_EQ(settingLabel(PageId::Limit, settingRows(PageId::Limit)), nullptr);
    // Each mirror belongs to the page whose editors write it.
    using P = PageId;
    const P owner[] = {P::SetupA, P::SetupA, P::SetupB, P::SetupB, P::Comprehensive, P::Dtmf, P::Dtmf, P::Dtmf,
                       P::Dtmf,   P::Limit,  P::Limit,  P::Dtmf,   P::Dtmf,          P::Dtmf, P::Dtmf};
    for (int n = 1; n <= 15; ++n) EXPECT_EQ(mirrorPageId(n), owner[n - 1]) << "k" << n;
}

TEST(SettingEntry, EveryListEntryIsTakenAndGivesItsValueBack) {
    Document d;
    for (const SettingId& id : allSettings()) {
        const ShownSetting s = shownSetting(d, id);
        if (!s.entries) continue;
        for (const std::string& entry : *s.entries) {
            EXPECT_TRUE(enterSetting(d, id, entry).taken()) << settingName(id) << " " << entry;
            EXPECT_EQ(shownSetting(d, id).value, entry) << settingName(id);
        }
        EXPECT_TRUE(enterSetting(d, id, s.value).taken());
        EXPECT_EQ(shownSetting(d, id).value, s.value) << settingName(id) << " back";
    }
}

TEST(SettingEntry, TextsGoThroughTheirEditorsRules) {
    struct Case {
        const char* name;
        const char* text;
        bool taken;
    };
    const Case cases[] = {
        {"A/Upper Band Set up/Receiving Frequency", "150.05", true},
        {"A/Upper Band Set up/Receiving Frequency", "433.5", false},
        {"A/Upper Band Set up/Receiving Frequency", "1x5", false},
        {"Comprehensive Setting/FM Frequency", "100.1", true},
        {"Comprehensive Setting/FM Frequency", "120", false},
        {"DTMF Groups/Native ID Code", "101", true},
        {"DTMF Groups/Alarm Code", "123456", false},   // at most 5 digits
        {"Limit Frequency/Boot Information 1", "HELLO", true},
        {"Limit Frequency/Boot Information 1", "A,B", false},
        {"Limit Frequency/Limit VHF Band (Low)", "137", true},
        {"Limit Frequency/Limit VHF Band (Low)", "13a", false},
        {"Comprehensive Setting/Volume", " 12 ", true},
        {"Comprehensive Setting/Main", "1", false},
    };
    for (const Case& c : cases) {
        Document d;
        const auto id = findSetting(c.name);
        if (!id) {
            EXPECT_FALSE(c.taken) << c.name;
            continue;
        }
        const CellEntry e = enterSetting(d, *id, c.text);
        EXPECT_EQ(e.taken(), c.taken) << c.name << " " << c.text << ": " << e.reason;
        if (!c.taken) {
            EXPECT_EQ(d, Document()) << c.name << " " << c.text;
        }
    }
}

}   // namespace
}   // namespace pellaro
