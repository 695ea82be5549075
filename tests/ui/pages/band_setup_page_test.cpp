// SPDX-License-Identifier: GPL-3.0-or-later
// The band set-up pages through real widget events: picks splice their codes
// into k1..k4, the frequency editors commit on leaving (and, band A only, on
// pointer movement) with the range message's two lead-ins, and a refresh
// shows the document without touching a mirror.
#include <QLabel>

#include "page_test_support.h"
#include "ui/pages/band_setup_page.h"

using namespace pellaro;
using namespace pellaro::testing;

class BandSetupPageTest : public QObject {
    Q_OBJECT

private slots:
    void pickSplicesOnlyItsCharacters_data();
    void pickSplicesOnlyItsCharacters();
    void keyboardPickCommits();
    void exitCommitsWithItsLeadIn_data();
    void exitCommitsWithItsLeadIn();
    void pointerMovementCommitsOnBandAOnly();
    void offsetCommitsOnPointerMovement();
    void editorTextsReachTheDocumentAsLatin1();
    void refreshShowsDocumentWithoutCommitting();
    void labelsAndEntriesAsWritten();
};

void BandSetupPageTest::pickSplicesOnlyItsCharacters_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("code");

    QTest::newRow("A tone D023I") << 0 << "left4"
                                  << "D023I" << 1 << 13 << "C023";
    QTest::newRow("A tone D023N") << 0 << "left4"
                                  << "D023N" << 1 << 13 << "8023";
    QTest::newRow("A tx tone 67.0HZ") << 0 << "left7"
                                      << "67.0HZ" << 1 << 21 << "029E";
    QTest::newRow("A channel 128") << 0 << "left2"
                                   << "128" << 1 << 3 << "7F";
    QTest::newRow("A step 12.5K") << 0 << "left16"
                                  << "12.5K" << 2 << 15 << "04E2";
    QTest::newRow("A end signalling") << 0 << "left5" << QString::fromStdString(signalList()[17]) << 1 << 27 << "11";
    QTest::newRow("B direction -") << 1 << "right14"
                                   << "-" << 4 << 5 << "02";
    QTest::newRow("B tx tone D023I") << 1 << "right7"
                                     << "D023I" << 3 << 21 << "C023";
    QTest::newRow("B mode with signaling") << 1 << "right6"
                                           << "QT/DQT+ Signaling" << 3 << 17 << "01";
    QTest::newRow("B power Low") << 1 << "right10"
                                 << "Low" << 3 << 29 << "00";
}

void BandSetupPageTest::pickSplicesOnlyItsCharacters()
{
    QFETCH(int, band);
    QFETCH(QString, list);
    QFETCH(QString, entry);
    QFETCH(int, mirror);
    QFETCH(int, first);
    QFETCH(QString, code);

    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, static_cast<Band>(band), seam);
    std::string before = doc.k[static_cast<std::size_t>(mirror)];

    pick(&page, qPrintable(list), entry);

    const std::string& after = doc.k[static_cast<std::size_t>(mirror)];
    QCOMPARE(after.size(), before.size());
    before.replace(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(code.size()), code.toStdString());
    QCOMPARE(QString::fromStdString(after), QString::fromStdString(before));
    QVERIFY(seam.messages.isEmpty());
}

void BandSetupPageTest::keyboardPickCommits()
{
    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, Band::A, seam);
    auto* mode = child<QComboBox>(&page, "left1");
    QTest::keyClick(mode, Qt::Key_Down);
    QCOMPARE(mode->currentText(), QStringLiteral("Channel Mode"));
    QCOMPARE(QString::fromStdString(chars(doc.k[1], 1, 2)), QStringLiteral("01"));
}

void BandSetupPageTest::exitCommitsWithItsLeadIn_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("after");

    QTest::newRow("A refused") << 0 << "435"
                               << "Receiving Frequency in136MHZ~176MHZ"
                               << "FFFFFFFF"
                               << "";
    QTest::newRow("A just below") << 0 << "135.99999"
                                  << "Receiving Frequency in136MHZ~176MHZ"
                                  << "FFFFFFFF"
                                  << "";
    QTest::newRow("B refused") << 1 << "176.00001"
                               << "Receive Frequency in 136MHZ~176MHZ"
                               << "FFFFFFFF"
                               << "";
    QTest::newRow("A accepted") << 0 << "150.05"
                                << ""
                                << "00E4F548"
                                << "150.05";
    QTest::newRow("B upper edge") << 1 << "176"
                                  << ""
                                  << "010C8E00"
                                  << "176";
}

void BandSetupPageTest::exitCommitsWithItsLeadIn()
{
    QFETCH(int, band);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, code);
    QFETCH(QString, after);

    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, static_cast<Band>(band), seam);
    QVERIFY(showActive(&page));
    const char* rxName = band == 0 ? "left3" : "right3";
    const char* otherName = band == 0 ? "left15" : "right15";
    auto* rx = child<QLineEdit>(&page, rxName);

    enter(rx);
    QTest::keyClicks(rx, typed);
    enter(child<QLineEdit>(&page, otherName));   // the focus leaves

    QCOMPARE(seam.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(rx->text(), after);
    const std::string& mirror = doc.k[band == 0 ? 1 : 3];
    QCOMPARE(QString::fromStdString(chars(mirror, 5, 12)), code);
    QCOMPARE(mirror.size(), std::size_t{32});
}

