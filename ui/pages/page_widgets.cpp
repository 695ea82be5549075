#include "ui/pages/page_widgets.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace pellaro::pages {

QComboBox* makeList(QWidget* parent, const QString& name, const std::vector<std::string>& entries)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto& entry : entries)
        items << QString::fromStdString(entry);
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

std::optional<char> typedChar(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace: return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnter;
    case Qt::Key_Delete: return std::nullopt;   // deletes, types nothing
    default: break;
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

std::string toDoc(const QString& text, Charset charset)
{
    return charset == Charset::Latin1 ? text.toLatin1().toStdString() : text.toStdString();
}

QString fromDoc(const std::string& text, Charset charset)
{
    const auto size = static_cast<qsizetype>(text.size());
    return charset == Charset::Latin1 ? QString::fromLatin1(text.data(), size)
                                      : QString::fromUtf8(text.data(), size);
}

QString message(const std::string& text)
{
    return QString::fromStdString(text);
}

void showText(QLineEdit* editor, const std::string& text, Charset charset)
{
    const QString shown = fromDoc(text, charset);
    if (editor->text() != shown)
        editor->setText(shown);
}

void showIndex(QComboBox* list, int index)
{
    const QSignalBlocker block(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void applyOutcome(QLineEdit* editor, const CommitOutcome& outcome, Charset charset)
{
    // Every outcome names the text the editor shows afterwards: the text as
    // committed (a power-on message held to its filter), or empty when a
    // frequency was refused. The pages' editors always stay on the page.
    showText(editor, outcome.editorText, charset);
}

bool keepFiltered(QLineEdit* editor, KeyFilterFn filter, int limit, Charset charset)
{
    // The filters judge one byte per character: anything outside ASCII is
    // judged as DEL, which every filter refuses.
    const QString original = editor->text();
    std::string judged;
    judged.reserve(static_cast<std::size_t>(original.size()));
    for (const QChar c : original)
        judged.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f');
    const std::string kept = filterPaste("", judged, filter, limit);
    if (kept == judged && judged == toDoc(original, charset))
        return false;
    editor->setText(fromDoc(kept, charset));
    return true;
}

}  // namespace pellaro::pages
