// SPDX-License-Identifier: GPL-3.0-or-later
// The window's channel plans and comparisons: File > Import Channels…,
// Export Channels…, Compare with File…, Edit > Compare with Radio… and Fast
// Transfers, driven through the seam, the modal dialogs answered as a user
// would, and the in-process simulated radio.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <functional>

#include "clone/engine.h"
#include "codeplug/rules.h"
#include "files/channel_csv.h"
#include "files/codeplug_file.h"
#include "serial/tcomm.h"
#include "tools/radio_sim/radio_sim.h"
#include "ui/channel_csv_dialog.h"
#include "ui/channel_grid.h"
#include "ui/commands.h"
#include "ui/compare_radio_dialog.h"
#include "ui/differences_window.h"
#include "ui/document_history.h"
#include "ui/interchange_actions.h"
#include "ui/main_window.h"
#include "ui/raw_memory_view.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

const char* const kGenericPlan =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
    "CrossMode,Mode,TStep,Skip,Power,Comment\r\n"
    "1,REPEATER1,145.500000,-,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,12.5,,High,\r\n"
    "2,LOCAL,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,,Low,\r\n"
    "3,AIR,120.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25,,High,\r\n";

// The exact bytes a Save would write: "the same document" to the byte.
std::string saved(const Document& doc)
{
    std::string bytes;
    saveCodeplug(doc, bytes);
    return bytes;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

QByteArray readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the next modal dialog of type D as soon as it is shown.
template <typename D>
void answer(std::function<void(D*)> reply)
{
    QTimer::singleShot(0, [reply] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget()))
            reply(dialog);
    });
}

void chooseCsv(const CsvChoice& choice)
{
    answer<ChannelCsvDialog>([choice](ChannelCsvDialog* d) {
        d->setChoice(choice);
        d->accept();
    });
}

// A window with a simulated radio on its first port (answering at once) and
// three channels in band A; shown, so that focus and selection work.
struct Rig {
    Rig() : radio(unpaced())
    {
        MainWindowOptions options;
        options.seam = &seam;
        options.firstPort = QString::fromStdString(radio.start());
        options.portSource = [] { return QList<SerialPortEntry>(); };
        w = std::make_unique<TForm2>(options);
        w->comm().setReadIntervalTimeout(2);   // as the transfer dialog tests do
        Document& doc = w->document();
        const char* rows[][2] = {{"146.5", "ZULU"}, {"145.5", "ALPHA"}, {"440", "MIKE"}};
        for (int r = 1; r <= 3; ++r) {
            commitChannelFrequency(doc, Band::A, 1, r, rows[r - 1][0]);
            commitChannelName(doc, Band::A, r, rows[r - 1][1]);
        }
        w->refreshAll();
        w->show();
        active = QTest::qWaitForWindowActive(w.get());
    }

    static sim::SimulatorOptions unpaced()
    {
        sim::SimulatorOptions options;
        options.pacing = false;
        return options;
    }

    InterchangeActions& actions() { return w->interchangeActions(); }
    QUndoStack& stack() { return w->history().stack(); }
    Document& doc() { return w->document(); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    DifferencesWindow* list() { return actions().differencesWindow(); }

    sim::RadioSimulator radio;   // outlives the window, whose port is open on it
    FakeSeam seam;
    QTemporaryDir dir;
    std::unique_ptr<TForm2> w;
    bool active = false;
};

QStringList names(const QList<QAction*>& actions)
{
    QStringList list;
    for (QAction* a : actions)
        list << (a->isSeparator() ? QStringLiteral("|") : a->objectName() + QLatin1Char('=') + a->text());
    return list;
}

}   // namespace

class InterchangeTest : public QObject {
    Q_OBJECT
private slots:
    void menusAndFastTransfers();
    void importIsOneStepAndReportsOnce();
    void unusableImportChangesNothing_data();
    void unusableImportChangesNothing();
    void importThatChangesNothingSaysWhy_data();
    void importThatChangesNothingSaysWhy();
    void emptiedChannelsAreCountedInTheBox();
    void exportNeverReplacesACodeplug();
    void exportWritesTheCommandLinesFile_data();
    void exportWritesTheCommandLinesFile();
    void compareWithFileLeadsToTheCell();
    void linesLeadToTheirPage_data();
    void linesLeadToTheirPage();
    void differencesWindowGoesBesideTheMainWindow_data();
    void differencesWindowGoesBesideTheMainWindow();
    void compareWithRadioTouchesNothing_data();
    void compareWithRadioTouchesNothing();
};

