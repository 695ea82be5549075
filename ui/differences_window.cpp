#include "ui/differences_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "ui/doc_text.h"

namespace pellaro {

namespace {

// The index of a line's difference; the "No differences" line has none.
constexpr int kDifferenceRole = Qt::UserRole + 1;

}  // namespace

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

void DifferencesWindow::showComparison(ComparisonSource source, Comparison outcome)
{
    source_ = std::move(source);
    setWindowTitle(source_.title);
    display(outcome);
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
        heading += count == 0 ? QStringLiteral("no differences.")
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

}  // namespace pellaro
