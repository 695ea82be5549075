// SPDX-License-Identifier: GPL-3.0-or-later
// The channel tables: which editor a selection shows and where, and how the
// editors commit typed text and picks into the cell they were opened for.
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "codeplug/rules.h"
#include "ui/channel_grid.h"
#include "ui/channel_model.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

// A page holding one table and a plain edit that can take the focus away.
struct Page {
    explicit Page(Band band) : band(band)
    {
        widget.resize(1220, 460);
        grid = new ChannelGrid(doc, band, seam, &widget);
        grid->setGeometry(0, 0, 1209, 393);
        other = new QLineEdit(&widget);
        other->setObjectName(QStringLiteral("other"));
        other->setGeometry(0, 420, 100, 25);
        widget.show();
        activated = QTest::qWaitForWindowActive(&widget);
    }

    // A user selection of a cell, as the keyboard or mouse makes it.
    void select(int col, int row) { grid->setCurrentIndex(grid->model()->index(row - 1, col)); }
    QLineEdit* edit(const char* name) { return widget.findChild<QLineEdit*>(prefixed(name)); }
    QComboBox* list(const char* name) { return widget.findChild<QComboBox*>(prefixed(name)); }
    QString prefixed(const char* name) const
    {
        return (band == Band::A ? QStringLiteral("t") : QStringLiteral("p")) + QString::fromLatin1(name);
    }
    std::string cell(int col, int row) const { return doc.table(band).at(col, row); }

    Band band;
    Document doc;
    FakeSeam seam;
    QWidget widget;
    ChannelGrid* grid = nullptr;
    QLineEdit* other = nullptr;
    bool activated = false;
};

}   // namespace

class ChannelGridTest : public QObject {
    Q_OBJECT
private slots:
    void editorForSelection_data();
    void editorForSelection();
    void selectingEmptyToneCellHidesOpenEditor();
    void typingAndEnterCommitFrequency();
    void enterKeepsTheSelectedCell_data();
    void enterKeepsTheSelectedCell();
    void keyFiltersLimitTyping_data();
    void keyFiltersLimitTyping();
    void typingAfterANameFromTheRadioKeepsIt();
    void selectingAnotherCellWritesTheOriginalCell();
    void mouseClickOnAnotherCellWritesTheOriginalCell();
    void refusedReceiveFrequencyByBand_data();
    void refusedReceiveFrequencyByBand();
    void listPickWritesEntry();
    void refreshDropsUncommittedTyping();
    void twoLineTextsFitTheRow();
};

void ChannelGridTest::editorForSelection_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("editor");   // suffix of t/p, or empty for none
    QTest::addColumn<QString>("shown");    // edit text or list entry shown

    // Row 4 is empty; row 2 has a receive side only (power "High", name "OLD"); row 3 both.
    QTest::newRow("rx freq, empty row") << 1 << 4 << "1"
                                        << "";
    QTest::newRow("rx freq, set row") << 1 << 2 << "1"
                                      << "145.50000";
    QTest::newRow("tx freq, empty row") << 4 << 4 << "5"
                                        << "";
    QTest::newRow("rx tone, empty row") << 2 << 4 << ""
                                        << "";
    QTest::newRow("power shows Low first") << 8 << 2 << "9"
                                           << "Low";
    QTest::newRow("mode") << 3 << 2 << "3"
                          << "QT/DQT";
    QTest::newRow("tx tone without tx") << 5 << 2 << ""
                                        << "";
    QTest::newRow("tx tone with tx") << 5 << 3 << "6"
                                     << "OFF";
    QTest::newRow("end signalling") << 7 << 3 << "8"
                                    << "OFF";
    QTest::newRow("scrambler") << 11 << 2 << "12"
                               << "OFF";
    QTest::newRow("name, empty row") << 12 << 4 << ""
                                     << "";
    QTest::newRow("name, set row") << 12 << 2 << "13"
                                   << "OLD";
}

