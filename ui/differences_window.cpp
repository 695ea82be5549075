// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/differences_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "ui/doc_text.h"

namespace pellaro {

namespace {

// The index of a line's difference; the "No differences" line has none.
constexpr int kDifferenceRole = Qt::UserRole + 1;

}   // namespace

DifferencesWindow::DifferencesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DifferencesWindow"));
    setModal(false);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("DifferencesHeading"));
    heading_->setWordWrap(true);
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("DifferencesList"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setMinimumSize(560, 320);
    connect(list_, &QListWidget::itemActivated, this, &DifferencesWindow::activate);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    refresh_ = buttons->addButton(QStringLiteral("Refresh"), QDialogButtonBox::ActionRole);
    refresh_->setObjectName(QStringLiteral("RefreshButton"));
    refresh_->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(refresh_, &QPushButton::clicked, this, &DifferencesWindow::refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addWidget(heading_);
    box->addWidget(list_);
    box->addWidget(buttons);
}

QPoint DifferencesWindow::placeBeside(const QRect& main, const QSize& size, const QRect& screen)
{
    // Kept on the screen, nearest to the main window's top or left edge.
    auto clampY = [&](int y) {
        return std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
    };
    auto clampX = [&](int x) {
        return std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
    };
    const QPoint candidates[] = {
        {main.right() + 1, clampY(main.top())},
        {main.left() - size.width(), clampY(main.top())},
        {clampX(main.left()), main.bottom() + 1},
        {clampX(main.left()), main.top() - size.height()},
    };
    QPoint best;
    qint64 leastHidden = -1;
    for (const QPoint& at : candidates) {
        const QRect placed(QPoint(clampX(at.x()), clampY(at.y())), size);
        const QRect hidden = placed.intersected(main);
        const qint64 area = hidden.isEmpty() ? 0 : qint64(hidden.width()) * hidden.height();
        if (leastHidden < 0 || area < leastHidden) {
            leastHidden = area;
            best = placed.topLeft();
        }
        if (area == 0)
            break;
    }
    return best;
}

void DifferencesWindow::showComparison(ComparisonSource source, Comparison outcome)
{
    source_ = std::move(source);
    setWindowTitle(source_.title);
    display(outcome);
    // The first time (and after Close) the window opens beside the main
    // window, so that what a line points to stays in view; afterwards it stays
    // where the user put it.
    if (!isVisible() && parentWidget()) {
        const QWidget* main = parentWidget()->window();
        adjustSize();
        if (const QScreen* screen = main->screen())
            move(placeBeside(main->frameGeometry(), frameGeometry().size(), screen->availableGeometry()));
    }
    QDialog::show();
    raise();
    activateWindow();
    list_->setFocus();
}

void DifferencesWindow::refresh()
{
    if (source_.compare)
        display(source_.compare());
}

void DifferencesWindow::display(const Comparison& outcome)
{
    differences_ = outcome.error.isEmpty() ? outcome.differences : std::vector<Difference>{};
    list_->clear();
    const auto count = static_cast<int>(differences_.size());
    QString heading = QStringLiteral("From the open codeplug (before the arrow) to %1 (after it): ").arg(source_.other);
    if (!outcome.error.isEmpty())
        heading += outcome.error;
    else
        heading += count == 0   ? QStringLiteral("no differences.")
                   : count == 1 ? QStringLiteral("1 difference. Double-click a line to show it.")
                                : QStringLiteral("%1 differences. Double-click a line to show it.").arg(count);
    heading_->setText(heading);

    if (!outcome.error.isEmpty())
        return;
    if (differences_.empty()) {
        auto* none = new QListWidgetItem(QStringLiteral("No differences"), list_);
        none->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (int i = 0; i < count; ++i) {
        auto* line = new QListWidgetItem(displayText(differences_[static_cast<std::size_t>(i)].text), list_);
        line->setData(kDifferenceRole, i);
    }
    list_->setCurrentRow(0);
}

void DifferencesWindow::activate(QListWidgetItem* item)
{
    const QVariant index = item ? item->data(kDifferenceRole) : QVariant();
    if (!index.isValid())
        return;
    const int i = index.toInt();
    if (i >= 0 && i < static_cast<int>(differences_.size()))
        emit activated(differences_[static_cast<std::size_t>(i)]);
}

}   // namespace pellaro
