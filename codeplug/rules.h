// SPDX-License-Identifier: GPL-3.0-or-later
// The commit rules of every editor, as operations on the document.
//
// Windows call these on user events (key press, Enter, focus leaving, a pick in
// a list, mouse movement) and show what the returned outcome asks for; tests
// call them directly. Each commit updates the cells or splices its code into
// its mirror at fixed positions: a mirror never changes length. Values set by
// program code never go through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"

namespace pellaro {

// What a key filter does with one typed character.
enum class KeyAction {
    Accept,    // the editor takes the character (or Backspace)
    Discard,   // dropped silently
    Commit,    // Enter: the editor hides / loses focus, which commits it
    Next,      // Enter on the limit page: move focus to the next limit editor
};
struct KeyOutcome {
    KeyAction action = KeyAction::Discard;
    std::string message;   // non-empty: show it in a modal box (DTMF page)
};

constexpr char kBackspace = '\b';
constexpr char kEnter = '\r';

// What the window does with the editor after a commit.
enum class EditorAfter {
    Keep,        // editor stays as it is (text kept, still shown)
    EmptyKeep,   // editor emptied, stays visible where it is
    EmptyHide,   // editor emptied and hidden
};
struct CommitOutcome {
    std::string message;   // non-empty: show it in a modal box first
    EditorAfter editor = EditorAfter::EmptyHide;
    std::string editorText;   // text the editor shows afterwards
};

// Filters a pasted text through a key filter, character by character, from an
// editor holding `current` text; returns the text the editor then holds.
// Used for every editor whose typed keys are filtered.
using KeyFilterFn = KeyOutcome (*)(std::size_t currentLength, char key, int limit);
std::string filterPaste(std::string_view current, std::string_view pasted, KeyFilterFn filter, int limit);
// An edit of a free text from `before` to `after` (typing, a paste, a drop):
// the characters `after` keeps from `before` stay, whatever they are (a text
// read from the radio or a file may hold characters typing cannot give);
// only the characters the edit brought in go through the key filter, in
// order, counted against `limit` together with the kept ones. Returns the
// text the editor then holds.
std::string filterEdit(std::string_view before, std::string_view after, KeyFilterFn filter, int limit);

// ---- channel cells (StringGrid1 / StringGrid2) --------------------------------
// Frequency editors t1 / t5 (and p1 / p5): digits, ".", Backspace, Enter; at
// most 9 characters.
KeyOutcome channelFrequencyKey(std::size_t currentLength, char key, int limit = 9);
// Commit of a frequency editor for column 1 (receive) or 4 (transmit) of `row`.
// Completes to nine characters, checks the band edges and the step raster,
// writes the group defaults or clears the group, and returns the message and
// what the editor does (band A: emptied and hidden; band B keeps a refused
// receive text; an empty text keeps the editor, empty, where it is).
CommitOutcome commitChannelFrequency(Document& doc, Band band, int col, int row, std::string_view typed);
// Channel name editor t13 / p13: characters 32..126 except , ~ ' " (which a
// codeplug file cannot hold), Backspace, Enter; at most 7.
KeyOutcome channelNameKey(std::size_t currentLength, char key, int limit = 7);
// The name commit keeps the cell's characters the edit did not touch; only
// what was typed or pasted meets the key filter (filterEdit).
CommitOutcome commitChannelName(Document& doc, Band band, int row, std::string_view text);
// A list editor's pick: writes the entry text into the cell.
void commitChannelList(Document& doc, Band band, int col, int row, std::string_view entry);
// The list entries of the list editor of column `col` (2, 3, 5..11).
const std::vector<std::string>& channelListEntries(int col);
// Whether selecting (col,row) shows an editor: frequencies always; the other
// columns only when the row's receive (or transmit, for 5..7) frequency is set.
bool channelEditorOffered(const Document& doc, Band band, int col, int row);

// ---- band set-up pages (left* / right*) ----------------------------------
// Pick of entry `index` in list editor `editor` (1, 2, 4..8, 10..14, 16): sets
// the editor value and splices its code into k1/k2 (band A) or k3/k4 (band B).
void pickSetupList(Document& doc, Band band, int editor, int index);
// How a set-up frequency commit was triggered: the lead-in of the range
// message depends on it ("Receiving Frequency in" when leaving left3;
// "Receive Frequency in " on mouse movement over left3 and leaving right3).
enum class Trigger { Exit, MouseMove };
// left3 / right3: set the editor text, check 136..176 MHz, splice k1/k3 5..12.
CommitOutcome commitSetupRxFrequency(Document& doc, Band band, std::string_view text, Trigger how);
// left15 / right15: set the editor text, splice k2/k4 7..14 (no range check).
CommitOutcome commitSetupOffset(Document& doc, Band band, std::string_view text);

// ---- comprehensive settings (gn*) ---------------------------------------------
void pickSettingsList(Document& doc, int editor, int index);   // gn1, gn2, gn4..gn15
// gn3 on mouse movement: 88..108 MHz into k5 5..8, "FM Frequency 88~108MHz".
CommitOutcome commitFmFrequency(Document& doc, std::string_view text);

// ---- DTMF page (sy1..sy8, sypz1..sypz8) ------------------------------------
// `editor` 1..8 is sy1..sy8, 9..16 is sypz1..sypz8.
int dtmfLimit(int editor);   // 7, or 5 for sypz3..sypz8
KeyOutcome dtmfKey(int editor, std::size_t currentLength, char key);
// The same key rules in the shape filterPaste takes (`limit` 7 or 5).
KeyOutcome dtmfKeyFilter(std::size_t currentLength, char key, int limit);
// After every key release: sets the editor text and encodes it into its half
// of k6..k9 / k12..k15. A text that the key filter would not produce is
// filtered first; the returned text is what the editor must show.
std::string dtmfKeyUp(Document& doc, int editor, std::string_view text);
void pickState(Document& doc, int index);   // sypz9

// ---- limit page (kaiji*, xp*) --------------------------------------------
// Power-on messages: characters 32..126 except , ~ ' ", Backspace; at most 7;
// no message.
KeyOutcome messageKey(std::size_t currentLength, char key, int limit = 7);
// `which` 1 or 2: sets kaiji1/kaiji2 and splices k10 1..16 / 17..32. A text
// equal to what k10 holds leaves k10 exactly as it is; a changed one keeps
// every character of the held message that the edit did not touch.
CommitOutcome commitMessage(Document& doc, int which, std::string_view text);
// xp1..xp4: digits, ".", Backspace; Enter gives Next for 1..3, Discard for 4.
KeyOutcome limitKey(int which, char key);
// The limit key rules in the shape filterPaste takes (length and limit unused).
KeyOutcome limitKeyFilter(std::size_t currentLength, char key, int limit);
// `which` 1..4: sets xp<which> and splices k11 at its eight characters.
CommitOutcome commitLimit(Document& doc, int which, std::string_view text);
void pickLimitMode(Document& doc, int index);   // xp5 into k11 33..34

// Frequency texts that do not fit the field (negative, or 42949.67295 MHz and
// more, FFFFFFFF being "none") are refused with a message by the offset and
// limit commits; the editor keeps its text and the mirror its value.
// Display texts (messages, list entries) are UTF-8; cell and editor texts
// hold one Latin-1 character per byte.

// Channel-editor messages.
std::string receiveRangeMessage(Band band);   // band A with a trailing blank
std::string transmitRangeMessage(Band band);

}   // namespace pellaro