void ChannelGridTest::editorForSelection()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, editor);
    QFETCH(QString, shown);

    for (Band band : {Band::A, Band::B}) {
        Page page(band);
        QVERIFY(page.activated);
        commitChannelFrequency(page.doc, band, 1, 2, "145.5");
        commitChannelList(page.doc, band, 8, 2, "High");
        commitChannelName(page.doc, band, 2, "OLD");
        commitChannelFrequency(page.doc, band, 1, 3, "146");
        commitChannelFrequency(page.doc, band, 4, 3, "146.6");
        page.grid->refresh();

        page.select(col, row);
        QCOMPARE(page.grid->Col, col);
        QCOMPARE(page.grid->Row, row);
        QWidget* visible = page.grid->visibleEditor();
        if (editor.isEmpty()) {
            QVERIFY(!visible);
            continue;
        }
        QVERIFY(visible);
        QCOMPARE(visible->objectName(), page.prefixed(editor.toLatin1().constData()));
        QCOMPARE(page.grid->editorTarget(col), std::make_pair(col, row));

        const QRect cellRect = page.grid->visualRect(page.grid->model()->index(row - 1, col));
        QCOMPARE(visible->pos(), cellRect.topLeft());
        QCOMPARE(visible->width(), cellRect.width() + 2);
        if (auto* edit = qobject_cast<QLineEdit*>(visible)) {
            QCOMPARE(edit->height(), 35);
            QCOMPARE(edit->text(), shown);
            QVERIFY(edit->hasFocus());
        } else {
            auto* box = qobject_cast<QComboBox*>(visible);
            QVERIFY(box);
            QCOMPARE(box->currentIndex(), 0);
            QCOMPARE(box->currentText(), shown);
            QVERIFY(!box->hasFocus());
        }
    }
}

void ChannelGridTest::selectingEmptyToneCellHidesOpenEditor()
{
    Page page(Band::A);
    page.select(1, 9);
    QVERIFY(page.edit("1")->isVisible());
    page.select(2, 9);
    QVERIFY(!page.grid->visibleEditor());
    QVERIFY(page.seam.messages.isEmpty());
}

void ChannelGridTest::typingAndEnterCommitFrequency()
{
    Page page(Band::A);
    QVERIFY(page.activated);
    page.select(1, 5);
    QTest::keyClicks(page.edit("1"), QStringLiteral("145.5"));
    QTest::keyClick(page.edit("1"), Qt::Key_Return);
    const std::vector<std::pair<int, std::string>> expected = {{1, "145.50000"}, {2, "0FF"},  {3, "OFF"},
                                                               {4, ""},          {8, "High"}, {9, "Wide"},
                                                               {10, "OFF"},      {11, "OFF"}, {12, ""}};
    for (const auto& [col, text] : expected)
        QCOMPARE(page.cell(col, 5), text);
    QVERIFY(!page.edit("1")->isVisible());
    QCOMPARE(page.edit("1")->text(), QString());
    QCOMPARE(page.grid->model()->index(4, 8).data().toString(), QStringLiteral("High"));

    // The name editor: printable characters only, seven at most; Enter commits.
    page.select(12, 5);
    QTest::keyClicks(page.edit("13"), QStringLiteral("A b-C.123"));
    QTest::keyClick(page.edit("13"), Qt::Key_Enter);
    QCOMPARE(page.cell(12, 5), std::string("A b-C.1"));
    QVERIFY(page.seam.messages.isEmpty());
}

void ChannelGridTest::enterKeepsTheSelectedCell_data()
{
    QTest::addColumn<bool>("bandB");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");
    for (bool bandB : {false, true}) {
        const char* band = bandB ? "band B " : "band A ";
        QTest::newRow(qPrintable(QString::fromLatin1(band) + "receive")) << bandB << 1 << "145.5"
                                                                         << "145.50000";
        QTest::newRow(qPrintable(QString::fromLatin1(band) + "transmit")) << bandB << 4 << "440"
                                                                          << "440.00000";
        QTest::newRow(qPrintable(QString::fromLatin1(band) + "name")) << bandB << 12 << "AB"
                                                                      << "AB";
    }
}

void ChannelGridTest::enterKeepsTheSelectedCell()
{
    QFETCH(bool, bandB);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    Page page(bandB ? Band::B : Band::A);
    QVERIFY(page.activated);
    commitChannelFrequency(page.doc, page.band, 1, 2, "146");
    page.grid->refresh();
    page.select(col, 2);
    auto* edit = qobject_cast<QLineEdit*>(page.grid->visibleEditor());
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);

    QCOMPARE(QString::fromStdString(page.cell(col, 2)), cell);
    QCOMPARE(page.grid->currentIndex(), page.grid->model()->index(1, col));
    QCOMPARE(std::make_pair(page.grid->Col, page.grid->Row), std::make_pair(col, 2));
    QVERIFY(!page.grid->visibleEditor());
    QCOMPARE(QApplication::focusWidget(), page.grid);
    QVERIFY(page.seam.messages.isEmpty());
}

