// SPDX-License-Identifier: GPL-3.0-or-later
// The window from the keyboard: the cell editors' own keys (Delete, Escape),
// the menus by Alt and their letters and by F10, commands that end an open
// cell editor before they act, and undo and redo bringing their step's place
// forward. Real key events on the shown, active window.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <functional>

#include "clone/engine.h"
#include "codeplug/channel_edit.h"
#include "ui/channel_grid.h"
#include "ui/document_history.h"
#include "ui/edit_actions.h"
#include "ui/interchange_actions.h"
#include "ui/main_window.h"
#include "ui_test_support.h"
#include "window_fixture.h"

using namespace pellaro;
using pellaro::test::Window;
using Act = std::function<void(Window&)>;
Q_DECLARE_METATYPE(pellaro::CellRange)
Q_DECLARE_METATYPE(Act)

namespace {

QLineEdit* focusedEdit()
{
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

QMenu* openMenu()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// With a menu open, the arrows go down to `target` (enabled items only);
// false when they never reach it.
bool arrowTo(QAction* target)
{
    QMenu* menu = openMenu();
    for (int i = 0; menu && i < 40 && menu->activeAction() != target; ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    return menu && menu->activeAction() == target;
}

// Whatever modal dialog a command shows is cancelled as soon as it shows.
void cancelNextDialog()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
}

}   // namespace

class WindowKeysTest : public QObject {
    Q_OBJECT
private slots:
    void cellEditorKeysWorkOnItsText_data();
    void cellEditorKeysWorkOnItsText();
    void escapeLeavesTheCellAsItWas_data();
    void escapeLeavesTheCellAsItWas();
    void menusOpenFromTheKeyboard_data();
    void menusOpenFromTheKeyboard();
    void commandsEndTheCellEditorFirst_data();
    void commandsEndTheCellEditorFirst();
    void undoAndRedoBringTheStepForward_data();
    void undoAndRedoBringTheStepForward();
};

void WindowKeysTest::cellEditorKeysWorkOnItsText_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QList<int>>("keys");   // key codes; a negative one with Shift
    QTest::addColumn<QString>("text");
    QTest::newRow("name: Home, Delete") << 12 << QList<int>{Qt::Key_Home, Qt::Key_Delete} << "ULU";
    QTest::newRow("name: Shift+End, Delete") << 12 << QList<int>{Qt::Key_Home, -Qt::Key_End, Qt::Key_Delete} << "";
    QTest::newRow("frequency: Home, Delete") << 1 << QList<int>{Qt::Key_Home, Qt::Key_Delete} << "46.50000";
    QTest::newRow("frequency: Shift+End, Delete") << 1 << QList<int>{Qt::Key_Home, -Qt::Key_End, Qt::Key_Delete} << "";
}

void WindowKeysTest::cellEditorKeysWorkOnItsText()
{
    QFETCH(int, col);
    QFETCH(QList<int>, keys);
    QFETCH(QString, text);
    Window f;
    QVERIFY(f.active);
    const Document before = f.doc();
    f.click(Band::A, col, 1);
    QLineEdit* edit = focusedEdit();
    QVERIFY(edit);
    // Delete comes with the text the X server gives it (DEL, 0x7F).
    for (int k : keys)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(std::abs(k)),
                            k == Qt::Key_Delete ? QString(QChar(0x7f)) : QString(),
                            k < 0 ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(edit->text(), text);
    QVERIFY(edit->hasFocus());
    QCOMPARE(f.doc(), before);   // nothing commits until the editor is left
}

void WindowKeysTest::escapeLeavesTheCellAsItWas_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");   // after Ctrl+A in a text editor
    QTest::newRow("receiving frequency") << 1 << "146.52599";
    QTest::newRow("transmission frequency") << 4 << "147.1";
    QTest::newRow("name") << 12 << "NEW";
    QTest::newRow("list (power)") << 8 << "";
}

void WindowKeysTest::escapeLeavesTheCellAsItWas()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    Window f;
    QVERIFY(f.active);
    const Document before = f.doc();
    const int steps = f.stack().count();
    f.click(Band::A, col, 1);
    QVERIFY(f.grid(Band::A)->visibleEditor());
    if (!typed.isEmpty()) {
        f.key(Qt::Key_A, Qt::ControlModifier);
        f.key(Qt::Key_Backspace);
        QTest::keyClicks(QApplication::focusWidget(), typed);
    }
    f.key(Qt::Key_Escape);
    QVERIFY(!f.grid(Band::A)->visibleEditor());
    QCOMPARE(QApplication::focusWidget(), f.grid(Band::A));
    // Going on to the next channel commits nothing either.
    f.key(Qt::Key_Down);
    QCOMPARE(f.grid(Band::A)->Row, 2);
    QCOMPARE(f.doc(), before);
    QCOMPARE(f.stack().count(), steps);
}

void WindowKeysTest::menusOpenFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Alt+F") << int(Qt::Key_F) << int(Qt::AltModifier) << "F1";
    QTest::newRow("Alt+E") << int(Qt::Key_E) << int(Qt::AltModifier) << "N5";
    QTest::newRow("Alt+H") << int(Qt::Key_H) << int(Qt::AltModifier) << "N12";
    QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "F1";
}

