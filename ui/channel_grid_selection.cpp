// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting blocks of cells and whole channels in a channel table: a drag,
// Shift+click, Shift+arrow, Ctrl+A, the channel-number column and the right
// button. A block places no editor; one cell places its editor as a click does.
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <climits>

#include "ui/channel_grid.h"
#include "ui/channel_model.h"

namespace pellaro {

CellRange ChannelGrid::selectedRange() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return {};
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QItemSelectionRange& r : selection) {
        top = std::min(top, r.top());
        bottom = std::max(bottom, r.bottom());
        left = std::min(left, r.left());
        right = std::max(right, r.right());
    }
    // The channel numbers are not data: a block never holds column 0.
    left = std::max(left, 1);
    if (right < left)
        return {};
    return {top + 1, bottom + 1, left, right};
}

void ChannelGrid::showSelection(const CellRange& range)
{
    if (range.empty())
        return;
    const int firstCol = std::max(range.firstCol, 1);
    const int lastCol = std::min(range.lastCol, kColumns - 1);
    const int firstRow = std::max(range.firstRow, 1);
    const int lastRow = std::min(range.lastRow, kRows);
    if (lastCol < firstCol || lastRow < firstRow)
        return;
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        const QModelIndex topLeft = model_->index(firstRow - 1, firstCol);
        selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(topLeft, model_->index(lastRow - 1, lastCol)),
                                 QItemSelectionModel::ClearAndSelect);
        scrollTo(topLeft);
    }
    anchorCol_ = firstCol;
    anchorRow_ = firstRow;
    editorHeld_ = true;
}

void ChannelGrid::selectChannels(int from, int to)
{
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        selectionModel()->setCurrentIndex(model_->index(to - 1, kFirstCellColumn), QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(model_->index(std::min(from, to) - 1, kFirstCellColumn),
                                                model_->index(std::max(from, to) - 1, kColumns - 1)),
                                 QItemSelectionModel::ClearAndSelect);
    }
    anchorCol_ = 1;
    anchorRow_ = from;
    settleSelection();
}

void ChannelGrid::extendTo(int col, int row)
{
    const int anchorCol = anchorCol_;
    const int anchorRow = anchorRow_;
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        const QModelIndex target = model_->index(row - 1, col);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(model_->index(std::min(anchorRow, row) - 1, std::min(anchorCol, col)),
                                                model_->index(std::max(anchorRow, row) - 1, std::max(anchorCol, col))),
                                 QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
    settleSelection();
    // The block keeps growing from the same cell.
    anchorCol_ = anchorCol;
    anchorRow_ = anchorRow;
}

void ChannelGrid::settleSelection()
{
    const CellRange r = selectedRange();
    if (r.empty())
        return;
    if (r.firstRow == r.lastRow && r.firstCol == r.lastCol) {
        if (editorHeld_)
            selectCell(r.firstCol, r.firstRow);
        return;
    }
    editorHeld_ = true;
    hideEditors();   // an open editor commits as leaving it does
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void ChannelGrid::selectAll()
{
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        QTableView::selectAll();
    }
    settleSelection();
}

void ChannelGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    // A list editor commits only on a pick: Escape closes it, the cell as it was.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (QWidget* shown = visibleEditor(); shown && !isCellEditor(shown)) {
            shown->hide();
            event->accept();
            return;
        }
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        CursorAction move;
        bool moves = true;
        switch (event->key()) {
            case Qt::Key_Up:
                move = MoveUp;
                break;
            case Qt::Key_Down:
                move = MoveDown;
                break;
            case Qt::Key_Left:
                move = MoveLeft;
                break;
            case Qt::Key_Right:
                move = MoveRight;
                break;
            case Qt::Key_PageUp:
                move = MovePageUp;
                break;
            case Qt::Key_PageDown:
                move = MovePageDown;
                break;
            case Qt::Key_Home:
                move = MoveHome;
                break;
            case Qt::Key_End:
                move = MoveEnd;
                break;
            default:
                moves = false;
                move = MoveNext;
                break;
        }
        if (moves) {
            // The block grows from the anchor; the view's own Shift+arrow
            // would place the editor of every cell it passes.
            const QModelIndex next = moveCursor(move, event->modifiers() & ~Qt::ShiftModifier);
            if (next.isValid() && next.column() >= 1)
                extendTo(next.column(), next.row() + 1);
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void ChannelGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    ownPress_ = true;
    if (event->button() == Qt::RightButton) {
        // The context menu acts on the selection; a click outside it selects
        // the cell or channel under the pointer first, with no editor.
        if (at.isValid() && !selectionModel()->isSelected(at)) {
            if (at.column() == 0) {
                selectChannels(at.row() + 1, at.row() + 1);
            } else {
                hideEditors();
                showSelection({at.row() + 1, at.row() + 1, at.column(), at.column()});
            }
        }
        return;
    }
    if (event->button() == Qt::LeftButton && at.isValid() && at.column() == 0) {
        // The channel-number column selects whole channels; a drag over it
        // or a Shift+click extends them.
        const int row = at.row() + 1;
        draggingRows_ = true;
        selectChannels(shift ? anchorRow_ : row, row);
        return;
    }
    if (event->button() == Qt::LeftButton && at.isValid() && shift) {
        extendTo(at.column(), at.row() + 1);
        return;
    }
    ownPress_ = false;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const QModelIndex before = currentIndex();
    {
        const QScopedValueRollback<bool> quiet(quiet_, ctrl);
        QTableView::mousePressEvent(event);
    }
    if (ctrl) {
        settleSelection();
        return;
    }
    // Clicking the cell that is already selected places its editor again.
    const QModelIndex after = currentIndex();
    if (after.isValid() && after == before && after.column() >= 1 && !visibleEditor())
        selectCell(after.column(), after.row() + 1);
}

void ChannelGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    if (draggingRows_) {
        const int row = rowAt(event->position().toPoint().y());
        if (row >= 0)
            selectChannels(anchorRow_, row + 1);
        return;
    }
    if (ownPress_)
        return;
    // A drag from a cell selects a block: the editor waits until the drag
    // shows whether it stays on one cell.
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        QTableView::mouseMoveEvent(event);
    }
    settleSelection();
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent* event)
{
    draggingRows_ = false;
    if (ownPress_) {
        ownPress_ = false;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

}   // namespace pellaro
