// SPDX-License-Identifier: GPL-3.0-or-later
// File > Export Codeplug as Text… and Import Codeplug Text…: the export is
// the command line's dump, an import is one undoable step, and a refused
// text changes nothing.
#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include "codeplug/rules.h"
#include "files/codeplug_file.h"
#include "files/codeplug_text.h"
#include "ui/document_history.h"
#include "ui/main_window.h"
#include "ui/text_actions.h"
#include "ui_test_support.h"

using namespace pellaro;
using pellaro::test::FakeSeam;

namespace {

struct Rig {
    Rig()
    {
        MainWindowOptions options;
        options.seam = &seam;
        options.portSource = [] { return QList<SerialPortEntry>(); };
        w = std::make_unique<TForm2>(options);
        commitChannelFrequency(w->document(), Band::A, 1, 4, "145.5");
        commitChannelName(w->document(), Band::A, 4, "HOME");
        w->refreshAll();
    }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    CodeplugTextActions& actions() { return w->textActions(); }

    FakeSeam seam;
    QTemporaryDir dir;
    std::unique_ptr<TForm2> w;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
}

}   // namespace

class TextActionsTest : public QObject {
    Q_OBJECT
private slots:
    void exportIsTheDumpAndImportIsOneStep();
    void refusedTextChangesNothing();
};

void TextActionsTest::exportIsTheDumpAndImportIsOneStep()
{
    Rig rig;
    rig.seam.saveAnswer = rig.file("radio");
    rig.actions().exportText->trigger();
    QCOMPARE(readAll(rig.file("radio.yaml")), QByteArray::fromStdString(dumpCodeplugText(rig.w->document()).text));

    // Another codeplug in the text: the import brings it, Undo takes it back.
    Document other;
    commitChannelFrequency(other, Band::B, 1, 9, "433.5");
    write(rig.file("other.yaml"), QByteArray::fromStdString(dumpCodeplugText(other).text));
    const Document before = rig.w->document();
    const int steps = rig.w->history().stack().count();
    rig.seam.openAnswer = rig.file("other.yaml");
    rig.actions().importText->trigger();
    QCOMPARE(rig.w->history().stack().count(), steps + 1);
    QVERIFY(rig.w->document() == other);
    QVERIFY(rig.seam.messages.last().startsWith(QStringLiteral("Imported 1 channel and 69 settings from other.yaml.")));
    rig.w->history().stack().undo();
    QVERIFY(rig.w->document() == before);
}

void TextActionsTest::refusedTextChangesNothing()
{
    Rig rig;
    const Document before = rig.w->document();
    write(rig.file("bad.yaml"), "format: pellaro-codeplug 1\nComprehensive Setting:\n  Volume: \"99\"\n");
    write(rig.file("broken.yaml"), "channels: [\n");
    for (const char* name : {"bad.yaml", "broken.yaml"}) {
        rig.seam.openAnswer = rig.file(name);
        rig.actions().importText->trigger();
        QVERIFY(rig.w->document() == before);
        QCOMPARE(rig.w->history().stack().count(), 0);
        QVERIFY(rig.seam.messages.last().contains(QStringLiteral("Nothing was changed")) ||
                rig.seam.messages.last().contains(QStringLiteral("nothing was changed")));
    }
    QVERIFY(rig.seam.messages.at(rig.seam.messages.size() - 2)
                .contains(QStringLiteral("line 3: Comprehensive Setting/Volume")));
}

QTEST_MAIN(TextActionsTest)
#include "text_actions_test.moc"
