// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/channel_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

#include "codeplug/report.h"
#include "codeplug/rules.h"
#include "ui/channel_model.h"
#include "ui/doc_text.h"
#include "ui/document_history.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

constexpr int kTextEditorHeight = 35;
constexpr int kColReceive = colOf(Column::RxFrequency);
constexpr int kColTransmit = colOf(Column::TxFrequency);
constexpr int kColName = colOf(Column::Name);

int textSlot(int col)
{
    return col == kColReceive ? 0 : col == kColTransmit ? 1 : 2;
}

bool isListColumn(int col)
{
    return columnEditor(col) == CellEditor::List;
}

// The designer font of the tables and editors, or the nearest CJK font.
QFont gridFont(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    font.setPixelSize(pixels);
    return font;
}

}   // namespace

ChannelGrid::ChannelGrid(Document& doc, Band band, UiSeam& seam, QWidget* parent)
    : QTableView(parent), doc_(doc), band_(band), seam_(seam)
{
    setObjectName(band == Band::A ? QStringLiteral("StringGrid1") : QStringLiteral("StringGrid2"));
    model_ = new ChannelModel(doc_, band_, this);
    setModel(model_);
    setItemDelegate(new CenteredTextDelegate(this));
    setFont(gridFont(14));
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kChannelRowHeight);
    verticalHeader()->setDefaultSectionSize(kChannelRowHeight);

    QHeaderView* headings = horizontalHeader();
    headings->setSectionResizeMode(QHeaderView::Fixed);
    headings->setTextElideMode(Qt::ElideNone);
    headings->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter) | Qt::Alignment(Qt::TextWordWrap));
    headings->setFixedHeight(kHeadingRowHeight);
    headings->setSectionsClickable(false);
    headings->setHighlightSections(false);
    for (int c = 0; c < kColumns; ++c)
        setColumnWidth(c, columnInfo(c).width);

    buildEditors();

    // The first channel cell starts selected, with no editor shown (as the
    // table comes up before anybody selects anything).
    setCurrentIndex(model_->index(0, kFirstCellColumn));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (!quiet_ && current.isValid() && current.column() >= kFirstCellColumn)
                    selectCell(current.column(), current.row() + 1);
            });
}

void ChannelGrid::buildEditors()
{
    const QString prefix = band_ == Band::A ? QStringLiteral("t") : QStringLiteral("p");
    // Editor number n serves column n before the transmission frequency and
    // column n - 1 from there on (t5 edits the transmission frequency).
    auto editorName = [&](int col) { return prefix + QString::number(col < kColTransmit ? col : col + 1); };

    const std::array<int, 3> textColumns = {kColReceive, kColTransmit, kColName};
    for (std::size_t i = 0; i < textColumns.size(); ++i) {
        const int col = textColumns[i];
        auto* edit = new QLineEdit(viewport());
        edit->setObjectName(editorName(col));
        edit->setFont(gridFont(14));
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setContextMenuPolicy(Qt::NoContextMenu);   // pasting goes through the key filter
        edit->setDragEnabled(false);
        edit->setAcceptDrops(false);
        // t1 and t13 have their own length limits; t5 is held at nine
        // characters by its key filter alone.
        if (col == kColReceive)
            edit->setMaxLength(9);
        else if (col == kColName)
            edit->setMaxLength(7);
        edit->installEventFilter(this);
        edit->hide();
        texts_[i].edit = edit;
    }

    for (int col = kFirstCellColumn; col < kColumns; ++col) {
        if (!isListColumn(col))
            continue;
        auto* box = new QComboBox(viewport());
        box->setObjectName(editorName(col));
        box->setFont(gridFont(16));
        box->setFocusPolicy(Qt::NoFocus);   // the list does not take the focus
        for (const std::string& entry : channelListEntries(col))
            box->addItem(displayText(entry));
        box->hide();
        lists_[col].box = box;
        connect(box, &QComboBox::activated, this, [this, col](int index) { pickList(lists_[col], index); });
    }
}

QWidget* ChannelGrid::editorFor(int col) const
{
    if (col == kColReceive || col == kColTransmit || col == kColName)
        return texts_[textSlot(col)].edit;
    if (isCellColumn(col))
        return lists_[col].box;
    return nullptr;
}

