// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up as a whole: the six windows, the main window ready but hidden
// before the login, and the login leading into it.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "codeplug/rules.h"
#include "files/codeplug_file.h"
#include "queued_seam.h"

using namespace pellaro;
using pellaro::test::QueuedSeam;

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

}   // namespace

class AppStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    StartOptions options_;

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        options_.dataDir = dir_.path();
        const DataFolder folder = dataFolderFor(options_);
        QVERIFY(QDir().mkpath(folder.folder()));
        writeAll(folder.passwordFile(), "\r\n");
        writeAll(folder.companyNameFile(), "Acme Radio\r\n");
        QFile::remove(folder.pictureFile());
        QVERIFY(QFile::copy(QStringLiteral(":/pellaro/login_background.jpg"), folder.pictureFile()));
    }

    void sixWindowsMainReadyBeforeLogin()
    {
        QueuedSeam seam;
        int portReads = 0;
        Windows w = createWindows(options_, seam, [&] {
            ++portReads;
            return QList<SerialPortEntry>{};
        });
        QVERIFY(w.form1 && w.form2 && w.form3 && w.form4 && w.form5 && w.form6);
        // The main window has read the port list and set its status, hidden.
        QCOMPARE(portReads, 1);
        QVERIFY(!w.form2->isVisible());
        QCOMPARE(w.form2->Panel0->text(), QStringLiteral("No port!"));
        QVERIFY(!w.form1->isVisible());
        for (QWidget* dialog : {static_cast<QWidget*>(w.form3.data()), static_cast<QWidget*>(w.form4.data()),
                                static_cast<QWidget*>(w.form5.data()), static_cast<QWidget*>(w.form6.data())})
            QVERIFY(!dialog->isVisible());
        QCOMPARE(w.form3->parentWidget(), w.form2.get());
        QCOMPARE(w.form4->parentWidget(), w.form2.get());

        // The login window shows with the company name; Enter with the
        // empty password opens the main window under the same caption.
        w.form1->show();
        QCOMPARE(w.form1->windowTitle(), QStringLiteral("Acme Radio"));
        QTest::keyClick(w.form1->Edit1, Qt::Key_Return);
        QVERIFY(!w.form1->isVisible());
        QVERIFY(w.form2->isVisible());
        QCOMPARE(w.form2->windowTitle(), QStringLiteral("Acme Radio"));
        QTest::qWait(0);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('|')));

        // The Note dialog recaptions the main window at once.
        w.form4->Edit1->setText(QStringLiteral("New Name"));
        w.form4->Button1Click();
        QCOMPARE(w.form2->windowTitle(), QStringLiteral("New Name"));
        QCOMPARE(w.form1->windowTitle(), QStringLiteral("Acme Radio"));
    }

    // pellaro FILE.bc: the file opens after the login, through File > Open's
    // code; one that cannot be read says what Open says and keeps the
    // start-up document.
    void fileFromTheCommandLineOpensAfterLogin()
    {
        Document saved;
        commitChannelFrequency(saved, Band::A, 1, 3, "145.5");
        std::string bytes;
        QVERIFY(saveCodeplug(saved, bytes).ok());
        const QString good = dir_.filePath(QStringLiteral("radio.bc"));
        writeAll(good, QByteArray::fromStdString(bytes));
        const QString missing = dir_.filePath(QStringLiteral("none.bc"));

        for (const QString& file : {good, missing}) {
            QueuedSeam seam;
            options_.file = file;
            Windows w = createWindows(options_, seam, [] { return QList<SerialPortEntry>{}; });
            const Document startUp = w.form2->document();
            QVERIFY(!(startUp == saved));
            w.form1->show();
            QTest::qWait(0);
            QVERIFY(w.form2->document() == startUp);   // nothing before the login
            QTest::keyClick(w.form1->Edit1, Qt::Key_Return);
            QTRY_VERIFY(w.form2->document() == saved || !seam.messages.isEmpty());
            if (file == good) {
                QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('|')));
                continue;
            }
            QVERIFY(w.form2->document() == startUp);
            QCOMPARE(seam.messages.size(), 1);
            seam.openAnswers << missing;
            w.form2->fileOpen();
            QCOMPARE(seam.messages.size(), 2);
            QCOMPARE(seam.messages[0], seam.messages[1]);
        }
    }

    void closingLoginBeforeLoginEndsTheProgram()
    {
        QueuedSeam seam;
        Windows w = createWindows(options_, seam, [] { return QList<SerialPortEntry>{}; });
        QSignalSpy ended(w.form1.get(), &TForm1::closedBeforeLogin);
        w.form1->show();
        w.form1->close();
        QCOMPARE(ended.count(), 1);
    }
};

QTEST_MAIN(AppStartupTest)
#include "app_startup_test.moc"
