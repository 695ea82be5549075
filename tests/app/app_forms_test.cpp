// SPDX-License-Identifier: GPL-3.0-or-later
// The login window, the Amend Password and Note dialogs and the data folder,
// driven headless through a fake seam over a temporary data folder.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/login_window.h"
#include "app/password_dialogs.h"
#include "queued_seam.h"

using namespace pellaro;
using pellaro::test::QueuedSeam;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<missing>");
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray jpegBytes(QColor colour)
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QByteArray pngBytes()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}   // namespace

class AppFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<DataFolder> folder_;

    // A data folder as the build leaves it: empty password, "Pellaro", a picture.
    void makeFolder()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        folder_ = std::make_unique<DataFolder>(DataFolder::under(dir_->path()));
        QVERIFY(QDir().mkpath(folder_->folder()));
        writeAll(folder_->passwordFile(), "\r\n");
        writeAll(folder_->companyNameFile(), "Pellaro\r\n");
        writeAll(folder_->pictureFile(), jpegBytes(Qt::blue));
    }

private slots:
    void init() { makeFolder(); }

    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("line");
        QTest::newRow("CR LF") << QByteArray("secret\r\nother\r\n") << true << "secret";
        QTest::newRow("lone LF") << QByteArray("secret\nother") << true << "secret";
        QTest::newRow("lone CR") << QByteArray("secret\rother") << true << "secret";
        QTest::newRow("no line end") << QByteArray("secret") << true << "secret";
        QTest::newRow("spaces kept") << QByteArray(" a b \r\n") << true << " a b ";
        QTest::newRow("just CR LF") << QByteArray("\r\n") << true << "";
        QTest::newRow("empty first line") << QByteArray("\nsecond") << true << "";
        QTest::newRow("UTF-8 name") << QByteArray("\xe5\x85\xac\xe5\x8f\xb8\r\n") << true << QString::fromUtf8("公司");
        QTest::newRow("empty file") << QByteArray() << false << "";
    }
    void firstLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(QString, line);
        writeAll(folder_->passwordFile(), bytes);
        const FirstLine got = readFirstLine(folder_->passwordFile());
        QCOMPARE(got.ok, ok);
        if (ok)
            QCOMPARE(got.text, line);
        else
            QVERIFY(!got.error.isEmpty());
    }

    void missingFileIsNotALine()
    {
        QVERIFY(QFile::remove(folder_->passwordFile()));
        const FirstLine got = readFirstLine(folder_->passwordFile());
        QVERIFY(!got.ok);
        QVERIFY(got.error.contains(QStringLiteral("missing")));
    }

    void singleLineWrite()
    {
        QString error;
        QVERIFY(writeSingleLine(folder_->companyNameFile(), QStringLiteral("  Acme  "), &error));
        QCOMPARE(readAll(folder_->companyNameFile()), QByteArray("  Acme  \r\n"));
        QVERIFY(writeSingleLine(folder_->passwordFile(), QString(), &error));
        QCOMPARE(readAll(folder_->passwordFile()), QByteArray("\r\n"));

        // A line break would split the stored text: refused, old file kept.
        QVERIFY(!writeSingleLine(folder_->companyNameFile(), QStringLiteral("a\nb"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(folder_->companyNameFile()), QByteArray("  Acme  \r\n"));

        // A folder that is gone: a clear failure, not success.
        error.clear();
        QVERIFY(!writeSingleLine(dir_->path() + QStringLiteral("/gone/2.bc"), QStringLiteral("x"), &error));
        QVERIFY(!error.isEmpty());
    }

    // The data folder from what lies around the program: BIN is the
    // program's folder, defaults in BIN/../share/pellaro/image.
    void dataFolderChoice_data()
    {
        QTest::addColumn<bool>("imageBeside");
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("filled");
        QTest::newRow("build folder") << true << false << true << "DATA"
                                      << "BIN/image" << false;
        QTest::newRow("tree with its own image") << true << true << false << "DATA"
                                                 << "BIN/image" << false;
        QTest::newRow("package") << false << true << false << "DATA"
                                 << "DATA/pellaro/image" << true;
        // A prefix this user may write, or root, who may write /usr/bin.
        QTest::newRow("writable installed tree") << false << true << true << "DATA"
                                                 << "DATA/pellaro/image" << true;
        QTest::newRow("no XDG_DATA_HOME") << false << true << false << ""
                                          << "HOME/.local/share/pellaro/image" << true;
        QTest::newRow("relative XDG_DATA_HOME") << false << true << false << "data"
                                                << "HOME/.local/share/pellaro/image" << true;
        QTest::newRow("copied program") << false << false << true << "DATA"
                                        << "BIN/image" << false;
        QTest::newRow("read-only program folder") << false << false << false << "DATA"
                                                  << "DATA/pellaro/image" << false;
    }
    void dataFolderChoice()
    {
        QFETCH(bool, imageBeside);
        QFETCH(bool, defaults);
        QFETCH(bool, writable);
        QFETCH(QString, dataHome);
        QFETCH(QString, folder);
        QFETCH(bool, filled);
        const QString root = dir_->path();
        const QString bin = root + QStringLiteral("/prefix/bin");
        const QString shared = root + QStringLiteral("/prefix/share/pellaro/image");
        QVERIFY(QDir().mkpath(bin));
        if (imageBeside)
            QVERIFY(QDir().mkpath(bin + QStringLiteral("/image")));
        if (defaults)
            QVERIFY(QDir().mkpath(shared));
        auto expand = [&](QString path) {
            return path.replace(QStringLiteral("BIN"), bin)
                .replace(QStringLiteral("HOME"), root + QStringLiteral("/home"))
                .replace(QStringLiteral("DATA"), root + QStringLiteral("/data"));
        };
        const ProgramPlace place{bin, writable, dataHome.isEmpty() ? dataHome : expand(dataHome),
                                 root + QStringLiteral("/home")};
        const DataFolderChoice choice = chooseDataFolder(place);
        QCOMPARE(choice.folder, expand(folder));
        QCOMPARE(choice.defaults, filled ? shared : QString());
    }

    // Root may write every folder: only a folder beside the program that is
    // there already counts for root.
    void rootKeepsNoDataBesideTheProgram()
    {
        QVERIFY(programDirCountsAsWritable(dir_->path(), 1000));
        QVERIFY(!programDirCountsAsWritable(dir_->path(), 0));
        QVERIFY(!programDirCountsAsWritable(dir_->path() + QStringLiteral("/gone"), 1000));
    }

    // The user's own folder is filled at the first start only, whole, and
    // never again: a file its user deleted stays deleted.
    void perUserFolderFilledOnce()
    {
        const QString home = dir_->path() + QStringLiteral("/data/pellaro");
        const QString mine = home + QStringLiteral("/image");
        QString error;
        QVERIFY2(fillDataFolderOnce(mine, folder_->folder(), &error), qPrintable(error));
        const DataFolder seeded(mine);
        for (const auto& [copy, original] : {std::pair{seeded.passwordFile(), folder_->passwordFile()},
                                             std::pair{seeded.companyNameFile(), folder_->companyNameFile()},
                                             std::pair{seeded.pictureFile(), folder_->pictureFile()}})
            QCOMPARE(readAll(copy), readAll(original));
        // Private: the password file is plain text. Nothing left beside it.
        QCOMPARE(QFileInfo(mine).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QCOMPARE(QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("image")});

        writeAll(seeded.passwordFile(), "mine\r\n");
        QVERIFY(QFile::remove(seeded.companyNameFile()));
        QVERIFY(fillDataFolderOnce(mine, folder_->folder(), &error));
        QCOMPARE(readAll(seeded.passwordFile()), QByteArray("mine\r\n"));
        QVERIFY(!QFile::exists(seeded.companyNameFile()));

        // A folder the user made, even an empty one, is theirs.
        const QString empty = dir_->path() + QStringLiteral("/empty/image");
        QVERIFY(QDir().mkpath(empty));
        QVERIFY(fillDataFolderOnce(empty, folder_->folder(), &error));
        QVERIFY(QDir(empty).isEmpty());

        // A folder that cannot be made is a clear failure naming it.
        writeAll(dir_->path() + QStringLiteral("/file"), "x");
        error.clear();
        QVERIFY(!fillDataFolderOnce(dir_->path() + QStringLiteral("/file/pellaro/image"), folder_->folder(), &error));
        QVERIFY2(error.contains(dir_->path() + QStringLiteral("/file/pellaro/image")), qPrintable(error));
    }

    void loginWindowControls()
    {
        QueuedSeam seam;
        TForm1 form(*folder_, seam);
        QCOMPARE(form.windowTitle(), QStringLiteral("Pellaro"));
        QCOMPARE(form.size(), QSize(640, 480));
        QCOMPARE(form.Label1->text(), QStringLiteral("Password :"));
        QCOMPARE(form.Button1->text(), QStringLiteral("Login "));
        QCOMPARE(form.Button2->text(), QStringLiteral("Replace Background"));
        QCOMPARE(form.Edit1->echoMode(), QLineEdit::Password);
        // Typed characters show as "*", here and in the Amend Password dialog.
        QTest::keyClicks(form.Edit1, QStringLiteral("abc"));
        QCOMPARE(form.Edit1->displayText(), QStringLiteral("***"));
        TForm3 amend(*folder_, seam);
        for (QLineEdit* edit : {amend.Edit1, amend.Edit2}) {
            QTest::keyClicks(edit, QStringLiteral("xy"));
            QCOMPARE(edit->displayText(), QStringLiteral("**"));
        }
        QCOMPARE(form.Image1->geometry(), QRect(0, 0, 640, 480));
        QCOMPARE(form.Edit1->geometry().topLeft(), QPoint(376, 288));
        QCOMPARE(form.Edit1->width(), 169);
        QCOMPARE(form.Button1->geometry(), QRect(280, 336, 73, 25));
        QCOMPARE(form.Button2->geometry(), QRect(416, 336, 121, 25));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
        // The built-in picture shows before any file is loaded.
        QVERIFY(!form.Image1->pixmap().isNull());
    }

    void login_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("in");
        QTest::newRow("right") << QByteArray("secret\r\n") << "secret" << true;
        QTest::newRow("wrong") << QByteArray("secret\r\n") << "Secret" << false;
        QTest::newRow("trailing space refused") << QByteArray("secret\r\n") << "secret " << false;
        QTest::newRow("spaces in password") << QByteArray(" se cret \r\n") << " se cret " << true;
        QTest::newRow("empty line, empty edit") << QByteArray("\r\n") << "" << true;
        QTest::newRow("empty line, typed") << QByteArray("\r\n") << "x" << false;
        QTest::newRow("first line only") << QByteArray("secret\r\nother\r\n") << "secret" << true;
        QTest::newRow("second line refused") << QByteArray("secret\r\nother\r\n") << "other" << false;
        QTest::newRow("no line end") << QByteArray("secret") << "secret" << true;
    }
    void login()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QFETCH(bool, in);
        writeAll(folder_->passwordFile(), file);
        writeAll(folder_->companyNameFile(), "Acme Radio\r\nignored\r\n");
        QueuedSeam seam;
        QWidget main;
        TForm1 form(*folder_, seam);
        form.setMainWindow(&main);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Acme Radio"));
        QTest::qWait(0);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('|')));

        form.Edit1->setText(typed);
        form.Button1->click();
        QCOMPARE(form.loggedIn(), in);
        QCOMPARE(main.isVisible(), in);
        QCOMPARE(form.isVisible(), !in);
        if (in) {
            QVERIFY(seam.messages.isEmpty());
            QCOMPARE(main.windowTitle(), QStringLiteral("Acme Radio"));
        } else {
            QCOMPARE(seam.messages, QStringList{QStringLiteral("Password Error!")});
            QVERIFY(form.Edit1->text().isEmpty());
        }
    }

    void enterLogsIn()
    {
        writeAll(folder_->passwordFile(), "abc\r\n");
        QueuedSeam seam;
        QWidget main;
        TForm1 form(*folder_, seam);
        form.setMainWindow(&main);
        form.show();
        QTest::keyClicks(form.Edit1, QStringLiteral("abc"));
        QTest::keyClick(form.Edit1, Qt::Key_Return);
        QVERIFY(main.isVisible());
        QVERIFY(!form.isVisible());
    }

    void passwordFileChangeCountsAtNextClick()
    {
        writeAll(folder_->passwordFile(), "one\r\n");
        QueuedSeam seam;
        QWidget main;
        TForm1 form(*folder_, seam);
        form.setMainWindow(&main);
        form.Edit1->setText(QStringLiteral("two"));
        form.Button1Click();
        QVERIFY(!form.loggedIn());
        writeAll(folder_->passwordFile(), "two\r\n");
        form.Edit1->setText(QStringLiteral("two"));
        form.Button1Click();
        QVERIFY(form.loggedIn());
    }

    void unreadablePasswordFileLetsNobodyIn_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("empty, no line") << true;
    }
    void unreadablePasswordFileLetsNobodyIn()
    {
        QFETCH(bool, present);
        if (present)
            writeAll(folder_->passwordFile(), QByteArray());
        else
            QVERIFY(QFile::remove(folder_->passwordFile()));
        QueuedSeam seam;
        QWidget main;
        TForm1 form(*folder_, seam);
        form.setMainWindow(&main);
        form.Button1Click();   // the empty edit must not pass for an empty password
        QVERIFY(!form.loggedIn());
        QVERIFY(!main.isVisible());
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY(seam.messages[0] != QStringLiteral("Password Error!"));
        QVERIFY(seam.messages[0].contains(QDir::toNativeSeparators(folder_->passwordFile())));
    }

    void formShowFailures_data()
    {
        QTest::addColumn<QString>("broken");   // which file
        QTest::addColumn<QString>("caption");
        QTest::newRow("picture missing: caption not set either") << "picture"
                                                                 << "Pellaro";
        QTest::newRow("picture not a JPEG") << "png"
                                            << "Pellaro";
        QTest::newRow("company name missing") << "name"
                                              << "Pellaro";
    }
    void formShowFailures()
    {
        QFETCH(QString, broken);
        QFETCH(QString, caption);
        writeAll(folder_->companyNameFile(), "Acme\r\n");
        if (broken == QLatin1String("picture"))
            QVERIFY(QFile::remove(folder_->pictureFile()));
        else if (broken == QLatin1String("png"))
            writeAll(folder_->pictureFile(), pngBytes());
        else
            QVERIFY(QFile::remove(folder_->companyNameFile()));
        QueuedSeam seam;
        TForm1 form(*folder_, seam);
        const QImage builtIn = form.Image1->pixmap().toImage();
        form.show();
        QTRY_COMPARE(seam.messages.size(), 1);
        QCOMPARE(form.windowTitle(), caption);
        if (broken != QLatin1String("name"))
            QCOMPARE(form.Image1->pixmap().toImage(), builtIn);
    }

    void emptyDataFolderNamesTheMissingFiles()
    {
        // --data-dir pointing at a folder without its files: no defaults,
        // but each message names the file by its full path and what it holds.
        QTemporaryDir empty;
        const DataFolder folder = DataFolder::under(empty.path());
        const QString image = QDir::toNativeSeparators(empty.path() + QStringLiteral("/image"));
        QueuedSeam seam;
        QWidget main;
        TForm1 form(folder, seam);
        form.setMainWindow(&main);
        form.show();
        QTRY_COMPARE(seam.messages.size(), 1);
        form.Button1Click();
        TForm3 amend(folder, seam);
        amend.Button1Click();
        QCOMPARE(seam.messages,
                 QStringList({QStringLiteral("The background picture file %1/1.jpg is missing. It holds the JPEG "
                                             "picture behind the login window's controls.")
                                  .arg(image),
                              QStringLiteral("The password file %1/1.bc is missing. It holds the login password on "
                                             "its first line (an empty line for none); nobody can log in without it.")
                                  .arg(image),
                              QStringLiteral("The password file %1/1.bc is missing. It holds the login password on "
                                             "its first line (an empty line for none); nobody can log in without it.")
                                  .arg(image)}));
        QVERIFY(!form.loggedIn());

        // The company name, once the picture is there.
        QVERIFY(QDir().mkpath(folder.folder()));
        writeAll(folder.pictureFile(), jpegBytes(Qt::blue));
        seam.messages.clear();
        TForm1 again(folder, seam);
        again.show();
        QTRY_COMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages[0], QStringLiteral("The company-name file %1/2.bc is missing. It holds the company "
                                                  "name, the caption of the windows, on its first line.")
                                       .arg(image));
    }

    void replaceBackground()
    {
        QueuedSeam seam;
        TForm1 form(*folder_, seam);
        form.show();
        const QString chosen = dir_->path() + QStringLiteral("/new.jpg");
        const QByteArray bytes = jpegBytes(Qt::green);
        writeAll(chosen, bytes);

        seam.openAnswers << chosen;
        form.Button2->click();
        QCOMPARE(seam.openTitles, QStringList{QStringLiteral("Open")});
        QCOMPARE(seam.openFilters, QStringList{QStringLiteral("*.jpg")});
        QVERIFY(seam.messages.isEmpty());
        QCOMPARE(readAll(folder_->pictureFile()), bytes);
        QCOMPARE(form.Image1->pixmap().toImage().pixelColor(4, 4).green(), decodeJpeg(bytes).pixelColor(4, 4).green());

        // Cancelled: nothing happens.
        form.Button2Click();
        QCOMPARE(readAll(folder_->pictureFile()), bytes);
        QVERIFY(seam.messages.isEmpty());
    }

    void undecodablePictureChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("garbage") << QByteArray("not a picture at all");
        QTest::newRow("PNG named .jpg") << pngBytes();
        QTest::newRow("truncated JPEG header") << jpegBytes(Qt::green).left(4);
    }
    void undecodablePictureChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QueuedSeam seam;
        TForm1 form(*folder_, seam);
        form.show();
        QTest::qWait(0);
        const QByteArray before = readAll(folder_->pictureFile());
        const QImage shown = form.Image1->pixmap().toImage();
        const QString chosen = dir_->path() + QStringLiteral("/bad.jpg");
        writeAll(chosen, bytes);
        seam.openAnswers << chosen;
        form.Button2Click();
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(readAll(folder_->pictureFile()), before);
        QCOMPARE(form.Image1->pixmap().toImage(), shown);
    }

    void amendPassword()
    {
        writeAll(folder_->passwordFile(), "old\r\n");
        QueuedSeam seam;
        QWidget main;
        TForm3 dialog(*folder_, seam, &main);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Amend Password"));
        QCOMPARE(dialog.size(), QSize(321, 186));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Old password:"));
        QCOMPARE(dialog.Label2->text(), QStringLiteral("New Password:"));
        QCOMPARE(dialog.Edit1->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.Edit2->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.Button1->text(), QStringLiteral("Amend"));
        QCOMPARE(dialog.Button2->text(), QStringLiteral("Cancel"));

        // Wrong old password (a trailing space counts): nothing written.
        dialog.show();
        dialog.Edit1->setText(QStringLiteral("old "));
        dialog.Edit2->setText(QStringLiteral("new"));
        dialog.Button1->click();
        QCOMPARE(seam.messages, QStringList{QStringLiteral("Password error!")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(readAll(folder_->passwordFile()), QByteArray("old\r\n"));

        // Right: the file holds exactly the new password and a line break.
        dialog.Edit1->setText(QStringLiteral("old"));
        dialog.Button1->click();
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(readAll(folder_->passwordFile()), QByteArray("new\r\n"));
        // Reopened, the edits still hold the earlier typing.
        dialog.show();
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("old"));
        QCOMPARE(dialog.Edit2->text(), QStringLiteral("new"));

        // The next login takes the new password and refuses the old one.
        TForm1 login(*folder_, seam);
        login.setMainWindow(&main);
        login.Edit1->setText(QStringLiteral("old"));
        login.Button1Click();
        QVERIFY(!login.loggedIn());
        login.Edit1->setText(QStringLiteral("new"));
        login.Button1Click();
        QVERIFY(login.loggedIn());
    }

    void amendToEmptyPasswordAndCancel()
    {
        writeAll(folder_->passwordFile(), "old\r\n");
        QueuedSeam seam;
        TForm3 dialog(*folder_, seam);
        dialog.show();
        dialog.Edit1->setText(QStringLiteral("old"));
        dialog.Edit2->setText(QStringLiteral("typed"));
        dialog.Button2->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(readAll(folder_->passwordFile()), QByteArray("old\r\n"));
        QCOMPARE(dialog.Edit2->text(), QStringLiteral("typed"));

        dialog.show();
        dialog.Edit2->clear();
        dialog.Button1Click();
        QCOMPARE(readAll(folder_->passwordFile()), QByteArray("\r\n"));
        QVERIFY(seam.messages.isEmpty());
    }

    void amendWithMissingPasswordFile()
    {
        QVERIFY(QFile::remove(folder_->passwordFile()));
        QueuedSeam seam;
        TForm3 dialog(*folder_, seam);
        dialog.show();
        dialog.Button1Click();
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY(seam.messages[0] != QStringLiteral("Password error!"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(folder_->passwordFile()));
    }

    void note_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("stored");
        QTest::newRow("name") << "Acme Radio" << true;
        QTest::newRow("spaces only is a name") << "   " << true;
        QTest::newRow("Chinese name") << QString::fromUtf8("无线电公司") << true;
        QTest::newRow("empty refused") << "" << false;
    }
    void note()
    {
        QFETCH(QString, name);
        QFETCH(bool, stored);
        QueuedSeam seam;
        QWidget main;
        main.setWindowTitle(QStringLiteral("Pellaro"));
        TForm1 login(*folder_, seam);
        login.setMainWindow(&main);
        login.show();
        TForm4 dialog(*folder_, seam, &main);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Note"));
        QCOMPARE(dialog.size(), QSize(326, 136));
        QCOMPARE(dialog.Label1->text(), QStringLiteral(" Company Name:"));
        QVERIFY(dialog.Edit1->text().isEmpty());
        dialog.show();
        dialog.Edit1->setText(name);
        dialog.Button1->click();
        if (stored) {
            QVERIFY(seam.messages.isEmpty());
            QVERIFY(!dialog.isVisible());
            QCOMPARE(main.windowTitle(), name);
            QCOMPARE(readAll(folder_->companyNameFile()), name.toUtf8() + "\r\n");
        } else {
            QCOMPARE(seam.messages, QStringList{QStringLiteral("No Empty!")});
            QVERIFY(dialog.isVisible());
            QCOMPARE(main.windowTitle(), QStringLiteral("Pellaro"));
            QCOMPARE(readAll(folder_->companyNameFile()), QByteArray("Pellaro\r\n"));
        }
        // The login window takes the name only at the next start.
        QCOMPARE(login.windowTitle(), QStringLiteral("Pellaro"));
        if (stored) {
            TForm1 nextStart(*folder_, seam);
            nextStart.show();
            QCOMPARE(nextStart.windowTitle(), name);
        }
    }

    void noteCancelKeepsTyping()
    {
        QueuedSeam seam;
        QWidget main;
        main.setWindowTitle(QStringLiteral("Pellaro"));
        TForm4 dialog(*folder_, seam, &main);
        dialog.show();
        dialog.Edit1->setText(QStringLiteral("Half typed"));
        dialog.Button2->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(main.windowTitle(), QStringLiteral("Pellaro"));
        QCOMPARE(readAll(folder_->companyNameFile()), QByteArray("Pellaro\r\n"));
        dialog.show();
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("Half typed"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<bool>("simulate");
        QTest::addColumn<QString>("file");
        const int run = int(CommandLine::Outcome::Run);
        const int help = int(CommandLine::Outcome::Help);
        const int error = int(CommandLine::Outcome::Error);
        QTest::newRow("none") << QStringList{"pellaro"} << run << "" << QStringList{} << false << "";
        QTest::newRow("all") << QStringList{"pellaro",    "--data-dir",        "/tmp/d",     "--port",
                                            "/dev/pts/3", "--port=/dev/ttyS9", "--simulate", "radio.bc"}
                             << run << "/tmp/d" << QStringList{"/dev/pts/3", "/dev/ttyS9"} << true << "radio.bc";
        QTest::newRow("help") << QStringList{"pellaro", "--help"} << help << "" << QStringList{} << false << "";
        QTest::newRow("unknown option") << QStringList{"pellaro", "--fast", "radio.bc"} << error << "" << QStringList{}
                                        << false << "";
        QTest::newRow("port without path")
            << QStringList{"pellaro", "--port"} << error << "" << QStringList{} << false << "";
        QTest::newRow("file first") << QStringList{"pellaro", "/tmp/my radio.bc", "--simulate"} << run << ""
                                    << QStringList{} << true << "/tmp/my radio.bc";
        QTest::newRow("two files") << QStringList{"pellaro", "a.bc", "b.bc"} << error << "" << QStringList{} << false
                                   << "";
        QTest::newRow("empty file name") << QStringList{"pellaro", ""} << error << "" << QStringList{} << false << "";
        // The command line is read before the toolkit takes its own options.
        QTest::newRow("toolkit options left to it")
            << QStringList{"pellaro", "-platform", "offscreen", "-style=fusion", "--reverse", "--simulate"} << run << ""
            << QStringList{} << true << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QFETCH(QString, dataDir);
        QFETCH(QStringList, ports);
        QFETCH(bool, simulate);
        QFETCH(QString, file);
        const CommandLine got = parseCommandLine(args);
        QCOMPARE(int(got.outcome), outcome);
        if (got.outcome == CommandLine::Outcome::Run) {
            QCOMPARE(got.options.dataDir, dataDir);
            QCOMPARE(got.options.ports, ports);
            QCOMPARE(got.options.simulate, simulate);
            QCOMPARE(got.options.file, file);
        } else {
            QVERIFY(!got.text.isEmpty());
        }
        if (got.outcome == CommandLine::Outcome::Help) {
            for (const char* option : {"--data-dir", "--port", "--simulate", "[FILE]"})
                QVERIFY(got.text.contains(QLatin1String(option)));
        }
        QCOMPARE(DataFolder::under(QStringLiteral("/tmp/d/")).passwordFile(), QStringLiteral("/tmp/d/image/1.bc"));
    }
};

QTEST_MAIN(AppFormsTest)
#include "app_forms_test.moc"
