// SPDX-License-Identifier: GPL-3.0-or-later
// Record codecs and the memory map: channel records, the block decoders with
// their "leave the editor as it was" rules, dispatch and write data.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "codeplug/codes.h"
#include "codeplug/memory_map.h"

using namespace pellaro;

namespace {

using Row = std::array<const char*, 12>;   // columns 1..12

void expectRow(const Document& d, Band b, int row, const Row& want) {
    for (int c = 1; c <= 12; ++c)
        EXPECT_EQ(d.table(b).at(c, row), want[static_cast<std::size_t>(c - 1)]) << "column " << c;
}

}   // namespace

TEST(ChannelRecord, DecodeEdgeCases) {
    Document d;
    decodeChannel(d, Band::A, 1, std::string(48, 'F'));
    expectRow(d, Band::A, 1, {"", "", "", "", "", "", "", "", "", "", "", ""});
    // Off tone shows "OFF" only with a frequency; mode 01 and a signalling
    // code show without one; flags 00 give the four "off" texts.
    decodeChannel(d, Band::A, 2, "FFFFFFFFFFFF01FFFFFFFFFFFF0F0000FFFFFFFFFFFFFFFF");
    expectRow(d, Band::A, 2,
              {"", "", "QT/DQT+Signaling", "", "", "DTMF7+Identity Code", "", "Low", "Narrow", "OFF", "OFF", ""});

    // Full channel: 150.05000, off tone, mode 00, TX 145.5 with C754, flags 8F.
    decodeChannel(d, Band::B, 128,
                  "00E4F5480000"
                  "00"
                  "00DE03F0C754"
                  "00"
                  "11"
                  "8F"
                  "0341424309FFFFFF");
    expectRow(d, Band::B, 128,
              {"150.05000", "OFF", "QT/DQT", "145.50000", "D754I", "OFF", "Identity Code", "High", "Narrow", "OFF",
               "OFF", "ABC"});
    // FF mode and signalling with a frequency present, flags F0, a count of 9.
    decodeChannel(d, Band::B, 127, "00E4F548029EFF00DE03F0FFFFFF12F00941424344454647");
    expectRow(d, Band::B, 127,
              {"150.05000", "67.0HZ", "", "145.50000", "OFF", "", "", "High", "Wide", "ON", "ON", "ABCDEFG"});
}

