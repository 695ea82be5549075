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
#include "codeplug/setting_labels.h"
#include "ui/doc_text.h"
#include "ui/pages/page_widgets.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

// One editor of the page: its number (left<n> / right<n>), its row among the
// page's settings (settingLabel) and entries (none for the two free-text
// editors 3 and 15).
struct SetupEditor {
    int number;
    int row;
    const std::vector<std::string>& (*entries)();   // nullptr: free text
};

const std::vector<std::string>& setupTones()
{
    return toneList("0FF");
}

// Top to bottom: the first box holds the editors of k1 / k3, the second those
// of k2 / k4 (power and bandwidth stand there although they live in k1 / k3).
constexpr SetupEditor kFirstBox[] = {
    {1, 0, lists::workingMode},
    {2, 1, lists::channelNumbers},
    {3, 2, nullptr},
    {4, 3, setupTones},
    {6, 4, setupModeList},
    {7, 5, setupTones},
    {8, 6, signalList},
    {5, 7, signalList},
};
constexpr SetupEditor kSecondBox[] = {
    {10, 8, lists::lowHigh},          {11, 9, lists::bandwidth}, {12, 10, lists::offOn}, {13, 11, lists::offOn},
    {14, 12, lists::offsetDirection}, {15, 13, nullptr},         {16, 14, stepList},
};

}   // namespace

BandSetupPage::BandSetupPage(Document& doc, Band band, UiSeam& seam, QWidget* parent)
    : DocumentPage(parent), doc_(doc), band_(band), seam_(seam)
{
    const QString prefix = band == Band::A ? QStringLiteral("left") : QStringLiteral("right");
    const PageId pageId = band == Band::A ? PageId::SetupA : PageId::SetupB;
    const QString title = QString::fromUtf8(pageTitle(pageId));

    auto fillBox = [&](QGroupBox* box, const auto& editors) {
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const SetupEditor& e : editors) {
            const QString name = prefix + QString::number(e.number);
            const QString label = QString::fromUtf8(settingLabel(pageId, e.row));
            // "Receiving CTCSS of A/Upper Band Set up"
            steps_[static_cast<std::size_t>(e.number)] = pages::stepName(label) + QStringLiteral(" of ") + title;
            QWidget* editor = nullptr;
            if (e.entries) {
                QComboBox* list = pages::makeList(box, name, e.entries());
                const int number = e.number;
                connect(list, &QComboBox::activated, this, [this, number](int index) {
                    pickSetupList(doc_, band_, number, index);
                    emit committed(steps_[static_cast<std::size_t>(number)]);
                });
                lists_[static_cast<std::size_t>(e.number)] = list;
                editor = list;
            } else {
                QLineEdit* text = pages::makeText(box, name);
                (e.number == 3 ? rxFreq_ : offset_) = text;
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
    fillBox(first, kFirstBox);
    fillBox(second, kSecondBox);

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
