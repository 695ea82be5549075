// SPDX-License-Identifier: GPL-3.0-or-later
// One band's channel table (StringGrid1 for band A, StringGrid2 for band B)
// with its cell editors. The cells cannot be typed into: selecting a cell
// places its editor over it (t1..t13 without t4, or p1..p13), and the editor
// commits into the document through the channel rules.
//
// A drag, Shift+click, Shift+arrow, Ctrl+A or the channel-number column
// selects a block of cells or whole channels. A selection of more than one
// cell shows no editor: an open editor is hidden, committing as leaving it
// does, and the focus goes to the table, where the edit shortcuts work. A
// single selected cell places its editor exactly as a click does.
#pragma once

#include <QTableView>

#include <array>

#include "codeplug/channel_edit.h"
#include "codeplug/document.h"
#include "ui/document_view.h"

class QComboBox;
class QLineEdit;

namespace pellaro {

class ChannelModel;
class UiSeam;

class ChannelGrid : public QTableView, public DocumentView {
    Q_OBJECT
public:
    ChannelGrid(Document& doc, Band band, UiSeam& seam, QWidget* parent = nullptr);

    Band band() const { return band_; }
    const Document& document() const { return doc_; }
    ChannelModel* channelModel() const { return model_; }

    // StringGrid1SelectCell: records the cell and places its editor (or
    // none). Column 1..12, row 1..128.
    void selectCell(int col, int row);

    // Shows the document again; editors are hidden without committing, so a
    // stale typed text never lands in freshly read or loaded channels.
    void refresh() override;
    // Each commit goes to the history with the cell it was made in.
    void reportTo(DocumentHistory& history, int page) override;
    // Ends a text editor's edit as a click elsewhere does, through its commit
    // rules (a refusal is said); a command that changes or reads the
    // document calls it first so that no typed text is lost.
    void endEdit();

    // The editor of cell column `col` (1..12), t1/p1 for column 1, t5/p5
    // for column 4 and so on.
    QWidget* editorFor(int col) const;
    // The editor currently shown, or nullptr.
    QWidget* visibleEditor() const;
    // The cell an editor commits into (column, row); {0, 0} when none.
    std::pair<int, int> editorTarget(int col) const;

    // The selected block, columns within 1..12; empty when nothing is selected.
    CellRange selectedRange() const;
    // Selects `range` as program code does: no editor is placed, nothing commits.
    void showSelection(const CellRange& range);
    // Whether `widget` is one of this table's text editors (t1, t5, t13).
    bool isCellEditor(const QWidget* widget) const;

    // The selected-cell record (Col/Row for band A, col1/row1 for band B).
    int Col = 0;
    int Row = 0;

signals:
    // The user committed cell `cell` ("Receiving Frequency of A 3"); the
    // document may or may not have changed.
    void committed(const QString& step, const CellRange& cell);

public slots:
    void selectAll() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A text editor (t1, t5, t13) and the cell it was opened for.
    struct TextEditor {
        QLineEdit* edit = nullptr;
        int col = 0;
        int row = 0;
        bool armed = false;   // holds a focus session that a leave commits
    };
    // A list editor and the cell it was opened for.
    struct ListEditor {
        QComboBox* box = nullptr;
        int col = 0;
        int row = 0;
    };

    void buildEditors();
    TextEditor* textEditorOf(QObject* object);
    void hideEditors();
    void hideText(TextEditor& editor);
    void place(QWidget* editor, int col, int row, int height);
    void openText(TextEditor& editor, int row);
    void commitText(TextEditor& editor);
    // Escape: the editor closes and its cell keeps what it held.
    void cancelText(TextEditor& editor);
    bool keyPress(TextEditor& editor, QKeyEvent* event);
    void pickList(ListEditor& editor, int index);
    QString stepName(int col, int row) const;
    // Selects channels `from`..`to` (either order) whole, quietly.
    void selectChannels(int from, int to);
    // Selects the block from the anchor cell to (col, row), quietly.
    void extendTo(int col, int row);
    // After the user changed the selection with the editor placing held
    // back: one cell places its editor, a block hides it.
    void settleSelection();

    Document& doc_;
    Band band_;
    UiSeam& seam_;
    ChannelModel* model_ = nullptr;
    std::array<TextEditor, 3> texts_{};          // columns 1, 4, 12
    std::array<ListEditor, kColumns> lists_{};   // by column; 2, 3, 5..11 used
    bool quiet_ = false;                         // a current-cell change places no editor
    bool editorHeld_ = false;                    // no editor was placed for the present selection
    int anchorCol_ = 1;                          // the cell a Shift+click or Shift+arrow extends from
    int anchorRow_ = 1;
    bool draggingRows_ = false;   // a drag that began in the channel-number column
    bool ownPress_ = false;       // the last press was handled here, not by the view
};

}   // namespace pellaro
