// SPDX-License-Identifier: GPL-3.0-or-later
// "Program Several Radios…" headless against the in-process simulated radio:
// its place in the Edit menu, a counted table written radio by radio with
// the log as it goes while the open codeplug stays as it was, and a refused
// value that touches no radio.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <sstream>

#include "codeplug/value_names.h"
#include "serial/tcomm.h"
#include "tools/radio_sim/radio_sim.h"
#include "ui/fleet_dialog.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

sim::SimulatorOptions unpaced()
{
    sim::SimulatorOptions options;
    options.pacing = false;
    return options;
}

struct Rig {
    Rig() : radio(unpaced())
    {
        MainWindowOptions options;
        options.seam = &seam;
        options.firstPort = QString::fromStdString(radio.start());
        options.portSource = [] { return QList<SerialPortEntry>(); };
        w = std::make_unique<TForm2>(options);
        w->comm().setReadIntervalTimeout(2);
        dialog = new FleetDialog(*w);
        dialog->logFile->setText(dir.filePath(QStringLiteral("log.csv")));
        dialog->fast->setChecked(true);
    }
    std::string nativeId(const Document& doc) const
    {
        return valueText(doc, *findValueName("DTMF Groups/Native ID Code"));
    }
    std::string log() const
    {
        std::ifstream in(dir.filePath(QStringLiteral("log.csv")).toStdString());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    sim::RadioSimulator radio;
    FakeSeam seam;
    QTemporaryDir dir;
    std::unique_ptr<TForm2> w;
    FleetDialog* dialog = nullptr;
};

}   // namespace

class FleetDialogTest : public QObject {
    Q_OBJECT
private slots:
    void itemComesAfterTheEditMenusItems();
    void countedRadiosAreWrittenAndLogged();
    void aRefusedValueTouchesNoRadio();
};

void FleetDialogTest::itemComesAfterTheEditMenusItems()
{
    Rig rig;
    const QList<QAction*> actions = rig.w->findChild<QMenu*>(QStringLiteral("N5"))->actions();
    QCOMPARE(actions.last()->objectName(), QStringLiteral("ProgramSeveralRadios"));
    QCOMPARE(actions.last()->text(), QStringLiteral("Program Several Radios…"));
    QVERIFY(actions[actions.size() - 2]->isSeparator());
    QCOMPARE(actions[actions.size() - 3]->objectName(), QStringLiteral("FastTransfers"));
}

void FleetDialogTest::countedRadiosAreWrittenAndLogged()
{
    Rig rig;
    const std::string before = rig.nativeId(rig.w->document());
    const auto mirrors = rig.w->document().k;
    rig.dialog->generateFirst->setText(QStringLiteral("201"));
    rig.dialog->generateCount->setValue(2);
    rig.dialog->generate();
    rig.dialog->verify->setChecked(true);
    QStringList prompts;
    QTimer press;   // the user presses Continue at each prompt
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (rig.dialog->continueButton->isEnabled()) {
            prompts << rig.dialog->status->text();
            rig.dialog->continueButton->click();
        }
    });
    press.start(20);
    rig.dialog->start();
    QCOMPARE(prompts, QStringList({"Connect radio 1 of 2 (Native ID Code 201), then press Enter",
                                   "Connect radio 2 of 2 (Native ID Code 202), then press Enter"}));
    QCOMPARE(rig.dialog->status->text(), QStringLiteral("2 ok, 0 failed, 0 skipped"));
    QCOMPARE(rig.dialog->table->item(1, 1)->text(), QStringLiteral("ok"));
    const std::string log = rig.log();
    QVERIFY2(log.find("\r\n1,201,") != std::string::npos && log.find("\r\n2,202,") != std::string::npos, log.c_str());
    QVERIFY(rig.w->document().k == mirrors);
    QCOMPARE(rig.nativeId(rig.w->document()), before);   // the template is not changed
    QVERIFY(rig.seam.messages.isEmpty());
}

void FleetDialogTest::aRefusedValueTouchesNoRadio()
{
    Rig rig;
    rig.dialog->setTable({QStringLiteral("DTMF Groups/Native ID Code")},
                         {{QStringLiteral("101")}, {QStringLiteral("10X")}});
    rig.dialog->start();
    QCOMPARE(rig.seam.messages.size(), 1);
    QVERIFY2(rig.seam.messages[0].startsWith(
                 QStringLiteral("1 values refused; no radio was written.\n\nline 2: DTMF Groups/Native ID Code: ")),
             qPrintable(rig.seam.messages[0]));
    QCOMPARE(rig.radio.counters().protocol.exchanges, 0u);
    QVERIFY(rig.log().empty());

    // The open codeplug holding a value the editors would refuse (a hand-
    // edited file) is named, and no radio is touched either.
    rig.seam.messages.clear();
    rig.w->document().table(Band::A).at(1, 1) = "1x5.50000";
    rig.dialog->setTable({QStringLiteral("DTMF Groups/Native ID Code")}, {{QStringLiteral("101")}});
    rig.dialog->start();
    QCOMPARE(rig.seam.messages.size(), 1);
    QVERIFY2(rig.seam.messages[0].startsWith(QStringLiteral("No radio was written.")) &&
                 rig.seam.messages[0].contains(QStringLiteral("A 1 Receiving Frequency: \"1x5.50000\"")),
             qPrintable(rig.seam.messages[0]));
    QCOMPARE(rig.radio.counters().protocol.exchanges, 0u);
    QVERIFY(rig.log().empty());
}

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"
