// SPDX-License-Identifier: GPL-3.0-or-later
// Small pieces shared by the settings pages: building the labelled editors,
// turning key events into the characters the key filters judge, and showing
// what a commit asks for.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "codeplug/rules.h"

class QComboBox;
class QEvent;
class QFocusEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;

namespace pellaro::pages {

// A drop-down list of the fixed kind: the user can only pick an entry.
QComboBox* makeList(QWidget* parent, const QString& name, const std::vector<std::string>& entries);
// A single-line free-text editor.
QLineEdit* makeText(QWidget* parent, const QString& name);
// A label in a fixed-pitch font, so that labels padded with inner spaces line
// up their colons as a column.
QLabel* makeLabel(QWidget* parent, const QString& text);

// The name of an undo step for a commit of the editor with this label:
// "Volume             :" gives "Volume".
QString stepName(const QString& label);

// The editor of the setting labelled `label` on `page` ("Alarm Code" finds
// the editor beside "Alarm Code   :"), or nullptr.
QWidget* editorLabelled(QWidget* page, const QString& label);

// The character a key press hands to a key filter (Backspace and Enter as
// kBackspace and kEnter), or nothing for keys that type nothing (arrows,
// Delete, Home, Tab, ...): those reach the editor untouched. A character outside
// ASCII gives DEL, which every key filter refuses.
std::optional<char> typedChar(const QKeyEvent* event);

// Whether a focus-out counts as leaving the editor for another control of the
// window. A message box, a menu or another window taking the focus does not:
// the editor is still the window's current control.
bool leavesEditor(const QFocusEvent* event);

// Sets an editor's text (a document text) unless it already shows it (keeps
// the cursor).
void showText(QLineEdit* editor, const std::string& text);
// Sets a list's selection without any commit (-1 shows no entry).
void showIndex(QComboBox* list, int index);

// After a commit: the editor shows what the outcome says (the message box, if
// any, is the caller's, because its order against the emptying differs).
void applyOutcome(QLineEdit* editor, const CommitOutcome& outcome);

// After an edit that did not come key by key (a paste, a drop): what it
// brought in keeps to what the key filter lets through, and what the editor
// held before (`before`, as the document has it) stays. Returns the text as
// the document takes it; the editor is corrected when something was dropped.
std::string keepTyped(QLineEdit* editor, const std::string& before, KeyFilterFn filter, int limit);

}   // namespace pellaro::pages