TEST(ChannelRecord, EncodeEdgeCasesAndRoundTrip) {
    Document d;
    EXPECT_EQ(encodeChannel(d, Band::A, 5), std::string(32, 'F') + "00" + std::string(14, 'F'));
    auto& t = d.table(Band::A);
    const Row full = {"145.50000", "0FF",  "OFF",  "145.00625", "D023N", "DTMF7+Identity Code",
                      "OFF",       "High", "Wide", "OFF",       "ON",    "ABCDEFG"};
    for (int c = 1; c <= 12; ++c) t.at(c, 3) = full[static_cast<std::size_t>(c - 1)];
    EXPECT_EQ(encodeChannel(d, Band::A, 3), "00DE03F0FFFFFF00DD431180230F00D00741424344454647");
    t.at(10, 3).clear();   // one flag cell empty: flags FF
    EXPECT_EQ(encodeChannel(d, Band::A, 3).substr(30, 2), "FF");

    // Whatever a record holds, decoding then encoding gives it back when the
    // decoder can show it.
    const char* records[] = {
        "00E4F548029E0100DE03F0C0D0010DF003414243FFFFFFFF",
        "02625A0012340000DD431180230A00000741424344454647",
        "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    };
    for (const char* r : records) {
        Document e;
        decodeChannel(e, Band::B, 64, r);
        EXPECT_EQ(encodeChannel(e, Band::B, 64), r);
    }
}

TEST(VfoDecode, StartupTextsAndUnchangedRules) {
    Document d;
    d.vfo(Band::A).sel = {};
    decodeVfo(d, Band::A, startupMirror(1) + startupMirror(2));
    const BandSetup& v = d.vfo(Band::A);
    EXPECT_EQ(v.sel[1], 0);
    EXPECT_EQ(v.sel[2], 0);
    EXPECT_EQ(v.rxFreq, "");
    EXPECT_EQ(v.sel[4], 0);
    EXPECT_EQ(v.sel[7], 0);
    EXPECT_EQ(v.sel[10], 1);
    EXPECT_EQ(v.sel[11], 1);
    EXPECT_EQ(v.offset, "10.00000");
    EXPECT_EQ(v.sel[16], 5);

    // Design text of k1: channel 3 and 150.05000.
    decodeVfo(d, Band::B, designMirror(3) + designMirror(4));
    EXPECT_EQ(d.vfo(Band::B).sel[2], 2);
    EXPECT_EQ(d.vfo(Band::B).rxFreq, "150.05000");

    // Values outside the lists: working mode 02 selects none, 04 the first;
    // channel 80 gives channel 1; tone 0300 ends on the last entry; the
    // rest leave their editors as they were.
    Document e;
    BandSetup& w = e.vfo(Band::A);
    w.sel = {0, 1, 5, 0, 3, 9, 1, 4, 7, 0, 0, 1, 1, 0, 2, 0, 3};
    const BandSetup before = w;
    decodeVfo(e, Band::A,
              "02800000FFFF0300"
              "05"
              "00"
              "C754"
              "12"
              "12"
              "02"
              "02"
              "02"
              "02"
              "03"
              "FFFFFFFF"
              "0001"
              "FFFFFFFFFFFFFF");
    EXPECT_EQ(w.sel[1], -1);
    EXPECT_EQ(w.sel[2], 0);
    EXPECT_EQ(w.sel[4], 205);
    EXPECT_EQ(w.sel[7], static_cast<int>(toneList("0FF").size()) - 1);   // D754I is the last entry too
    for (int k : {5, 6, 8, 10, 11, 12, 13, 14, 16})
        EXPECT_EQ(w.sel[static_cast<std::size_t>(k)], before.sel[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(w.offset, "");
    decodeVfo(e, Band::A, "04");
    EXPECT_EQ(w.sel[1], 0);
}

TEST(SettingsDecode, StartupTextAndUnchangedRules) {
    Document d;
    d.gn = {};
    d.gn3 = "x";
    decodeSettings(d, startupMirror(5));
    const std::array<int, 16> want = {0, 0, 15, 0, 1, 2, 3, 0, 1, 2, 0, 4, 2, 0, 3, 0};
    for (int i = 1; i <= 15; ++i)
        if (i != 3) {
            EXPECT_EQ(d.gn[static_cast<std::size_t>(i)], want[static_cast<std::size_t>(i)]) << "gn" << i;
        }
    EXPECT_EQ(d.gn3, "");

    decodeSettings(d, "011404380501010101090514083400C80901");
    EXPECT_EQ(d.gn[1], 1);   // 01 is "B/Under Band"
    EXPECT_EQ(d.gn[2], 20);
    EXPECT_EQ(d.gn3, "108.0");
    EXPECT_EQ(d.gn[4], -1);   // 5: no entry of four
    EXPECT_EQ(d.gn[10], -1);
    EXPECT_EQ(d.gn[11], 20);
    EXPECT_EQ(d.gn[12], 3);
    EXPECT_EQ(d.gn[13], 3);

    const auto kept = d.gn;
    decodeSettings(d, "0215FFFF08080802020A0A15FFFFFFFF0A02");
    EXPECT_EQ(d.gn, kept);
    EXPECT_EQ(d.gn3, "");
}

TEST(DtmfStateLimitDecode, GroupsStateAndLimits) {
    Document d;
    decodeDtmf131(d,
                  "03010203FFFFFFFF"
                  "0100FFFFFFFFFFFF" +
                      std::string(64, 'F'));
    EXPECT_EQ(d.sy[1], "123");
    EXPECT_EQ(d.sy[2], "D");
    EXPECT_EQ(d.sy[3], std::string(14, 'F'));
    decodeIdentity(d,
                   "020A0BFFFFFFFFFF"
                   "00FFFFFFFFFFFFFF"
                   "010FFFFFFFFF"
                   "00FFFFFFFFFF"
                   "00FFFFFFFFFF"
                   "00FFFFFFFFFF"
                   "0501020304FF"
                   "00FFFFFFFFFF" +
                       std::string(24, 'F'));
    EXPECT_EQ(d.sypz[1], "0*");
    EXPECT_EQ(d.sypz[3], "C");
    EXPECT_EQ(d.sypz[7], "1234FF");   // an FF inside the count passes as its two characters

    for (const auto& [hex, want] : {std::pair{"01", 1}, {"03", 1}, {"02", 2}, {"FF", 2}, {"00", 0}}) {
        decodeState(d, hex);
        EXPECT_EQ(d.sypz9, want) << hex;
    }

    decodeMessages(d,
                   "0548454C4C4FFFFF"
                   "FF41FFFFFFFFFFFF");
    EXPECT_EQ(d.kaiji1, "HELLO");
    EXPECT_EQ(d.kaiji2, "");
    d.xp5 = 1;
    decodeLimits(d, "02625A00FFFFFFFF00DD7174000003E802");
    EXPECT_EQ(d.xp[1], "400");
    EXPECT_EQ(d.xp[2], "");
    EXPECT_EQ(d.xp[3], "145.125");
    EXPECT_EQ(d.xp[4], "0.01");
    EXPECT_EQ(d.xp5, 1);                     // 02 leaves the mode
    decodeLimits(d, std::string(32, 'F'));   // 32 characters: the mode stays
    EXPECT_EQ(d.xp5, 1);
    decodeLimits(d, std::string(32, 'F') + "00");
    EXPECT_EQ(d.xp5, 0);
}

TEST(Schedule, AddressesLengthsAndRequests) {
    struct Case {
        int block;
        std::uint16_t address, length;
        int reply;
        const char* request;
    };
    const Case cases[] = {{0, 0x0400, 0x30, 96, "5245414404000030"},    {1, 0x0430, 0x30, 96, "5245414404300030"},
                          {63, 0x0FD0, 0x30, 96, "524541440FD00030"},   {64, 0x1000, 0x30, 96, "5245414410000030"},
                          {127, 0x1BD0, 0x30, 96, "524541441BD00030"},  {128, 0x0300, 0x30, 96, "5245414403000030"},
                          {129, 0x0380, 0x30, 96, "5245414403800030"},  {130, 0x0200, 0x30, 96, "5245414402000030"},
                          {131, 0x0240, 0x30, 96, "5245414402400030"},  {132, 0x0270, 0x10, 32, "5245414402700010"},
                          {133, 0x0280, 0x40, 128, "5245414402800040"}, {134, 0x02C0, 0x01, 2, "5245414402C00001"},
                          {135, 0x02D0, 0x21, 66, "5245414402D00021"}};
    for (const auto& c : cases) {
        const BlockInfo b = blockInfo(c.block);
        EXPECT_EQ(b.address, c.address) << c.block;
        EXPECT_EQ(b.length, c.length) << c.block;
        EXPECT_EQ(b.replyChars, c.reply) << c.block;
        EXPECT_EQ(readRequest(c.block), c.request);
        EXPECT_TRUE(readReplyAccepted(c.block, 96));
        EXPECT_TRUE(readReplyAccepted(c.block, static_cast<std::size_t>(c.reply)));
        EXPECT_FALSE(readReplyAccepted(c.block, static_cast<std::size_t>(c.reply) + 2));
    }
}

// Every block, answered at its own length and at 96 characters, keeps every
// mirror at its length; the write data always matches the length field.
TEST(Dispatch, AllBlocksKeepMirrorLengths) {
    for (int block = 0; block < kBlockCount; ++block) {
        for (int chars : {blockInfo(block).replyChars, 96}) {
            Document d;
            std::string reply;
            for (int i = 0; i < chars / 2; ++i) reply += hexByte(static_cast<unsigned>((i * 7 + block) % 256));
            dispatchReply(d, block, reply);
            for (int n = 1; n <= 15; ++n)
                ASSERT_EQ(d.k[static_cast<std::size_t>(n)].size(),
                          static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(n)]))
                    << "block " << block << " reply " << chars << " k" << n;
        }
        Document d;
        const std::string data = writeData(d, block);
        EXPECT_EQ(data.size(), static_cast<std::size_t>(blockInfo(block).length) * 2) << block;
        EXPECT_TRUE(isHexText(data));
        EXPECT_EQ(writeRequest(d, block),
                  "57524945" + hexWord(blockInfo(block).address) + hexWord(blockInfo(block).length) + data);
    }
}

TEST(Dispatch, WhereRepliesGo) {
    Document d;
    const std::string rec1 = "00E4F548000000FFFFFFFFFFFFFFFFFF0341424309FFFFFF";
    const std::string rec2 = std::string(32, 'F') + "00" + std::string(14, 'F');
    dispatchReply(d, 0, rec1 + rec2);
    EXPECT_EQ(d.table(Band::A).at(1, 1), "150.05000");
    EXPECT_EQ(d.table(Band::A).at(12, 1), "ABC");
    dispatchReply(d, 127, rec2 + rec1);
    EXPECT_EQ(d.table(Band::B).at(1, 128), "150.05000");
    EXPECT_EQ(d.table(Band::B).at(1, 127), "");

    const std::string vfo = designMirror(1) + designMirror(2) + std::string(32, 'A');
    dispatchReply(d, 129, vfo);
    EXPECT_EQ(d.k[3], designMirror(1));
    EXPECT_EQ(d.k[4], designMirror(2));
    EXPECT_EQ(d.vfo(Band::B).rxFreq, "150.05000");

    // Block 133 at 96 characters: k12..k14 and sypz1..sypz6 taken, k15,
    // sypz7 and sypz8 as they were.
    Document e;
    e.k[15] = "0501020304FF0100FFFFFFFF";
    e.sypz[7] = "12345";
    e.sypz[8] = "D";
    const std::string id96 =
        "0101FFFFFFFFFFFF"
        "0102FFFFFFFFFFFF"
        "0103FFFFFFFF"
        "0104FFFFFFFF"
        "0105FFFFFFFF"
        "0106FFFFFFFF"
        "0107FFFFFFFF"
        "0108";
    ASSERT_EQ(id96.size(), 96u);
    dispatchReply(e, 133, id96);
    EXPECT_EQ(e.k[12], id96.substr(0, 32));
    EXPECT_EQ(e.k[13], id96.substr(32, 24));
    EXPECT_EQ(e.k[14], id96.substr(56, 24));
    EXPECT_EQ(e.k[15], "0501020304FF0100FFFFFFFF");
    EXPECT_EQ(e.sypz[6], "6");
    EXPECT_EQ(e.sypz[7], "12345");
    EXPECT_EQ(e.sypz[8], "D");

    // Blocks 132, 134, 135 at 96 characters use their first 32, 2, 66.
    dispatchReply(e, 132, "0107FFFFFFFFFFFF0108FFFFFFFFFFFF" + std::string(64, '0'));
    EXPECT_EQ(e.k[9], "0107FFFFFFFFFFFF0108FFFFFFFFFFFF");
    EXPECT_EQ(e.sy[8], "8");
    dispatchReply(e, 134, "02" + std::string(94, '0'));
    EXPECT_EQ(e.sypz9, 2);
    const std::string lim =
        "0548454C4C4FFFFF00FFFFFFFFFFFFFF"
        "00CF8500FFFFFFFFFFFFFFFFFFFFFFFF00";
    dispatchReply(e, 135, lim + std::string(30, '1'));
    EXPECT_EQ(e.k[10], lim.substr(0, 32));
    EXPECT_EQ(e.k[11], lim.substr(32));
    EXPECT_EQ(e.kaiji1, "HELLO");
    EXPECT_EQ(e.xp[1], "136");
    EXPECT_EQ(e.xp5, 0);
}

TEST(WriteData, MirrorsSpareBytesAndState) {
    Document d;
    d.k[1] = designMirror(1);
    EXPECT_EQ(writeData(d, 128), d.k[1] + d.k[2] + std::string(32, 'F'));
    EXPECT_EQ(writeData(d, 130), d.k[5] + std::string(60, 'F'));
    EXPECT_EQ(writeData(d, 131), d.k[6] + d.k[7] + d.k[8]);
    EXPECT_EQ(writeData(d, 133), d.k[12] + d.k[13] + d.k[14] + d.k[15] + std::string(24, 'F'));
    EXPECT_EQ(writeData(d, 135), d.k[10] + d.k[11]);
    d.sypz9 = 0;
    EXPECT_EQ(writeRequest(d, 134), "5752494502C0000100");
    d.sypz9 = -1;   // no selection: one byte all the same
    EXPECT_EQ(writeData(d, 134), "FF");
    d.k[5] = "00";   // a damaged mirror still gives a block of its length
    EXPECT_EQ(writeData(d, 130).size(), 96u);
}

// The column table's record places: every character of the record belongs to
// exactly one field (the flag columns share the flags byte, one bit each),
// and no two columns share a heading.
TEST(ChannelColumns, RecordPlacesCoverTheRecordOnce) {
    std::array<int, kRecordChars> owners{};
    unsigned flagBits = 0;
    std::set<std::string> headings;
    for (const ColumnInfo& c : kColumnTable) {
        EXPECT_TRUE(headings.insert(c.heading).second) << c.heading;
        EXPECT_EQ(&columnInfo(c.column), &c) << c.heading << " stands out of its place";
        if (c.code == RecordCode::None) continue;
        if (c.code == RecordCode::Flag) {
            EXPECT_EQ(flagBits & c.flagBit, 0u) << c.heading;
            EXPECT_EQ(c.length, 2) << c.heading;
            flagBits |= c.flagBit;
            if (flagBits != c.flagBit) continue;   // the byte is counted at its first flag
        }
        for (int i = c.at; i < c.at + c.length; ++i) {
            ASSERT_LT(i, kRecordChars) << c.heading;
            ++owners[static_cast<std::size_t>(i)];
        }
    }
    for (int i = 0; i < kRecordChars; ++i) EXPECT_EQ(owners[static_cast<std::size_t>(i)], 1) << "character " << i;
}

// A channel record lands where the band layout puts it, at both ends of
// each band, and comes back from the block the schedule sends.
TEST(ChannelColumns, BandLayoutPlacesEveryRecord) {
    for (Band band : {Band::A, Band::B}) {
        for (int row : {1, 2, kRows - 1, kRows}) {
            const int block = channelBlock(band, row);
            EXPECT_EQ(blockBand(block), band);
            EXPECT_EQ(blockInfo(block).address + recordOffsetInBlock(row) / 2, channelAddress(band, row));
            Document d;
            d.table(band).at(colOf(Column::Name), row) = "X";
            EXPECT_EQ(writeData(d, block).substr(static_cast<std::size_t>(recordOffsetInBlock(row)), kRecordChars),
                      encodeChannel(d, band, row));
        }
    }
    EXPECT_LE(channelAddress(Band::B, kRows) + kRecordBytes, static_cast<int>(kImageSize));
    EXPECT_EQ(blockInfo(kVfoABlock).address, 0x0300);
}