void BandSetupPageTest::pointerMovementCommitsOnBandAOnly()
{
    Document doc;
    FakeSeam seamA, seamB;
    BandSetupPage pageA(doc, Band::A, seamA);
    BandSetupPage pageB(doc, Band::B, seamB);
    QVERIFY(showActive(&pageB));
    auto* right3 = child<QLineEdit>(&pageB, "right3");
    enter(right3);
    QTest::keyClicks(right3, "435");
    const std::string k3 = doc.k[3];
    hover(right3);
    QVERIFY(seamB.messages.isEmpty());
    QCOMPARE(doc.k[3], k3);
    QCOMPARE(right3->text(), QStringLiteral("435"));
    pageB.hide();

    QVERIFY(showActive(&pageA));
    auto* left3 = child<QLineEdit>(&pageA, "left3");
    enter(left3);
    QTest::keyClicks(left3, "435");
    hover(left3);
    QVERIFY(!seamA.messages.isEmpty());
    QCOMPARE(seamA.messages.first(), QStringLiteral("Receive Frequency in 136MHZ~176MHZ"));
    QCOMPARE(left3->text(), QString());
    QCOMPARE(QString::fromStdString(chars(doc.k[1], 5, 12)), QStringLiteral("FFFFFFFF"));

    // An accepted text is committed by the movement alone, the focus staying.
    QTest::keyClicks(left3, "145.1");
    hover(left3);
    QCOMPARE(QString::fromStdString(chars(doc.k[1], 5, 12)), QStringLiteral("00DD67B0"));
    QVERIFY(left3->hasFocus());
}

void BandSetupPageTest::offsetCommitsOnPointerMovement()
{
    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, Band::A, seam);
    QVERIFY(showActive(&page));
    auto* offset = child<QLineEdit>(&page, "left15");
    enter(offset);
    offset->selectAll();
    QTest::keyClicks(offset, "0.6");
    hover(offset);
    QCOMPARE(QString::fromStdString(chars(doc.k[2], 7, 14)), QStringLiteral("0000EA60"));

    offset->clear();
    hover(offset);
    QCOMPARE(QString::fromStdString(chars(doc.k[2], 7, 14)), QStringLiteral("FFFFFFFF"));
    QCOMPARE(QString::fromStdString(chars(doc.k[2], 19, 32)), QString::fromStdString(chars(startupMirror(2), 19, 32)));
    QVERIFY(seam.messages.isEmpty());
}

void BandSetupPageTest::editorTextsReachTheDocumentAsLatin1()
{
    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, Band::B, seam);
    QVERIFY(showActive(&page));
    auto* rx = child<QLineEdit>(&page, "right3");
    auto* offset = child<QLineEdit>(&page, "right15");
    const QString typed = QString::fromUtf8("4\u00df");   // "4ß"
    const QStringList refused = {QString::fromUtf8("'4\u00df' is not a valid floating point value")};

    enter(rx);
    QTest::keyClicks(rx, typed);
    QCOMPARE(doc.vfo(Band::B).rxFreq, std::string("4\xDF"));   // one byte, as the file keeps it
    enter(offset);                                             // leaving right3 commits it
    QCOMPARE(seam.messages, refused);

    seam.messages.clear();
    offset->selectAll();
    QTest::keyClicks(offset, typed);
    QCOMPARE(doc.vfo(Band::B).offset, std::string("4\xDF"));
    enter(rx);
    QCOMPARE(seam.messages, refused);
}

void BandSetupPageTest::refreshShowsDocumentWithoutCommitting()
{
    Document doc;
    FakeSeam seam;
    BandSetupPage page(doc, Band::B, seam);
    QCOMPARE(child<QLineEdit>(&page, "right15")->text(), QString::fromStdString(doc.setup[1].offset));

    // As a read or Open leaves it: editors changed, mirrors set on their own.
    doc.setup[1].sel[2] = 127;
    doc.setup[1].sel[4] = -1;
    doc.setup[1].rxFreq = "150.05000";
    doc.setup[1].offset = "";
    const Document expected = doc;
    page.refresh();

    QCOMPARE(child<QComboBox>(&page, "right2")->currentText(), QStringLiteral("128"));
    QCOMPARE(child<QComboBox>(&page, "right4")->currentIndex(), -1);
    QCOMPARE(child<QLineEdit>(&page, "right3")->text(), QStringLiteral("150.05000"));
    QCOMPARE(child<QLineEdit>(&page, "right15")->text(), QString());
    QVERIFY(doc == expected);
    QVERIFY(seam.messages.isEmpty());
}

void BandSetupPageTest::labelsAndEntriesAsWritten()
{
    Document doc;
    FakeSeam seam;
    BandSetupPage pageA(doc, Band::A, seam);
    BandSetupPage pageB(doc, Band::B, seam);
    auto labels = [](QWidget* page) {
        QStringList texts;
        for (auto* label : page->findChildren<QLabel*>())
            texts << label->text();
        return texts;
    };
    QVERIFY(labels(&pageA).contains(QStringLiteral("Working Mode :")));
    QVERIFY(labels(&pageB).contains(QStringLiteral("Working Mode:")));
    QVERIFY(labels(&pageA).contains(QStringLiteral("Receiving Frequency: ")));
    QCOMPARE(child<QComboBox>(&pageA, "left4")->itemText(0), QStringLiteral("0FF"));
    QCOMPARE(child<QComboBox>(&pageB, "right6")->itemText(1), QStringLiteral("QT/DQT+ Signaling"));
    QVERIFY(!pageA.findChild<QWidget*>(QStringLiteral("left9")));
    QVERIFY(!child<QComboBox>(&pageA, "left1")->isEditable());
}

QTEST_MAIN(BandSetupPageTest)
#include "band_setup_page_test.moc"
