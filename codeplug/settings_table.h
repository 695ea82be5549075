// SPDX-License-Identifier: GPL-3.0-or-later
// Every setting of the settings pages, one row each, top to bottom as its
// page shows it: the label (blanks kept), the editor it takes, the list it
// offers, and where the document keeps it. The pages, the listing, the
// comparison, the codeplug text and `get`/`set` all read the settings here;
// the pages' titles and the channel tables' titles are here too.
#pragma once

#include <string>
#include <vector>

#include "codeplug/document.h"

namespace pellaro {

// The five settings pages, in tab order.
enum class PageId { SetupA, SetupB, Comprehensive, Dtmf, Limit };
inline constexpr int kSettingsPageCount = 5;

// The page's tab title: "A/Upper Band Set up", ...
const char* pageTitle(PageId page);
// The channel table's tab title: "A/Upper Band Channel", "B/Under Band Channel".
const char* channelPageTitle(Band band);
// The band of a band set-up page (band A for the other pages).
Band pageBand(PageId page);

// The editor a setting takes, and so the rule its commit follows.
enum class SettingEditor {
    List,             // pick an entry
    SetupRx,          // band set-up receiving frequency
    SetupOffset,      // band set-up transmit offset
    Fm,               // FM radio frequency
    DtmfCode,         // DTMF group or identity code
    Message,          // power-on message
    LimitFrequency,   // band limit
};

// The list a list editor offers (codes.h holds the entries).
enum class SettingList {
    None,
    WorkingMode,
    ChannelNumbers,
    Tones,
    SetupMode,
    Signals,
    LowHigh,
    Bandwidth,
    OffOn,
    OffsetDirection,
    Step,
    MainBand,
    Volume,
    Backlight,
    BacklightMode,
    Vibration,
    TimeOut,
    SingleTone,
    DtmfTime,
    Squelch,
    State,
};

// Where the document keeps the setting; `number` says which of several.
enum class SettingStore {
    SetupSelection,   // BandSetup::sel[number] of the page's band
    SetupRx,          // BandSetup::rxFreq
    SetupOffset,      // BandSetup::offset
    Selection,        // Document::gn[number]
    Fm,               // Document::gn3
    DtmfCode,         // sy[number] (1..8), sypz[number - 8] (9..16)
    State,            // Document::sypz9
    Message,          // kaiji<number>
    Limit,            // xp[number] (1..4)
    LimitMode,        // Document::xp5
};

struct SettingInfo {
    const char* label;   // as the page shows it, blanks included
    SettingEditor editor;
    SettingList list;   // None for a text editor
    SettingStore store;
    // The editor's number as the page names its widgets and the record
    // places name its field: left<n>/right<n>, gn<n>, DTMF editor n (sy<n>,
    // sypz<n - 8>), kaiji<n>, xp<n>; 0 for the state.
    int number;
};

// How many settings the page shows.
int settingRows(PageId page);
// Row `row` of the page (0..settingRows - 1).
const SettingInfo& settingInfo(PageId page, int row);
// The label of row `row` as the page shows it ("Volume             :");
// nullptr past the page's last row.
const char* settingLabel(PageId page, int row);
// The entries of list `list`; nullptr for None.
const std::vector<std::string>* settingEntries(SettingList list);

}   // namespace pellaro