QWidget* ChannelGrid::visibleEditor() const
{
    for (int col = kFirstCellColumn; col < kColumns; ++col) {
        QWidget* editor = editorFor(col);
        if (editor && editor->isVisible())
            return editor;
    }
    return nullptr;
}

std::pair<int, int> ChannelGrid::editorTarget(int col) const
{
    if (col == kColReceive || col == kColTransmit || col == kColName) {
        const TextEditor& e = texts_[textSlot(col)];
        return {e.col, e.row};
    }
    if (isCellColumn(col) && lists_[col].box)
        return {lists_[col].col, lists_[col].row};
    return {0, 0};
}

ChannelGrid::TextEditor* ChannelGrid::textEditorOf(QObject* object)
{
    for (TextEditor& e : texts_) {
        if (e.edit == object)
            return &e;
    }
    return nullptr;
}

void ChannelGrid::hideEditors()
{
    // An edit that holds the focus commits into its own cell as it goes.
    for (TextEditor& e : texts_) {
        commitText(e);
        hideText(e);
    }
    for (ListEditor& l : lists_) {
        if (l.box)
            l.box->hide();
    }
}

void ChannelGrid::hideText(TextEditor& editor)
{
    // Hiding the edit that has the focus hands the focus on as Tab does, and
    // the table would move its current cell along (and open that cell's
    // editor): the focus goes back to the table first.
    if (editor.edit->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor.edit->hide();
}

void ChannelGrid::place(QWidget* editor, int col, int row, int height)
{
    const QRect cellRect = visualRect(model_->index(row - 1, col));
    editor->setGeometry(cellRect.left(), cellRect.top(), cellRect.width() + 2, height);
}

void ChannelGrid::openText(TextEditor& editor, int row)
{
    editor.row = row;
    place(editor.edit, editor.col, row, kTextEditorHeight);
    editor.edit->setText(model_->cell(editor.col, row));
    editor.edit->show();
    editor.edit->raise();
    editor.armed = true;
    editor.edit->setFocus(Qt::OtherFocusReason);
}

void ChannelGrid::selectCell(int col, int row)
{
    if (!isCellColumn(col) || row < 1 || row > kRows)
        return;
    Col = col;
    Row = row;
    anchorCol_ = col;
    anchorRow_ = row;
    editorHeld_ = false;
    hideEditors();

    if (col == kColReceive || col == kColTransmit || col == kColName) {
        if (!channelEditorOffered(doc_, band_, col, row))
            return;
        TextEditor& editor = texts_[textSlot(col)];
        editor.col = col;
        openText(editor, row);
        return;
    }
    if (!channelEditorOffered(doc_, band_, col, row))
        return;
    ListEditor& list = lists_[col];
    list.col = col;
    list.row = row;
    place(list.box, col, row, list.box->sizeHint().height());
    // Entry 0 whatever the cell holds; setting it by program code commits nothing.
    list.box->setCurrentIndex(0);
    list.box->show();
    list.box->raise();
}

void ChannelGrid::endEdit()
{
    // As a click elsewhere: the edit with the focus gives it to the table,
    // which commits it; one that lost the focus to another window commits too.
    for (TextEditor& e : texts_) {
        if (e.edit->hasFocus())
            setFocus(Qt::MouseFocusReason);
        commitText(e);
    }
}

void ChannelGrid::refresh()
{
    for (TextEditor& e : texts_) {
        e.armed = false;
        e.edit->clear();
        e.edit->hide();
    }
    for (ListEditor& l : lists_) {
        if (l.box)
            l.box->hide();
    }
    model_->documentChanged();
}

void ChannelGrid::reportTo(DocumentHistory& history, int page)
{
    connect(this, &ChannelGrid::committed, &history, [&history, page](const QString& step, const CellRange& cell) {
        history.commit(step, {page, cell});
    });
}

void ChannelGrid::commitText(TextEditor& editor)
{
    if (!editor.armed)
        return;
    editor.armed = false;
    const std::string typed = toDocText(editor.edit->text());
    const CommitOutcome outcome = editor.col == kColName
                                      ? commitChannelName(doc_, band_, editor.row, typed)
                                      : commitChannelFrequency(doc_, band_, editor.col, editor.row, typed);
    if (!outcome.message.empty())
        seam_.message(window(), displayText(outcome.message));
    model_->rowChanged(editor.row);
    emit committed(stepName(editor.col, editor.row), CellRange{editor.row, editor.row, editor.col, editor.col});
    switch (outcome.editor) {
        case EditorAfter::EmptyHide:
            editor.edit->clear();
            hideText(editor);
            break;
        case EditorAfter::EmptyKeep:
            editor.edit->clear();
            break;
        case EditorAfter::Keep:
            editor.edit->setText(fromDocText(outcome.editorText));
            break;
    }
}

void ChannelGrid::cancelText(TextEditor& editor)
{
    // The cell stays as it was: nothing commits and no step is made.
    editor.armed = false;
    editor.edit->setText(model_->cell(editor.col, editor.row));
    hideText(editor);
}

bool ChannelGrid::keyPress(TextEditor& editor, QKeyEvent* event)
{
    const bool name = editor.col == kColName;
    auto filter = name ? &channelNameKey : &channelFrequencyKey;
    const int limit = name ? 7 : 9;

    if (event->matches(QKeySequence::Paste)) {
        const std::string pasted = toDocText(QApplication::clipboard()->text());
        const std::string current = toDocText(editor.edit->text());
        editor.edit->setText(fromDocText(filterPaste(current, pasted, filter, limit)));
        return true;
    }

    if (event->key() == Qt::Key_Escape) {
        cancelText(editor);
        return true;
    }
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;   // focus moves on as usual (and leaving commits)
    // Delete carries a text of its own (0x7F), which every key rule
    // refuses: it works on the editor's text, as in any line edit.
    if (event->key() == Qt::Key_Delete)
        return false;

    char key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        key = kEnter;
    } else if (event->key() == Qt::Key_Backspace) {
        key = kBackspace;
    } else {
        const QString text = event->text();
        if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;   // navigation, Delete and shortcuts work as usual
        const char16_t unit = text.at(0).unicode();
        // Characters outside Latin-1 are never accepted; 0x7F is refused by
        // every filter.
        key = text.size() == 1 && unit < 0x100 ? static_cast<char>(unit) : '\x7f';
    }

    const KeyOutcome outcome = filter(static_cast<std::size_t>(editor.edit->text().size()), key, limit);
    if (!outcome.message.empty())
        seam_.message(window(), displayText(outcome.message));
    switch (outcome.action) {
        case KeyAction::Accept:
            return false;
        case KeyAction::Commit:
        case KeyAction::Next:
            // Enter hides the edit, and leaving it commits it; the selected
            // cell stays, and the keys go to the table again.
            commitText(editor);
            hideText(editor);
            return true;
        case KeyAction::Discard:
            return true;
    }
    return true;
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event)
{
    TextEditor* editor = textEditorOf(watched);
    if (!editor)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(*editor, static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            if (editor->edit->isVisible())
                editor->armed = true;
            break;
        case QEvent::FocusOut: {
            // Another window taking the focus (a message box, a menu) is not
            // leaving the edit.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                commitText(*editor);
            break;
        }
        default:
            break;
    }
    return QTableView::eventFilter(watched, event);
}

void ChannelGrid::pickList(ListEditor& editor, int index)
{
    const std::vector<std::string>& entries = channelListEntries(editor.col);
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size())
        return;
    commitChannelList(doc_, band_, editor.col, editor.row, entries[static_cast<std::size_t>(index)]);
    model_->rowChanged(editor.row);
    editor.box->hide();
    emit committed(stepName(editor.col, editor.row), CellRange{editor.row, editor.row, editor.col, editor.col});
}

QString ChannelGrid::stepName(int col, int row) const
{
    // "Receiving Frequency of A 3"
    return QStringLiteral("%1 of %2 %3")
        .arg(QString::fromLatin1(columnInfo(col).heading), QString::fromLatin1(bandLetter(band_)))
        .arg(row);
}

bool ChannelGrid::isCellEditor(const QWidget* widget) const
{
    return widget && std::any_of(texts_.begin(), texts_.end(), [&](const TextEditor& e) { return e.edit == widget; });
}

}   // namespace pellaro