void InterchangeTest::menusAndFastTransfers()
{
    Rig rig;
    // The described File items as they are, then the new ones behind a divider.
    QCOMPARE(names(rig.w->findChild<QMenu*>(QStringLiteral("F1"))->actions()),
             QStringList({"N1=New", "N2=Open", "N3=Save", "N4=Quit", "FileDivider=-------",
                          "ImportChannels=Import Channels…", "ExportChannels=Export Channels…",
                          "CompareWithFile=Compare with File…", "ExportCodeplugText=Export Codeplug as Text…",
                          "ImportCodeplugText=Import Codeplug Text…"}));
    QVERIFY(!rig.w->findChild<QAction*>(QStringLiteral("FileDivider"))->isEnabled());

    // Off at every start; the item switches the engine both ways.
    QAction* fast = rig.actions().fastTransfers;
    QVERIFY(fast->isCheckable() && !fast->isChecked());
    QVERIFY(!rig.w->engine().fastTransfers());
    fast->trigger();
    QVERIFY(rig.w->engine().fastTransfers());
    fast->trigger();
    QVERIFY(!rig.w->engine().fastTransfers());

    // Compare with Radio wants an open port.
    rig.w->commands().update();
    QVERIFY(rig.actions().compareWithRadio->isEnabled());
    rig.w->comm().ClosePort();
    rig.w->Panel0->setText(QStringLiteral("COM Port:The port is used!"));
    rig.w->commands().update();
    QVERIFY(!rig.actions().compareWithRadio->isEnabled());
}

void InterchangeTest::importIsOneStepAndReportsOnce()
{
    Rig rig;
    const QString plan = rig.file("plan.csv");
    QVERIFY(writeText(plan, kGenericPlan));
    const Document before = rig.doc();
    const int steps = rig.stack().count();

    rig.seam.openAnswer = plan;
    chooseCsv({CsvFormat::Generic, Band::B, false});
    rig.actions().importChannels->trigger();

    QCOMPARE(rig.seam.dialogTitles, QStringList({"Import Channels"}));
    QCOMPARE(rig.stack().count(), steps + 1);
    QCOMPARE(rig.stack().undoText(), QStringLiteral("Import 2 channels from plan.csv"));
    QCOMPARE(rig.doc().table(Band::B).at(1, 1), std::string("145.50000"));
    QCOMPARE(rig.doc().table(Band::B).at(12, 1), std::string("REPEATE"));
    QVERIFY(rig.doc().table(Band::B).at(1, 3).empty());
    QCOMPARE(rig.w->StringGrid2->model()->index(1, 12).data().toString(), QStringLiteral("LOCAL"));

    // One box: the count, the refused row once, the cut name.
    QCOMPARE(rig.seam.messages.size(), 1);
    const QString box = rig.seam.messages[0];
    QVERIFY2(box.startsWith(QStringLiteral("Imported 2 channels from plan.csv. 1 row was left out.")), qPrintable(box));
    QCOMPARE(box.count(QStringLiteral("line 4:")), 1);
    QCOMPARE(box.count(QStringLiteral("line 2:")), 1);
    QVERIFY(box.contains(QStringLiteral("Not taken:")) && box.contains(QStringLiteral("Changed on the way in:")));

    rig.stack().undo();
    QVERIFY(rig.doc() == before);
    QCOMPARE(saved(rig.doc()), saved(before));
    QVERIFY(rig.w->StringGrid2->model()->index(1, 12).data().toString().isEmpty());
}

void InterchangeTest::unusableImportChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content");   // empty: no such file
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << int(CsvFormat::Native) << "plan.csv\": ";
    QTest::newRow("no header") << QByteArray("\r\n") << int(CsvFormat::Native) << "no header line";
    QTest::newRow("other format") << QByteArray(kGenericPlan) << int(CsvFormat::Native) << "choose Generic";
    QTest::newRow("not a plan") << QByteArray("a,b\r\n1,2\r\n") << int(CsvFormat::Generic) << "no Location column";
    QTest::newRow("not UTF-8") << QByteArray("Location,Name,Frequency\r\n1,\xC4pfel,145.5\r\n")
                               << int(CsvFormat::Generic)
                               << "line 2 is not UTF-8 text; save the file as UTF-8 (CSV UTF-8)";
    QTest::newRow("too large") << QByteArray(int(kLargestChannelCsv) + 1, '#') << int(CsvFormat::Generic)
                               << "the file is too large for a channel plan (at most 8 MiB)";
}

