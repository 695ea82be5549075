// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/channel_model.h"

#include <QApplication>
#include <QPainter>

#include "ui/doc_text.h"

namespace pellaro {

ChannelModel::ChannelModel(Document& doc, Band band, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), band_(band)
{
}

int ChannelModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kRows;
}

int ChannelModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString ChannelModel::cell(int col, int row) const
{
    // Cell texts are Latin-1 bytes, as the radio and the files carry them.
    return fromDocText(doc_.table(band_).at(col, row));
}

QVariant ChannelModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.column(), index.row() + 1);
    // The channel number column is a fixed column: drawn like the headings.
    if (role == Qt::BackgroundRole && index.column() == kNumberColumn)
        return QApplication::palette().button();
    return {};
}

QVariant ChannelModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString::fromLatin1(columnInfo(section).heading);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(int(Qt::AlignCenter) | int(Qt::TextWordWrap));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ChannelModel::flags(const QModelIndex& index) const
{
    // The channel numbers cannot be selected; no cell is edited in place.
    if (!index.isValid() || index.column() == kNumberColumn)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ChannelModel::rowChanged(int row)
{
    if (row < 1 || row > kRows)
        return;
    emit dataChanged(index(row - 1, 0), index(row - 1, kColumns - 1), {Qt::DisplayRole});
}

void ChannelModel::documentChanged()
{
    emit dataChanged(index(0, 0), index(kRows - 1, kColumns - 1), {Qt::DisplayRole});
}

void CenteredTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    // The fixed column keeps its normal text colour although it is not enabled.
    const bool fixed = index.column() == 0;
    if (fixed)
        opt.state |= QStyle::State_Enabled;
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    const bool selected = (opt.state & QStyle::State_Selected) && !fixed;
    painter->setPen(opt.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = opt.rect.adjusted(1, 2, -1, 0);
    painter->setFont(fittingFont(opt.font, textRect, text));
    painter->drawText(textRect, kCellTextFlags, text);
    painter->restore();
}

QFont CenteredTextDelegate::fittingFont(const QFont& base, const QRect& rect, const QString& text)
{
    // A text that wraps onto more lines than the 30-pixel row holds
    // ("DTMF7+Identity Code") is drawn smaller instead of being cut off; the
    // rows and columns keep their sizes.
    constexpr int kSmallestPixels = 8;
    QFont font = base;
    int pixels = base.pixelSize() > 0 ? base.pixelSize() : QFontInfo(base).pixelSize();
    for (;;) {
        if (QFontMetrics(font).boundingRect(rect, kCellTextFlags, text).height() <= rect.height() ||
            pixels <= kSmallestPixels)
            return font;
        font.setPixelSize(--pixels);
    }
}

}   // namespace pellaro
