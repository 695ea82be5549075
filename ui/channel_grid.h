// One band's channel table (StringGrid1 for band A, StringGrid2 for band B)
// with its cell editors. The cells cannot be typed into: selecting a cell
// places its editor over it (t1..t13 without t4, or p1..p13), and the editor
// commits into the document through the channel rules.
#pragma once

#include <QTableView>

#include <array>

#include "codeplug/document.h"

class QComboBox;
class QLineEdit;

namespace pellaro {

class ChannelModel;
class UiSeam;

class ChannelGrid : public QTableView {
    Q_OBJECT
public:
    ChannelGrid(Document& doc, Band band, UiSeam& seam, QWidget* parent = nullptr);

    Band band() const { return band_; }
    ChannelModel* channelModel() const { return model_; }

    // StringGrid1SelectCell: records the cell and places its editor (or
    // none). Column 1..12, row 1..128.
    void selectCell(int col, int row);

    // Shows the document again; editors are hidden without committing, so a
    // stale typed text never lands in freshly read or loaded channels.
    void refresh();

    // The editor of cell column `col` (1..12), t1/p1 for column 1, t5/p5
    // for column 4 and so on.
    QWidget* editorFor(int col) const;
    // The editor currently shown, or nullptr.
    QWidget* visibleEditor() const;
    // The cell an editor commits into (column, row); {0, 0} when none.
    std::pair<int, int> editorTarget(int col) const;

    // The selected-cell record (Col/Row for band A, col1/row1 for band B).
    int Col = 0;
    int Row = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

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
    bool keyPress(TextEditor& editor, QKeyEvent* event);
    void pickList(ListEditor& editor, int index);

    Document& doc_;
    Band band_;
    UiSeam& seam_;
    ChannelModel* model_ = nullptr;
    std::array<TextEditor, 3> texts_{};             // columns 1, 4, 12
    std::array<ListEditor, kColumns> lists_{};      // by column; 2, 3, 5..11 used
};

}  // namespace pellaro
