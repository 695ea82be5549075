// SPDX-License-Identifier: GPL-3.0-or-later
// Edit > "Raw Memory": the read-only view of the mirrors k1..k15 with their
// memory ranges, kept in step with the document and never writing to it.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "ui/main_window.h"
#include "ui/raw_memory_view.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

MainWindowOptions quietOptions(FakeSeam& seam)
{
    MainWindowOptions options;
    options.seam = &seam;
    options.portSource = [] { return QList<SerialPortEntry>(); };
    return options;
}

RawMemoryView* openView(TForm2& w)
{
    QAction* item = w.findChild<QAction*>(QStringLiteral("RawMemoryItem"));
    if (!item)
        return nullptr;
    item->trigger();
    return w.rawMemoryView();
}

QString cell(const RawMemoryView& view, int row, int col)
{
    const QTableWidgetItem* item = view.table()->item(row, col);
    return item ? item->text() : QStringLiteral("<none>");
}

}   // namespace

class RawMemoryViewTest : public QObject {
    Q_OBJECT
private slots:
    void menuItemFollowsDescribedItems();
    void listsEveryMirror_data();
    void listsEveryMirror();
    void groupsHexByByte_data();
    void groupsHexByByte();
    void followsTheDocument();
    void readOnlyAndCommitsNothing();
};

void RawMemoryViewTest::menuItemFollowsDescribedItems()
{
    FakeSeam seam;
    TForm2 w(quietOptions(seam));
    auto* edit = w.findChild<QMenu*>(QStringLiteral("N5"));
    QVERIFY(edit);
    // It follows the last described item; the edit commands come after it.
    const QList<QAction*> items = edit->actions();
    const qsizetype divider = items.indexOf(w.findChild<QAction*>(QStringLiteral("N16")));
    QVERIFY(divider >= 0 && divider + 1 < items.size());
    QAction* last = items.at(divider + 1);
    QCOMPARE(last->objectName(), QStringLiteral("RawMemoryItem"));
    QCOMPARE(last->text(), QStringLiteral("Raw Memory"));
    QVERIFY(last->isEnabled());

    RawMemoryView* view = openView(w);
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QVERIFY(!view->isModal());
    // A second pick shows the same window again rather than a new one.
    view->hide();
    QCOMPARE(openView(w), view);
    QVERIFY(view->isVisible());
}

void RawMemoryViewTest::listsEveryMirror_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("hex");
    const QString vfo1 = QStringLiteral("00 00 FF FF FF FF FF FF 00 FF FF FF 00 00 01 01");
    const QString vfo2 = QStringLiteral("00 00 00 00 0F 42 40 09 C4 FF FF FF FF FF FF FF");
    const QString longPair = QStringLiteral("00 FF FF FF FF FF FF FF 00 FF FF FF FF FF FF FF");
    const QString shortPair = QStringLiteral("00 FF FF FF FF FF 00 FF FF FF FF FF");
    struct Row {
        int n;
        const char* range;
        const char* bytes;
        QString hex;
    };
    const Row rows[] = {
        {1, "0X0300--0X030F", "16", vfo1},
        {2, "0X0310--0X031F", "16", vfo2},
        {3, "0X0380--0X038F", "16", vfo1},
        {4, "0X0390--0X039F", "16", vfo2},
        {5, "0X0200--0X0211", "18", QStringLiteral("00 0F FF FF 01 02 03 00 01 02 00 04 06 D6 00 32 03 00")},
        {6, "0X0240--0X024F", "16", longPair},
        {7, "0X0250--0X025F", "16", longPair},
        {8, "0X0260--0X026F", "16", longPair},
        {9, "0X0270--0X027F", "16", longPair},
        {10, "0X02D0--0X02DF", "16", longPair},
        {11, "0X02E0--0X02F0", "17", QStringLiteral("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 01")},
        {12, "0X0280--0X028F", "16", longPair},
        {13, "0X0290--0X029B", "12", shortPair},
        {14, "0X029C--0X02A7", "12", shortPair},
        {15, "0X02A8--0X02B3", "12", shortPair},
    };
    for (const Row& r : rows)
        QTest::addRow("k%d", r.n) << r.n << QString::fromLatin1(r.range) << QString::fromLatin1(r.bytes) << r.hex;
}

