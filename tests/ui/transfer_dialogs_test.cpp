// SPDX-License-Identifier: GPL-3.0-or-later
// The Read and Write dialogs against the in-process simulated radio, on a
// real pseudo-terminal through Comm1.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "codeplug/rules.h"
#include "serial/tcomm.h"
#include "tools/radio_sim/radio_sim.h"
#include "ui/channel_grid.h"
#include "ui/main_window.h"
#include "ui/transfer_dialogs.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

// The radio answers at once; its device goes first in the window's list, as
// the program's --simulate does it.
struct Rig {
    Rig() : radio(unpaced())
    {
        MainWindowOptions options;
        options.seam = &seam;
        options.firstPort = QString::fromStdString(radio.start());
        options.portSource = [] { return QList<SerialPortEntry>(); };
        window = std::make_unique<TForm2>(options);
        // Replies are handed over 100 ms after their last byte on a real
        // line; the simulated radio answers at once, so the tests hand them
        // over sooner and a run takes well under a second.
        window->comm().setReadIntervalTimeout(2);
        read = new TForm5(*window);
        write = new TForm6(*window);
        window->setTransferDialogs(read, write);
    }

    static sim::SimulatorOptions unpaced()
    {
        sim::SimulatorOptions options;
        options.pacing = false;
        return options;
    }

    sim::RadioSimulator radio;   // outlives the window, whose port is open on it
    FakeSeam seam;
    std::unique_ptr<TForm2> window;
    TForm5* read = nullptr;   // owned by the window
    TForm6* write = nullptr;
};

}   // namespace

class TransferDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void readThenWriteRoundTrip();
    void noAnswer_data();
    void noAnswer();
    void clicksDuringARunDoNothing();
    void refusedValuesAreListedAndNothingIsSent();
};

void TransferDialogsTest::startUp()
{
    Rig rig;
    QVERIFY(rig.radio.running());
    // The simulated radio's device is first in the list and opened.
    const QString device = QString::fromStdString(rig.radio.devicePath());
    QCOMPARE(rig.window->ComboBox1->itemText(0), device);
    QCOMPARE(rig.window->Panel0->text(), QStringLiteral("COM Port:") + device);

    const QList<QPair<TransferDialog*, QString>> dialogs = {{rig.read, "Read"}, {rig.write, "Write"}};
    for (const auto& [dialog, caption] : dialogs) {
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->Button1->text(), caption);
        QCOMPARE(dialog->Button2->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog->ProgressBar1->minimum(), 0);
        QCOMPARE(dialog->ProgressBar1->maximum(), 136);
        QCOMPARE(dialog->ProgressBar1->value(), 0);
    }
}

void TransferDialogsTest::readThenWriteRoundTrip()
{
    Rig rig;
    Document& doc = rig.window->document();
    rig.read->show();
    QSignalSpy progress(rig.read->ProgressBar1, &QProgressBar::valueChanged);
    rig.read->Button1->click();
    QCOMPARE(rig.seam.messages, QStringList({"Read success!"}));
    QCOMPARE(rig.read->ProgressBar1->value(), 136);
    QVERIFY(progress.size() >= 136);
    QVERIFY(!rig.read->isVisible());
    QVERIFY(doc != Document());
    // The tables show what was read.
    QCOMPARE(rig.window->StringGrid1->model()->index(0, 1).data().toString(),
             QString::fromLatin1(doc.table(Band::A).at(1, 1)));

    // Change a channel, write it, forget everything, read it back.
    commitChannelFrequency(doc, Band::B, 1, 100, "433.0125");
    commitChannelName(doc, Band::B, 100, "SIMTEST");
    const Document written = doc;
    rig.seam.messages.clear();
    rig.write->show();
    QCOMPARE(rig.write->ProgressBar1->value(), 0);
    rig.write->Button1->click();
    QCOMPARE(rig.seam.messages, QStringList({"Write success!"}));
    QCOMPARE(rig.write->ProgressBar1->value(), 136);
    QVERIFY(!rig.write->isVisible());

    rig.seam.messages.clear();
    doc.resetToNew();
    rig.read->show();
    rig.read->Button1->click();
    QCOMPARE(rig.seam.messages, QStringList({"Read success!"}));
    QCOMPARE(doc.table(Band::B).at(1, 100), std::string("433.01250"));
    QCOMPARE(doc.table(Band::B).at(12, 100), std::string("SIMTEST"));
    QCOMPARE(doc.table(Band::A), written.table(Band::A));
    QCOMPARE(doc.k, written.k);
}

// A hand-edited file's values that the editors would refuse never reach the
// radio: one box lists them and the dialog stays open.
void TransferDialogsTest::refusedValuesAreListedAndNothingIsSent()
{
    Rig rig;
    Document& doc = rig.window->document();
    doc.table(Band::A).at(1, 1) = "1x5.50000";
    doc.table(Band::B).at(1, 2) = "999.99999";
    rig.write->show();
    rig.write->Button1->click();
    QCOMPARE(rig.seam.messages.size(), 1);
    const QString box = rig.seam.messages.first();
    QVERIFY2(box.contains(QStringLiteral("A 1 Receiving Frequency: \"1x5.50000\"")), qPrintable(box));
    QVERIFY2(box.contains(QStringLiteral("B 2 Receiving Frequency: 999.99999 MHz is above 490 MHz")), qPrintable(box));
    QVERIFY(rig.write->isVisible());
    QCOMPARE(rig.write->ProgressBar1->value(), 0);
    QCOMPARE(rig.radio.counters().protocol.exchanges, 0u);
}

void TransferDialogsTest::noAnswer_data()
{
    QTest::addColumn<bool>("reading");
    QTest::addColumn<QString>("message");
    QTest::newRow("read") << true << "Read Error!";
    QTest::newRow("write") << false << "Write error!";
}

void TransferDialogsTest::noAnswer()
{
    QFETCH(bool, reading);
    QFETCH(QString, message);
    Rig rig;
    sim::Fault fault;
    fault.kind = sim::FaultKind::NoAnswer;
    fault.atRequest = 0;
    rig.radio.setFault(fault);
    const Document before = rig.window->document();

    TransferDialog* dialog = reading ? static_cast<TransferDialog*>(rig.read) : rig.write;
    dialog->show();
    dialog->Button1->click();
    QCOMPARE(rig.seam.messages, QStringList({message}));
    QCOMPARE(dialog->ProgressBar1->value(), 0);
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.window->document() == before);
}

void TransferDialogsTest::clicksDuringARunDoNothing()
{
    Rig rig;
    rig.read->show();
    int clicksDuringRun = 0;
    // While the run waits for the radio the dialog stays live: a second
    // "Read" and a "Cancel" arrive, and neither starts or ends anything.
    QTimer::singleShot(100, rig.read, [&] {
        clicksDuringRun += rig.read->running() ? 1 : 0;
        rig.read->Button1->click();
        rig.read->Button2->click();
        clicksDuringRun += rig.read->isVisible() ? 1 : 0;
    });
    rig.read->Button1->click();
    QCOMPARE(clicksDuringRun, 2);
    QCOMPARE(rig.seam.messages, QStringList({"Read success!"}));
    QCOMPARE(rig.read->ProgressBar1->value(), 136);
    QCOMPARE(rig.radio.counters().protocol.exchanges, std::uint64_t(1));
}

QTEST_MAIN(TransferDialogsTest)
#include "transfer_dialogs_test.moc"
