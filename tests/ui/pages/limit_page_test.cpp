// SPDX-License-Identifier: GPL-3.0-or-later
// The limit page: key filters, commits on leaving and on pointer movement,
// Enter chaining xp1 -> xp4, and the four partial transfers against a fake
// radio link (port test, result boxes, typed text committed before a write).
#include "ui/pages/limit_page.h"
#include "page_test_support.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

#include <algorithm>

using namespace pellaro;
using namespace pellaro::testing;

class LimitPageTest : public QObject {
    Q_OBJECT

private slots:
    void enterChainsThroughTheLimits();
    void keyFiltersAndPaste();
    void commitsOnPointerMovementAndLeaving();
    void messagesFromTheRadioSurvivePointerAndTyping();
    void modePickChangesOnlyItsCharacters();
    void notANumberIsRefusedOnEveryMovement();
    void writeCarriesTextJustTyped_data();
    void writeCarriesTextJustTyped();
    void readsFillThePage();
    void failedReadAndClosedPort();
    void refreshShowsDocumentWithoutCommitting();
};

void LimitPageTest::enterChainsThroughTheLimits()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    QVERIFY(showActive(&page));
    const char* names[] = {"xp1", "xp2", "xp3", "xp4"};
    const char* typed[] = {"136", "176", "400", "490"};
    const char* codes[] = {"00CF8500", "010C8E00", "02625A00", "02EBAE40"};
    enter(child<QLineEdit>(&page, names[0]));
    for (int i = 0; i < 4; ++i) {
        auto* editor = child<QLineEdit>(&page, names[i]);
        QVERIFY2(editor->hasFocus(), names[i]);
        QTest::keyClicks(editor, typed[i]);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    // Enter in xp4 is discarded: the focus stays and xp4 is not yet committed.
    QVERIFY(child<QLineEdit>(&page, "xp4")->hasFocus());
    QCOMPARE(QString::fromStdString(chars(doc.k[11], 1, 24)), QStringLiteral("00CF8500010C8E0002625A00"));
    QCOMPARE(QString::fromStdString(chars(doc.k[11], 25, 32)), QStringLiteral("FFFFFFFF"));
    child<QLineEdit>(&page, "kaiji1")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QCOMPARE(QString::fromStdString(chars(doc.k[11], 25, 32)), QString::fromLatin1(codes[3]));
    QCOMPARE(doc.k[11].size(), std::size_t{34});
    QVERIFY(host.fakeSeam.messages.isEmpty());
}

void LimitPageTest::keyFiltersAndPaste()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    auto* kaiji1 = child<QLineEdit>(&page, "kaiji1");
    QTest::keyClicks(kaiji1, "AB CDEFGH");
    QCOMPARE(kaiji1->text(), QStringLiteral("AB CDEF"));
    QTest::keyClick(kaiji1, Qt::Key_Backspace);
    QCOMPARE(kaiji1->text(), QStringLiteral("AB CDE"));

    auto* xp1 = child<QLineEdit>(&page, "xp1");
    QTest::keyClicks(xp1, "1a4-5.5 ");
    QCOMPARE(xp1->text(), QStringLiteral("145.5"));

    // Pasted text goes through the same filters.
    QGuiApplication::clipboard()->setText(QStringLiteral("xy,~ 12345678"));
    auto* kaiji2 = child<QLineEdit>(&page, "kaiji2");
    kaiji2->paste();
    QVERIFY(kaiji2->text().size() <= 7);
    auto* xp2 = child<QLineEdit>(&page, "xp2");
    QGuiApplication::clipboard()->setText(QStringLiteral("1e2-3.4MHz"));
    xp2->paste();
    QCOMPARE(xp2->text(), QStringLiteral("123.4"));
    QVERIFY(host.fakeSeam.messages.isEmpty());
}

