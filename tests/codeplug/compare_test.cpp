// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two codeplugs: one line per cell, setting or unexplained mirror
// byte that differs, in the user's terms; nothing for texts that store alike.
#include <gtest/gtest.h>

#include <functional>

#include "codeplug/cell_entry.h"
#include "codeplug/compare.h"
#include "codeplug/rules.h"

using namespace pellaro;
using Kind = Difference::Kind;

namespace {

// Band A channel 5 on 145.5 MHz, as typing gives it.
Document channel5() {
    Document d;
    enterChannelCell(d, Band::A, 1, 5, "145.5");
    return d;
}

std::vector<std::string> texts(const std::vector<Difference>& ds) {
    std::vector<std::string> out;
    for (const Difference& d : ds) out.push_back(d.text);
    return out;
}

}   // namespace

TEST(Compare, OneLinePerDifference) {
    struct Case {
        const char* what;
        std::function<void(Document&)> change;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"nothing", [](Document&) {}, {}},
        {"one cell",
         [](Document& d) { enterChannelCell(d, Band::A, 1, 5, "145.525"); },
         {"A 5 Receiving Frequency: 145.50000 \xE2\x86\x92 145.52500"}},
        {"a new channel",
         [](Document& d) { enterChannelCell(d, Band::B, 4, 128, "435"); },
         {"B 128 Transmission Frequency: (empty) \xE2\x86\x92 435.00000",
          "B 128 Launch Signaling: (empty) \xE2\x86\x92 OFF",
          "B 128 Transmit end Signaling: (empty) \xE2\x86\x92 OFF"}},
        // Texts that store the same bytes are the same channel.
        {"OFF for 0FF", [](Document& d) { enterChannelCell(d, Band::A, 2, 5, "OFF"); }, {}},
        {"empty mode for OFF", [](Document& d) { d.table(Band::A).at(3, 5).clear(); }, {}},
        {"one setting",
         [](Document& d) { pickSettingsList(d, 2, 12); },
         {"Comprehensive Setting / Volume: 15 \xE2\x86\x92 12"}},
        {"a frequency typed short", [](Document& d) { d.vfo(Band::A).offset = "10.00000"; }, {}},
        {"a byte no editor shows", [](Document& d) { d.k[1].replace(18, 2, "5A"); }, {"k1 0x0309: FF \xE2\x86\x92 5A"}},
        {"a mirror behind an editor that shows the same",
         [](Document& d) { d.k[5].replace(2, 2, "0C"); },
         {"k5 0x0201: 0F \xE2\x86\x92 0C (Volume shows 15 on both)"}},
        {"spare bytes of a VFO record",
         [](Document& d) { d.k[4].replace(20, 4, "1234"); },
         {"k4 0x039A-0x039B: FF FF \xE2\x86\x92 12 34"}},
    };
    for (const Case& c : cases) {
        const Document a = channel5();
        Document b = a;
        c.change(b);
        EXPECT_EQ(texts(compareDocuments(a, b)), c.lines) << c.what;
    }
}

TEST(Compare, WhereEachDifferenceIs) {
    Document a = channel5(), b = a;
    enterChannelCell(b, Band::A, 12, 5, "Home");
    pickSetupList(b, Band::B, 16, 0);
    b.k[11].replace(32, 2, "07");   // the limit mode byte, shown as "(no entry)" on neither side
    const auto ds = compareDocuments(a, b);
    ASSERT_EQ(ds.size(), 3u);
    EXPECT_EQ(ds[0].kind, Kind::Channel);
    EXPECT_EQ(ds[0].column, 12);
    EXPECT_EQ(ds[0].channel, 5);
    EXPECT_EQ(ds[0].address, 0x0400 + 4 * 24 + 16);
    EXPECT_EQ(ds[1].kind, Kind::Setting);
    EXPECT_EQ(ds[1].page, "B/Under Band Set up");
    EXPECT_EQ(ds[1].label, "Frequency Step:");
    EXPECT_EQ(ds[2].kind, Kind::Memory);
    EXPECT_EQ(ds[2].page, "Limit Frequency");
    EXPECT_EQ(ds[2].mirror, 11);
    EXPECT_EQ(ds[2].address, 0x02F0);
}

TEST(Compare, ImagesCompareWhatIsWritten) {
    // An editor that shows other than its mirror writes nothing different.
    Document a, b;
    b.gn[13] = 0;
    EXPECT_EQ(texts(compareDocuments(a, b)),
              std::vector<std::string>{"Comprehensive Setting / DTMF Transmitting Time: 150MS \xE2\x86\x92 50MS"});
    EXPECT_TRUE(compareImages(writeImage(a), writeImage(b)).empty());

    // The same cell difference in both entry points.
    a = channel5();
    dtmfKeyUp(a, 16, "12345");
    b = a;
    enterChannelCell(b, Band::A, 9, 5, "Narrow");
    EXPECT_EQ(texts(compareImages(writeImage(a), writeImage(b))), texts(compareDocuments(a, b)));

    // Bytes a read-back may hold that no cell or list shows.
    MemoryImage wrote = writeImage(a), back = wrote;
    back[2].replace(30, 2, "CF");       // channel 5 flags: High, Wide, OFF, OFF and a low nibble
    back[134] = "03";                   // a state the list has no entry for
    back[130].replace(40, 4, "ABCD");   // spare bytes after the settings record
    back[133].resize(96);               // an answer that stops inside the monitor code
    EXPECT_EQ(texts(compareImages(wrote, back)),
              (std::vector<std::string>{"A 5 Power: High \xE2\x86\x92 High (0x046F: C0 \xE2\x86\x92 CF)",
                                        "state byte 0x02C0: 00 \xE2\x86\x92 03 (Current State shows Normal on both)"}));
}
