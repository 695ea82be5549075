// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user meets it, shown and active so that shortcuts
// and focus work, with real key and mouse events on its widgets.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>
#include <QtTest>

#include <memory>

#include "codeplug/rules.h"
#include "ui/channel_grid.h"
#include "ui/document_history.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

namespace pellaro::test {

// The main window, shown and active so that shortcuts and focus work, with
// four channels in band A and one in band B.
struct Window {
    Window()
    {
        MainWindowOptions options;
        options.seam = &seam;
        options.portSource = [] { return QList<SerialPortEntry>(); };
        w = std::make_unique<TForm2>(options);
        Document& doc = w->document();
        const char* rows[][2] = {{"146.5", "ZULU"}, {"145.5", "ALPHA"}, {"440", "MIKE"}, {"145", ""}};
        for (int r = 1; r <= 4; ++r) {
            commitChannelFrequency(doc, Band::A, 1, r, rows[r - 1][0]);
            commitChannelName(doc, Band::A, r, rows[r - 1][1]);
        }
        commitChannelFrequency(doc, Band::B, 1, 1, "150");
        w->refreshAll();
        w->show();
        active = QTest::qWaitForWindowActive(w.get());
    }

    QUndoStack& stack() { return w->history().stack(); }
    Document& doc() { return w->document(); }
    ChannelGrid* grid(Band band) { return band == Band::A ? w->StringGrid1 : w->StringGrid2; }
    void page(int tab) { w->PageControl1->setCurrentIndex(tab); }

    QPoint at(Band band, int col, int row)
    {
        ChannelGrid* g = grid(band);
        return g->visualRect(g->model()->index(row - 1, col)).center();
    }
    void click(Band band, int col, int row, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(grid(band)->viewport(), Qt::LeftButton, mods, at(band, col, row));
    }
    // A key as the user presses it, to whatever has the focus.
    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : w.get(), Qt::Key(k), mods);
    }
    void type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text)); }
    template <typename W>
    W* find(const char* name)
    {
        return w->findChild<W*>(QString::fromLatin1(name));
    }
    void pick(const char* list, const QString& entry)
    {
        auto* box = find<QComboBox>(list);
        const int index = box->findText(entry);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void enter(const char* editor) { find<QLineEdit>(editor)->setFocus(Qt::MouseFocusReason); }
    void hover(const char* editor)
    {
        QTest::mouseMove(find<QLineEdit>(editor), QPoint(4, 4));
        QTest::mouseMove(find<QLineEdit>(editor), QPoint(8, 5));
    }
    // Somewhere that is no editor: leaving an editor for it commits the editor.
    void leave() { w->PageControl1->tabBar()->setFocus(Qt::MouseFocusReason); }

    FakeSeam seam;
    std::unique_ptr<TForm2> w;
    bool active = false;
};

}   // namespace pellaro::test
