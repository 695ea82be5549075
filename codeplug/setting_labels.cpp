// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/setting_labels.h"

#include <cstddef>
#include <iterator>

namespace pellaro {

namespace {

// Every label top to bottom as its page shows it; the inner blanks line the
// colons up as a column.
constexpr const char* kSetupLabels[] = {
    "Working Mode :",
    "Channel No.:",
    "Receiving Frequency: ",
    "Receiving CTCSS:",
    "Receiving Mode:",
    "Transmission CTCSS:",
    "Launch Signaling:",
    "Transmit end Signaling:",
    "Power:",
    "Wide/Narrow Band:",
    "Compandor:",
    "Scrambler:",
    "Difference frequency direction:",
    "Transmit Offset Frequency(MHZ):",
    "Frequency Step:",
};
constexpr const char* kComprehensiveLabels[] = {
    "Optional Main Band :",     "Volume             :",     "FM Frequency       :",     "Standby Backlight  :",
    "Receiving Backlight:",     "Transmit  Backlight:",     "Backlight Mode     :",     "Beep               :",
    "Vibration Ring Time:",     "Busy Channel Lock  :",     "Time Over Timer        :", "Single Signaling choice:",
    "DTMF Transmitting Time :", "Squelch level          :", "Repeater Mode          :",
};
constexpr const char* kDtmfLabels[] = {
    "DTMF1:",
    "DTMF2:",
    "DTMF3:",
    "DTMF4:",
    "DTMF5:",
    "DTMF6:",
    "DTMF7:",
    "DTMF8:",
    "Native ID Code        :",
    "Master Control ID Code:",
    "Alarm Code            :",
    "Identity Display Code :",
    "Revive Code           :",
    "Remote Stun Code      :",
    "Remote Kill Code      :",
    "Monitor Code          :",
    "Current State         :",
};
constexpr const char* kLimitLabels[] = {
    "Boot Information 1:",   "Boot Information 2:",    "Limit VHF Band (Low):",      "Limit VHF Band (High):",
    "Limit UHF Band (Low):", "Limit UHF Band (High):", "Limit Frequency Band Mode:",
};

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

int settingRows(PageId page) {
    switch (page) {
        case PageId::SetupA:
        case PageId::SetupB:
            return static_cast<int>(std::size(kSetupLabels));
        case PageId::Comprehensive:
            return static_cast<int>(std::size(kComprehensiveLabels));
        case PageId::Dtmf:
            return static_cast<int>(std::size(kDtmfLabels));
        case PageId::Limit:
            return static_cast<int>(std::size(kLimitLabels));
    }
    return 0;
}

const char* settingLabel(PageId page, int row) {
    if (row < 0 || row >= settingRows(page)) return nullptr;
    const auto at = static_cast<std::size_t>(row);
    switch (page) {
        // Band B's page has no blank before the colon of its first label.
        case PageId::SetupA:
            return kSetupLabels[at];
        case PageId::SetupB:
            return row == 0 ? "Working Mode:" : kSetupLabels[at];
        case PageId::Comprehensive:
            return kComprehensiveLabels[at];
        case PageId::Dtmf:
            return kDtmfLabels[at];
        case PageId::Limit:
            return kLimitLabels[at];
    }
    return nullptr;
}

}   // namespace pellaro
