// SPDX-License-Identifier: GPL-3.0-or-later
// Where every editor's code sits: which raw mirror, which characters. The
// decoders read a received block at these places and the editor commits
// splice their codes into the same places, so each position is written down
// once. Internal to the codeplug library.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "codeplug/document.h"

namespace pellaro::fields {

struct Field {
    int mirror;   // k<mirror>; 0 for "no field"
    int first;    // first character in the mirror, counted from 1
    int width;    // characters
};

// Where each mirror sits in the reply / write data of its transfer block.
struct MirrorPlace {
    int block;    // schedule index; -1 for none
    int offset;   // characters before it in the block text
};
constexpr std::array<MirrorPlace, 16> kMirrorPlace = {{
    {-1, 0},
    {kVfoABlock, 0},
    {kVfoABlock, 32},   // k1, k2: band A VFO record
    {kVfoBBlock, 0},
    {kVfoBBlock, 32},     // k3, k4: band B VFO record
    {kGeneralBlock, 0},   // k5: settings record
    {kDtmfBlock, 0},
    {kDtmfBlock, 32},
    {kDtmfBlock, 64},    // k6..k8: DTMF1..DTMF6
    {kDtmf78Block, 0},   // k9: DTMF7, DTMF8
    {kMessagesBlock, 0},
    {kMessagesBlock, 32},   // k10: power-on messages, k11: band limits
    {kIdentityBlock, 0},
    {kIdentityBlock, 32},
    {kIdentityBlock, 56},
    {kIdentityBlock, 80},   // k12..k15: identity codes
}};

// Band set-up editor n (left<n> / right<n>) in band A's mirrors k1 / k2;
// band B uses k3 / k4 at the same characters (kVfoMirrorShift).
constexpr int kVfoMirrorShift = 2;
constexpr std::array<Field, 17> kVfo = {{
    {0, 0, 0},
    {1, 1, 2},    // left1 working mode
    {1, 3, 2},    // left2 channel number
    {1, 5, 8},    // left3 receiving frequency
    {1, 13, 4},   // left4 receiving tone
    {1, 27, 2},   // left5 transmit end signalling
    {1, 17, 2},   // left6 receiving mode
    {1, 21, 4},   // left7 transmission tone
    {1, 25, 2},   // left8 launch signalling
    {0, 0, 0},    // no left9
    {1, 29, 2},   // left10 power
    {1, 31, 2},   // left11 bandwidth
    {2, 1, 2},    // left12 compandor
    {2, 3, 2},    // left13 scrambler
    {2, 5, 2},    // left14 offset direction
    {2, 7, 8},    // left15 transmit offset
    {2, 15, 4},   // left16 step
}};

// Comprehensive settings gn1..gn15 in k5.
constexpr std::array<Field, 16> kSettings = {{
    {0, 0, 0},
    {5, 1, 2},
    {5, 3, 2},
    {5, 5, 4},
    {5, 9, 2},
    {5, 11, 2},
    {5, 13, 2},
    {5, 15, 2},
    {5, 17, 2},
    {5, 19, 2},
    {5, 21, 2},
    {5, 23, 2},
    {5, 25, 4},
    {5, 29, 4},
    {5, 33, 2},
    {5, 35, 2},
}};

// DTMF page editors: 1..8 are sy1..sy8, 9..16 sypz1..sypz8. Long groups are
// 16 characters (7 symbols), short ones 12 (5 symbols).
constexpr std::array<Field, 17> kDtmf = {{
    {0, 0, 0},
    {6, 1, 16},
    {6, 17, 16},
    {7, 1, 16},
    {7, 17, 16},
    {8, 1, 16},
    {8, 17, 16},
    {9, 1, 16},
    {9, 17, 16},
    {12, 1, 16},
    {12, 17, 16},
    {13, 1, 12},
    {13, 13, 12},
    {14, 1, 12},
    {14, 13, 12},
    {15, 1, 12},
    {15, 13, 12},
}};
constexpr int dtmfPositions(int editor) { return (kDtmf[static_cast<std::size_t>(editor)].width - 2) / 2; }

// Power-on messages kaiji1, kaiji2 in k10.
constexpr std::array<Field, 3> kMessage = {{{0, 0, 0}, {10, 1, 16}, {10, 17, 16}}};

// Band limits xp1..xp4 and the mode xp5 in k11.
constexpr std::array<Field, 6> kLimit = {{{0, 0, 0}, {11, 1, 8}, {11, 9, 8}, {11, 17, 8}, {11, 25, 8}, {11, 33, 2}}};

// The field as band `band` holds it.
constexpr Field vfoField(Band band, int editor) {
    Field f = kVfo[static_cast<std::size_t>(editor)];
    if (band == Band::B && f.mirror != 0) f.mirror += kVfoMirrorShift;
    return f;
}

// Characters of a field in a text laid out like the field's mirror; empty
// when the text is too short to hold it.
inline std::string_view fieldIn(std::string_view text, int offset, const Field& f) {
    const std::size_t at = static_cast<std::size_t>(offset + f.first - 1);
    if (at + static_cast<std::size_t>(f.width) > text.size()) return {};
    return text.substr(at, static_cast<std::size_t>(f.width));
}

// Rebuilds the mirror as the characters before the field, `code`, and the
// characters after it; the mirror keeps exactly its length.
void splice(Document& doc, const Field& f, std::string_view code);

// A mirror brought to exactly its length (only a damaged document needs it):
// cut, or filled with "F".
std::string fittedMirror(const Document& doc, int n);

}   // namespace pellaro::fields