void InterchangeTest::unusableImportChangesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(int, format);
    QFETCH(QString, reason);
    Rig rig;
    const QString plan = rig.file("plan.csv");
    if (!content.isEmpty())
        QVERIFY(writeText(plan, content));
    const std::string before = saved(rig.doc());
    rig.seam.openAnswer = plan;
    chooseCsv({CsvFormat(format), std::nullopt, true});   // replace, of all things
    rig.actions().importChannels->trigger();

    QCOMPARE(saved(rig.doc()), before);
    QCOMPARE(rig.stack().count(), 0);
    QCOMPARE(rig.seam.messages.size(), 1);
    QVERIFY2(rig.seam.messages[0].contains(reason), qPrintable(rig.seam.messages[0]));
    QVERIFY(rig.seam.messages[0].endsWith(QStringLiteral("Nothing was changed.")));
}

void InterchangeTest::importThatChangesNothingSaysWhy_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("box");    // how the box begins
    QTest::addColumn<QString>("line");   // a line it lists
    QTest::newRow("replace with a refused row") << QByteArray(kGenericPlan) << true
                                                << "Nothing was imported from plan.csv: Replace takes every row or "
                                                   "none, and 1 row and 0 values would be refused."
                                                << "line 4: A 3 Receiving Frequency: \"120.000000\"";
    QTest::newRow("no row taken")
        << QByteArray("Location,Frequency\r\n1,600\r\n") << false
        << "plan.csv cannot be imported: no row of the file can be taken (1 row(s) left out). "
           "Nothing was changed.\nNot taken:"
        << "line 2: A 1 Receiving Frequency: \"600\"";
}

void InterchangeTest::importThatChangesNothingSaysWhy()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, replace);
    QFETCH(QString, box);
    QFETCH(QString, line);
    Rig rig;
    const QString plan = rig.file("plan.csv");
    QVERIFY(writeText(plan, content));
    const std::string before = saved(rig.doc());
    rig.seam.openAnswer = plan;
    chooseCsv({CsvFormat::Generic, Band::A, replace});
    rig.actions().importChannels->trigger();

    QCOMPARE(saved(rig.doc()), before);
    QCOMPARE(rig.stack().count(), 0);
    QCOMPARE(rig.seam.messages.size(), 1);
    QVERIFY2(rig.seam.messages[0].startsWith(box), qPrintable(rig.seam.messages[0]));
    QVERIFY2(rig.seam.messages[0].contains(line), qPrintable(rig.seam.messages[0]));
}

void InterchangeTest::emptiedChannelsAreCountedInTheBox()
{
    Rig rig;
    const QString plan = rig.file("plan.csv");
    QVERIFY(writeText(plan, "Location,Frequency\r\n2,\r\n3,440.5\r\n"));
    rig.seam.openAnswer = plan;
    chooseCsv({CsvFormat::Generic, Band::A, false});
    rig.actions().importChannels->trigger();

    QVERIFY(rig.doc().table(Band::A).at(1, 2).empty());
    QCOMPARE(rig.seam.messages, QStringList({"Imported 1 channel from plan.csv. 1 channel was emptied.\n"
                                             "Changed on the way in:\n"
                                             "line 2: A 2 emptied: the row has no Frequency"}));
}

void InterchangeTest::exportNeverReplacesACodeplug()
{
    Rig rig;
    const QString mine = rig.file("mine.bc");
    const QByteArray codeplug = QByteArray::fromStdString(saved(rig.doc()));
    QVERIFY(writeText(mine, codeplug));
    rig.seam.saveAnswer = mine;
    chooseCsv({CsvFormat::Native, std::nullopt, false});
    rig.actions().exportChannels->trigger();

    QCOMPARE(readText(mine), codeplug);
    QCOMPARE(rig.seam.messages.size(), 1);
    QVERIFY2(rig.seam.messages[0].startsWith(QStringLiteral("Not exported: %1 is a codeplug file").arg(mine)),
             qPrintable(rig.seam.messages[0]));
}

void InterchangeTest::exportWritesTheCommandLinesFile_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("band");   // -1: both
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("written");
    QTest::newRow("native, both bands") << int(CsvFormat::Native) << -1 << "plan"
                                        << "plan.csv";
    QTest::newRow("generic, band A") << int(CsvFormat::Generic) << int(Band::A) << "plan.txt"
                                     << "plan.txt";
}

