// SPDX-License-Identifier: GPL-3.0-or-later
// The window's commands as QActions, all made in one place: each with its
// object name, its text, its shortcuts and what it does, and the rules by
// which update() sets its enabled state, text and check mark. update() runs
// as a menu opens and whenever the focus, a table's selection, the page shown,
// the clipboard or the undo history changes.
//
// A command that changes or reads the document first ends an open cell
// editor as a click elsewhere does (its commit rules, a refusal said), so that
// nothing typed is lost or left out; that happens here for every such
// command, before its handler runs.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace pellaro {

class Commands : public QObject {
    Q_OBJECT
public:
    struct Command {
        const char* name = "";   // the object name (tests and the keyboard find it by it)
        QString text{};          // the text while `label` gives none
        QList<QKeySequence> keys{};
        // It changes or reads the document: an open cell editor ends first.
        bool usesDocument = false;
        std::function<void()> run{};
        // Asked by update(); an empty rule leaves the state as it is.
        std::function<bool()> enabled{};
        std::function<QString()> label{};
        std::function<bool()> checked{};   // makes the action checkable
    };

    // `endCellEdit` ends an open cell editor of either channel table.
    Commands(std::function<void()> endCellEdit, QObject* parent);

    // The action of `command`, owned by `owner`.
    QAction* make(QObject* owner, Command command);
    // As make(), owned by `menu` and appended to it.
    QAction* add(QMenu* menu, Command command);
    // A disabled "-------" item, the described menus' divider.
    static QAction* addDivider(QMenu* menu, const char* name);

    // Every action's enabled state, text and check mark from its rules.
    void update();

private:
    struct Rules {
        QPointer<QAction> action;
        std::function<bool()> enabled;
        std::function<QString()> label;
        std::function<bool()> checked;
    };
    std::function<void()> endCellEdit_;
    std::vector<Rules> rules_;
};

}   // namespace pellaro
