// SPDX-License-Identifier: GPL-3.0-or-later
// The edit commands of the channel tables and the undo history: one QAction
// per command with its standard shortcut, shared by the Edit menu and the
// tables' context menu. Their enabled states and texts follow the page shown,
// the table's selection, the clipboard and the history (Commands::update()).
//
// The shortcuts act while no cell editor has the focus: a cell editor keeps
// its own Ctrl+C, Ctrl+V, Ctrl+Z and Delete, and every action is disabled
// while one has the focus, so that no command runs past a typed text that is
// not committed yet. The table commands act on the table of the page shown.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

#include "codeplug/channel_edit.h"

class QAction;
class QMenu;
class QPoint;
class QTabWidget;
class QWidget;

namespace pellaro {

class ChannelGrid;
class Commands;
class DocumentHistory;
class UiSeam;

class EditActions : public QObject {
    Q_OBJECT
public:
    EditActions(Commands& commands, DocumentHistory& history, UiSeam& seam, QTabWidget& pages,
                std::array<ChannelGrid*, 2> grids, QWidget& window);

    // Appends the commands to `menu` in their order, with separators
    // between the groups.
    void addTo(QMenu* menu) const;

    // The commands, in menu order.
    QAction* undo = nullptr;    // Ctrl+Z
    QAction* redo = nullptr;    // Ctrl+Shift+Z, Ctrl+Y
    QAction* cut = nullptr;     // Ctrl+X
    QAction* copy = nullptr;    // Ctrl+C
    QAction* paste = nullptr;   // Ctrl+V
    QAction* erase = nullptr;   // Delete
    QAction* insertChannel = nullptr;
    QAction* deleteChannels = nullptr;
    QAction* clearChannels = nullptr;
    QAction* moveUp = nullptr;
    QAction* moveDown = nullptr;
    QAction* sortByFrequency = nullptr;
    QAction* sortByName = nullptr;

private:
    using Operation = std::function<EditResult(Document&, Band, const CellRange&)>;

    // The action of a command on the shown table's selection: enabled while
    // there is one (and `also` holds for it), its text from `label`.
    QAction* make(const char* name, const QString& text, QList<QKeySequence> keys, std::function<void()> run,
                  std::function<bool(const CellRange&)> also = {}, std::function<QString(const CellRange&)> label = {});
    // The table of the page shown, or nullptr.
    ChannelGrid* currentGrid() const;
    // Whether a cell editor of either table has the focus.
    bool editing() const;
    // The shown table's selection; empty while a cell editor has the focus.
    CellRange selection() const;

    // Runs `operation` on the shown table's selection as one step, then
    // selects what it names and shows what it refused. `named`, when not
    // empty, is the step's name (the menu item's words); `renamed` names
    // the step with its own verb and what the operation worked on ("Cut
    // Channels 5-8").
    void run(const Operation& operation, const QString& named = {}, const QString& renamed = {});
    void copySelection();
    void pasteClipboard();
    void contextMenu(ChannelGrid* grid, const QPoint& pos);

    Commands& commands_;
    DocumentHistory& history_;
    UiSeam& seam_;
    QTabWidget& pages_;
    std::array<ChannelGrid*, 2> grids_;
    QWidget& window_;
    std::vector<std::vector<QAction*>> groups_;   // menu order
    bool clipboardHasText_ = false;
};

// What a step refused and what it took otherwise than given, in one box:
// the first 20 lines and a count of the rest.
QString refusalText(const EditResult& result);

}   // namespace pellaro
