// SPDX-License-Identifier: GPL-3.0-or-later
// The settings pages by name and the label of every setting they show, as
// the pages show them. The pages, the listing, the comparison and the text
// format all take these texts from here.
#pragma once

namespace pellaro {

// The five settings pages, in tab order.
enum class PageId { SetupA, SetupB, Comprehensive, Dtmf, Limit };
inline constexpr int kSettingsPageCount = 5;

// The page's tab title: "A/Upper Band Set up", ...
const char* pageTitle(PageId page);
// Row `row` of the page's settings as the page shows its label, blanks
// included ("Volume             :"); nullptr past the page's last row.
const char* settingLabel(PageId page, int row);
// How many settings the page shows.
int settingRows(PageId page);

}   // namespace pellaro
