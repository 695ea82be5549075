// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up state, the port list and its status texts, the
// menus and the file commands, driven through the seam.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "clone/engine.h"
#include "codeplug/rules.h"
#include "files/codeplug_file.h"
#include "serial/tcomm.h"
#include "ui/channel_grid.h"
#include "ui/channel_model.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;
using pellaro::test::PseudoTerminal;

namespace {

MainWindowOptions optionsWith(FakeSeam& seam, QStringList ports, QStringList extra = {})
{
    MainWindowOptions options;
    options.seam = &seam;
    options.portSource = [ports] {
        QList<SerialPortEntry> found;
        for (const QString& name : ports)
            found.append({name, name, {}});
        return found;
    };
    options.extraPorts = extra;
    return options;
}

QAction* action(QWidget& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll());
}

}   // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpControls();
    void menusAndToolbar();
    void editMenuSelectsChannelPages();
    void portList_data();
    void portList();
    void pickReopensAndRecovers();
    void refusedAccessHintNamesNoUselessGroup();
    void firstPortLeadsTheList();
    void portListFollowsTheCable();
    void newAsksFirst();
    void saveOpenRoundTrip();
    void saveAppendsExtensionOnce_data();
    void saveAppendsExtensionOnce();
    void failedSaveKeepsOldFile();
    void malformedOpenChangesNothing();
};

void MainWindowTest::startUpControls()
{
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));

    QCOMPARE(w.Label1->text(), QStringLiteral("COM Port:"));
    QCOMPARE(w.Panel0->text(), QStringLiteral("No port!"));
    QCOMPARE(w.Panel1->text(), QStringLiteral("    "));
    QCOMPARE(w.Panel0->width(), 200);
    QCOMPARE(w.ToolBar1->height(), 57);

    const QStringList captions = {"A/Upper Band Channel", "A/Upper Band Set up",   "B/Under Band Channel",
                                  "B/Under Band Set up",  "Comprehensive Setting", "DTMF Groups",
                                  "Limit Frequency"};
    const QStringList sheets = {"TabSheet1", "TabSheet2", "TabSheet5", "TabSheet6",
                                "TabSheet3", "TabSheet7", "TabSheet4"};
    QCOMPARE(w.PageControl1->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(w.PageControl1->tabText(i), captions[i]);
        QCOMPARE(w.PageControl1->widget(i)->objectName(), sheets[i]);
    }
    QCOMPARE(w.PageControl1->currentIndex(), 0);

    for (ChannelGrid* grid : {w.StringGrid1, w.StringGrid2}) {
        QCOMPARE(grid->horizontalHeader()->height(), 40);
        QCOMPARE(grid->rowHeight(0), 30);
        QCOMPARE(grid->rowHeight(127), 30);
        QCOMPARE(grid->columnWidth(0), 55);
        QCOMPARE(grid->columnWidth(3), 130);
        QCOMPARE(grid->columnWidth(12), 80);
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Receiving Frequency"));
        QCOMPARE(grid->model()->headerData(9, Qt::Horizontal).toString(), QStringLiteral("Wide / Narrow"));
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(grid->model()->index(127, 0).data().toString(), QStringLiteral("128"));
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QString());
        QVERIFY(!grid->visibleEditor());
    }
    QCOMPARE(w.StringGrid1->objectName(), QStringLiteral("StringGrid1"));
    QCOMPARE(w.StringGrid2->objectName(), QStringLiteral("StringGrid2"));
    // t4 and p4 do not exist: column 4 belongs to t5 / p5.
    for (const char* name : {"t1", "t2", "t3", "t5", "t9", "t13", "p1", "p3", "p5", "p13"})
        QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("t4")));
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("p4")));
    QCOMPARE(w.document(), Document());
    // Fast transfers are opt-in and off at every start.
    QVERIFY(!w.engine().fastTransfers());
    QVERIFY(!w.comm().ReceiveAtOnce());
}

