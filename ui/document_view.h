// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window asks of every view of the document on its tabs (the
// two channel tables and the five settings pages): to show the document
// again, and to hand the user's commits to the undo history. The window holds
// its views in one list and treats them all alike.
#pragma once

#include <QString>
#include <QWidget>

namespace pellaro {

class DocumentHistory;

class DocumentView {
public:
    virtual ~DocumentView() = default;
    // Shows the document's values again; commits nothing.
    virtual void refresh() = 0;
    // Hands every user commit (and the typing that a settings page takes at
    // once) to `history`, as having happened on tab `page` of the window.
    virtual void reportTo(DocumentHistory& history, int page) = 0;
};

// The common body of the settings pages: their two signals, reported to the
// history as steps without cells.
class DocumentPage : public QWidget, public DocumentView {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void reportTo(DocumentHistory& history, int page) override;

signals:
    // The user committed the editor named `step` (its label); the document
    // may or may not have changed.
    void committed(const QString& step);
    // Typing changed the value of the free-text editor named `step`.
    void typed(const QString& step);
};

}   // namespace pellaro
