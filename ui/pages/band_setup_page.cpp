// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pages/band_setup_page.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

// Top to bottom: the first box holds the editors of k1 / k3, the second those
// of k2 / k4 (power and bandwidth stand there although they live in k1 / k3).
constexpr int kFirstBoxRows = 8;

}   // namespace

BandSetupPage::BandSetupPage(Document& doc, Band band, UiSeam& seam, QWidget* parent)
    : DocumentPage(parent), doc_(doc), band_(band), seam_(seam)
{
    const QString prefix = band == Band::A ? QStringLiteral("left") : QStringLiteral("right");
    const PageId pageId = band == Band::A ? PageId::SetupA : PageId::SetupB;
    const QString title = QString::fromUtf8(pageTitle(pageId));

    auto fillBox = [&](QGroupBox* box, int firstRow, int endRow) {
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (int at = firstRow; at < endRow; ++at) {
            const SettingInfo& e = settingInfo(pageId, at);
            const QString name = prefix + QString::number(e.number);
            const QString label = QString::fromUtf8(e.label);
            // "Receiving CTCSS of A/Upper Band Set up"
            steps_[static_cast<std::size_t>(e.number)] = pages::stepName(label) + QStringLiteral(" of ") + title;
            QWidget* editor = nullptr;
            if (const std::vector<std::string>* entries = settingEntries(e.list)) {
                QComboBox* list = pages::makeList(box, name, *entries);
                const int number = e.number;
                connect(list, &QComboBox::activated, this, [this, number](int index) {
                    pickSetupList(doc_, band_, number, index);
                    emit committed(steps_[static_cast<std::size_t>(number)]);
                });
                lists_[static_cast<std::size_t>(e.number)] = list;
                editor = list;
            } else {
                QLineEdit* text = pages::makeText(box, name);
                (e.editor == SettingEditor::SetupRx ? rxFreq_ : offset_) = text;
                editor = text;
            }
            grid->addWidget(new QLabel(label, box), row, 0);
            grid->addWidget(editor, row, 1);
            ++row;
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
    };

    auto* first = new QGroupBox(this);
    auto* second = new QGroupBox(this);
    fillBox(first, 0, kFirstBoxRows);
    fillBox(second, kFirstBoxRows, settingRows(pageId));

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(first, 1);
    boxes->addWidget(second, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(boxes);
    page->addStretch(1);

    for (QLineEdit* text : {rxFreq_, offset_}) {
        text->installEventFilter(this);
        // Typed text is the editor's value at once; its mirror characters
        // change only when the editor commits.
        connect(text, &QLineEdit::textEdited, this, [this, text](const QString& now) {
            const bool rx = text == rxFreq_;
            (rx ? doc_.vfo(band_).rxFreq : doc_.vfo(band_).offset) = toDocText(now);
            emit typed(steps_[rx ? 3 : 15]);
        });
        // Band A also commits on every pointer movement over the editor.
        text->setMouseTracking(band == Band::A);
    }

    refresh();
}

void BandSetupPage::refresh()
{
    const BandSetup& setup = doc_.vfo(band_);
    for (std::size_t n = 0; n < lists_.size(); ++n)
        if (lists_[n])
            pages::showIndex(lists_[n], setup.sel[n]);
    pages::showText(rxFreq_, setup.rxFreq);
    pages::showText(offset_, setup.offset);
}

bool BandSetupPage::eventFilter(QObject* watched, QEvent* event)
{
    const bool rx = watched == rxFreq_;
    if (!rx && watched != offset_)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
        case QEvent::FocusOut:
            if (pages::leavesEditor(static_cast<QFocusEvent*>(event)))
                rx ? commitRxFrequency(false) : commitOffset(false);
            break;
        case QEvent::MouseMove:
            if (band_ == Band::A)
                rx ? commitRxFrequency(true) : commitOffset(true);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void BandSetupPage::commitRxFrequency(bool byMouse)
{
    if (committing_)
        return;
    const QScopedValueRollback<bool> busy(committing_, true);
    const CommitOutcome outcome =
        commitSetupRxFrequency(doc_, band_, toDocText(rxFreq_->text()), byMouse ? Trigger::MouseMove : Trigger::Exit);
    // The range message comes first, then the editor is emptied.
    if (!outcome.message.empty())
        seam_.message(this, displayText(outcome.message));
    pages::applyOutcome(rxFreq_, outcome);
    // A pointer movement commits as typing goes on; leaving ends the step.
    if (byMouse)
        emit typed(steps_[3]);
    else
        emit committed(steps_[3]);
}

void BandSetupPage::commitOffset(bool byMouse)
{
    if (committing_)
        return;
    const QScopedValueRollback<bool> busy(committing_, true);
    const CommitOutcome outcome = commitSetupOffset(doc_, band_, toDocText(offset_->text()));
    if (!outcome.message.empty())
        seam_.message(this, displayText(outcome.message));
    pages::applyOutcome(offset_, outcome);
    if (byMouse)
        emit typed(steps_[15]);
    else
        emit committed(steps_[15]);
}

}   // namespace pellaro
