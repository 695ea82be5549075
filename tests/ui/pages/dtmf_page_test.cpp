// SPDX-License-Identifier: GPL-3.0-or-later
// The DTMF page: the key filter with its two messages and limits, encoding
// after every key release, pasted text kept within the filter, and refresh.
#include <QClipboard>
#include <QGuiApplication>

#include "page_test_support.h"
#include "ui/pages/dtmf_page.h"

using namespace pellaro;
using namespace pellaro::testing;

namespace {
const QString kGroupMessage = QStringLiteral("DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D");
const QString kCodeMessage = QString::fromUtf8("输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D");
}   // namespace

class DtmfPageTest : public QObject {
    Q_OBJECT

private slots:
    void typingEncodesIntoItsHalf_data();
    void typingEncodesIntoItsHalf();
    void refusedCharacterShowsItsMessage_data();
    void refusedCharacterShowsItsMessage();
    void limitDropsSilentlyAndBackspaceWorks_data();
    void limitDropsSilentlyAndBackspaceWorks();
    void pasteKeepsToTheFilter();
    void tabMovesTheFocusWithoutAMessage_data();
    void tabMovesTheFocusWithoutAMessage();
    void stateListAndRefresh();
};

void DtmfPageTest::typingEncodesIntoItsHalf_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("group");

    QTest::newRow("sy1 12A#") << "sy1"
                              << "12A#" << 6 << 1 << "0401020D0CFFFFFF";
    QTest::newRow("sy2 C") << "sy2"
                           << "C" << 6 << 17 << "010FFFFFFFFFFFFF";
    QTest::newRow("sy8 full") << "sy8"
                              << "1234567" << 9 << 17 << "0701020304050607";
    QTest::newRow("sypz3 D") << "sypz3"
                             << "D" << 13 << 1 << "0100FFFFFFFF";
    QTest::newRow("sypz8 *0") << "sypz8"
                              << "*0" << 15 << 13 << "020B0AFFFFFF";
}

void DtmfPageTest::typingEncodesIntoItsHalf()
{
    QFETCH(QString, editor);
    QFETCH(QString, typed);
    QFETCH(int, mirror);
    QFETCH(int, first);
    QFETCH(QString, group);

    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    std::string expected = doc.k[static_cast<std::size_t>(mirror)];
    QTest::keyClicks(child<QLineEdit>(&page, qPrintable(editor)), typed);

    expected.replace(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(group.size()), group.toStdString());
    QCOMPARE(QString::fromStdString(doc.k[static_cast<std::size_t>(mirror)]), QString::fromStdString(expected));
    QVERIFY(seam.messages.isEmpty());
}

void DtmfPageTest::refusedCharacterShowsItsMessage_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("message");
    QTest::newRow("sy2") << "sy2" << kGroupMessage;
    QTest::newRow("sypz2") << "sypz2" << kCodeMessage;
    QTest::newRow("sypz7") << "sypz7" << kCodeMessage;
}

void DtmfPageTest::refusedCharacterShowsItsMessage()
{
    QFETCH(QString, editor);
    QFETCH(QString, message);

    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    auto* line = child<QLineEdit>(&page, qPrintable(editor));
    QTest::keyClicks(line, "1");
    const Document before = doc;
    QTest::keyClicks(line, "a");
    QCOMPARE(seam.messages, QStringList{message});
    QCOMPARE(line->text(), QStringLiteral("1"));
    QVERIFY(doc == before);
}

void DtmfPageTest::limitDropsSilentlyAndBackspaceWorks_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("full");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("shortened");   // the group after one Backspace
    QTest::newRow("sy5 long") << "sy5"
                              << "1234567" << 8 << 1 << "06010203040506FF";
    QTest::newRow("sypz1 long") << "sypz1"
                                << "#######" << 12 << 1 << "060C0C0C0C0C0CFF";
    QTest::newRow("sypz6 short") << "sypz6"
                                 << "12345" << 14 << 13 << "0401020304FF";
}

