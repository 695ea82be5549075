// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two codeplugs in the user's terms: channel cells, settings as the
// pages show them, and the mirror bytes that no editor explains.
//
// Cell texts that give the same record bytes are the same channel ("0FF" and
// "OFF" in a tone column, "OFF" and an empty receiving mode both mean "not
// set"): what differs is what the radio would hold. Settings compare by their
// shown values, a frequency text by the value it stores ("145.5" is
// "145.50000"). A mirror byte is listed on its own when no editor shows it
// (byte 9 of a VFO record) or when its editor shows the same on both sides.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/memory_map.h"
#include "codeplug/settings_table.h"

namespace pellaro {

struct Difference {
    enum class Kind {
        Channel,   // band, channel, column
        Setting,   // page, label
        Memory,    // page, mirror (0 for the state byte), address
    };
    Kind kind = Kind::Channel;
    Band band = Band::A;
    int channel = 0;                  // 1..128
    int column = 0;                   // 1..12, the heading of channelHeadings()
    std::string page;                 // the page (tab) title
    PageId pageId = PageId::SetupA;   // a setting's or mirror byte's page
    std::string label;                // the setting's label as the page shows it
    int mirror = 0;                   // k<mirror>
    std::uint16_t address = 0;        // first byte of the channel field or of the differing bytes
    std::string before, after;        // shown texts (UTF-8; "(empty)"), or bytes ("00 E4 F5 48")
    std::string text;                 // the whole line, e.g. "A 5 Receiving Frequency: 145.50000 → 145.52500"

    bool operator==(const Difference&) const = default;
};

// What `b` holds that `a` does not, channels of band A, then band B (by
// channel, then column), then the settings pages in tab order, each page's
// settings before its mirror bytes. Empty when the two are the same.
std::vector<Difference> compareDocuments(const Document& a, const Document& b);

// The memory image a full write of `doc` sends.
MemoryImage writeImage(const Document& doc);

// The record bytes of two images (the spare ranges, always written as FF, are
// not compared), described as compareDocuments describes them: channel fields
// with the cells the bytes decode to, settings with the values the pages
// would show, other mirror bytes as they are. Characters that are not hex
// count as F; bytes beyond the shorter of a block's two texts are not
// compared. Compares what was written with what a read-back returned, or,
// through writeImage, what two codeplugs would write.
std::vector<Difference> compareImages(const MemoryImage& a, const MemoryImage& b);

}   // namespace pellaro
