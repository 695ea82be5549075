// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/raw_memory_view.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cstdint>

#include "codeplug/document.h"

namespace pellaro {

namespace {

// First address of the memory each mirror holds (index 0 unused); the last is
// first + length - 1, the length coming from the mirror's fixed text length.
constexpr std::array<std::uint16_t, 16> kMirrorStart = {0,      0x0300, 0x0310, 0x0380, 0x0390, 0x0200, 0x0240, 0x0250,
                                                        0x0260, 0x0270, 0x02D0, 0x02E0, 0x0280, 0x0290, 0x029C, 0x02A8};

enum Column { Name, Range, Bytes, Hex, ColumnCount };

QString address(unsigned value)
{
    return QStringLiteral("0X%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// The hex column, with the marked bytes of one row on a highlight: each byte
// is two characters and a blank of the fixed-pitch font.
class MarkedBytesDelegate : public QStyledItemDelegate {
public:
    MarkedBytesDelegate(const RawMemoryView::Marked& marked, QObject* parent)
        : QStyledItemDelegate(parent), marked_(marked)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != Hex || index.row() != marked_.mirror - 1 || marked_.count <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget)
                .adjusted(style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1, 0, 0, 0);
        const QFontMetrics metrics(opt.font);
        const int from = marked_.first * 3;
        const int length = std::min<int>(marked_.count * 3 - 1, static_cast<int>(text.size()) - from);
        if (length > 0) {
            const int x = area.left() + metrics.horizontalAdvance(text.left(from));
            const QRect mark(x, area.top() + 1, metrics.horizontalAdvance(text.mid(from, length)), area.height() - 2);
            painter->fillRect(mark, opt.palette.brush(QPalette::Highlight));
        }
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
        if (length > 0) {
            const int x = area.left() + metrics.horizontalAdvance(text.left(from));
            painter->setPen(opt.palette.color(QPalette::HighlightedText));
            painter->drawText(QRect(x, area.top(), area.right() - x, area.height()), Qt::AlignLeft | Qt::AlignVCenter,
                              text.mid(from, length));
        }
        painter->restore();
    }

private:
    const RawMemoryView::Marked& marked_;
};

}   // namespace

QString RawMemoryView::rangeText(int n)
{
    const unsigned first = kMirrorStart[n];
    const unsigned last = first + kMirrorLength[n] / 2 - 1;
    return address(first) + QStringLiteral("--") + address(last);
}

QString RawMemoryView::groupedHex(const std::string& hex)
{
    QString out;
    out.reserve(static_cast<qsizetype>(hex.size() + hex.size() / 2));
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (i)
            out += QLatin1Char(' ');
        out += QString::fromLatin1(hex.data() + i, hex.size() - i >= 2 ? 2 : 1);
    }
    return out;
}

RawMemoryView::RawMemoryView(const Document& doc, QWidget* parent) : QDialog(parent), doc_(doc)
{
    setObjectName(QStringLiteral("RawMemoryView"));
    setWindowTitle(QStringLiteral("Raw Memory"));
    setModal(false);

    table_ = new QTableWidget(15, ColumnCount, this);
    table_->setObjectName(QStringLiteral("RawMemoryTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Mirror"), QStringLiteral("Address"), QStringLiteral("Bytes"), QStringLiteral("Hex")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    table_->setItemDelegate(new MarkedBytesDelegate(marked_, table_));

    for (int n = 1; n <= 15; ++n) {
        const QString fixed[] = {QStringLiteral("k%1").arg(n), rangeText(n), QString::number(kMirrorLength[n] / 2),
                                 QString()};
        for (int col = 0; col < ColumnCount; ++col) {
            auto* cell = new QTableWidgetItem(fixed[col]);
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (col == Bytes)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(n - 1, col, cell);
        }
    }
    refresh();
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* again = buttons->addButton(QStringLiteral("Refresh"), QDialogButtonBox::ActionRole);
    again->setObjectName(QStringLiteral("RefreshButton"));
    again->setAutoDefault(false);
    connect(again, &QPushButton::clicked, this, &RawMemoryView::refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addWidget(table_);
    box->addWidget(buttons);

    // Wide enough for the longest mirror (k5, eighteen bytes) without a scroll bar.
    const int longest = *std::max_element(kMirrorLength.begin(), kMirrorLength.end()) / 2;
    const int rowsHeight =
        table_->horizontalHeader()->sizeHint().height() + 15 * table_->verticalHeader()->defaultSectionSize();
    const int hexWidth = table_->fontMetrics().horizontalAdvance(QString(longest * 3 + 2, QLatin1Char('0')));
    table_->setMinimumSize(table_->columnWidth(Name) + table_->columnWidth(Range) + table_->columnWidth(Bytes) +
                               hexWidth + 2 * table_->frameWidth() + 8,
                           rowsHeight + 2 * table_->frameWidth() + 2);
}

void RawMemoryView::refresh()
{
    for (int n = 1; n <= 15; ++n) {
        const QString text = groupedHex(doc_.k[n]);
        QTableWidgetItem* cell = table_->item(n - 1, Hex);
        if (cell->text() != text)
            cell->setText(text);
    }
}

void RawMemoryView::showMirror(int n)
{
    if (n < 1 || n > 15)
        return;
    marked_ = {};
    table_->selectRow(n - 1);
    table_->scrollToItem(table_->item(n - 1, Hex));
    table_->viewport()->update();
}

void RawMemoryView::showBytes(int n, unsigned address, int count)
{
    showMirror(n);
    if (n < 1 || n > 15 || address < kMirrorStart[n])
        return;
    const int first = static_cast<int>(address - kMirrorStart[n]);
    const int length = static_cast<int>(kMirrorLength[n] / 2);
    if (first >= length || count <= 0)
        return;
    marked_ = {n, first, std::min(count, length - first)};
    // The row is not selected: its highlight would hide the marked bytes.
    table_->clearSelection();
    table_->setCurrentCell(n - 1, Hex, QItemSelectionModel::NoUpdate);
    table_->viewport()->update();
}

void RawMemoryView::showEvent(QShowEvent* event)
{
    refresh();
    QDialog::showEvent(event);
}

void RawMemoryView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refresh();
    QDialog::changeEvent(event);
}

}   // namespace pellaro
