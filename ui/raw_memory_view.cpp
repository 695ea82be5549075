#include "ui/raw_memory_view.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
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
constexpr std::array<std::uint16_t, 16> kMirrorStart = {
    0,      0x0300, 0x0310, 0x0380, 0x0390, 0x0200, 0x0240, 0x0250,
    0x0260, 0x0270, 0x02D0, 0x02E0, 0x0280, 0x0290, 0x029C, 0x02A8};

enum Column { Name, Range, Bytes, Hex, ColumnCount };

QString address(unsigned value)
{
    return QStringLiteral("0X%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

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

RawMemoryView::RawMemoryView(const Document& doc, QWidget* parent)
    : QDialog(parent), doc_(doc)
{
    setObjectName(QStringLiteral("RawMemoryView"));
    setWindowTitle(QStringLiteral("Raw Memory"));
    setModal(false);

    table_ = new QTableWidget(15, ColumnCount, this);
    table_->setObjectName(QStringLiteral("RawMemoryTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Mirror"), QStringLiteral("Address"),
                                       QStringLiteral("Bytes"), QStringLiteral("Hex")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    for (int n = 1; n <= 15; ++n) {
        const QString fixed[] = {QStringLiteral("k%1").arg(n), rangeText(n),
                                 QString::number(kMirrorLength[n] / 2), QString()};
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
    const int rowsHeight = table_->horizontalHeader()->sizeHint().height() +
                           15 * table_->verticalHeader()->defaultSectionSize();
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
    table_->selectRow(n - 1);
    table_->scrollToItem(table_->item(n - 1, Hex));
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

}  // namespace pellaro
