// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the user's changes to the document.
//
// Each step holds the whole document before and after it (a few hundred
// kilobytes at most; consecutive steps share the document between them).
// Views report "a user commit named X happened"; the history compares the
// document with the one its last step left and pushes a step only when they
// differ, so a commit that changes nothing (a pointer moving over an editor
// whose text is committed already) leaves no step. Undo and redo set the
// document and ask every view to show it again; no view commits anything for
// that. Read, Open, New and the partial reads replace the document outside
// any step: they call reset(), which forgets every step.
//
// Each step keeps its place (the page, and on a channel table the cells it
// changed); undo and redo bring that place forward through placeShown().
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>

#include "codeplug/channel_edit.h"
#include "codeplug/document.h"

namespace pellaro {

// Where a step happened.
struct StepPlace {
    int page = -1;     // index of the page (tab) in the main window; -1: none
    CellRange cells;   // on a channel table, the cells the step changed
};

class DocumentHistory : public QObject {
    Q_OBJECT
public:
    explicit DocumentHistory(Document& doc, QObject* parent = nullptr);

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    // A user commit named `step` ("Receiving Frequency of A 3", "Volume")
    // has changed the document, or perhaps not: one step when it did. The
    // views show the change already. A commit that ends typing under the same
    // name (leaving the editor) joins that typing's step and closes it.
    void commit(const QString& step, const StepPlace& place = {});
    // Typing into a settings editor (its text is the editor's value at once;
    // a digit code encodes at every key; a pointer movement commits): as
    // commit(), but consecutive typing under one name is one step until a
    // commit closes it or another step comes between.
    void typed(const QString& step, const StepPlace& place = {});

    // Runs `operation` on the document as one undoable step named by what it
    // returns (an import, a paste, a row operation): a step when the document
    // changed, and then every view shows the document again. Returns whether
    // a step was pushed. The operation must not show message boxes itself.
    // `place`, asked after the operation, says where the step happened.
    bool perform(const std::function<QString(Document&)>& operation, const std::function<StepPlace()>& place = {});

    // The document was replaced outside any step (Read, Open, New, a partial
    // read): every step is forgotten and the present document is the start.
    void reset();

signals:
    // Undo, redo or perform() set the document: every view shows it again.
    void documentSet();
    // Undo or redo of a step that happened at `place`: the views bring it
    // forward (after documentSet()).
    void placeShown(const StepPlace& place);

private:
    friend class SnapshotStep;
    using Snapshot = std::shared_ptr<const Document>;

    enum class Join { No, Typing, Closing };
    void record(const QString& step, const StepPlace& place, Join join);
    void restore(const Snapshot& snapshot);

    Document& doc_;
    Snapshot current_;       // the document as the last step (or reset) left it
    QString typing_;         // the name of the top step while typing may join it
    bool joining_ = false;   // the step being pushed may join the top one
    QUndoStack stack_;
};

}   // namespace pellaro
