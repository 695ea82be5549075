// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/edit_actions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QUndoStack>

#include <algorithm>
#include <utility>

#include "files/channel_clipboard.h"
#include "files/tsv.h"
#include "ui/channel_grid.h"
#include "ui/commands.h"
#include "ui/doc_text.h"
#include "ui/document_history.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

bool wholeChannels(const CellRange& r)
{
    return !r.empty() && r.firstCol == kFirstCellColumn && r.lastCol == kColumns - 1;
}

bool singleCell(const CellRange& r)
{
    return r.firstRow == r.lastRow && r.firstCol == r.lastCol;
}

// Delete and Cut: whole channels are cleared; other cells are emptied
// through their own rules (list cells stay as they are).
EditResult emptySelection(Document& doc, Band band, const CellRange& r)
{
    return wholeChannels(r) ? clearChannels(doc, band, r.firstRow, r.lastRow) : emptyCells(doc, band, r);
}

// Sorting one channel sorts nothing: then the whole table is sorted.
CellRange sortSpan(const CellRange& r)
{
    return r.firstRow == r.lastRow ? CellRange{1, kRows, kFirstCellColumn, kColumns - 1} : r;
}

}   // namespace

QString refusalText(const EditResult& result)
{
    // The count of what was not taken, then the cells not taken and those
    // changed on the way in (rounded onto the step, cut, kept).
    QString text = displayText(summaryText(result));
    for (const std::string& line : noteLines(result))
        text += QLatin1Char('\n') + displayText(line);
    return text;
}

EditActions::EditActions(Commands& commands, DocumentHistory& history, UiSeam& seam, QTabWidget& pages,
                         std::array<ChannelGrid*, 2> grids, QWidget& window)
    : QObject(&window),
      commands_(commands),
      history_(history),
      seam_(seam),
      pages_(pages),
      grids_(grids),
      window_(window)
{
    QUndoStack& stack = history_.stack();
    undo = commands_.make(this, {.name = "EditUndo",
                                 .text = QStringLiteral("Undo"),
                                 .keys = {QKeySequence::Undo},
                                 .usesDocument = true,
                                 .run = [&stack] { stack.undo(); },
                                 .enabled = [this, &stack] { return !editing() && stack.canUndo(); },
                                 .label =
                                     [&stack] {
                                         return stack.canUndo() ? QStringLiteral("Undo ") + stack.undoText()
                                                                : QStringLiteral("Undo");
                                     }});
    redo = commands_.make(
        this, {.name = "EditRedo",
               .text = QStringLiteral("Redo"),
               .keys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
               .usesDocument = true,
               .run = [&stack] { stack.redo(); },
               .enabled = [this, &stack] { return !editing() && stack.canRedo(); },
               .label =
                   [&stack] {
                       return stack.canRedo() ? QStringLiteral("Redo ") + stack.redoText() : QStringLiteral("Redo");
                   }});
    cut = make("EditCut", QStringLiteral("Cut"), {QKeySequence::Cut}, [this] {
        copySelection();
        run(emptySelection, {}, QStringLiteral("Cut"));
    });
    copy = make("EditCopy", QStringLiteral("Copy"), {QKeySequence::Copy}, [this] { copySelection(); });
    paste = make(
        "EditPaste", QStringLiteral("Paste"), {QKeySequence::Paste}, [this] { pasteClipboard(); },
        [this](const CellRange&) { return clipboardHasText_; });
    erase = make("EditDelete", QStringLiteral("Delete"), {QKeySequence::Delete}, [this] { run(emptySelection); });
    // These three name their channels in the menu ("Delete Channels 1-2")
    // by the functions their steps name themselves by, so Undo says what
    // the menu offered.
    using RowsOperation = EditResult (*)(Document&, Band, int, int);
    using RowsName = std::string (*)(int, int);
    auto rowsCommand = [this](const char* name, const QString& text, RowsOperation operation, RowsName named) {
        return make(
            name, text, {},
            [this, operation] {
                run([operation](Document& d, Band b, const CellRange& r) {
                    return operation(d, b, r.firstRow, r.lastRow);
                });
            },
            {},
            [text, named](const CellRange& r) { return r.empty() ? text : displayText(named(r.firstRow, r.lastRow)); });
    };
    insertChannel = rowsCommand(
        "EditInsertChannel", QStringLiteral("Insert Channel"),
        [](Document& d, Band b, int row, int) { return pellaro::insertChannel(d, b, row); },
        [](int row, int) { return insertChannelName(row); });
    deleteChannels = rowsCommand("EditDeleteChannels", QStringLiteral("Delete Channels"), &pellaro::deleteChannels,
                                 &deleteChannelsName);
    clearChannels =
        rowsCommand("EditClearChannels", QStringLiteral("Clear Channels"), &pellaro::clearChannels, &clearChannelsName);
    auto move = [this](Direction direction) {
        run([direction](Document& d, Band b, const CellRange& r) {
            return moveChannels(d, b, r.firstRow, r.lastRow, direction);
        });
    };
    moveUp = make(
        "EditMoveUp", QStringLiteral("Move Up"), {}, [move] { move(Direction::Up); },
        [](const CellRange& r) { return r.firstRow > 1; });
    moveDown = make(
        "EditMoveDown", QStringLiteral("Move Down"), {}, [move] { move(Direction::Down); },
        [](const CellRange& r) { return r.lastRow < kRows; });
    auto sort = [this](SortKey key) {
        run([key](Document& d, Band b, const CellRange& r) {
            const CellRange span = sortSpan(r);
            return sortChannels(d, b, span.firstRow, span.lastRow, key);
        });
    };
    sortByFrequency =
        make("EditSortByFrequency", QStringLiteral("Sort by Frequency"), {}, [sort] { sort(SortKey::Frequency); });
    sortByName = make("EditSortByName", QStringLiteral("Sort by Name"), {}, [sort] { sort(SortKey::Name); });

    groups_ = {{undo, redo},
               {cut, copy, paste, erase},
               {insertChannel, deleteChannels, clearChannels},
               {moveUp, moveDown},
               {sortByFrequency, sortByName}};

    // The shortcuts work anywhere in the window, as the menu items do.
    for (const auto& group : groups_)
        window_.addActions(QList<QAction*>(group.begin(), group.end()));

    for (ChannelGrid* grid : grids_) {
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this,
                [this, grid](const QPoint& pos) { contextMenu(grid, pos); });
        connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, &commands_, &Commands::update);
    }
    connect(&stack, &QUndoStack::indexChanged, &commands_, &Commands::update);
    connect(&pages_, &QTabWidget::currentChanged, &commands_, &Commands::update);
    connect(qApp, &QApplication::focusChanged, &commands_, &Commands::update);
    // Asking another program's clipboard what it holds can take a while:
    // it is asked once per change, not at every focus change.
    auto readClipboard = [this] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        clipboardHasText_ = data && data->hasText();
        commands_.update();
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, readClipboard);
    readClipboard();
}

