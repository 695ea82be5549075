// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo, block selection, the clipboard and the edit commands of the
// main window, driven with real key and mouse events.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <functional>

#include "codeplug/channel_edit.h"
#include "codeplug/rules.h"
#include "files/channel_clipboard.h"
#include "ui/channel_grid.h"
#include "ui/document_history.h"
#include "ui/edit_actions.h"
#include "ui/main_window.h"
#include "ui/pages/limit_page.h"
#include "ui_test_support.h"
#include "window_fixture.h"

using namespace pellaro;
using pellaro::test::FakeSeam;
using pellaro::test::Window;

namespace {

struct Step {
    const char* kind;
    const char* name;   // the step's name as Undo shows it
    std::function<void(Window&)> act;
};

const std::vector<Step>& everyKindOfStep()
{
    static const std::vector<Step> steps = {
        {"cell commit", "Receiving Frequency of A 5",
         [](Window& f) {
             f.click(Band::A, 1, 5);
             f.type("146");
             f.key(Qt::Key_Return);
         }},
        {"list pick", "Power of A 1",
         [](Window& f) {
             f.click(Band::A, 8, 1);
             f.pick("t9", "Low");
         }},
        {"band B name", "Channel Name of B 1",
         [](Window& f) {
             f.page(2);
             f.click(Band::B, 12, 1);
             f.type("X");
             f.key(Qt::Key_Return);
         }},
        {"paste", "Paste 2 cells",
         [](Window& f) {
             QApplication::clipboard()->setText(QStringLiteral("433\tD023N\n"));
             f.click(Band::A, 0, 6);
             f.key(Qt::Key_V, Qt::ControlModifier);
         }},
        {"delete cells", "Delete 4 cells",
         [](Window& f) {
             f.click(Band::A, 1, 1);
             f.click(Band::A, 2, 2, Qt::ShiftModifier);
             f.key(Qt::Key_Delete);
         }},
        {"delete on channels", "Clear Channels 2-3",
         [](Window& f) {
             f.click(Band::A, 0, 2);
             f.click(Band::A, 0, 3, Qt::ShiftModifier);
             f.key(Qt::Key_Delete);
         }},
        {"cut", "Cut Channel 2",
         [](Window& f) {
             f.click(Band::A, 0, 2);
             f.key(Qt::Key_X, Qt::ControlModifier);
         }},
        {"cut cells", "Cut 4 cells",
         [](Window& f) {
             f.click(Band::A, 1, 1);
             f.click(Band::A, 2, 2, Qt::ShiftModifier);
             f.key(Qt::Key_X, Qt::ControlModifier);
         }},
        {"insert", "Insert Channel 1",
         [](Window& f) {
             f.click(Band::A, 0, 1);
             f.w->editActions().insertChannel->trigger();
         }},
        {"delete channels", "Delete Channels 1-2",
         [](Window& f) {
             f.click(Band::A, 0, 1);
             f.click(Band::A, 0, 2, Qt::ShiftModifier);
             f.w->editActions().deleteChannels->trigger();
         }},
        {"clear channels", "Clear Channel 3",
         [](Window& f) {
             f.click(Band::A, 0, 3);
             f.w->editActions().clearChannels->trigger();
         }},
        {"move up", "Move Up",
         [](Window& f) {
             f.click(Band::A, 0, 2);
             f.w->editActions().moveUp->trigger();
         }},
        {"move down", "Move Down",
         [](Window& f) {
             f.click(Band::A, 0, 1);
             f.w->editActions().moveDown->trigger();
         }},
        {"sort by frequency", "Sort by Frequency",
         [](Window& f) {
             f.click(Band::A, 0, 1);
             f.click(Band::A, 0, 4, Qt::ShiftModifier);
             f.w->editActions().sortByFrequency->trigger();
         }},
        {"sort one channel sorts the table", "Sort by Name",
         [](Window& f) {
             f.click(Band::A, 0, 1);
             f.w->editActions().sortByName->trigger();
         }},
        {"set-up list", "Receiving CTCSS of A/Upper Band Set up",
         [](Window& f) {
             f.page(1);
             f.pick("left4", "D023N");
         }},
        {"set-up text typed and left", "Receiving Frequency of B/Under Band Set up",
         [](Window& f) {
             f.page(3);
             f.enter("right3");
             f.type("150");
             f.leave();
         }},
        {"settings list", "Volume",
         [](Window& f) {
             f.page(4);
             f.pick("gn2", "7");
         }},
        {"FM typed and hovered", "FM Frequency",
         [](Window& f) {
             f.page(4);
             f.enter("gn3");
             f.type("88.5");
             f.hover("gn3");
         }},
        {"DTMF code typed", "DTMF1",
         [](Window& f) {
             f.page(5);
             f.enter("sy1");
             f.type("12#");
         }},
        {"identity code typed", "Alarm Code",
         [](Window& f) {
             f.page(5);
             f.enter("sypz3");
             f.type("9");
         }},
        {"state", "Current State",
         [](Window& f) {
             f.page(5);
             f.pick("sypz9", "Stun");
         }},
        {"limit typed and left", "Limit VHF Band (Low)",
         [](Window& f) {
             f.page(6);
             f.enter("xp1");
             f.type("136");
             f.leave();
         }},
        {"message typed and hovered", "Boot Information 1",
         [](Window& f) {
             f.page(6);
             f.enter("kaiji1");
             f.type("HI");
             f.hover("kaiji1");
         }},
        {"limit mode", "Limit Frequency Band Mode",
         [](Window& f) {
             f.page(6);
             f.pick("xp5", "OFF");
         }},
    };
    return steps;
}

}   // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoEveryKindOfStep();
    void commitsThatChangeNothingPushNoStep();
    void replacingTheDocumentClearsTheHistory();
    void clipboardWithSpreadsheets();
    void blockSelectionHidesTheEditor();
    void menusKeepTheirItemsAndTheCommandsFollow();
    void stepNamesAreTheMenuWords();
};

