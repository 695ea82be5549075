// SPDX-License-Identifier: GPL-3.0-or-later
// The document's start-up state: what the main window shows when it is created
// and what File > New puts back.
#include "codeplug/document.h"

#include <string>

namespace pellaro {

namespace {

// Mirror texts k1..k11 at start-up and after New.
constexpr const char* kStartupMirrors[12] = {
    "",
    "0000FFFFFFFFFFFF00FFFFFF00000101",       // k1  band A VFO
    "000000000F424009C4FFFFFFFFFFFFFF",       // k2
    "0000FFFFFFFFFFFF00FFFFFF00000101",       // k3  band B VFO
    "000000000F424009C4FFFFFFFFFFFFFF",       // k4
    "000FFFFF010203000102000406D600320300",   // k5  settings record
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",       // k6  DTMF1/2
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",       // k7  DTMF3/4
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",       // k8  DTMF5/6
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",       // k9  DTMF7/8
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",       // k10 power-on messages
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01",     // k11 band limits, mode ON
};

// Mirror texts of the window's design: k12..k15 keep them until a read or an
// opened file replaces them.
constexpr const char* kDesignMirrors[16] = {
    "",
    "000200E4F548FFFF0000FFFF00000101",
    "000000000F424009C4FFFFFFFFFFFFFF",
    "000200E4F548FFFF0000FFFF00000101",
    "000000000F424009C4FFFFFFFFFFFFFF",
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00",
    "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF",   // k12 native / master control ID
    "00FFFFFFFFFF00FFFFFFFFFF",           // k13 alarm / identity display
    "00FFFFFFFFFF00FFFFFFFFFF",           // k14 revive / remote stun
    "00FFFFFFFFFF00FFFFFFFFFF",           // k15 remote kill / monitor
};

// Start-up item indexes of the band set-up list editors 1, 2, 4..8, 10..14, 16
// ("Frequency Mode", "1", "0FF", "OFF", "QT/DQT", "0FF", "OFF", "High",
// "Wide Band", "OFF", "OFF", "OFF", "25K"); 0 where there is no list editor.
constexpr std::array<int, 17> kSetupStart = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 5};

// Start-up item indexes of gn1..gn15 (gn3 is the FM frequency text).
constexpr std::array<int, 16> kSettingsStart = {0, 0, 15, 0, 1, 2, 3, 0, 1, 2, 0, 4, 2, 2, 3, 0};

// Editors (not the grids, not the mirrors) back to their start-up values.
void resetEditors(Document& d) {
    for (BandSetup& s : d.setup) {
        s.sel = kSetupStart;
        s.rxFreq.clear();
        s.offset = "10";
    }
    d.gn = kSettingsStart;
    d.gn3.clear();
    for (std::string& t : d.sypz) t.clear();
    d.sypz9 = 0;   // Normal
    for (std::string& t : d.sy) t.clear();
    d.kaiji1.clear();
    d.kaiji2.clear();
    for (std::string& t : d.xp) t.clear();
    d.xp5 = 1;   // ON
}

}   // namespace

std::string startupMirror(int n) {
    if (n < 1 || n > 11) return {};
    return kStartupMirrors[n];
}

std::string designMirror(int n) {
    if (n < 1 || n > 15) return {};
    return kDesignMirrors[n];
}

Document::Document() {
    for (ChannelTable& t : grid)
        for (int row = 1; row <= kRows; ++row) t.at(kNumberColumn, row) = std::to_string(row);
    resetEditors(*this);
    for (int n = 1; n <= 15; ++n) k[n] = n <= 11 ? startupMirror(n) : designMirror(n);
}

void Document::resetToNew() {
    for (ChannelTable& t : grid)
        for (int row = 1; row <= kRows; ++row)
            for (int col = kFirstCellColumn; col < kColumns; ++col) t.at(col, row).clear();
    resetEditors(*this);
    for (int n = 1; n <= 11; ++n) k[n] = startupMirror(n);
}

}   // namespace pellaro
