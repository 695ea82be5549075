// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pages/limit_page.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "clone/engine.h"
#include "codeplug/codes.h"
#include "codeplug/rules.h"
#include "codeplug/settings_table.h"
#include "ui/doc_text.h"
#include "ui/pages/page_widgets.h"
#include "ui/seam.h"
#include "ui/transfer_host.h"

namespace pellaro {

namespace {

constexpr int kMessageLimit = 7;

KeyOutcome messageFilter(std::size_t currentLength, char key, int limit)
{
    return messageKey(currentLength, key, limit);
}

// The limit filter knows no length; the paste filter's limit slot carries
// which editor (1..4) it judges for.
KeyOutcome limitFilter(std::size_t, char key, int which)
{
    return limitKey(which, key);
}

// The page's rows: the two messages, the four limits, the limit mode.
QString messageLabel(int n)
{
    return QString::fromUtf8(settingLabel(PageId::Limit, n - 1));
}
QString limitLabel(int n)
{
    return QString::fromUtf8(settingLabel(PageId::Limit, n + 1));
}
QString modeLabel()
{
    return QString::fromUtf8(settingLabel(PageId::Limit, 6));
}

}   // namespace

LimitPage::LimitPage(Document& doc, TransferHost& host, QWidget* parent) : DocumentPage(parent), doc_(doc), host_(host)
{
    auto makeButton = [this](QWidget* box, int n, const QString& caption) {
        auto* button = new QPushButton(caption, box);
        button->setObjectName(QStringLiteral("Button%1").arg(n));
        // Taking the focus on click makes the editor being left commit before
        // a write sends its record.
        button->setFocusPolicy(Qt::StrongFocus);
        buttons_[static_cast<std::size_t>(n)] = button;
        return button;
    };

    // Power-on messages (k10) with Button1 Read / Button2 Write.
    auto* messageBox = new QGroupBox(this);
    auto* messageGrid = new QGridLayout(messageBox);
    for (int n = 1; n <= 2; ++n) {
        QLineEdit* editor = pages::makeText(messageBox, QStringLiteral("kaiji%1").arg(n));
        messages_[static_cast<std::size_t>(n)] = editor;
        messageGrid->addWidget(new QLabel(messageLabel(n), messageBox), n - 1, 0);
        messageGrid->addWidget(editor, n - 1, 1);
    }
    auto* messageButtons = new QHBoxLayout;
    messageButtons->addStretch(1);
    messageButtons->addWidget(makeButton(messageBox, 1, QStringLiteral("Read")));
    messageButtons->addWidget(makeButton(messageBox, 2, QStringLiteral("Write")));
    messageGrid->addLayout(messageButtons, 2, 0, 1, 2);
    messageGrid->setColumnStretch(1, 1);

    // Band limits (k11) with Button3 Read / Button4 Write.
    auto* limitBox = new QGroupBox(this);
    auto* limitGrid = new QGridLayout(limitBox);
    for (int n = 1; n <= 4; ++n) {
        QLineEdit* editor = pages::makeText(limitBox, QStringLiteral("xp%1").arg(n));
        limits_[static_cast<std::size_t>(n)] = editor;
        limitGrid->addWidget(new QLabel(limitLabel(n), limitBox), n - 1, 0);
        limitGrid->addWidget(editor, n - 1, 1);
    }
    mode_ = pages::makeList(limitBox, QStringLiteral("xp5"), *settingEntries(settingInfo(PageId::Limit, 6).list));
    connect(mode_, &QComboBox::activated, this, [this](int index) {
        pickLimitMode(doc_, index);
        emit committed(pages::stepName(modeLabel()));
    });
    limitGrid->addWidget(new QLabel(modeLabel(), limitBox), 4, 0);
    limitGrid->addWidget(mode_, 4, 1);
    auto* limitButtons = new QHBoxLayout;
    limitButtons->addStretch(1);
    limitButtons->addWidget(makeButton(limitBox, 3, QStringLiteral("Read")));
    limitButtons->addWidget(makeButton(limitBox, 4, QStringLiteral("Write")));
    limitGrid->addLayout(limitButtons, 5, 0, 1, 2);
    limitGrid->setColumnStretch(1, 1);

    // The editors hold a few characters each: the boxes stand side by side
    // at their natural width instead of spanning the page.
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(messageBox, 0, Qt::AlignTop);
    boxes->addWidget(limitBox, 0, Qt::AlignTop);
    boxes->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(boxes);
    page->addStretch(1);

    for (int n = 1; n <= 2; ++n) {
        QLineEdit* editor = messages_[static_cast<std::size_t>(n)];
        editor->installEventFilter(this);
        editor->setMouseTracking(true);
        connect(editor, &QLineEdit::textEdited, this, [this, editor, n] {
            // Pasted or dropped text keeps to what typing could give; what
            // the message held (read from the radio, say) stays as it was.
            std::string& held = n == 1 ? doc_.kaiji1 : doc_.kaiji2;
            held = pages::keepTyped(editor, held, messageFilter, kMessageLimit);
            emit typed(pages::stepName(messageLabel(n)));
        });
    }
    for (int n = 1; n <= 4; ++n) {
        QLineEdit* editor = limits_[static_cast<std::size_t>(n)];
        editor->installEventFilter(this);
        editor->setMouseTracking(true);
        connect(editor, &QLineEdit::textEdited, this, [this, editor, n] {
            std::string& held = doc_.xp[static_cast<std::size_t>(n)];
            held = pages::keepTyped(editor, held, limitFilter, n);
            emit typed(pages::stepName(limitLabel(n)));
        });
    }

    connect(buttons_[1], &QPushButton::clicked, this, [this] { runTransfer(Transfer::ReadMessages, buttons_[1]); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { runTransfer(Transfer::WriteMessages, buttons_[2]); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { runTransfer(Transfer::ReadLimits, buttons_[3]); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] { runTransfer(Transfer::WriteLimits, buttons_[4]); });

    refresh();
}

void LimitPage::refresh()
{
    pages::showText(messages_[1], doc_.kaiji1);
    pages::showText(messages_[2], doc_.kaiji2);
    for (std::size_t n = 1; n <= 4; ++n)
        pages::showText(limits_[n], doc_.xp[n]);
    pages::showIndex(mode_, doc_.xp5);
}

bool LimitPage::eventFilter(QObject* watched, QEvent* event)
{
    int message = 0;
    int limit = 0;
    for (int n = 1; n <= 2; ++n)
        if (messages_[static_cast<std::size_t>(n)] == watched)
            message = n;
    for (int n = 1; n <= 4; ++n)
        if (limits_[static_cast<std::size_t>(n)] == watched)
            limit = n;
    if (message == 0 && limit == 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
        case QEvent::KeyPress: {
            const std::optional<char> key = pages::typedChar(static_cast<QKeyEvent*>(event));
            if (!key)
                return false;
            if (message != 0) {
                const auto length =
                    static_cast<std::size_t>(messages_[static_cast<std::size_t>(message)]->text().size());
                return messageKey(length, *key, kMessageLimit).action != KeyAction::Accept;
            }
            const KeyOutcome outcome = limitKey(limit, *key);
            if (outcome.action == KeyAction::Next && limit < 4)
                limits_[static_cast<std::size_t>(limit + 1)]->setFocus(Qt::TabFocusReason);   // commits this one
            return outcome.action != KeyAction::Accept;
        }
        case QEvent::FocusOut:
        case QEvent::MouseMove: {
            const bool byMouse = event->type() == QEvent::MouseMove;
            if (!byMouse && !pages::leavesEditor(static_cast<QFocusEvent*>(event)))
                break;
            message != 0 ? commitMessage(message, byMouse) : commitLimit(limit, byMouse);
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void LimitPage::stepDone(const QString& step, bool byMouse)
{
    // A pointer movement commits as typing goes on; leaving ends the step.
    if (byMouse)
        emit typed(step);
    else
        emit committed(step);
}

void LimitPage::commitMessage(int which, bool byMouse)
{
    QLineEdit* editor = messages_[static_cast<std::size_t>(which)];
    const CommitOutcome outcome = pellaro::commitMessage(doc_, which, toDocText(editor->text()));
    if (!outcome.message.empty())
        host_.seam().message(this, displayText(outcome.message));
    pages::applyOutcome(editor, outcome);
    stepDone(pages::stepName(messageLabel(which)), byMouse);
}

void LimitPage::commitLimit(int which, bool byMouse)
{
    if (committing_)
        return;
    const QScopedValueRollback<bool> busy(committing_, true);
    QLineEdit* editor = limits_[static_cast<std::size_t>(which)];
    const CommitOutcome outcome = pellaro::commitLimit(doc_, which, toDocText(editor->text()));
    // A text that is not a number ("1.2.3") is refused with the run-time's
    // message, and again at every pointer movement until it is corrected.
    if (!outcome.message.empty())
        host_.seam().message(this, displayText(outcome.message));
    pages::applyOutcome(editor, outcome);
    stepDone(pages::stepName(limitLabel(which)), byMouse);
}

void LimitPage::runTransfer(Transfer which, QPushButton* button)
{
    // A click by keyboard or program code leaves the focus where it was; move
    // it now so that text typed in this group box is committed first.
    button->setFocus(Qt::OtherFocusReason);
    if (!host_.portReady())
        return;   // port not open: the button does nothing at all

    CloneEngine& engine = host_.engine();
    TransferResult result;
    switch (which) {
        case Transfer::ReadMessages:
            result = engine.readMessages(doc_);
            break;
        case Transfer::WriteMessages:
            result = engine.writeMessages(doc_);
            break;
        case Transfer::ReadLimits:
            result = engine.readLimits(doc_);
            break;
        case Transfer::WriteLimits:
            result = engine.writeLimits(doc_);
            break;
    }
    // An empty message: refused because another transfer runs; nothing happened.
    if (result.message.empty())
        return;
    if (which == Transfer::ReadMessages || which == Transfer::ReadLimits) {
        refresh();
        emit documentReplaced();
    }
    host_.seam().message(this, displayText(result.message));
}

}   // namespace pellaro