void EditCommandsTest::undoAndRedoEveryKindOfStep()
{
    for (const Step& step : everyKindOfStep()) {
        Window f;
        QVERIFY(f.active);
        const Document before = f.doc();
        step.act(f);
        const Document after = f.doc();
        QVERIFY2(after != before, step.kind);
        QVERIFY2(f.stack().count() == 1, step.kind);
        QCOMPARE(f.stack().undoText(), QString::fromLatin1(step.name));
        QCOMPARE(f.w->editActions().undo->text(), QStringLiteral("Undo ") + QString::fromLatin1(step.name));

        // Undo and redo put back the whole document, and the views that show
        // it again commit nothing.
        f.leave();
        f.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(f.doc() == before, step.kind);
        f.key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY2(f.doc() == after, step.kind);
        f.key(Qt::Key_Z, Qt::ControlModifier);
        f.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY2(f.doc() == after, step.kind);
        QVERIFY2(f.stack().count() == 1 && f.stack().index() == 1, step.kind);
    }
}

void EditCommandsTest::commitsThatChangeNothingPushNoStep()
{
    const std::vector<Step> noOps = {
        {"frequency entered unchanged", "",
         [](Window& f) {
             f.click(Band::A, 1, 1);
             f.type("146.5");
             f.key(Qt::Key_Return);
         }},
        {"list entry the cell holds", "",
         [](Window& f) {
             f.click(Band::A, 8, 1);
             f.pick("t9", "High");
         }},
        {"pointer over committed set-up editors", "",
         [](Window& f) {
             f.page(1);
             f.hover("left3");
             f.hover("left15");
         }},
        {"pointer over the limit page", "",
         [](Window& f) {
             f.page(6);
             f.hover("xp1");
             f.hover("kaiji2");
         }},
        {"code typed and erased", "",
         [](Window& f) {
             f.page(5);
             f.enter("sy2");
             f.type("1");
             f.key(Qt::Key_Backspace);
         }},
    };
    for (const Step& step : noOps) {
        Window f;
        QVERIFY(f.active);
        const Document before = f.doc();
        step.act(f);
        QVERIFY2(f.doc() == before, step.kind);
        QVERIFY2(f.stack().count() == 0, step.kind);
    }
}

void EditCommandsTest::replacingTheDocumentClearsTheHistory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.bc"));
    Window f;
    QVERIFY(f.active);
    f.seam.saveAnswer = path;
    f.w->fileSave();

    auto* limits = static_cast<LimitPage*>(f.w->limitPage);
    const std::vector<std::pair<const char*, std::function<void()>>> replacements = {
        {"New", [&] { f.w->fileNew(); }},
        {"Open",
         [&] {
             f.seam.openAnswer = path;
             f.w->fileOpen();
         }},
        {"Read", [&] { f.w->refreshAll(); }},   // what the Read dialog calls
        {"partial read", [&] { emit limits->documentReplaced(); }},
    };
    for (const auto& [what, replace] : replacements) {
        f.page(4);
        f.pick("gn2", "3");
        f.pick("gn2", "4");
        QVERIFY2(f.stack().count() == 2, what);
        // Undo shows the document again in the page.
        f.leave();
        f.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.find<QComboBox>("gn2")->currentText(), QStringLiteral("3"));
        f.key(Qt::Key_Y, Qt::ControlModifier);
        replace();
        QVERIFY2(f.stack().count() == 0, what);
        QVERIFY2(!f.w->editActions().undo->isEnabled(), what);
    }
}