void MainWindowTest::menusAndToolbar()
{
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));

    const QList<QPair<const char*, QString>> items = {{"N1", "New"},
                                                      {"N2", "Open"},
                                                      {"N3", "Save"},
                                                      {"N4", "Quit"},
                                                      {"N6", "Read"},
                                                      {"N7", "Write"},
                                                      {"N8", "-------"},
                                                      {"N9", "A/Upper Band Channel"},
                                                      {"N11", "B/Under Band Channel"},
                                                      {"N16", "-------"},
                                                      {"N13", "Note"},
                                                      {"N14", "Amend Password"},
                                                      {"N15", "Quit(Q)"}};
    for (const auto& [name, caption] : items) {
        QAction* a = action(w, name);
        QVERIFY2(a, name);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->isEnabled(), caption != QStringLiteral("-------"));
    }
    QStringList menuTitles;
    for (QAction* a : w.menuBar()->actions())
        menuTitles << QString(a->text()).remove(QLatin1Char('&'));   // the letters are mnemonics
    QCOMPARE(menuTitles, QStringList({"File(F)", "Edit(E)", "Help(H)", "Quit(Q)"}));

    const QList<QPair<const char*, QString>> buttons = {
        {"ToolButton1", "  New  "}, {"ToolButton3", "  Open  "}, {"ToolButton5", "  Save   "}, {"ToolButton7", "Read"},
        {"ToolButton9", "Write"},   {"ToolButton11", "Note"},    {"ToolButton13", "Password"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = w.findChild<QToolButton*>(QString::fromLatin1(name));
        QVERIFY2(b, name);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->size(), QSize(53, 52));
        QVERIFY(!b->icon().isNull());
    }
    // A toolbar button performs its menu item: New asks first.
    seam.answerYes = false;
    w.findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
    QCOMPARE(seam.confirmations, QStringList({"Do you want to New?"}));
}

void MainWindowTest::editMenuSelectsChannelPages()
{
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    w.PageControl1->setCurrentIndex(5);
    action(w, "N11")->trigger();
    QCOMPARE(w.PageControl1->currentIndex(), 2);
    action(w, "N9")->trigger();
    QCOMPARE(w.PageControl1->currentIndex(), 0);
}

void MainWindowTest::portList_data()
{
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("status");

    QTest::newRow("none") << QStringList() << QStringList() << "No port!";
    // Text order ignoring case; a name that does not open reads "used".
    QTest::newRow("text order") << QStringList({"COM2", "com10", "COM1"}) << QStringList({"COM1", "com10", "COM2"})
                                << "COM Port:The port is used!";
    QTest::newRow("free pty") << QStringList({"PTY"}) << QStringList({"PTY"}) << "COM Port:PTY";
}

void MainWindowTest::portList()
{
    QFETCH(QStringList, found);
    QFETCH(QStringList, listed);
    QFETCH(QString, status);

    PseudoTerminal pty;
    QVERIFY(!pty.path().isEmpty());
    found.replaceInStrings(QStringLiteral("PTY"), pty.path());
    listed.replaceInStrings(QStringLiteral("PTY"), pty.path());
    status.replace(QStringLiteral("PTY"), pty.path());
    FakeSeam seam;
    TForm2 w(optionsWith(seam, found));
    QStringList shown;
    for (int i = 0; i < w.ComboBox1->count(); ++i)
        shown << w.ComboBox1->itemText(i);
    QCOMPARE(shown, listed);
    QCOMPARE(w.Panel0->text(), status);
    QCOMPARE(w.portReady(), status.startsWith(QStringLiteral("COM Port:/")));
    if (status.endsWith(QStringLiteral("used!")))
        QVERIFY(!w.Panel0->toolTip().isEmpty());   // the reason is one hover away
    QVERIFY(seam.messages.isEmpty());
}

