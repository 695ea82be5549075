// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Export Codeplug as Text…" and "Import Codeplug Text…", after the
// channel-plan items: the whole codeplug as the readable text of
// `pellaro-cli dump`, and back. An import replaces the codeplug with the
// text's (every value through its editor's rule, from New) as one undoable
// step, with one box saying what was refused; a refused text changes
// nothing.
#pragma once

#include <QObject>
#include <QString>

#include "files/codeplug_text.h"

class QAction;
class QMenu;
class QWidget;

namespace pellaro {

class CommandHost;

class CodeplugTextActions : public QObject {
    Q_OBJECT
public:
    explicit CodeplugTextActions(CommandHost& host);

    void addToFileMenu(QMenu* menu) const;

    QAction* exportText = nullptr;
    QAction* importText = nullptr;

    // The work behind the items once a file is chosen (tests call them).
    void exportTo(QString path);
    void importFrom(const QString& path);

private:
    CommandHost& host_;
    QWidget* window_;   // the main window, parent of the boxes
};

// The box after importing `fileName`.
QString textImportReport(const TextLoadReport& report, const QString& fileName);

}   // namespace pellaro
