// SPDX-License-Identifier: GPL-3.0-or-later
#include "codeplug/write_check.h"

#include <algorithm>

#include "codeplug/cell_entry.h"
#include "codeplug/codes.h"
#include "codeplug/fields.h"
#include "codeplug/memory_map.h"
#include "codeplug/rules.h"
#include "codeplug/settings_view.h"

namespace pellaro {

namespace {

constexpr int kFirstSettingsBlock = kChannelBlocks;

bool isListEntry(int col, const std::string& text) {
    const auto& entries = channelListEntries(col);
    if (std::find(entries.begin(), entries.end(), text) != entries.end()) return true;
    // What a new frequency writes, which the list may not offer.
    const char* written = columnInfo(col).newText;
    return written && text == written;
}

void checkChannel(const Document& doc, Band band, int row, Document& scratch, std::vector<ReportItem>& out) {
    const ChannelTable& t = doc.table(band);
    auto refuse = [&](int col, std::string reason) {
        out.push_back({Severity::Refused, Place{0, band, row, col, {}}, std::move(reason)});
    };
    // The frequencies through their rule, on an empty row of the scratch.
    auto& cells = scratch.table(band).cells[static_cast<std::size_t>(row)];
    for (int col = kFirstCellColumn; col < kColumns; ++col) cells[static_cast<std::size_t>(col)].clear();
    for (int col = kFirstCellColumn; col < kColumns; ++col) {
        if (columnEditor(col) != CellEditor::Frequency) continue;
        const std::string& text = t.at(col, row);
        if (text.empty()) continue;
        const CellEntry e = enterChannelCell(scratch, band, col, row, text);
        if (!e.taken()) refuse(col, e.reason);
    }
    // The other cells as the radio would give them back.
    decodeChannel(scratch, band, row, encodeChannel(doc, band, row));
    for (int col = kFirstCellColumn; col < kColumns; ++col) {
        if (columnEditor(col) == CellEditor::Frequency) continue;
        const bool name = columnEditor(col) == CellEditor::Name;
        const std::string& text = t.at(col, row);
        const std::string& back = scratch.table(band).at(col, row);
        if (text.empty() || text == back || (!name && isListEntry(col, text))) continue;
        std::string reason = quotedCellText(text);
        if (name)
            reason += " is more than the 7 characters a name holds; the radio would get " + quotedCellText(back);
        else
            reason += " is not an entry of the " + channelHeadings()[static_cast<std::size_t>(col)] +
                      " list; the radio would get " + (back.empty() ? std::string("nothing") : quotedCellText(back));
        refuse(col, std::move(reason));
    }
}

}   // namespace

std::vector<ReportItem> checkForWrite(const Document& doc) {
    std::vector<ReportItem> out;
    Document scratch = doc;
    for (Band band : {Band::A, Band::B})
        for (int row = 1; row <= kRows; ++row) checkChannel(doc, band, row, scratch, out);

    bool mirrorsWhole = true;
    for (int n = 1; n <= 15; ++n) {
        const std::string& mirror = doc.k[static_cast<std::size_t>(n)];
        const auto length = static_cast<std::size_t>(kMirrorLength[static_cast<std::size_t>(n)]);
        if (mirror.size() == length && isHexText(mirror)) continue;
        mirrorsWhole = false;
        Place p;
        p.setting = mirrorPage(n) + " / memory " + mirrorCaption(n);
        while (!p.setting.empty() && p.setting.back() == ':') p.setting.pop_back();
        out.push_back({Severity::Refused, p,
                       "holds " + quotedCellText(mirror) + ", not " + std::to_string(length) + " hex digits"});
    }
    if (!mirrorsWhole) return out;

    // The settings as the radio would get them, each through its commit.
    Document sent = doc;
    for (int block = kFirstSettingsBlock; block < kBlockCount; ++block)
        dispatchReply(sent, block, writeData(doc, block));
    const std::vector<SettingsPage> pages = settingsPages(sent);
    auto check = [&](PageId pageId, std::size_t row, const CommitOutcome& outcome) {
        if (outcome.message.empty()) return;
        const SettingsPage& page = pages[static_cast<std::size_t>(pageId)];
        out.push_back({Severity::Refused, settingPlace(page.title, page.settings[row].label),
                       quoteUserText(page.settings[row].value) + ": " + outcome.message});
    };
    // (The set-up receiving frequency is not checked: its editor takes only
    // 136-176 MHz on both bands, while a radio's band B works on UHF.)
    Document commits = sent;
    check(PageId::Comprehensive, 2, commitFmFrequency(commits, sent.gn3));   // gn3
    return out;
}

}   // namespace pellaro
