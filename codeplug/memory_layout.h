// SPDX-License-Identifier: GPL-3.0-or-later
// Where the channels of each band lie: the channel count, the record size,
// each band's base address in the radio memory and its blocks in the
// transfer schedule, and the blocks of the settings that follow them. The
// codec, the schedule, the comparison and every message that says a range of
// channels read it from here.
#pragma once

#include <array>
#include <cstdint>

namespace pellaro {

enum class Band { A = 0, B = 1 };

constexpr int kChannelsPerBand = 128;            // channels 1..kChannelsPerBand in each band
constexpr int kRecordBytes = 24;                 // one channel record
constexpr int kRecordChars = 2 * kRecordBytes;   // the record as hex text
constexpr int kRecordsPerBlock = 2;              // a transfer block carries two records
constexpr int kBlocksPerBand = (kChannelsPerBand + kRecordsPerBlock - 1) / kRecordsPerBlock;

struct BandLayout {
    std::uint16_t base;   // address of the record of channel 1
    int firstBlock;       // schedule index of the block with channels 1 and 2
};
constexpr std::array<BandLayout, 2> kBandLayout = {{
    {0x0400, 0},                // band A
    {0x1000, kBlocksPerBand},   // band B
}};
constexpr int kChannelBlocks = 2 * kBlocksPerBand;   // blocks 0..kChannelBlocks-1 hold channels

// The blocks after the channel blocks, in schedule order.
enum SettingsBlock : int {
    kVfoABlock = kChannelBlocks,   // band A set-up
    kVfoBBlock,                    // band B set-up
    kGeneralBlock,                 // settings record
    kDtmfBlock,                    // DTMF1..DTMF6
    kDtmf78Block,                  // DTMF7, DTMF8
    kIdentityBlock,                // identity codes
    kStateBlock,                   // current state byte
    kMessagesBlock,                // power-on messages and band limits
};
constexpr int kBlockCount = kMessagesBlock + 1;

constexpr const BandLayout& bandLayout(Band band) { return kBandLayout[static_cast<std::size_t>(band)]; }

// The schedule block carrying the record of channel `row` (1..kChannelsPerBand).
constexpr int channelBlock(Band band, int row) { return bandLayout(band).firstBlock + (row - 1) / kRecordsPerBlock; }
// The place of that record inside its block's text, in hex characters.
constexpr int recordOffsetInBlock(int row) { return ((row - 1) % kRecordsPerBlock) * kRecordChars; }
// Address of the record of channel `row`.
constexpr std::uint16_t channelAddress(Band band, int row) {
    return static_cast<std::uint16_t>(bandLayout(band).base + (row - 1) * kRecordBytes);
}
// The band of channel block `block` (0..kChannelBlocks-1) and its first channel.
constexpr Band blockBand(int block) { return block < kBandLayout[1].firstBlock ? Band::A : Band::B; }
constexpr int blockFirstChannel(int block) {
    return (block - bandLayout(blockBand(block)).firstBlock) * kRecordsPerBlock + 1;
}

}   // namespace pellaro