void MainWindowTest::pickReopensAndRecovers()
{
    PseudoTerminal pty;
    FakeSeam seam;
    // "/dev/aaa-missing" sorts first and cannot open; the pty is the extra --port.
    TForm2 w(optionsWith(seam, {QStringLiteral("/dev/aaa-missing")}, {pty.path()}));
    QCOMPARE(w.ComboBox1->itemText(0), QStringLiteral("/dev/aaa-missing"));
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:The port is used!"));
    QVERIFY(w.Panel0->toolTip().contains(QStringLiteral("/dev/aaa-missing")));

    const int ptyIndex = w.ComboBox1->findText(pty.path());
    QVERIFY(ptyIndex > 0);
    w.ComboBox1->setCurrentIndex(ptyIndex);
    emit w.ComboBox1->activated(ptyIndex);
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:") + pty.path());
    QVERIFY(w.portReady());
    // Picking the same port again closes it and opens it again.
    emit w.ComboBox1->activated(ptyIndex);
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:") + pty.path());
    QVERIFY(w.comm().isOpen());
    // Back to the missing one: closed, and the status says so.
    w.ComboBox1->setCurrentIndex(0);
    emit w.ComboBox1->activated(0);
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:The port is used!"));
    QVERIFY(!w.comm().isOpen());
    QVERIFY(!w.portReady());
}

void MainWindowTest::refusedAccessHintNamesNoUselessGroup()
{
    // A node every open for writing refuses, root included, with mode 444
    // and group root: joining that group would not help.
    const QString device = QStringLiteral("/sys/devices/system/cpu/online");
    if (!QFile::exists(device))
        QSKIP("no such node here");
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}, {device}));
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:The port is used!"));
    const QString tip = w.Panel0->toolTip();
    QVERIFY2(tip.startsWith(device + QStringLiteral(": permission denied")), qPrintable(tip));
    QVERIFY2(!tip.contains(QStringLiteral("group")), qPrintable(tip));
    QVERIFY2(tip.contains(QStringLiteral("ask the system's administrator for access")), qPrintable(tip));

    // The status bar says so beside the described panels, and Help > Port
    // Access (after the described items) gives the reason and the way.
    QVERIFY(w.PortHint->isVisibleTo(&w));
    QVERIFY2(w.PortHint->text().contains(QStringLiteral("permission denied")) &&
                 w.PortHint->text().contains(QStringLiteral("Help(H) > Port Access")),
             qPrintable(w.PortHint->text()));
    QStringList help;
    for (QAction* a : w.findChild<QMenu*>(QStringLiteral("N12"))->actions())
        help << a->objectName();
    QCOMPARE(help, QStringList({"N13", "N14", "HelpDivider", "PortAccessItem"}));
    action(w, "PortAccessItem")->trigger();
    QCOMPARE(seam.messages, QStringList({tip}));

    // A port that opens clears the line.
    PseudoTerminal pty;
    TForm2 free(optionsWith(seam, {}, {pty.path()}));
    QVERIFY(!free.PortHint->isVisibleTo(&free));
}

void MainWindowTest::firstPortLeadsTheList()
{
    PseudoTerminal pty;
    FakeSeam seam;
    MainWindowOptions options = optionsWith(seam, {QStringLiteral("/dev/aaa-missing")}, {pty.path()});
    options.firstPort = pty.path();
    TForm2 w(options);
    QCOMPARE(w.ComboBox1->count(), 2);   // listed once
    QCOMPARE(w.ComboBox1->itemText(0), pty.path());
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:") + pty.path());
}

namespace {

QStringList listed(const TForm2& w)
{
    QStringList names;
    for (int i = 0; i < w.ComboBox1->count(); ++i)
        names << w.ComboBox1->itemText(i);
    return names;
}

// The user opens the drop-down and closes it again.
void openDropDown(TForm2& w)
{
    w.ComboBox1->showPopup();
    w.ComboBox1->hidePopup();
}

}   // namespace

