// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pages/settings_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "codeplug/codes.h"
#include "codeplug/rules.h"
#include "codeplug/settings_table.h"
#include "ui/doc_text.h"
#include "ui/pages/page_widgets.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

// Left column gn1..gn10; the right column gn11..gn15 stands level with the
// first five rows of the left one.
constexpr int kLeftRows = 10;

}   // namespace

SettingsPage::SettingsPage(Document& doc, UiSeam& seam, QWidget* parent) : DocumentPage(parent), doc_(doc), seam_(seam)
{
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(12);

    auto place = [&](int firstRow, int endRow, int column) {
        int row = 0;
        for (int at = firstRow; at < endRow; ++at) {
            const SettingInfo& e = settingInfo(PageId::Comprehensive, at);
            const QString name = QStringLiteral("gn") + QString::number(e.number);
            const QString label = QString::fromUtf8(e.label);
            steps_[static_cast<std::size_t>(e.number)] = pages::stepName(label);
            QWidget* editor = nullptr;
            if (const std::vector<std::string>* entries = settingEntries(e.list)) {
                QComboBox* list = pages::makeList(box, name, *entries);
                const int number = e.number;
                connect(list, &QComboBox::activated, this, [this, number](int index) {
                    pickSettingsList(doc_, number, index);
                    emit committed(steps_[static_cast<std::size_t>(number)]);
                });
                lists_[static_cast<std::size_t>(e.number)] = list;
                editor = list;
            } else {
                fm_ = pages::makeText(box, name);
                editor = fm_;
            }
            grid->addWidget(pages::makeLabel(box, label), row, column);
            grid->addWidget(editor, row, column + 1);
            ++row;
        }
    };
    place(0, kLeftRows, 0);
    place(kLeftRows, settingRows(PageId::Comprehensive), 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(kLeftRows, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(box);
    page->addStretch(1);

    // gn3 commits only when the pointer moves over it; typing changes the
    // editor's value but not k5.
    fm_->setMouseTracking(true);
    fm_->installEventFilter(this);
    connect(fm_, &QLineEdit::textEdited, this, [this](const QString& now) {
        doc_.gn3 = toDocText(now);
        emit typed(steps_[3]);
    });

    refresh();
}

void SettingsPage::refresh()
{
    for (std::size_t n = 0; n < lists_.size(); ++n)
        if (lists_[n])
            pages::showIndex(lists_[n], doc_.gn[n]);
    pages::showText(fm_, doc_.gn3);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fm_ && event->type() == QEvent::MouseMove)
        commitFm();
    return QWidget::eventFilter(watched, event);
}

void SettingsPage::commitFm()
{
    if (committing_)
        return;
    const QScopedValueRollback<bool> busy(committing_, true);
    const CommitOutcome outcome = commitFmFrequency(doc_, toDocText(fm_->text()));
    // A refused frequency empties the editor first, then tells the user.
    pages::applyOutcome(fm_, outcome);
    if (!outcome.message.empty())
        seam_.message(this, displayText(outcome.message));
    // gn3 commits only by pointer movements: its step goes on until another
    // step comes.
    emit typed(steps_[3]);
}

}   // namespace pellaro