void RawMemoryViewTest::listsEveryMirror()
{
    QFETCH(int, n);
    QFETCH(QString, range);
    QFETCH(QString, bytes);
    QFETCH(QString, hex);
    FakeSeam seam;
    TForm2 w(quietOptions(seam));
    RawMemoryView* view = openView(w);
    QVERIFY(view);
    QCOMPARE(view->table()->rowCount(), 15);
    const int row = n - 1;
    QCOMPARE(cell(*view, row, 0), QStringLiteral("k%1").arg(n));
    QCOMPARE(cell(*view, row, 1), range);
    QCOMPARE(cell(*view, row, 2), bytes);
    QCOMPARE(cell(*view, row, 3), hex);
}

void RawMemoryViewTest::groupsHexByByte_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("grouped");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one byte") << QStringLiteral("0F") << QStringLiteral("0F");
    QTest::newRow("three bytes") << QStringLiteral("00FFA5") << QStringLiteral("00 FF A5");
    // A mirror that somehow lost a character still shows every character.
    QTest::newRow("odd length") << QStringLiteral("ABC") << QStringLiteral("AB C");
}

void RawMemoryViewTest::groupsHexByByte()
{
    QFETCH(QString, hex);
    QFETCH(QString, grouped);
    QCOMPARE(RawMemoryView::groupedHex(hex.toStdString()), grouped);
}

void RawMemoryViewTest::followsTheDocument()
{
    FakeSeam seam;
    TForm2 w(quietOptions(seam));
    RawMemoryView* view = openView(w);
    QVERIFY(view);
    Document& doc = w.document();

    // The Refresh button reads the document again.
    doc.k[6] = "0123456789ABCDEF00FFFFFFFFFFFFFF";
    auto* refresh = view->findChild<QPushButton*>(QStringLiteral("RefreshButton"));
    QVERIFY(refresh);
    QCOMPARE(refresh->text(), QStringLiteral("Refresh"));
    QTest::mouseClick(refresh, Qt::LeftButton);
    QCOMPARE(cell(*view, 5, 3), QStringLiteral("01 23 45 67 89 AB CD EF 00 FF FF FF FF FF FF FF"));

    // A read, Open or New ends in refreshAll(), which reaches the open view.
    doc.k[11] = "0DF9D5402B93E3402E7DDB803A7E8DC000";
    w.refreshAll();
    QCOMPARE(cell(*view, 10, 3), QStringLiteral("0D F9 D5 40 2B 93 E3 40 2E 7D DB 80 3A 7E 8D C0 00"));

    // New puts k1..k11 back while k12..k15 keep what they held.
    doc.k[13] = "0123450000000A0B0C0D0E0F";
    w.fileNew();
    QCOMPARE(cell(*view, 10, 3), QStringLiteral("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 01"));
    QCOMPARE(cell(*view, 12, 3), QStringLiteral("01 23 45 00 00 00 0A 0B 0C 0D 0E 0F"));

    // Shown again after being closed, it shows what the document holds now.
    view->hide();
    doc.k[1] = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
    view->show();
    QCOMPARE(cell(*view, 0, 3), QStringLiteral("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"));
}

void RawMemoryViewTest::readOnlyAndCommitsNothing()
{
    FakeSeam seam;
    TForm2 w(quietOptions(seam));
    const Document before = w.document();
    RawMemoryView* view = openView(w);
    QVERIFY(view);
    QTableWidget* table = view->table();
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int col = 0; col < table->columnCount(); ++col)
            QVERIFY(!(table->item(row, col)->flags() & Qt::ItemIsEditable));

    // Typing over a selected hex cell changes neither the cell nor the mirror.
    table->setCurrentCell(3, 3);
    const QString shown = cell(*view, 3, 3);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(3, 3)).center());
    QTest::keyClicks(table, QStringLiteral("AB"));
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(table, QStringLiteral("CD"));
    QVERIFY(table->findChildren<QLineEdit*>().isEmpty());   // no cell editor opened
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(cell(*view, 3, 3), shown);

    view->refresh();
    w.refreshAll();
    QVERIFY(w.document() == before);
}

QTEST_MAIN(RawMemoryViewTest)
#include "raw_memory_view_test.moc"
