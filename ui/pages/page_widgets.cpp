// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pages/page_widgets.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/doc_text.h"

namespace pellaro::pages {

QComboBox* makeList(QWidget* parent, const QString& name, const std::vector<std::string>& entries)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto& entry : entries)
        items << displayText(entry);
    list->addItems(items);
    // Long lists (206 tones, 128 channels) scroll instead of covering the screen.
    list->setMaxVisibleItems(20);
    return list;
}

QLineEdit* makeText(QWidget* parent, const QString& name)
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(name);
    return editor;
}

QLabel* makeLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(parent->font().pointSizeF());
    label->setFont(font);
    return label;
}

QString stepName(const QString& label)
{
    QString name = label.simplified();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.simplified();
}

QWidget* editorLabelled(QWidget* page, const QString& label)
{
    if (!page)
        return nullptr;
    const QString wanted = stepName(label);
    for (QLabel* shown : page->findChildren<QLabel*>()) {
        if (!shown->isVisibleTo(page) || stepName(shown->text()) != wanted)
            continue;
        if (shown->buddy())
            return shown->buddy();
        // Every page sets a label in its grid's first column, its editor beside it.
        auto* grid = shown->parentWidget() ? qobject_cast<QGridLayout*>(shown->parentWidget()->layout()) : nullptr;
        const int at = grid ? grid->indexOf(shown) : -1;
        if (at < 0)
            continue;
        int row = 0, col = 0, rows = 0, cols = 0;
        grid->getItemPosition(at, &row, &col, &rows, &cols);
        if (QLayoutItem* next = grid->itemAtPosition(row, col + cols); next && next->widget())
            return next->widget();
    }
    return nullptr;
}

std::optional<char> typedChar(const QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Backspace:
            return kBackspace;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kEnter;
        case Qt::Key_Delete:
            return std::nullopt;   // deletes, types nothing
        // Tab and Shift+Tab move the focus on, as on every page; they are no
        // characters for a key filter to judge.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return std::nullopt;
        default:
            break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t c = text.at(0).unicode();
    return c < 0x80 ? static_cast<char>(c) : '\x7f';
}

bool leavesEditor(const QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void showText(QLineEdit* editor, const std::string& text)
{
    const QString shown = fromDocText(text);
    if (editor->text() != shown)
        editor->setText(shown);
}

void showIndex(QComboBox* list, int index)
{
    const QSignalBlocker block(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void applyOutcome(QLineEdit* editor, const CommitOutcome& outcome)
{
    // Every outcome names the text the editor shows afterwards: the text as
    // committed, or empty when a frequency was refused. The pages' editors
    // always stay on the page.
    showText(editor, outcome.editorText);
}

std::string keepTyped(QLineEdit* editor, const std::string& before, KeyFilterFn filter, int limit)
{
    const QString shown = editor->text();
    const std::string now = toDocText(shown);
    const std::string kept = filterEdit(before, now, filter, limit);
    if (kept != now || fromDocText(kept) != shown)
        editor->setText(fromDocText(kept));
    return kept;
}

}   // namespace pellaro::pages
