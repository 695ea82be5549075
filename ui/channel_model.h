// SPDX-License-Identifier: GPL-3.0-or-later
// The item model of one band's channel table over the document, and the
// delegate that draws every cell centred and word-wrapped from the top.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include "codeplug/document.h"

namespace pellaro {

constexpr int kHeadingRowHeight = 40;
constexpr int kChannelRowHeight = 30;

// Model row r is channel r + 1; model column c is cell column c. The cells
// are read-only here: editing goes through the cell editors and the rules.
class ChannelModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ChannelModel(Document& doc, Band band, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of cell (col, row), row 1..128.
    QString cell(int col, int row) const;
    // A channel row changed in the document.
    void rowChanged(int row);
    // Everything may have changed (read, Open, New).
    void documentChanged();

private:
    Document& doc_;
    Band band_;
};

// Fills the cell as the view prepared it (fixed, selected or normal) and
// draws its text centred horizontally, from the top, wrapped at word
// boundaries.
class CenteredTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // `base`, or a smaller size of it when `text`, wrapped, would not fit
    // the height of `rect`.
    static QFont fittingFont(const QFont& base, const QRect& rect, const QString& text);

private:
    static constexpr int kCellTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
};

}   // namespace pellaro
