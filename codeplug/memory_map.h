// SPDX-License-Identifier: GPL-3.0-or-later
// The radio memory as the clone transfers visit it: the 136-block schedule,
// request texts, where each read reply goes and what each write sends.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "codeplug/document.h"

namespace pellaro {

constexpr std::size_t kImageSize = 0x1C00;   // radio memory 0x0000..0x1BFF

struct BlockInfo {
    std::uint16_t address;
    std::uint16_t length;   // length field in bytes
    int replyChars;         // expected read reply in hex characters
};

BlockInfo blockInfo(int block);       // block 0..135
std::string readRequest(int block);   // "52454144" + address + length
// Whether a receive buffer of `chars` hex characters completes a read of
// `block` (96 at every block; 32, 128, 2, 66 at blocks 132..135).
bool readReplyAccepted(int block, std::size_t chars);

// Hands the reply of `block` to the decoders: channel rows, set-up, settings,
// DTMF, identity codes, state, power-on messages and band limits, and the
// mirrors. A reply of an accepted length is expected; a reply of 96 characters
// at blocks 132..135 uses what it holds of each field and never leaves a
// mirror with a wrong length.
void dispatchReply(Document& doc, int block, std::string_view reply);

// Data text of the write request of `block`, built from the document now.
std::string writeData(const Document& doc, int block);
// "57524945" + address + length + data.
std::string writeRequest(const Document& doc, int block);

// Radio memory as a full write sends it or a full read receives it: the data
// texts (hex) of the 136 blocks, in schedule order.
using MemoryImage = std::array<std::string, kBlockCount>;

// ---- the decoders the dispatch uses (also used by the partial reads) ------
// Channel record (48 hex characters) into row `row` (1..128) of `band`, and
// the record built from that row's cells.
void decodeChannel(Document& doc, Band band, int row, std::string_view hex48);
std::string encodeChannel(const Document& doc, Band band, int row);

// VFO record (first 64 of 96 characters) into the band's set-up editors.
void decodeVfo(Document& doc, Band band, std::string_view hex);
// Settings record (first 36 characters) into gn1..gn15.
void decodeSettings(Document& doc, std::string_view hex);
// Block 131 (96 characters): sy1..sy6. Block 132 (32): sy7, sy8.
// Block 133 (104 or more; 96 gives sypz1..sypz6 only): sypz1..sypz8.
void decodeDtmf131(Document& doc, std::string_view hex);
void decodeDtmf132(Document& doc, std::string_view hex);
void decodeIdentity(Document& doc, std::string_view hex);
// State byte: "00".."02" select Normal, Stun, Kill; anything else leaves it.
void decodeState(Document& doc, std::string_view hex2);
// Power-on messages (32 characters) into kaiji1, kaiji2.
void decodeMessages(Document& doc, std::string_view hex32);
// Band limits (34 characters; 32 gives the four limits but leaves the mode)
// into xp1..xp4 and xp5.
void decodeLimits(Document& doc, std::string_view hex);

}   // namespace pellaro