void EditCommandsTest::clipboardWithSpreadsheets()
{
    Window f;
    QVERIFY(f.active);
    QClipboard* clipboard = QApplication::clipboard();

    // Channels 1-2 whole, as a spreadsheet takes them.
    f.click(Band::A, 0, 1);
    f.click(Band::A, 0, 2, Qt::ShiftModifier);
    f.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QString::fromStdString(copyText(f.doc(), Band::A, {1, 2, 1, 12}, false)));
    QVERIFY(clipboard->text().startsWith(QStringLiteral("146.50000\t0FF\tOFF\t\t\t\t\tHigh")));

    // Changed there and pasted back onto channel 10.
    clipboard->setText(clipboard->text().replace(QStringLiteral("ZULU"), QStringLiteral("YANKEE")));
    f.click(Band::A, 0, 10);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.doc().table(Band::A).at(12, 10), std::string("YANKEE"));
    QCOMPARE(f.doc().table(Band::A).at(1, 11), std::string("145.50000"));
    for (int col = 1; col < kColumns; ++col)
        QCOMPARE(f.doc().table(Band::A).at(col, 11), f.doc().table(Band::A).at(col, 2));
    QCOMPARE(f.grid(Band::A)->selectedRange(), (CellRange{10, 11, 1, 12}));
    QVERIFY(f.seam.messages.isEmpty());

    // One copied cell fills every selected cell.
    clipboard->setText(QStringLiteral("Low"));
    f.click(Band::A, 8, 1);
    f.click(Band::A, 8, 3, Qt::ShiftModifier);
    f.key(Qt::Key_V, Qt::ControlModifier);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(f.doc().table(Band::A).at(8, row), std::string("Low"));
    QCOMPARE(f.stack().undoText(), QStringLiteral("Paste 3 cells"));

    // Refusals come in one box: the first 20 and a count of the rest.
    clipboard->setText(QString(QStringLiteral("x\n")).repeated(25));
    f.click(Band::A, 0, 20);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.seam.messages.size(), 1);
    const QStringList lines = f.seam.messages.first().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines.first(), QStringLiteral("Paste 25 cells: 25 cells not taken"));
    QVERIFY(lines[1].startsWith(QStringLiteral("A 20 Receiving Frequency: ")));
    QCOMPARE(lines.last(), QString::fromUtf8("… and 5 more"));

    // Refused frequencies leave the channels they land on as they were.
    f.seam.messages.clear();
    const Document kept = f.doc();
    clipboard->setText(QStringLiteral("999.0\tOFF\n").repeated(16));
    f.click(Band::A, 0, 1);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(f.doc() == kept);
    QCOMPARE(f.seam.messages.size(), 1);
    QVERIFY(f.seam.messages.first().startsWith(QStringLiteral("Paste 32 cells: 32 cells not taken\n")));

    // Nothing refused: the name alone, then what was changed on the way in.
    f.seam.messages.clear();
    clipboard->setText(QStringLiteral("145.12345\tD023N"));
    f.click(Band::A, 0, 30);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.seam.messages, QStringList(QStringLiteral("Paste 2 cells\nChanged on the way in:\n"
                                                         "A 30 Receiving Frequency: \"145.12345\" rounded onto the "
                                                         "channel step raster: 145.12500")));
}

void EditCommandsTest::blockSelectionHidesTheEditor()
{
    Window f;
    QVERIFY(f.active);
    ChannelGrid* grid = f.grid(Band::A);
    EditActions& actions = f.w->editActions();

    // A click places the editor as ever; while it has the focus the edit
    // commands stand back and its own keys work.
    f.click(Band::A, 1, 5);
    auto* t1 = f.find<QLineEdit>("t1");
    QVERIFY(t1->isVisible() && t1->hasFocus());
    QVERIFY(!actions.copy->isEnabled() && !actions.erase->isEnabled());
    f.type("146");

    // Shift+click grows a block: the editor commits as leaving it does, hides,
    // and the table takes the keys.
    f.click(Band::A, 3, 6, Qt::ShiftModifier);
    QVERIFY(!grid->visibleEditor());
    QVERIFY(grid->hasFocus());
    QCOMPARE(f.doc().table(Band::A).at(1, 5), std::string("146.00000"));
    QCOMPARE(grid->selectedRange(), (CellRange{5, 6, 1, 3}));
    QCOMPARE(f.stack().undoText(), QStringLiteral("Receiving Frequency of A 5"));
    QVERIFY(actions.erase->isEnabled());

    // A list editor goes as well.
    f.click(Band::A, 8, 1);
    QVERIFY(f.find<QComboBox>("t9")->isVisible());
    f.click(Band::A, 9, 2, Qt::ShiftModifier);
    QVERIFY(!grid->visibleEditor());
    f.click(Band::A, 1, 5);
    f.click(Band::A, 3, 6, Qt::ShiftModifier);

    // Shift+arrow and Ctrl+A grow it from the keyboard.
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid->selectedRange(), (CellRange{5, 7, 1, 3}));
    f.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(grid->selectedRange(), (CellRange{1, kRows, 1, kColumns - 1}));
    QCOMPARE(actions.deleteChannels->text(), QStringLiteral("Delete Channels 1-128"));
    QVERIFY(!actions.moveUp->isEnabled() && !actions.moveDown->isEnabled());
    QVERIFY(!grid->visibleEditor());

    // A plain click on one cell places its editor again.
    f.click(Band::A, 12, 2);
    auto* t13 = f.find<QLineEdit>("t13");
    QVERIFY(t13->isVisible() && t13->hasFocus());
    QCOMPARE(t13->text(), QStringLiteral("ALPHA"));
}