void MainWindowTest::portListFollowsTheCable()
{
    PseudoTerminal pty;
    FakeSeam seam;
    auto found = std::make_shared<QList<SerialPortEntry>>();
    MainWindowOptions options;
    options.seam = &seam;
    options.portSource = [found] { return *found; };
    TForm2 w(options);
    QCOMPARE(w.Panel0->text(), QStringLiteral("No port!"));

    // Ports plugged in after the start appear; the status stays until one is picked.
    const QString gone = QStringLiteral("/dev/zz-gone");
    *found = {{pty.path(), pty.path(), {}}, {gone, gone, {}}};
    openDropDown(w);
    QCOMPARE(listed(w), QStringList({pty.path(), gone}));
    QCOMPARE(w.Panel0->text(), QStringLiteral("No port!"));
    emit w.ComboBox1->activated(0);
    const QString open = QStringLiteral("COM Port:") + pty.path();
    QCOMPARE(w.Panel0->text(), open);
    const QString openTip = w.Panel0->toolTip();

    // Both vanish and a USB adapter appears: the open port stays listed,
    // selected and open, the closed one goes.
    const SerialPortEntry usb{
        QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"),
        adapterDescription(QStringLiteral("FTDI"), QStringLiteral("FT232R USB UART"), QStringLiteral("A50285BI"))};
    *found = {usb};
    openDropDown(w);
    QCOMPARE(listed(w), QStringList({pty.path(), QStringLiteral("ttyUSB0")}));
    QCOMPARE(w.ComboBox1->currentIndex(), 0);
    QVERIFY(w.comm().isOpen());
    QCOMPARE(w.Panel0->text(), open);
    QCOMPARE(w.Panel0->toolTip(), openTip);
    QVERIFY(w.portReady());
    // Each entry's tooltip: the device, then what the system tells of the adapter.
    QCOMPARE(w.ComboBox1->itemData(0, Qt::ToolTipRole).toString(), pty.path());
    QCOMPARE(w.ComboBox1->itemData(1, Qt::ToolTipRole).toString(),
             QStringLiteral("/dev/ttyUSB0\nMaker: FTDI\nProduct: FT232R USB UART\nSerial number: A50285BI"));

    // Once it is closed (another port picked), the vanished one goes too.
    w.ComboBox1->setCurrentIndex(1);
    emit w.ComboBox1->activated(1);
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:The port is used!"));
    QCOMPARE(w.ComboBox1->toolTip(), portToolTip(usb));
    openDropDown(w);
    QCOMPARE(listed(w), QStringList({QStringLiteral("ttyUSB0")}));
    QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("ttyUSB0"));
    QCOMPARE(w.Panel0->text(), QStringLiteral("COM Port:The port is used!"));
    QVERIFY(seam.messages.isEmpty());
}

void MainWindowTest::newAsksFirst()
{
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    Document& doc = w.document();
    commitChannelFrequency(doc, Band::A, 1, 1, "145.5");
    doc.k[12] = "0011223344556677889900AABBCCDDEE";
    w.refreshAll();

    seam.answerYes = false;
    action(w, "N1")->trigger();
    QCOMPARE(doc.table(Band::A).at(1, 1), std::string("145.50000"));

    seam.answerYes = true;
    action(w, "N1")->trigger();
    QCOMPARE(seam.confirmations.size(), 2);
    QCOMPARE(doc.table(Band::A).at(1, 1), std::string());
    QCOMPARE(w.StringGrid1->model()->index(0, 1).data().toString(), QString());
    QCOMPARE(w.StringGrid1->model()->index(0, 0).data().toString(), QStringLiteral("1"));
    QCOMPARE(doc.k[12], std::string("0011223344556677889900AABBCCDDEE"));   // k12..k15 stay
}