void ChannelGridTest::keyFiltersLimitTyping_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("held");
    QTest::newRow("rx: letters dropped") << 1 << "1a4x5.5"
                                         << "145.5";
    QTest::newRow("rx: nine at most") << 1 << "145.1234567"
                                      << "145.12345";
    QTest::newRow("tx: nine at most by the filter alone") << 4 << "145.1234567"
                                                          << "145.12345";
    QTest::newRow("tx: blanks dropped") << 4 << " 4 4 0"
                                        << "440";
    QTest::newRow("name: seven at most") << 12 << "ABCDEFGHIJ"
                                         << "ABCDEFG";
    QTest::newRow("name: non-ASCII dropped") << 12 << QString::fromUtf8("A\u00e9B\u5173C") << "ABC";
}

void ChannelGridTest::keyFiltersLimitTyping()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, held);
    Page page(Band::A);
    commitChannelFrequency(page.doc, Band::A, 1, 4, "150");
    page.select(col, 4);
    auto* edit = qobject_cast<QLineEdit*>(page.grid->visibleEditor());
    QVERIFY(edit);
    edit->clear();
    // Typed one character at a time as the keyboard delivers it (keyClicks
    // takes Latin-1 only).
    for (QChar ch : typed) {
        QKeyEvent press(QEvent::KeyPress, ch.isLetterOrNumber() ? ch.toUpper().unicode() : 0, Qt::NoModifier,
                        QString(ch));
        QApplication::sendEvent(edit, &press);
    }
    QCOMPARE(edit->text(), held);
    // With a full edit Backspace still works.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), held.left(held.size() - 1));
}

void ChannelGridTest::typingAfterANameFromTheRadioKeepsIt()
{
    Page page(Band::A);
    QVERIFY(page.activated);
    commitChannelFrequency(page.doc, Band::A, 1, 3, "146");
    page.doc.table(Band::A).at(12, 3) = "\xC4pfel";   // as read from the radio
    page.grid->refresh();
    page.select(12, 3);
    QLineEdit* edit = page.edit("13");
    QCOMPARE(edit->text(), QString::fromUtf8("\u00c4pfel"));
    edit->end(false);
    QTest::keyClicks(edit, "1");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(page.cell(12, 3), std::string("\xC4pfel1"));
    QCOMPARE(page.grid->model()->index(2, 12).data().toString(), QString::fromUtf8("\u00c4pfel1"));
}

void ChannelGridTest::selectingAnotherCellWritesTheOriginalCell()
{
    Page page(Band::A);
    QVERIFY(page.activated);
    page.select(1, 6);
    QTest::keyClicks(page.edit("1"), QStringLiteral("150"));
    page.select(1, 7);
    QCOMPARE(page.cell(1, 6), std::string("150.00000"));
    QCOMPARE(page.cell(1, 7), std::string());
    QCOMPARE(page.edit("1")->text(), QString());
    QCOMPARE(page.grid->editorTarget(1), std::make_pair(1, 7));

    // A name typed on row 6, then a list cell of row 6 selected.
    page.select(12, 6);
    QTest::keyClicks(page.edit("13"), QStringLiteral("NAME"));
    page.select(8, 6);
    QCOMPARE(page.cell(12, 6), std::string("NAME"));
    QVERIFY(page.list("9")->isVisible());
}

void ChannelGridTest::mouseClickOnAnotherCellWritesTheOriginalCell()
{
    Page page(Band::B);
    QVERIFY(page.activated);
    page.select(4, 2);
    QTest::keyClicks(page.edit("5"), QStringLiteral("440.0125"));
    const QRect target = page.grid->visualRect(page.grid->model()->index(9, 4));
    QTest::mouseClick(page.grid->viewport(), Qt::LeftButton, {}, target.center());
    QCOMPARE(page.cell(4, 2), std::string("440.01250"));
    QCOMPARE(page.cell(5, 2), std::string("0FF"));
    QCOMPARE(page.cell(4, 10), std::string());
    QCOMPARE(page.grid->Row, 10);
    QCOMPARE(page.grid->editorTarget(4), std::make_pair(4, 10));

    // Enter hides the edit; clicking the same cell again brings it back.
    QTest::keyClick(page.edit("5"), Qt::Key_Return);
    QVERIFY(!page.grid->visibleEditor());
    QTest::mouseClick(page.grid->viewport(), Qt::LeftButton, {}, target.center());
    QVERIFY(page.edit("5")->isVisible());
}