void InterchangeTest::exportWritesTheCommandLinesFile()
{
    QFETCH(int, format);
    QFETCH(int, band);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    Rig rig;
    commitChannelFrequency(rig.doc(), Band::B, 1, 9, "433.5");
    QVERIFY(writeText(rig.dir.filePath(written), "old"));
    const std::optional<Band> which = band < 0 ? std::nullopt : std::optional<Band>(Band(band));
    rig.seam.saveAnswer = rig.dir.filePath(answer);
    chooseCsv({CsvFormat(format), which, false});
    rig.actions().exportChannels->trigger();

    const CsvExport expected = exportChannels(rig.doc(), CsvFormat(format), which);
    QCOMPARE(readText(rig.dir.filePath(written)), QByteArray::fromStdString(expected.csv));
    QCOMPARE(
        rig.seam.messages,
        QStringList({QStringLiteral("Exported %1 channels to %2.").arg(expected.rows).arg(rig.dir.filePath(written))}));
    // Nothing but the file: no temporary left beside it.
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files).size(), 1);
}

void InterchangeTest::compareWithFileLeadsToTheCell()
{
    Rig rig;
    const QString other = rig.file("other.bc");
    commitChannelFrequency(rig.doc(), Band::B, 1, 7, "150");
    rig.w->refreshAll();
    Document changed = rig.doc();
    commitChannelFrequency(changed, Band::B, 1, 7, "150.0125");
    QVERIFY(writeText(other, QByteArray::fromStdString(saved(changed))));

    rig.seam.openAnswer = other;
    rig.actions().compareWithFile->trigger();
    DifferencesWindow* list = rig.list();
    QVERIFY(list && list->isVisible() && !list->isModal());
    QCOMPARE(list->windowTitle(), QStringLiteral("Compare with File: other.bc"));
    QCOMPARE(list->list()->count(), 1);
    QCOMPARE(list->list()->item(0)->text(), QStringLiteral("B 7 Receiving Frequency: 150.00000 → 150.01250"));
    QVERIFY(rig.seam.messages.isEmpty());

    // A double-click on the line selects the cell on its tab.
    rig.w->PageControl1->setCurrentIndex(4);
    QListWidget* lines = list->list();
    const QPoint line = lines->visualItemRect(lines->item(0)).center();
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, line);
    QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, line);
    QCOMPARE(rig.w->PageControl1->currentIndex(), 2);
    QCOMPARE(rig.w->StringGrid2->selectedRange(), (CellRange{7, 7, 1, 1}));
    QCOMPARE(rig.w->StringGrid2->Col, 1);
    QCOMPARE(rig.w->StringGrid2->Row, 7);

    // The same window again, compared anew: the file changes, Refresh sees it.
    QVERIFY(writeText(other, QByteArray::fromStdString(saved(rig.doc()))));
    list->refreshButton()->click();
    QCOMPARE(list->list()->count(), 1);
    QCOMPARE(list->list()->item(0)->text(), QStringLiteral("No differences"));
    rig.actions().compareWithFile->trigger();
    QCOMPARE(rig.list(), list);
}

void InterchangeTest::linesLeadToTheirPage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("focus");   // the editor that gets the focus
    QTest::addColumn<int>("firstByte");   // marked in the raw memory view; -1: none
    QTest::newRow("setting") << int(Difference::Kind::Setting) << "Comprehensive Setting"
                             << "" << 5 << 0 << "" << 4 << "" << -1;
    QTest::newRow("setting's editor") << int(Difference::Kind::Setting) << "DTMF Groups"
                                      << "Alarm Code            :" << 0 << 0 << "" << 5 << "sypz3" << -1;
    QTest::newRow("mirror bytes") << int(Difference::Kind::Memory) << "B/Under Band Set up"
                                  << "" << 4 << 0x0392 << "00 E4" << 3 << "" << 2;
    QTest::newRow("state byte") << int(Difference::Kind::Memory) << "DTMF Groups"
                                << "" << 0 << 0 << "FF" << 5 << "" << -1;
}

