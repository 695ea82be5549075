// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/settings_table.h"

#include <array>
#include <cstddef>

#include "codeplug/codes.h"

namespace pellaro {

namespace {

using E = SettingEditor;
using L = SettingList;
using S = SettingStore;

// Every row top to bottom as its page shows it; the inner blanks of the
// labels line the colons up as a column.
constexpr std::array<SettingInfo, 15> kSetupA = {{
    {"Working Mode :", E::List, L::WorkingMode, S::SetupSelection, 1},
    {"Channel No.:", E::List, L::ChannelNumbers, S::SetupSelection, 2},
    {"Receiving Frequency: ", E::SetupRx, L::None, S::SetupRx, 3},
    {"Receiving CTCSS:", E::List, L::Tones, S::SetupSelection, 4},
    {"Receiving Mode:", E::List, L::SetupMode, S::SetupSelection, 6},
    {"Transmission CTCSS:", E::List, L::Tones, S::SetupSelection, 7},
    {"Launch Signaling:", E::List, L::Signals, S::SetupSelection, 8},
    {"Transmit end Signaling:", E::List, L::Signals, S::SetupSelection, 5},
    {"Power:", E::List, L::LowHigh, S::SetupSelection, 10},
    {"Wide/Narrow Band:", E::List, L::Bandwidth, S::SetupSelection, 11},
    {"Compandor:", E::List, L::OffOn, S::SetupSelection, 12},
    {"Scrambler:", E::List, L::OffOn, S::SetupSelection, 13},
    {"Difference frequency direction:", E::List, L::OffsetDirection, S::SetupSelection, 14},
    {"Transmit Offset Frequency(MHZ):", E::SetupOffset, L::None, S::SetupOffset, 15},
    {"Frequency Step:", E::List, L::Step, S::SetupSelection, 16},
}};

// Band B's page is band A's, but for no blank before the colon of its
// first label.
constexpr std::array<SettingInfo, 15> kSetupB = [] {
    std::array<SettingInfo, 15> rows = kSetupA;
    rows[0].label = "Working Mode:";
    return rows;
}();

constexpr std::array<SettingInfo, 15> kComprehensive = {{
    {"Optional Main Band :", E::List, L::MainBand, S::Selection, 1},
    {"Volume             :", E::List, L::Volume, S::Selection, 2},
    {"FM Frequency       :", E::Fm, L::None, S::Fm, 3},
    {"Standby Backlight  :", E::List, L::Backlight, S::Selection, 4},
    {"Receiving Backlight:", E::List, L::Backlight, S::Selection, 5},
    {"Transmit  Backlight:", E::List, L::Backlight, S::Selection, 6},
    {"Backlight Mode     :", E::List, L::BacklightMode, S::Selection, 7},
    {"Beep               :", E::List, L::OffOn, S::Selection, 8},
    {"Vibration Ring Time:", E::List, L::Vibration, S::Selection, 9},
    {"Busy Channel Lock  :", E::List, L::OffOn, S::Selection, 10},
    {"Time Over Timer        :", E::List, L::TimeOut, S::Selection, 11},
    {"Single Signaling choice:", E::List, L::SingleTone, S::Selection, 12},
    {"DTMF Transmitting Time :", E::List, L::DtmfTime, S::Selection, 13},
    {"Squelch level          :", E::List, L::Squelch, S::Selection, 14},
    {"Repeater Mode          :", E::List, L::OffOn, S::Selection, 15},
}};

constexpr std::array<SettingInfo, 17> kDtmf = {{
    {"DTMF1:", E::DtmfCode, L::None, S::DtmfCode, 1},
    {"DTMF2:", E::DtmfCode, L::None, S::DtmfCode, 2},
    {"DTMF3:", E::DtmfCode, L::None, S::DtmfCode, 3},
    {"DTMF4:", E::DtmfCode, L::None, S::DtmfCode, 4},
    {"DTMF5:", E::DtmfCode, L::None, S::DtmfCode, 5},
    {"DTMF6:", E::DtmfCode, L::None, S::DtmfCode, 6},
    {"DTMF7:", E::DtmfCode, L::None, S::DtmfCode, 7},
    {"DTMF8:", E::DtmfCode, L::None, S::DtmfCode, 8},
    {"Native ID Code        :", E::DtmfCode, L::None, S::DtmfCode, 9},
    {"Master Control ID Code:", E::DtmfCode, L::None, S::DtmfCode, 10},
    {"Alarm Code            :", E::DtmfCode, L::None, S::DtmfCode, 11},
    {"Identity Display Code :", E::DtmfCode, L::None, S::DtmfCode, 12},
    {"Revive Code           :", E::DtmfCode, L::None, S::DtmfCode, 13},
    {"Remote Stun Code      :", E::DtmfCode, L::None, S::DtmfCode, 14},
    {"Remote Kill Code      :", E::DtmfCode, L::None, S::DtmfCode, 15},
    {"Monitor Code          :", E::DtmfCode, L::None, S::DtmfCode, 16},
    {"Current State         :", E::List, L::State, S::State, 0},
}};

constexpr std::array<SettingInfo, 7> kLimit = {{
    {"Boot Information 1:", E::Message, L::None, S::Message, 1},
    {"Boot Information 2:", E::Message, L::None, S::Message, 2},
    {"Limit VHF Band (Low):", E::LimitFrequency, L::None, S::Limit, 1},
    {"Limit VHF Band (High):", E::LimitFrequency, L::None, S::Limit, 2},
    {"Limit UHF Band (Low):", E::LimitFrequency, L::None, S::Limit, 3},
    {"Limit UHF Band (High):", E::LimitFrequency, L::None, S::Limit, 4},
    {"Limit Frequency Band Mode:", E::List, L::OffOn, S::LimitMode, 5},
}};

struct Rows {
    const SettingInfo* first;
    int count;
};

template <std::size_t N>
constexpr Rows rowsOf(const std::array<SettingInfo, N>& a) {
    return {a.data(), static_cast<int>(N)};
}

Rows pageRows(PageId page) {
    switch (page) {
        case PageId::SetupA:
            return rowsOf(kSetupA);
        case PageId::SetupB:
            return rowsOf(kSetupB);
        case PageId::Comprehensive:
            return rowsOf(kComprehensive);
        case PageId::Dtmf:
            return rowsOf(kDtmf);
        case PageId::Limit:
            return rowsOf(kLimit);
    }
    return {nullptr, 0};
}

}   // namespace

const char* pageTitle(PageId page) {
    switch (page) {
        case PageId::SetupA:
            return "A/Upper Band Set up";
        case PageId::SetupB:
            return "B/Under Band Set up";
        case PageId::Comprehensive:
            return "Comprehensive Setting";
        case PageId::Dtmf:
            return "DTMF Groups";
        case PageId::Limit:
            return "Limit Frequency";
    }
    return "";
}

const char* channelPageTitle(Band band) { return band == Band::A ? "A/Upper Band Channel" : "B/Under Band Channel"; }

Band pageBand(PageId page) { return page == PageId::SetupB ? Band::B : Band::A; }

int settingRows(PageId page) { return pageRows(page).count; }

const SettingInfo& settingInfo(PageId page, int row) { return pageRows(page).first[row]; }

const char* settingLabel(PageId page, int row) {
    if (row < 0 || row >= settingRows(page)) return nullptr;
    return settingInfo(page, row).label;
}

const std::vector<std::string>* settingEntries(SettingList list) {
    switch (list) {
        case L::None:
            return nullptr;
        case L::WorkingMode:
            return &lists::workingMode();
        case L::ChannelNumbers:
            return &lists::channelNumbers();
        case L::Tones:
            return &toneList("0FF");
        case L::SetupMode:
            return &setupModeList();
        case L::Signals:
            return &signalList();
        case L::LowHigh:
            return &lists::lowHigh();
        case L::Bandwidth:
            return &lists::bandwidth();
        case L::OffOn:
            return &lists::offOn();
        case L::OffsetDirection:
            return &lists::offsetDirection();
        case L::Step:
            return &stepList();
        case L::MainBand:
            return &lists::mainBand();
        case L::Volume:
            return &lists::zeroTo(20);
        case L::Backlight:
            return &lists::backlight();
        case L::BacklightMode:
            return &lists::backlightMode();
        case L::Vibration:
            return &lists::vibration();
        case L::TimeOut:
            return &lists::timeOut();
        case L::SingleTone:
            return &lists::singleTone();
        case L::DtmfTime:
            return &lists::dtmfTime();
        case L::Squelch:
            return &lists::zeroTo(9);
        case L::State:
            return &lists::state();
    }
    return nullptr;
}

}   // namespace pellaro
