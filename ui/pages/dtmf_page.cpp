// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pages/dtmf_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "codeplug/codes.h"
#include "codeplug/rules.h"
#include "codeplug/settings_table.h"
#include "ui/doc_text.h"
#include "ui/pages/page_widgets.h"
#include "ui/seam.h"

namespace pellaro {

DtmfPage::DtmfPage(Document& doc, UiSeam& seam, QWidget* parent) : DocumentPage(parent), doc_(doc), seam_(seam)
{
    auto* groups = new QGroupBox(this);
    auto* groupGrid = new QGridLayout(groups);
    for (int n = 1; n <= 8; ++n) {
        QLineEdit* editor = pages::makeText(groups, QStringLiteral("sy%1").arg(n));
        const QString label = QString::fromUtf8(settingLabel(PageId::Dtmf, n - 1));
        groupGrid->addWidget(new QLabel(label, groups), n - 1, 0);
        steps_[static_cast<std::size_t>(n)] = pages::stepName(label);
        groupGrid->addWidget(editor, n - 1, 1);
        editors_[static_cast<std::size_t>(n)] = editor;
    }
    groupGrid->setColumnStretch(1, 1);
    groupGrid->setRowStretch(8, 1);

    auto* codes = new QGroupBox(this);
    auto* codeGrid = new QGridLayout(codes);
    for (int n = 1; n <= 9; ++n) {
        QWidget* editor = nullptr;
        if (n < 9) {
            QLineEdit* text = pages::makeText(codes, QStringLiteral("sypz%1").arg(n));
            editors_[static_cast<std::size_t>(8 + n)] = text;
            editor = text;
        } else {
            state_ =
                pages::makeList(codes, QStringLiteral("sypz9"), *settingEntries(settingInfo(PageId::Dtmf, 16).list));
            connect(state_, &QComboBox::activated, this, [this](int index) {
                pickState(doc_, index);
                emit committed(steps_[17]);
            });
            editor = state_;
        }
        // The identity codes sypz1..sypz8 and the state, rows 8..16 of the page.
        const QString label = QString::fromUtf8(settingLabel(PageId::Dtmf, 7 + n));
        steps_[static_cast<std::size_t>(8 + n)] = pages::stepName(label);
        codeGrid->addWidget(pages::makeLabel(codes, label), n - 1, 0);
        codeGrid->addWidget(editor, n - 1, 1);
    }
    codeGrid->setColumnStretch(1, 1);
    codeGrid->setRowStretch(9, 1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(groups, 1);
    boxes->addWidget(codes, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(boxes);
    page->addStretch(1);

    for (int n = 1; n <= 16; ++n) {
        QLineEdit* editor = editors_[static_cast<std::size_t>(n)];
        editor->installEventFilter(this);
        // Text that arrives without typing (context-menu paste, a drop, an
        // input method) passes the key filter's rules before it is encoded.
        connect(editor, &QLineEdit::textEdited, this, [this, n] { filterEdited(n); });
    }

    refresh();
}

void DtmfPage::refresh()
{
    for (int n = 1; n <= 8; ++n) {
        pages::showText(editors_[static_cast<std::size_t>(n)], doc_.sy[static_cast<std::size_t>(n)]);
        pages::showText(editors_[static_cast<std::size_t>(8 + n)], doc_.sypz[static_cast<std::size_t>(n)]);
    }
    pages::showIndex(state_, doc_.sypz9);
}

int DtmfPage::editorIndex(QObject* watched) const
{
    for (int n = 1; n <= 16; ++n)
        if (editors_[static_cast<std::size_t>(n)] == watched)
            return n;
    return 0;
}

bool DtmfPage::eventFilter(QObject* watched, QEvent* event)
{
    const int editor = editorIndex(watched);
    if (editor == 0)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        const std::optional<char> key = pages::typedChar(static_cast<QKeyEvent*>(event));
        if (!key)
            return false;   // arrows, Delete, ...: the editor handles them
        QLineEdit* line = editors_[static_cast<std::size_t>(editor)];
        const KeyOutcome outcome = dtmfKey(editor, static_cast<std::size_t>(line->text().size()), *key);
        if (!outcome.message.empty())
            seam_.message(this, displayText(outcome.message));
        return outcome.action == KeyAction::Discard;
    }
    if (event->type() == QEvent::KeyRelease)
        encode(editor);   // after every key release, whatever the key
    return QWidget::eventFilter(watched, event);
}

void DtmfPage::encode(int editor)
{
    QLineEdit* line = editors_[static_cast<std::size_t>(editor)];
    const std::string shown = dtmfKeyUp(doc_, editor, toDocText(line->text()));
    pages::showText(line, shown);
    // Each key encodes; typing a code is one step.
    emit typed(steps_[static_cast<std::size_t>(editor)]);
}

void DtmfPage::filterEdited(int editor)
{
    QLineEdit* line = editors_[static_cast<std::size_t>(editor)];
    const QString before = line->text();
    encode(editor);
    if (line->text() == before)
        return;
    // Something was dropped: tell the user why when it was a character the
    // key filter refuses with its message (an over-long text is cut silently,
    // as typing beyond the limit is).
    for (const QChar c : before) {
        const char key = c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f';
        const KeyOutcome outcome = dtmfKey(editor, 0, key);
        if (!outcome.message.empty()) {
            seam_.message(this, displayText(outcome.message));
            break;
        }
    }
}

}   // namespace pellaro