void ChannelGridTest::refusedReceiveFrequencyByBand_data()
{
    QTest::addColumn<bool>("bandB");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("keepsText");
    QTest::newRow("band A") << false << "Receiving Frequency in 136~176MHZ 400~490MHZ " << false;
    QTest::newRow("band B") << true << "Receiving Frequency in 136~176MHZ 400~490MHZ" << true;
}

void ChannelGridTest::refusedReceiveFrequencyByBand()
{
    QFETCH(bool, bandB);
    QFETCH(QString, message);
    QFETCH(bool, keepsText);
    Page page(bandB ? Band::B : Band::A);
    QVERIFY(page.activated);
    commitChannelFrequency(page.doc, page.band, 1, 3, "145.5");
    commitChannelFrequency(page.doc, page.band, 4, 3, "145.5");
    page.select(1, 3);
    QLineEdit* edit = page.edit("1");
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("200"));
    // The focus leaves for another control of the page.
    page.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(page.seam.messages, QStringList({message}));
    QCOMPARE(page.cell(1, 3), std::string());
    QCOMPARE(page.cell(2, 3), std::string());
    QCOMPARE(page.cell(4, 3), std::string("145.50000"));   // the transmit side stays
    QCOMPARE(edit->isVisible(), keepsText);
    QCOMPARE(edit->text(), keepsText ? QStringLiteral("200") : QString());
}

void ChannelGridTest::listPickWritesEntry()
{
    Page page(Band::A);
    commitChannelFrequency(page.doc, Band::A, 1, 8, "145.5");
    page.select(9, 8);
    QComboBox* box = page.list("10");
    QVERIFY(box->isVisible());
    QCOMPARE(box->currentText(), QStringLiteral("Narrow"));
    emit box->activated(1);
    QCOMPARE(page.cell(9, 8), std::string("Wide"));
    QVERIFY(!box->isVisible());
    QCOMPARE(page.cell(8, 8), std::string("High"));   // no other cell changes

    // Program code setting the list commits nothing.
    page.select(9, 8);
    box->setCurrentIndex(0);
    QCOMPARE(page.cell(9, 8), std::string("Wide"));
}

void ChannelGridTest::refreshDropsUncommittedTyping()
{
    Page page(Band::A);
    QVERIFY(page.activated);
    page.select(1, 4);
    QTest::keyClicks(page.edit("1"), QStringLiteral("150"));
    page.grid->refresh();
    QVERIFY(!page.grid->visibleEditor());
    page.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(page.cell(1, 4), std::string());
}

void ChannelGridTest::twoLineTextsFitTheRow()
{
    // The signalling entries are the longest texts of the table; wrapped in
    // their 130-pixel column they must fit the 30-pixel row with the font the
    // cell is drawn with, rows and columns keeping their sizes.
    Page page(Band::A);
    const QModelIndex index = page.grid->model()->index(0, 6);
    const QRect text = page.grid->visualRect(index).adjusted(1, 2, -1, 0);   // as the delegate draws
    constexpr int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QFont base = page.grid->font();
    const QString longest = QStringLiteral("DTMF7+Identity Code");
    QVERIFY(QFontMetrics(base).boundingRect(text, flags, longest).height() > text.height());   // wraps, too tall
    for (const std::string& entry : channelListEntries(6)) {
        const QString t = QString::fromStdString(entry);
        const QFont font = CenteredTextDelegate::fittingFont(base, text, t);
        QVERIFY2(QFontMetrics(font).boundingRect(text, flags, t).height() <= text.height(), entry.c_str());
        QVERIFY(font.pixelSize() >= 8);
        if (QFontMetrics(base).boundingRect(text, flags, t).height() <= text.height())
            QCOMPARE(font, base);   // what fits keeps the table's font
    }
    QCOMPARE(page.grid->rowHeight(0), 30);
    QCOMPARE(page.grid->columnWidth(6), 130);
}

QTEST_MAIN(ChannelGridTest)
#include "channel_grid_test.moc"
