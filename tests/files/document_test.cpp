// SPDX-License-Identifier: GPL-3.0-or-later
// The document's start-up state and New.
#include <gtest/gtest.h>

#include "codeplug/document.h"

namespace pellaro {
namespace {

TEST(Document, StartsWithChannelNumbersAndEmptyCells) {
    const Document d;
    for (Band b : {Band::A, Band::B}) {
        for (int row = 1; row <= kRows; ++row) {
            EXPECT_EQ(d.table(b).at(0, row), std::to_string(row));
            for (int col = 1; col < kColumns; ++col) EXPECT_TRUE(d.table(b).at(col, row).empty());
        }
    }
}

TEST(Document, MirrorsHaveTheirLengthsAtStartUp) {
    const Document d;
    for (int n = 1; n <= 15; ++n) {
        EXPECT_EQ(static_cast<int>(d.k[n].size()), kMirrorLength[n]) << "k" << n;
        EXPECT_EQ(static_cast<int>(designMirror(n).size()), kMirrorLength[n]) << "k" << n;
        if (n <= 11) {
            EXPECT_EQ(static_cast<int>(startupMirror(n).size()), kMirrorLength[n]) << "k" << n;
        }
    }
    EXPECT_EQ(d.k[5], "000FFFFF010203000102000406D600320300");
    EXPECT_EQ(d.k[11], "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01");
    EXPECT_EQ(d.k[13], "00FFFFFFFFFF00FFFFFFFFFF");
}

TEST(Document, NewEmptiesCellsResetsEditorsAndKeepsIdentityMirrors) {
    Document d;
    d.table(Band::A).at(1, 1) = "145.50000";
    d.table(Band::B).at(12, 128) = "NAME";
    d.table(Band::B).at(0, 3) = "x";   // column 0 keeps what it holds
    d.vfo(Band::B).sel[16] = 2;
    d.vfo(Band::A).offset = "0.6";
    d.gn[13] = 0;
    d.sypz[1] = "123";
    d.sypz9 = 2;
    d.kaiji2 = "HELLO";
    d.xp5 = 0;
    d.k[1] = "000200E4F548FFFF0000FFFF00000101";
    d.k[11] = "00CF850000FFFFFFFFFFFFFFFFFFFFFF00";
    d.k[12] = "03010203FFFFFFFF00FFFFFFFFFFFFFF";
    d.k[15] = "02090AFFFFFF00FFFFFFFFFF";

    d.resetToNew();

    Document expected;
    expected.table(Band::B).at(0, 3) = "x";
    expected.k[12] = "03010203FFFFFFFF00FFFFFFFFFFFFFF";
    expected.k[15] = "02090AFFFFFF00FFFFFFFFFF";
    EXPECT_EQ(d, expected);
}

}   // namespace
}   // namespace pellaro