void DtmfPageTest::limitDropsSilentlyAndBackspaceWorks()
{
    QFETCH(QString, editor);
    QFETCH(QString, full);
    QFETCH(int, mirror);
    QFETCH(int, first);
    QFETCH(QString, shortened);

    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    auto* line = child<QLineEdit>(&page, qPrintable(editor));
    QTest::keyClicks(line, full + "9a");   // beyond the limit: even 'a' is dropped silently
    QCOMPARE(line->text(), full);
    QVERIFY(seam.messages.isEmpty());

    QTest::keyClick(line, Qt::Key_Backspace);
    QCOMPARE(line->text(), full.chopped(1));
    const std::string& k = doc.k[static_cast<std::size_t>(mirror)];
    QCOMPARE(QString::fromStdString(
                 k.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(shortened.size()))),
             shortened);
}

void DtmfPageTest::pasteKeepsToTheFilter()
{
    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    auto* line = child<QLineEdit>(&page, "sy3");
    QGuiApplication::clipboard()->setText(QStringLiteral("12x3456789"));
    line->paste();   // as the context menu's Paste does
    QCOMPARE(line->text(), QStringLiteral("1234567"));
    QCOMPARE(seam.messages, QStringList{kGroupMessage});
    QCOMPARE(QString::fromStdString(chars(doc.k[7], 1, 16)), QStringLiteral("0701020304050607"));
    QCOMPARE(doc.sy[3], std::string("1234567"));

    // Too long but all valid: cut silently.
    auto* code = child<QLineEdit>(&page, "sypz4");
    QGuiApplication::clipboard()->setText(QStringLiteral("ABCDAB"));
    code->paste();
    QCOMPARE(code->text(), QStringLiteral("ABCDA"));
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(QString::fromStdString(chars(doc.k[13], 13, 24)), QStringLiteral("050D0E0F000D"));
}

void DtmfPageTest::tabMovesTheFocusWithoutAMessage_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("previous");
    QTest::newRow("sy3") << "sy3"
                         << "sy4"
                         << "sy2";
    QTest::newRow("sypz3") << "sypz3"
                           << "sypz4"
                           << "sypz2";
}

void DtmfPageTest::tabMovesTheFocusWithoutAMessage()
{
    QFETCH(QString, from);
    QFETCH(QString, next);
    QFETCH(QString, previous);

    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    QVERIFY(showActive(&page));
    auto* line = child<QLineEdit>(&page, qPrintable(from));
    enter(line);
    QTest::keyClicks(line, "12");
    const Document typed = doc;
    QTest::keyClick(line, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&page, qPrintable(next)));
    enter(line);
    QTest::keyClick(line, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&page, qPrintable(previous)));
    QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('|')));
    QCOMPARE(line->text(), QStringLiteral("12"));
    QVERIFY(doc == typed);
}

void DtmfPageTest::stateListAndRefresh()
{
    Document doc;
    FakeSeam seam;
    DtmfPage page(doc, seam);
    auto* state = child<QComboBox>(&page, "sypz9");
    QCOMPARE(state->currentText(), QStringLiteral("Normal"));
    pick(&page, "sypz9", QStringLiteral("Kill"));
    QCOMPARE(doc.sypz9, 2);

    doc.sy[4] = "99#";
    doc.sypz[5] = "D";
    doc.sypz9 = 1;
    const Document expected = doc;
    page.refresh();
    QCOMPARE(child<QLineEdit>(&page, "sy4")->text(), QStringLiteral("99#"));
    QCOMPARE(child<QLineEdit>(&page, "sypz5")->text(), QStringLiteral("D"));
    QCOMPARE(state->currentText(), QStringLiteral("Stun"));
    QVERIFY(doc == expected);
}

QTEST_MAIN(DtmfPageTest)
#include "dtmf_page_test.moc"
