// SPDX-License-Identifier: GPL-3.0-or-later
// The codeplug document: everything the main window shows and the transfers
// and files carry, in plain C++ with no widget inside.
//
// The two channel tables hold cell texts; every settings editor holds its value
// (a list editor its item index, -1 for "no entry"; a free-text editor its text,
// as typed); the fifteen raw mirror fields k1..k15 hold the hex text of every
// non-channel memory record. Editors and mirrors are separate values: a user
// commit rewrites characters of a mirror (see rules.h), while values set by
// program code (read, Open, New, start-up) never touch a mirror on their own.
#pragma once

#include <array>
#include <string>

#include "codeplug/columns.h"
#include "codeplug/memory_layout.h"

namespace pellaro {

constexpr int kRows = kChannelsPerBand;   // channel rows 1..kRows; columns in columns.h

// The band edges, whole MHz, fixed at creation of the main window.
constexpr int VhfLow = 136;
constexpr int VhfHigh = 176;
constexpr int UhfLow = 400;
constexpr int UhfHigh = 490;

// One band's channel table: rows 1..128, columns 0..12 (row 0, the headings,
// belongs to the window and is not data).
struct ChannelTable {
    std::array<std::array<std::string, kColumns>, kRows + 1> cells{};

    std::string& at(int col, int row) { return cells[row][col]; }
    const std::string& at(int col, int row) const { return cells[row][col]; }

    bool operator==(const ChannelTable&) const = default;
};

// Band set-up editors left1..left16 (band A) / right1..right16 (band B).
// sel[n] is the item index of list editor n (1, 2, 4..8, 10..14, 16; there is
// no editor 9); editors 3 and 15 are free text.
struct BandSetup {
    std::array<int, 17> sel{};   // index 0, 3, 9 and 15 unused
    std::string rxFreq;          // left3 / right3
    std::string offset;          // left15 / right15

    bool operator==(const BandSetup&) const = default;
};

struct Document {
    std::array<ChannelTable, 2> grid{};   // [Band::A] = StringGrid1, [Band::B] = StringGrid2
    std::array<BandSetup, 2> setup{};     // [Band::A] = left*, [Band::B] = right*

    std::array<int, 16> gn{};   // gn1..gn15 item indexes (gn[3] unused)
    std::string gn3;            // FM frequency text

    std::array<std::string, 9> sy{};     // sy1..sy8 (index 0 unused)
    std::array<std::string, 9> sypz{};   // sypz1..sypz8 (index 0 unused)
    int sypz9 = 0;                       // current state: 0 Normal, 1 Stun, 2 Kill

    std::string kaiji1, kaiji2;        // power-on messages
    std::array<std::string, 5> xp{};   // xp1..xp4 limit texts (index 0 unused)
    int xp5 = 1;                       // limit mode: 0 OFF, 1 ON

    std::array<std::string, 16> k{};   // raw mirrors k1..k15 (index 0 unused)

    // A document in the start-up state of the main window.
    Document();

    ChannelTable& table(Band b) { return grid[static_cast<int>(b)]; }
    const ChannelTable& table(Band b) const { return grid[static_cast<int>(b)]; }
    BandSetup& vfo(Band b) { return setup[static_cast<int>(b)]; }
    const BandSetup& vfo(Band b) const { return setup[static_cast<int>(b)]; }

    // File > New after the user confirmed: channel cells of columns 1..12
    // emptied (the channel numbers stay), editors and k1..k11 back to their
    // start-up values, k12..k15 untouched.
    void resetToNew();

    bool operator==(const Document&) const = default;
};

// Lengths in hex characters of the mirrors k1..k15 (index 0 unused).
constexpr std::array<int, 16> kMirrorLength = {0, 32, 32, 32, 32, 36, 32, 32, 32, 32, 32, 34, 32, 24, 24, 24};

// Mirror texts set at start-up and by New (k1..k11), and the texts k12..k15
// carry from the window's design until a read or an opened file replaces them.
std::string startupMirror(int n);   // n = 1..11
std::string designMirror(int n);    // n = 1..15

}   // namespace pellaro