void EditCommandsTest::menusKeepTheirItemsAndTheCommandsFollow()
{
    Window f;
    QVERIFY(f.active);
    auto names = [](const QList<QAction*>& actions) {
        QStringList list;
        for (QAction* a : actions)
            list << (a->isSeparator() ? QStringLiteral("|") : a->objectName() + QLatin1Char('=') + a->text());
        return list;
    };
    const QStringList commands = {"|",
                                  "EditCut=Cut",
                                  "EditCopy=Copy",
                                  "EditPaste=Paste",
                                  "EditDelete=Delete",
                                  "|",
                                  "EditInsertChannel=Insert Channel 5",
                                  "EditDeleteChannels=Delete Channels 5-8",
                                  "EditClearChannels=Clear Channels 5-8",
                                  "|",
                                  "EditMoveUp=Move Up",
                                  "EditMoveDown=Move Down",
                                  "|",
                                  "EditSortByFrequency=Sort by Frequency",
                                  "EditSortByName=Sort by Name"};
    f.click(Band::A, 0, 5);
    f.click(Band::A, 0, 8, Qt::ShiftModifier);
    f.page(4);
    f.pick("gn2", "3");
    f.page(0);

    // The described items, as they stand, then the commands behind a divider.
    QStringList expected = {"N6=Read",
                            "N7=Write",
                            "N8=-------",
                            "N9=A/Upper Band Channel",
                            "N11=B/Under Band Channel",
                            "N16=-------",
                            "RawMemoryItem=Raw Memory",
                            "EditDivider=-------",
                            "EditUndo=Undo Volume",
                            "EditRedo=Redo"};
    expected += commands;
    expected += QStringList({"|", "CompareWithRadio=Compare with Radio…", "FastTransfers=Fast Transfers", "|",
                             "ProgramSeveralRadios=Program Several Radios…"});
    QCOMPARE(names(f.find<QMenu>("N5")->actions()), expected);

    // The context menu holds the same commands.
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shown = names(menu->actions());
            menu->close();
        }
    });
    emit f.grid(Band::A)->customContextMenuRequested(f.at(Band::A, 3, 6));
    QCOMPARE(shown, QStringList({"EditUndo=Undo Volume", "EditRedo=Redo"}) + commands);

    // Away from the channel tables only Undo and Redo remain.
    f.page(4);
    QVERIFY(f.w->editActions().undo->isEnabled());
    QVERIFY(!f.w->editActions().copy->isEnabled());
    QVERIFY(!f.w->editActions().paste->isEnabled());
}

QTEST_MAIN(EditCommandsTest)
// A row command's step is named with the words its menu item showed, so
// that Undo offers what the menu offered.
void EditCommandsTest::stepNamesAreTheMenuWords()
{
    using Pick = QAction* EditActions::*;
    const std::pair<Pick, int> commands[] = {
        // the command, the first of the two channels selected
        {&EditActions::insertChannel, 1}, {&EditActions::deleteChannels, 1}, {&EditActions::clearChannels, 1},
        {&EditActions::moveUp, 2},        {&EditActions::moveDown, 1},       {&EditActions::sortByFrequency, 1},
        {&EditActions::sortByName, 1},
    };
    for (const auto& [pick, first] : commands) {
        Window f;
        QVERIFY(f.active);
        QAction* action = f.w->editActions().*pick;
        f.click(Band::A, 0, first);
        f.click(Band::A, 0, first + 1, Qt::ShiftModifier);
        const QString shown = action->text();
        action->trigger();
        QVERIFY2(f.stack().count() == 1, qPrintable(shown));
        QCOMPARE(f.stack().undoText(), shown);
    }
}

#include "edit_commands_test.moc"