void LimitPageTest::commitsOnPointerMovementAndLeaving()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    QVERIFY(showActive(&page));
    auto* kaiji2 = child<QLineEdit>(&page, "kaiji2");
    enter(kaiji2);
    QTest::keyClicks(kaiji2, "HELLO");
    hover(kaiji2);
    QCOMPARE(QString::fromStdString(doc.k[10]), QStringLiteral("00FFFFFFFFFFFFFF0548454C4C4FFFFF"));

    kaiji2->clear();
    auto* kaiji1 = child<QLineEdit>(&page, "kaiji1");
    enter(kaiji1);   // leaving kaiji2 commits its empty text
    QCOMPARE(QString::fromStdString(doc.k[10]), QStringLiteral("00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"));

    QTest::keyClicks(kaiji1, " ");
    hover(kaiji1);
    QCOMPARE(QString::fromStdString(chars(doc.k[10], 1, 16)), QStringLiteral("0120FFFFFFFFFFFF"));

    auto* xp3 = child<QLineEdit>(&page, "xp3");
    enter(xp3);
    QTest::keyClicks(xp3, "0.01");
    hover(xp3);
    QCOMPARE(QString::fromStdString(chars(doc.k[11], 17, 24)), QStringLiteral("000003E8"));
}

void LimitPageTest::messagesFromTheRadioSurvivePointerAndTyping()
{
    Document doc;
    // As a read leaves them: Latin-1 letters and quotes typing cannot give.
    doc.k[10] =
        "05C47066656CFFFF"
        "0441274227FFFFFF";
    doc.kaiji1 = "\xC4pfel";
    doc.kaiji2 = "A'B'";
    FakeHost host;
    LimitPage page(doc, host);
    QVERIFY(showActive(&page));
    auto* kaiji1 = child<QLineEdit>(&page, "kaiji1");
    auto* kaiji2 = child<QLineEdit>(&page, "kaiji2");
    QCOMPARE(kaiji1->text(), QString::fromUtf8("\u00c4pfel"));

    const Document asRead = doc;
    hover(kaiji1);
    hover(kaiji2);
    enter(kaiji1);
    enter(kaiji2);   // leaving kaiji1
    enter(kaiji1);   // leaving kaiji2
    QVERIFY(doc == asRead);
    QCOMPARE(kaiji2->text(), QStringLiteral("A'B'"));

    // One character typed: the rest stays as it was.
    kaiji1->end(false);
    QTest::keyClicks(kaiji1, "1");
    hover(kaiji1);
    QCOMPARE(QString::fromStdString(chars(doc.k[10], 1, 16)), QStringLiteral("06C47066656C31FF"));
    QCOMPARE(kaiji1->text(), QString::fromUtf8("\u00c4pfel1"));
    // A paste brings in only what typing could.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u00dc,C"));
    kaiji2->end(false);
    kaiji2->paste();
    QCOMPARE(kaiji2->text(), QStringLiteral("A'B'C"));
    hover(kaiji2);
    QCOMPARE(QString::fromStdString(chars(doc.k[10], 17, 32)), QStringLiteral("0541274227"
                                                                              "43FFFF"));
    QVERIFY(host.fakeSeam.messages.isEmpty());
}

void LimitPageTest::modePickChangesOnlyItsCharacters()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    const std::string before = doc.k[11];
    pick(&page, "xp5", QStringLiteral("OFF"));
    QCOMPARE(QString::fromStdString(doc.k[11]), QString::fromStdString(before.substr(0, 32) + "00"));
    QCOMPARE(doc.xp5, 0);
}

void LimitPageTest::notANumberIsRefusedOnEveryMovement()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    QVERIFY(showActive(&page));
    auto* xp2 = child<QLineEdit>(&page, "xp2");
    enter(xp2);
    QTest::keyClicks(xp2, "1.2.3");
    const std::string k11 = doc.k[11];
    hover(xp2);
    QCOMPARE(host.fakeSeam.messages.size(), 2);
    QCOMPARE(host.fakeSeam.messages.first(), QStringLiteral("'1.2.3' is not a valid floating point value"));
    QCOMPARE(xp2->text(), QStringLiteral("1.2.3"));
    QCOMPARE(doc.k[11], k11);
}

void LimitPageTest::writeCarriesTextJustTyped_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::newRow("acknowledged") << "06"
                                  << "Write Success!";
    QTest::newRow("double acknowledgement") << "0606"
                                            << "Write Error!";
    QTest::newRow("no answer") << ""
                               << "Write Error!";
}