void InterchangeTest::linesLeadToTheirPage()
{
    QFETCH(int, kind);
    QFETCH(QString, page);
    QFETCH(QString, label);
    QFETCH(int, mirror);
    QFETCH(int, address);
    QFETCH(QString, bytes);
    QFETCH(int, tab);
    QFETCH(QString, focus);
    QFETCH(int, firstByte);
    Rig rig;
    rig.w->findChild<QWidget*>(QStringLiteral("sy4"))->setFocus();   // elsewhere on a page
    Difference d;
    d.kind = Difference::Kind(kind);
    d.page = page.toStdString();
    for (int p = 0; p < kSettingsPageCount; ++p)
        if (d.page == pageTitle(PageId(p)))
            d.pageId = PageId(p);
    d.label = label.toStdString();
    d.mirror = mirror;
    d.address = static_cast<std::uint16_t>(address);
    d.before = d.after = bytes.toStdString();
    rig.actions().showDifference(d);
    QCOMPARE(rig.w->PageControl1->currentIndex(), tab);
    if (!focus.isEmpty())
        QCOMPARE(rig.w->focusWidget()->objectName(), focus);
    // Bytes of a mirror open the raw memory on their row, the bytes marked.
    const bool raw = d.kind == Difference::Kind::Memory && mirror > 0;
    QCOMPARE(rig.w->rawMemoryView() && rig.w->rawMemoryView()->isVisible(), raw);
    if (raw) {
        QCOMPARE(rig.w->rawMemoryView()->table()->currentRow(), mirror - 1);
        QCOMPARE(rig.w->rawMemoryView()->marked(), (RawMemoryView::Marked{mirror, firstByte, 2}));
    }
}

void InterchangeTest::differencesWindowGoesBesideTheMainWindow_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("at");
    const QRect main(0, 0, 1267, 660);
    QTest::newRow("room on the right") << main << QRect(0, 0, 1920, 1080) << QPoint(1267, 0);
    QTest::newRow("room on the left only") << main.translated(650, 100) << QRect(0, 0, 1920, 1080) << QPoint(50, 100);
    QTest::newRow("room below only") << main << QRect(0, 0, 1280, 1100) << QPoint(0, 660);
    // Nowhere without overlap: below, pushed up onto the screen, hides least.
    QTest::newRow("too small a screen") << main << QRect(0, 0, 1280, 1024) << QPoint(0, 604);
}

void InterchangeTest::differencesWindowGoesBesideTheMainWindow()
{
    QFETCH(QRect, main);
    QFETCH(QRect, screen);
    QFETCH(QPoint, at);
    QCOMPARE(DifferencesWindow::placeBeside(main, QSize(600, 420), screen), at);
}

void InterchangeTest::compareWithRadioTouchesNothing_data()
{
    QTest::addColumn<bool>("fast");
    QTest::addColumn<bool>("answers");
    QTest::newRow("normal") << false << true;
    QTest::newRow("fast") << true << true;
    QTest::newRow("no answer") << false << false;
}

void InterchangeTest::compareWithRadioTouchesNothing()
{
    QFETCH(bool, fast);
    QFETCH(bool, answers);
    Rig rig;
    // Start from what the radio holds, then one undoable change to it.
    QVERIFY(rig.w->engine().fullRead(rig.doc()).ok);
    rig.w->refreshAll();
    rig.w->history().perform([](Document& doc) {
        commitChannelName(doc, Band::A, 2, "NEWNAME");
        return QStringLiteral("Channel Name of A 2");
    });
    const std::string before = saved(rig.doc());
    const int steps = rig.stack().count();
    const QString undoText = rig.stack().undoText();

    if (fast)
        rig.actions().fastTransfers->trigger();
    if (!answers) {
        sim::Fault fault;
        fault.kind = sim::FaultKind::NoAnswer;
        fault.atRequest = 0;
        rig.radio.setFault(fault);
    }
    int progress = -1;
    answer<CompareRadioDialog>([&progress](CompareRadioDialog* d) {
        d->Button1->click();
        progress = d->ProgressBar1->value();
    });
    rig.actions().compareWithRadio->trigger();

    QCOMPARE(rig.seam.messages, QStringList({answers ? "Read success!" : "Read Error!"}));
    QCOMPARE(progress, answers ? 136 : 0);
    QCOMPARE(saved(rig.doc()), before);
    QCOMPARE(rig.stack().count(), steps);
    QCOMPARE(rig.stack().undoText(), undoText);
    QCOMPARE(rig.w->engine().fastTransfers(), fast);
    if (!answers) {
        QVERIFY(!rig.list());   // a failed read lists nothing
        return;
    }
    DifferencesWindow* list = rig.list();
    QVERIFY(list && list->isVisible());
    QVERIFY(list->windowTitle().startsWith(QStringLiteral("Compare with Radio: ")));
    QCOMPARE(list->differences().size(), std::size_t(1));
    QVERIFY2(list->list()->item(0)->text().startsWith(QStringLiteral("A 2 Channel Name: NEWNAME → ")),
             qPrintable(list->list()->item(0)->text()));
    // Refresh compares the open codeplug again with what was read.
    rig.stack().undo();
    list->refreshButton()->click();
    QCOMPARE(list->list()->item(0)->text(), QStringLiteral("No differences"));
}

QTEST_MAIN(InterchangeTest)
#include "interchange_test.moc"
