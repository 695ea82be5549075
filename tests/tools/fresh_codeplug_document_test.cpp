// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio's fresh codeplug seen through the document: it decodes
// into plausible rows and editors, and a read followed by a write sends back
// exactly the bytes it holds, so transfer tests can compare memories byte for
// byte.
#include "codeplug/codes.h"
#include "codeplug/memory_map.h"
#include "tools/radio_sim/radio_sim.h"

#include <gtest/gtest.h>

namespace pellaro {
namespace {

Document readFresh(const sim::Memory& m) {
    Document doc;
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        dispatchReply(doc, n, toHex(m.data() + info.address, info.length));
    }
    return doc;
}

TEST(FreshCodeplugDocument, ReadThenWriteSendsTheSameBytes) {
    const sim::Memory m = sim::freshCodeplug();
    const Document doc = readFresh(m);
    for (int n = 0; n < kBlockCount; ++n) {
        const BlockInfo info = blockInfo(n);
        EXPECT_EQ(writeData(doc, n), toHex(m.data() + info.address, info.length)) << "block " << n;
    }
}

TEST(FreshCodeplugDocument, DecodesIntoPlausibleRowsAndEditors) {
    const Document doc = readFresh(sim::freshCodeplug());
    struct Cell {
        Band band;
        int row, col;
        const char* text;
    };
    const Cell cells[] = {
        {Band::A, 1, 1, "145.50000"}, {Band::A, 1, 12, "CALL V"}, {Band::A, 3, 5, "88.5HZ"},
        {Band::A, 4, 2, "D023N"},     {Band::A, 4, 6, "DTMF1"},   {Band::A, 4, 8, "Low"},
        {Band::A, 5, 1, ""},          {Band::A, 5, 12, ""},       {Band::B, 2, 1, "446.01250"},
        {Band::B, 3, 4, "431.50000"}, {Band::B, 3, 5, "D754I"},   {Band::B, 3, 6, "Identity Code"},
        {Band::B, 128, 1, ""},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(doc.table(c.band).at(c.col, c.row), c.text)
            << "band " << static_cast<int>(c.band) << " row " << c.row << " column " << c.col;
    EXPECT_EQ(doc.kaiji1, "PELLARO");
    EXPECT_EQ(doc.xp[1], "136");
    EXPECT_EQ(doc.xp[3], "400");
    EXPECT_EQ(doc.sy[1], "123");
    EXPECT_EQ(doc.vfo(Band::A).rxFreq, "145.50000");
    EXPECT_EQ(doc.gn3, "98.0");
    EXPECT_EQ(doc.sypz9, 0);
}

}   // namespace
}   // namespace pellaro