void WindowKeysTest::menusOpenFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, menu);
    Window f;
    QVERIFY(f.active);
    f.key(key, Qt::KeyboardModifiers(modifiers));
    QMenu* shown = openMenu();
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), menu);
    // Every enabled item is reached by the arrows.
    for (QAction* item : shown->actions())
        if (item->isEnabled() && !item->isSeparator())
            QVERIFY2(arrowTo(item), qPrintable(item->text()));
    QTest::keyClick(shown, Qt::Key_Escape);
    QTRY_VERIFY(!openMenu() || openMenu() != shown);

    // The captions show as described, the letters as mnemonics.
    QStringList shownTitles;
    for (QAction* title : f.w->menuBar()->actions())
        shownTitles << QString(title->text()).remove(QLatin1Char('&'));
    QCOMPARE(shownTitles, QStringList({"File(F)", "Edit(E)", "Help(H)", "Quit(Q)"}));

    // Enter on an item performs it: Fast Transfers, the last Edit item.
    if (menu == QStringLiteral("N5")) {
        if (openMenu())
            QTest::keyClick(openMenu(), Qt::Key_Escape);
        f.key(Qt::Key_E, Qt::AltModifier);
        QVERIFY(arrowTo(f.w->interchangeActions().fastTransfers));
        QTest::keyClick(openMenu(), Qt::Key_Return);
        QVERIFY(f.w->engine().fastTransfers());
    }
}

void WindowKeysTest::commandsEndTheCellEditorFirst_data()
{
    QTest::addColumn<char>("menu");      // the menu's letter
    QTest::addColumn<QString>("item");   // object name of the item
    QTest::newRow("Import Channels") << 'F' << "ImportChannels";
    QTest::newRow("Export Channels") << 'F' << "ExportChannels";
    QTest::newRow("Compare with File") << 'F' << "CompareWithFile";
    QTest::newRow("Save") << 'F' << "N3";
    QTest::newRow("Open") << 'F' << "N2";
    QTest::newRow("New, not confirmed") << 'F' << "N1";
    QTest::newRow("Write") << 'E' << "N7";
    QTest::newRow("Export Codeplug as Text") << 'F' << "ExportCodeplugText";
    QTest::newRow("Import Codeplug Text") << 'F' << "ImportCodeplugText";
    QTest::newRow("Program Several Radios") << 'E' << "ProgramSeveralRadios";
}

void WindowKeysTest::commandsEndTheCellEditorFirst()
{
    QFETCH(char, menu);
    QFETCH(QString, item);
    Window f;
    QVERIFY(f.active);
    f.seam.answerYes = false;
    f.click(Band::A, 1, 5);
    f.type("150");
    QAction* command = f.w->findChild<QAction*>(item);
    QVERIFY(command);
    // By the pointer: a menu opened so leaves the editor's focus where it was.
    QMenuBar* bar = f.w->menuBar();
    QAction* title = bar->actions().at(menu == 'F' ? 0 : 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu* shown = openMenu();
    QVERIFY(shown);
    cancelNextDialog();
    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(command).center());
    // The typed text went in through the commit rules before the command acted.
    QCOMPARE(f.doc().table(Band::A).at(1, 5), std::string("150.00000"));
    QCOMPARE(f.stack().undoText(), QStringLiteral("Receiving Frequency of A 5"));
}

void WindowKeysTest::undoAndRedoBringTheStepForward_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<CellRange>("cells");
    QTest::addColumn<QString>("command");   // the Edit item that makes the step; empty: typing
    QTest::addColumn<Act>("act");
    QTest::newRow("cell on band B") << 2 << CellRange{1, 1, 12, 12} << "" << Act([](Window& f) {
        f.page(2);
        f.click(Band::B, 12, 1);
        f.type("X");
        f.key(Qt::Key_Return);
    });
    QTest::newRow("Delete Channels") << 0 << CellRange{1, 2, 1, 12} << "EditDeleteChannels" << Act([](Window& f) {
        f.click(Band::A, 0, 1);
        f.click(Band::A, 0, 2, Qt::ShiftModifier);
    });
    QTest::newRow("Clear Channels") << 0 << CellRange{3, 3, 1, 12} << "EditClearChannels"
                                    << Act([](Window& f) { f.click(Band::A, 0, 3); });
    QTest::newRow("setting") << 4 << CellRange{} << "" << Act([](Window& f) {
        f.page(4);
        f.enter("gn3");
        f.type("88.5");
        f.leave();
    });
}

void WindowKeysTest::undoAndRedoBringTheStepForward()
{
    QFETCH(int, page);
    QFETCH(CellRange, cells);
    QFETCH(QString, command);
    QFETCH(Act, act);
    Window f;
    QVERIFY(f.active);
    act(f);
    QString offered;   // what the Edit menu offered
    if (!command.isEmpty()) {
        QAction* item = f.w->findChild<QAction*>(command);
        f.key(Qt::Key_E, Qt::AltModifier);
        QVERIFY(arrowTo(item));
        offered = item->text();
        QTest::keyClick(openMenu(), Qt::Key_Return);
    }
    const QString step = f.stack().undoText();
    QVERIFY(!step.isEmpty());
    if (!command.isEmpty())
        QCOMPARE(step, offered);
    EditActions& edit = f.w->editActions();
    QCOMPARE(edit.undo->text(), QStringLiteral("Undo ") + step);

    for (bool undo : {true, false}) {
        // Somewhere else, with another table's block selected.
        f.page(page == 2 ? 0 : 2);
        f.click(page == 2 ? Band::A : Band::B, 1, 7);
        f.key(Qt::Key_Escape);
        f.key(undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.w->PageControl1->currentIndex(), page);
        if (!cells.empty())
            QCOMPARE(f.grid(page == 2 ? Band::B : Band::A)->selectedRange(), cells);
        if (undo)
            QCOMPARE(edit.redo->text(), QStringLiteral("Redo ") + step);
    }
}

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"