void LimitPageTest::writeCarriesTextJustTyped()
{
    QFETCH(QString, answer);
    QFETCH(QString, message);

    Document doc;
    FakeHost host;
    host.link.writeReply = answer.toStdString();
    LimitPage page(doc, host);
    QVERIFY(showActive(&page));

    auto* kaiji1 = child<QLineEdit>(&page, "kaiji1");
    enter(kaiji1);
    QTest::keyClicks(kaiji1, "HI");
    QTest::mouseClick(child<QPushButton>(&page, "Button2"), Qt::LeftButton);

    QCOMPARE(host.fakeSeam.messages, QStringList{message});
    const std::string frame = "5752494502D00010" + std::string("024849FFFFFFFFFF") + "00FFFFFFFFFFFFFF";
    QVERIFY(std::find(host.link.sent.begin(), host.link.sent.end(), frame) != host.link.sent.end());

    // The limits' write sends k11 as it stands, with the typed limit.
    host.fakeSeam.messages.clear();
    auto* xp4 = child<QLineEdit>(&page, "xp4");
    enter(xp4);
    QTest::keyClicks(xp4, "490");
    QTest::mouseClick(child<QPushButton>(&page, "Button4"), Qt::LeftButton);
    QCOMPARE(host.fakeSeam.messages, QStringList{message});
    QCOMPARE(QString::fromStdString(host.link.sent.back()).left(4), QStringLiteral("4558"));   // "EXIT" last
    const std::string limits = "5752494502E00011" + doc.k[11];
    QVERIFY(std::find(host.link.sent.begin(), host.link.sent.end(), limits) != host.link.sent.end());
    QCOMPARE(QString::fromStdString(chars(doc.k[11], 25, 32)), QStringLiteral("02EBAE40"));
}

void LimitPageTest::readsFillThePage()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);

    host.link.readReply =
        "0548454C4C4FFFFF"
        "00FFFFFFFFFFFFFF";
    child<QPushButton>(&page, "Button1")->click();
    QCOMPARE(host.fakeSeam.messages, QStringList{QStringLiteral("Read Success!")});
    QCOMPARE(child<QLineEdit>(&page, "kaiji1")->text(), QStringLiteral("HELLO"));
    QCOMPARE(child<QLineEdit>(&page, "kaiji2")->text(), QString());
    QCOMPARE(QString::fromStdString(doc.k[10]), QString::fromStdString(host.link.readReply));

    host.fakeSeam.messages.clear();
    host.link.readReply =
        "FFFFFFFF"
        "010C8E00"
        "02625A00"
        "02EBAE40"
        "00";
    child<QPushButton>(&page, "Button3")->click();
    QCOMPARE(host.fakeSeam.messages, QStringList{QStringLiteral("Read Success!")});
    QCOMPARE(child<QLineEdit>(&page, "xp1")->text(), QString());
    QCOMPARE(child<QLineEdit>(&page, "xp2")->text(), QStringLiteral("176"));
    QCOMPARE(child<QLineEdit>(&page, "xp3")->text(), QStringLiteral("400"));
    QCOMPARE(child<QComboBox>(&page, "xp5")->currentText(), QStringLiteral("OFF"));
    QCOMPARE(QString::fromStdString(doc.k[11]), QString::fromStdString(host.link.readReply));
}

void LimitPageTest::failedReadAndClosedPort()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);

    // No answer: "Read Error!", the mirror stays.
    const std::string k11 = doc.k[11];
    child<QPushButton>(&page, "Button3")->click();
    QCOMPARE(host.fakeSeam.messages, QStringList{QStringLiteral("Read Error!")});
    QCOMPARE(doc.k[11], k11);

    // Port closed: every button sends nothing and shows nothing.
    host.fakeSeam.messages.clear();
    host.link.sent.clear();
    host.ready = false;
    for (const char* name : {"Button1", "Button2", "Button3", "Button4"})
        child<QPushButton>(&page, name)->click();
    QVERIFY(host.link.sent.empty());
    QVERIFY(host.fakeSeam.messages.isEmpty());
}

void LimitPageTest::refreshShowsDocumentWithoutCommitting()
{
    Document doc;
    FakeHost host;
    LimitPage page(doc, host);
    QCOMPARE(child<QComboBox>(&page, "xp5")->currentText(), QStringLiteral("ON"));
    doc.kaiji2 = "BYE";
    doc.xp[3] = "400";
    doc.xp5 = 0;
    const Document expected = doc;
    page.refresh();
    QCOMPARE(child<QLineEdit>(&page, "kaiji2")->text(), QStringLiteral("BYE"));
    QCOMPARE(child<QLineEdit>(&page, "xp3")->text(), QStringLiteral("400"));
    QCOMPARE(child<QComboBox>(&page, "xp5")->currentText(), QStringLiteral("OFF"));
    QVERIFY(doc == expected);
}

QTEST_MAIN(LimitPageTest)
#include "limit_page_test.moc"