void MainWindowTest::saveOpenRoundTrip()
{
    QTemporaryDir dir;
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    Document& doc = w.document();
    commitChannelFrequency(doc, Band::A, 1, 7, "146.025");
    commitChannelName(doc, Band::A, 7, "REPEAT ");
    commitChannelFrequency(doc, Band::B, 4, 128, "440");
    doc.vfo(Band::B).sel[16] = 2;
    doc.vfo(Band::A).rxFreq = "145.500";
    doc.gn[9] = 5;
    doc.kaiji1 = "HELLO";
    doc.sy[3] = "123";
    doc.sypz9 = 2;
    const Document saved = doc;

    seam.saveAnswer = dir.filePath(QStringLiteral("radio"));
    action(w, "N3")->trigger();
    QCOMPARE(seam.dialogTitles, QStringList({"Save"}));
    QCOMPARE(seam.messages, QStringList({QStringLiteral("保存成功!")}));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("radio.bc"))));

    // A fresh window opens the file and shows it everywhere.
    FakeSeam seam2;
    TForm2 w2(optionsWith(seam2, {}));
    seam2.openAnswer = dir.filePath(QStringLiteral("radio.bc"));
    action(w2, "N2")->trigger();
    QCOMPARE(seam2.dialogTitles, QStringList({"Open"}));
    QVERIFY(seam2.dialogFilters.first().contains(QStringLiteral("*.bc")));
    QVERIFY2(seam2.messages.isEmpty(), qPrintable(seam2.messages.join(QLatin1Char('|'))));
    QVERIFY(w2.document() == saved);
    QCOMPARE(w2.StringGrid1->model()->index(6, 1).data().toString(), QStringLiteral("146.02500"));
    QCOMPARE(w2.StringGrid1->model()->index(6, 12).data().toString(), QStringLiteral("REPEAT "));
    QCOMPARE(w2.StringGrid2->model()->index(127, 4).data().toString(), QStringLiteral("440.00000"));
    auto* left3 = w2.findChild<QLineEdit*>(QStringLiteral("left3"));
    QVERIFY(left3);
    QCOMPARE(left3->text(), QStringLiteral("145.500"));
    auto* kaiji1 = w2.findChild<QLineEdit*>(QStringLiteral("kaiji1"));
    QVERIFY(kaiji1);
    QCOMPARE(kaiji1->text(), QStringLiteral("HELLO"));
    auto* sypz9 = w2.findChild<QComboBox*>(QStringLiteral("sypz9"));
    QVERIFY(sypz9);
    QCOMPARE(sypz9->currentIndex(), 2);
}

void MainWindowTest::saveAppendsExtensionOnce_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare name") << "radio"
                               << "radio.bc";
    QTest::newRow("already .bc") << "radio.bc"
                                 << "radio.bc";
    QTest::newRow("other extension") << "radio.txt"
                                     << "radio.txt.bc";
}

void MainWindowTest::saveAppendsExtensionOnce()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir dir;
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    seam.saveAnswer = dir.filePath(chosen);
    action(w, "N3")->trigger();
    QVERIFY(QFile::exists(dir.filePath(written)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void MainWindowTest::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.bc"));
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    seam.saveAnswer = path;
    action(w, "N3")->trigger();
    const QString before = readFile(path);
    QVERIFY(!before.isEmpty());

    // A comma in a name cannot be stored: the save is refused, not reported
    // as a success, and the file on disk stays as it was.
    w.document().table(Band::A).at(12, 3) = "A,B";
    seam.messages.clear();
    action(w, "N3")->trigger();
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first() != QStringLiteral("保存成功!"));
    QCOMPARE(readFile(path), before);

    // A folder that does not exist: a clear error, no success.
    w.document().table(Band::A).at(12, 3) = "AB";
    seam.messages.clear();
    seam.saveAnswer = dir.filePath(QStringLiteral("missing/radio.bc"));
    action(w, "N3")->trigger();
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first().startsWith(QStringLiteral("Not saved")));
}

void MainWindowTest::malformedOpenChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.bc"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1,145.50000,\r2,x\r");
    }
    FakeSeam seam;
    TForm2 w(optionsWith(seam, {}));
    commitChannelFrequency(w.document(), Band::A, 1, 2, "150");
    const Document before = w.document();
    seam.openAnswer = path;
    action(w, "N2")->trigger();
    // One sentence naming the file and the line.
    QCOMPARE(seam.messages, QStringList(path + QStringLiteral(" is not a valid codeplug file: it has 2 lines, a "
                                                              "codeplug file has 262 (line 3 is missing).")));
    QVERIFY(w.document() == before);

    // A file that is not there.
    seam.messages.clear();
    seam.openAnswer = dir.filePath(QStringLiteral("none.bc"));
    action(w, "N2")->trigger();
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(w.document() == before);

    // Cancelled dialogs do nothing.
    seam.messages.clear();
    seam.openAnswer.clear();
    seam.saveAnswer.clear();
    action(w, "N2")->trigger();
    action(w, "N3")->trigger();
    QVERIFY(seam.messages.isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
