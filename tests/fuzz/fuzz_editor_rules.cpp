// SPDX-License-Identifier: GPL-3.0-or-later
// Every editor rule with arbitrary input text. The input is a series of user
// actions, each [rule][a][b][length][text]: the rule byte picks the editor
// rule, a and b its band, column, row, editor number or list index. After
// each action every mirror keeps its length; key filters keep editors within
// their characters and lengths; at the end every write block is whole and
// the document saves and loads back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codeplug/codes.h"
#include "codeplug/rules.h"
#include "tests/fuzz/fuzz_check.h"

using namespace pellaro;

namespace {

bool validAction(KeyAction a) {
    return a == KeyAction::Accept || a == KeyAction::Discard || a == KeyAction::Commit || a == KeyAction::Next;
}

bool nameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 32 && u <= 126 && c != ',' && c != '~' && c != '\'' && c != '"';
}

bool dtmfCharacter(char c) { return (c >= '0' && c <= '9') || c == '#' || c == '*' || (c >= 'A' && c <= 'D'); }

template <typename Pred>
bool all(std::string_view t, Pred p) {
    for (char c : t)
        if (!p(c)) return false;
    return true;
}

// The key filters that filterPaste is used with, and what each admits.
struct Filter {
    KeyFilterFn fn;
    bool (*admits)(char);
    bool limited;   // holds the text to `limit` characters
};
const Filter kFilters[] = {
    {&channelFrequencyKey, [](char c) { return (c >= '0' && c <= '9') || c == '.'; }, true},
    {&channelNameKey, &nameCharacter, true},
    {&dtmfKeyFilter, &dtmfCharacter, true},
    {&messageKey, &nameCharacter, true},
    {&limitKeyFilter, [](char c) { return (c >= '0' && c <= '9') || c == '.'; }, false},
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Document doc;
    std::size_t at = 0;
    int actions = 0;
    while (at + 4 <= size && actions < 64) {
        const int rule = data[at] % 17;
        const int a = data[at + 1];
        const int b = data[at + 2];
        std::size_t len = data[at + 3] % 32;
        at += 4;
        if (len > size - at) len = size - at;
        const std::string_view text(reinterpret_cast<const char*>(data + at), len);
        at += len;
        ++actions;

        const Band band = (a & 0x80) ? Band::B : Band::A;
        const int row = b % 131;      // 0..130: a few outside 1..128 too
        const int small = a & 0x1F;   // column, editor or list index
        const char key = text.empty() ? kEnter : text[0];

        switch (rule) {
            case 0: {
                const KeyOutcome k = channelFrequencyKey(b % 12, key, 9);
                FUZZ_REQUIRE(validAction(k.action), "frequency key: bad action");
                if (k.action == KeyAction::Accept && key != kBackspace)
                    FUZZ_REQUIRE(b % 12 < 9 && kFilters[0].admits(key), "frequency key admitted too much");
                break;
            }
            case 1:
                commitChannelFrequency(doc, band, (a & 1) ? 4 : 1, row, text);
                break;
            case 2: {
                const KeyOutcome k = channelNameKey(b % 10, key, 7);
                if (k.action == KeyAction::Accept && key != kBackspace)
                    FUZZ_REQUIRE(b % 10 < 7 && nameCharacter(key), "name key admitted too much");
                break;
            }
            case 3:
                commitChannelName(doc, band, row, text);
                if (row >= 1 && row <= kRows) {
                    const std::string& name = doc.table(band).at(12, row);
                    FUZZ_REQUIRE(name.size() <= 7 && all(name, nameCharacter), "channel name outside its rules");
                }
                break;
            case 4: {
                const int col = small % 13;
                const auto& entries = channelListEntries(col);
                if (!entries.empty() && !(b & 1))
                    commitChannelList(doc, band, col, row % 129, entries[static_cast<std::size_t>(b) % entries.size()]);
                else
                    commitChannelList(doc, band, col, row, text);
                break;
            }
            case 5:
                pickSetupList(doc, band, small % 18, b - 8);
                break;
            case 6:
                commitSetupRxFrequency(doc, band, text, (a & 1) ? Trigger::MouseMove : Trigger::Exit);
                break;
            case 7:
                commitSetupOffset(doc, band, text);
                break;
            case 8:
                pickSettingsList(doc, small % 17, b - 8);
                break;
            case 9:
                commitFmFrequency(doc, text);
                break;
            case 10: {
                const int editor = small % 18;
                const std::string shown = dtmfKeyUp(doc, editor, text);
                if (editor >= 1 && editor <= 16) {
                    FUZZ_REQUIRE(
                        shown.size() <= static_cast<std::size_t>(dtmfLimit(editor)) && all(shown, dtmfCharacter),
                        "DTMF editor outside its rules: " + shown);
                    const std::string& held = editor <= 8 ? doc.sy[static_cast<std::size_t>(editor)]
                                                          : doc.sypz[static_cast<std::size_t>(editor - 8)];
                    FUZZ_REQUIRE(held == shown, "DTMF editor and its value differ");
                }
                break;
            }
            case 11:
                pickState(doc, b - 8);
                FUZZ_REQUIRE(doc.sypz9 >= 0 && doc.sypz9 <= 2, "the current state left its list");
                break;
            case 12: {
                const int which = small % 4;
                // What k10 held: characters typing cannot give may stay, nothing else.
                const std::string held =
                    which == 1 || which == 2 ? nameText(doc.k[10].substr(which == 1 ? 0 : 16, 16)) : std::string();
                const CommitOutcome c = commitMessage(doc, which, text);
                if (which == 1 || which == 2) {
                    FUZZ_REQUIRE(c.editorText.size() <= 7, "power-on message too long");
                    for (char ch : c.editorText)
                        FUZZ_REQUIRE(nameCharacter(ch) || held.find(ch) != std::string::npos,
                                     "power-on message took a character typing cannot give");
                    FUZZ_REQUIRE(c.editorText == (which == 1 ? doc.kaiji1 : doc.kaiji2), "message and editor differ");
                }
                break;
            }
            case 13:
                commitLimit(doc, small % 6, text);
                break;
            case 14:
                pickLimitMode(doc, b - 8);
                break;
            case 15: {
                const Filter& f = kFilters[static_cast<std::size_t>(a) % std::size(kFilters)];
                const int limit = b % 12;
                const std::size_t cut = text.size() / 2;
                const std::string_view current = text.substr(0, cut);
                const std::string out = filterPaste(current, text.substr(cut), f.fn, limit);
                FUZZ_REQUIRE(out.compare(0, current.size(), current) == 0, "paste lost the editor's text");
                const std::string_view added = std::string_view(out).substr(current.size());
                FUZZ_REQUIRE(all(added, f.admits), "paste admitted a character the keys refuse");
                if (f.limited)
                    FUZZ_REQUIRE(added.empty() || out.size() <= static_cast<std::size_t>(limit),
                                 "paste went past the editor's length");
                break;
            }
            default: {
                const KeyOutcome d = dtmfKey(small % 18, b % 9, key);
                const KeyOutcome m = messageKey(b % 9, key, 7);
                const KeyOutcome l = limitKey(small % 6, key);
                FUZZ_REQUIRE(validAction(d.action) && validAction(m.action) && validAction(l.action), "bad key action");
                if (d.action == KeyAction::Accept && key != kBackspace && key != kEnter)
                    FUZZ_REQUIRE(dtmfCharacter(key), "DTMF key admitted too much");
                break;
            }
        }
        fuzz::checkMirrors(doc);
    }
    fuzz::checkWriteData(doc);
    fuzz::checkSaveLoad(doc);
    return 0;
}
