// SPDX-License-Identifier: GPL-3.0-or-later
// The comprehensive settings page: picks splice into k5, gn3 commits only on
// pointer movement with its range message, and refresh never commits.
#include <QGridLayout>
#include <QLabel>

#include "page_test_support.h"
#include "ui/pages/settings_page.h"

using namespace pellaro;
using namespace pellaro::testing;

class SettingsPageTest : public QObject {
    Q_OBJECT

private slots:
    void pickSplicesOnlyItsCharacters_data();
    void pickSplicesOnlyItsCharacters();
    void fmCommitsOnlyOnPointerMovement_data();
    void fmCommitsOnlyOnPointerMovement();
    void fmTypingAndLeavingLeaveK5();
    void refreshShowsDocumentWithoutCommitting();
    void layoutAndTexts();
};

void SettingsPageTest::pickSplicesOnlyItsCharacters_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("code");

    QTest::newRow("time-out 600") << "gn11"
                                  << "600" << 23 << "14";
    QTest::newRow("single tone 2100HZ") << "gn12"
                                        << "2100HZ" << 25 << "0834";
    QTest::newRow("DTMF time 200MS") << "gn13"
                                     << "200MS" << 29 << "00C8";
    QTest::newRow("vibration off") << "gn9" << QString::fromUtf8("关") << 19 << "00";
    QTest::newRow("volume 20") << "gn2"
                               << "20" << 3 << "14";
    QTest::newRow("repeater ON") << "gn15"
                                 << "ON" << 35 << "01";
}

void SettingsPageTest::pickSplicesOnlyItsCharacters()
{
    QFETCH(QString, list);
    QFETCH(QString, entry);
    QFETCH(int, first);
    QFETCH(QString, code);

    Document doc;
    FakeSeam seam;
    SettingsPage page(doc, seam);
    std::string expected = doc.k[5];
    pick(&page, qPrintable(list), entry);
    expected.replace(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(code.size()), code.toStdString());
    QCOMPARE(QString::fromStdString(doc.k[5]), QString::fromStdString(expected));
}

void SettingsPageTest::fmCommitsOnlyOnPointerMovement_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("refused");

    QTest::newRow("88") << "88"
                        << "0370" << false;
    QTest::newRow("108") << "108"
                         << "0438" << false;
    QTest::newRow("101.57 truncates") << "101.57"
                                      << "03F7" << false;
    QTest::newRow("87.9") << "87.9"
                          << "FFFF" << true;
    QTest::newRow("108.1") << "108.1"
                           << "FFFF" << true;
}

void SettingsPageTest::fmCommitsOnlyOnPointerMovement()
{
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QFETCH(bool, refused);

    Document doc;
    doc.k[5].replace(4, 4, "0400");   // a previous FM frequency, so FFFF shows
    FakeSeam seam;
    SettingsPage page(doc, seam);
    QVERIFY(showActive(&page));
    auto* fm = child<QLineEdit>(&page, "gn3");
    enter(fm);
    QTest::keyClicks(fm, typed);
    hover(fm);

    QCOMPARE(QString::fromStdString(chars(doc.k[5], 5, 8)), code);
    QCOMPARE(doc.k[5].size(), std::size_t{36});
    if (refused) {
        QVERIFY(!seam.messages.isEmpty());
        QCOMPARE(seam.messages.first(), QStringLiteral("FM Frequency 88~108MHz"));
        QCOMPARE(fm->text(), QString());
    } else {
        QVERIFY(seam.messages.isEmpty());
        QCOMPARE(fm->text(), typed);
    }
}

void SettingsPageTest::fmTypingAndLeavingLeaveK5()
{
    Document doc;
    FakeSeam seam;
    SettingsPage page(doc, seam);
    QVERIFY(showActive(&page));
    auto* fm = child<QLineEdit>(&page, "gn3");
    const std::string k5 = doc.k[5];
    enter(fm);
    QTest::keyClicks(fm, "87");
    QTest::keyClick(fm, Qt::Key_Return);
    child<QComboBox>(&page, "gn1")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QCOMPARE(doc.k[5], k5);
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(fm->text(), QStringLiteral("87"));
}

void SettingsPageTest::refreshShowsDocumentWithoutCommitting()
{
    Document doc;
    FakeSeam seam;
    SettingsPage page(doc, seam);
    QCOMPARE(child<QComboBox>(&page, "gn2")->currentText(), QStringLiteral("15"));

    doc.gn[13] = 3;
    doc.gn[4] = -1;
    doc.gn3 = "88.0";
    const Document expected = doc;
    page.refresh();
    QCOMPARE(child<QComboBox>(&page, "gn13")->currentText(), QStringLiteral("200MS"));
    QCOMPARE(child<QComboBox>(&page, "gn4")->currentIndex(), -1);
    QCOMPARE(child<QLineEdit>(&page, "gn3")->text(), QStringLiteral("88.0"));
    QVERIFY(doc == expected);
}

void SettingsPageTest::layoutAndTexts()
{
    Document doc;
    FakeSeam seam;
    SettingsPage page(doc, seam);
    QStringList labels;
    for (auto* label : page.findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("Transmit  Backlight:")));
    QVERIFY(labels.contains(QStringLiteral("Time Over Timer        :")));
    QCOMPARE(child<QComboBox>(&page, "gn1")->itemText(0), QStringLiteral("A/upper Band "));

    // The right column stands level with the first five rows of the left.
    auto* grid = page.findChild<QGridLayout*>();
    QVERIFY(grid);
    auto rowOf = [grid](QWidget* w) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(w), &row, &column, &rows, &columns);
        return row;
    };
    for (int n = 1; n <= 5; ++n) {
        const QByteArray left = "gn" + QByteArray::number(n);
        const QByteArray right = "gn" + QByteArray::number(n + 10);
        QCOMPARE(rowOf(child<QWidget>(&page, right.constData())), rowOf(child<QWidget>(&page, left.constData())));
    }
}

QTEST_MAIN(SettingsPageTest)
#include "settings_page_test.moc"