QAction* EditActions::make(const char* name, const QString& text, QList<QKeySequence> keys, std::function<void()> run,
                           std::function<bool(const CellRange&)> also, std::function<QString(const CellRange&)> label)
{
    Commands::Command command{.name = name,
                              .text = text,
                              .keys = std::move(keys),
                              .usesDocument = true,
                              .run = std::move(run),
                              .enabled = [this, also = std::move(also)] {
                                  const CellRange r = selection();
                                  return !r.empty() && (!also || also(r));
                              }};
    if (label)
        command.label = [this, label = std::move(label)] { return label(selection()); };
    return commands_.make(this, std::move(command));
}

void EditActions::addTo(QMenu* menu) const
{
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        if (i > 0)
            menu->addSeparator();
        for (QAction* action : groups_[i])
            menu->addAction(action);
    }
}

ChannelGrid* EditActions::currentGrid() const
{
    for (ChannelGrid* grid : grids_) {
        if (grid->parentWidget() == pages_.currentWidget())
            return grid;
    }
    return nullptr;
}

bool EditActions::editing() const
{
    const QWidget* focus = QApplication::focusWidget();
    return grids_[0]->isCellEditor(focus) || grids_[1]->isCellEditor(focus);
}

CellRange EditActions::selection() const
{
    const ChannelGrid* grid = editing() ? nullptr : currentGrid();
    return grid ? grid->selectedRange() : CellRange{};
}

void EditActions::run(const Operation& operation, const QString& named, const QString& renamed)
{
    ChannelGrid* grid = currentGrid();
    if (!grid || editing())
        return;
    const CellRange range = grid->selectedRange();
    if (range.empty())
        return;
    EditResult result;
    history_.perform(
        [&](Document& doc) {
            result = operation(doc, grid->band(), range);
            QString name = displayText(result.name);
            if (!named.isEmpty())
                name = named;
            else if (!renamed.isEmpty())
                name = result.object.empty() ? renamed : renamed + QLatin1Char(' ') + displayText(result.object);
            return name;
        },
        [&] {
            return StepPlace{pages_.indexOf(grid->parentWidget()), result.selection};
        });
    if (!result.refusal.empty()) {
        seam_.message(&window_, displayText(result.refusal));
        return;
    }
    grid->showSelection(result.selection);
    if (!result.refused.empty() || !result.adjusted.empty())
        seam_.message(&window_, refusalText(result));
    commands_.update();
}

void EditActions::copySelection()
{
    ChannelGrid* grid = currentGrid();
    if (!grid || editing())
        return;
    const CellRange range = grid->selectedRange();
    if (range.empty())
        return;
    // Plain tab-separated text, as spreadsheets take it.
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(copyText(grid->document(), grid->band(), range, false)));
}

void EditActions::pasteClipboard()
{
    // Plain text only: whatever else another program put there is not read.
    std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    if (text.empty())
        return;
    run([&text](Document& doc, Band band, const CellRange& r) {
        if (text.size() <= kMaxPasteText && !singleCell(r)) {
            const TextGrid cells = readTsv(text);
            // One copied cell fills every selected cell.
            if (cells.size() == 1 && cells[0].size() == 1) {
                const std::size_t width = static_cast<std::size_t>(r.lastCol - r.firstCol + 1);
                const std::size_t height = static_cast<std::size_t>(r.lastRow - r.firstRow + 1);
                return pasteCells(doc, band, r.firstRow, r.firstCol,
                                  TextGrid(height, std::vector<std::string>(width, cells[0][0])));
            }
            // Whole channels with their numbers (13 columns) go in from column 0.
            const bool numbered =
                wholeChannels(r) && !cells.empty() &&
                std::all_of(cells.begin(), cells.end(), [](const auto& row) { return row.size() == kColumns; });
            if (numbered)
                return pasteCells(doc, band, r.firstRow, 0, cells);
        }
        return pasteText(doc, band, r.firstRow, r.firstCol, text);
    });
}

void EditActions::contextMenu(ChannelGrid* grid, const QPoint& pos)
{
    // Asking for the menu leaves the cell editor, as a click would.
    if (editing())
        grid->setFocus(Qt::MouseFocusReason);
    commands_.update();
    QMenu menu(grid);
    menu.setObjectName(QStringLiteral("ChannelContextMenu"));
    addTo(&menu);
    menu.exec(grid->viewport()->mapToGlobal(pos));
}

}   // namespace pellaro
