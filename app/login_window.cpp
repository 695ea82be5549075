// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/login_window.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "app/password_dialogs.h"
#include "ui/seam.h"

// The built-in picture lives in this static library's resources, which the
// program must register before use (outside any namespace).
static void registerAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace pellaro {

namespace {

// The picture shown until the background picture file is loaded.
QPixmap builtInPicture()
{
    static const bool registered = (registerAppResources(), true);
    Q_UNUSED(registered);
    return QPixmap(QStringLiteral(":/pellaro/login_background.jpg"));
}

}   // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format is fixed: a PNG named .jpg is refused like any other
    // picture that is not a JPEG.
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

TForm1::TForm1(DataFolder folder, UiSeam& seam, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      folder_(std::move(folder)),
      seam_(seam)
{
    setObjectName(QStringLiteral("TForm1"));
    // The designed caption; FormShow replaces it with the company name.
    setWindowTitle(QStringLiteral("Pellaro"));
    // 648 x 514 outside: a 640 x 480 client area under the title bar.
    setFixedSize(640, 480);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 640, 480);
    Image1->setScaledContents(true);
    Image1->setPixmap(builtInPicture());

    Label1 = new QLabel(QStringLiteral("Password :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->adjustSize();
    Label1->move(272, 288 + 4);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    maskPassword(Edit1);
    Edit1->setGeometry(376, 288, 169, 23);

    Button1 = new QPushButton(QStringLiteral("Login "), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(280, 336, 73, 25);

    Button2 = new QPushButton(QStringLiteral("Replace Background"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(416, 336, 121, 25);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    // Enter in the password edit acts as a click on "Login ".
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm1::Button1Click);

    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
    Edit1->setFocus();
}

void TForm1::report(const QString& text)
{
    seam_.message(this, text);
}

void TForm1::FormShow()
{
    // The picture first: when it cannot be had, the caption is left as it
    // is too, and the built-in picture stays.
    QFile picture(folder_.pictureFile());
    const QString picturePath = QDir::toNativeSeparators(folder_.pictureFile());
    if (!picture.exists()) {
        const QString text = QStringLiteral("The background picture file %1 is missing. ").arg(picturePath) +
                             DataFolder::pictureFileHolds();
        QTimer::singleShot(0, this, [this, text] { report(text); });
        return;
    }
    if (!picture.open(QIODevice::ReadOnly)) {
        const QString text = QStringLiteral("The background picture file %1 cannot be read: %2. ")
                                 .arg(picturePath, picture.errorString()) +
                             DataFolder::pictureFileHolds();
        QTimer::singleShot(0, this, [this, text] { report(text); });
        return;
    }
    const QImage image = decodeJpeg(picture.readAll());
    if (image.isNull()) {
        const QString text = QStringLiteral("The background picture file %1 is not a JPEG picture. ").arg(picturePath) +
                             DataFolder::pictureFileHolds();
        QTimer::singleShot(0, this, [this, text] { report(text); });
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(image));

    const FirstLine name = readFirstLine(folder_.companyNameFile(), QStringLiteral("company-name file"));
    if (!name.ok) {
        const QString text = name.error + QLatin1Char(' ') + DataFolder::companyNameFileHolds();
        QTimer::singleShot(0, this, [this, text] { report(text); });
        return;
    }
    setWindowTitle(name.text);
}

void TForm1::Button1Click()
{
    // Read afresh on every attempt, so a changed file counts at once.
    const FirstLine password = readFirstLine(folder_.passwordFile(), QStringLiteral("password file"));
    if (!password.ok) {
        report(password.error + QLatin1Char(' ') + DataFolder::passwordFileHolds());
        return;
    }
    if (Edit1->text() != password.text) {
        Edit1->clear();
        report(QStringLiteral("Password Error!"));
        return;
    }
    loggedIn_ = true;
    hide();
    if (mainWindow_) {
        mainWindow_->setWindowTitle(windowTitle());
        mainWindow_->show();
    }
    emit loginSucceeded();
}

void TForm1::Button2Click()
{
    const QString chosen = seam_.openFileName(this, QStringLiteral("Open"), QStringLiteral("*.jpg"));
    if (chosen.isEmpty())
        return;
    QFile file(chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        report(QStringLiteral("The picture %1 cannot be read: %2.")
                   .arg(QDir::toNativeSeparators(chosen), file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    const QImage image = decodeJpeg(bytes);
    if (image.isNull()) {
        report(QStringLiteral("The file %1 is not a JPEG picture; the background is unchanged.")
                   .arg(QDir::toNativeSeparators(chosen)));
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(image));
    // The same bytes that were shown become the picture file, so it is a
    // byte-for-byte copy of the chosen file.
    QString error;
    if (!replaceFile(folder_.pictureFile(), bytes, &error))
        report(QStringLiteral("The picture is shown now but cannot be kept for the next start. ") + error);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!loggedIn_)
        emit closedBeforeLogin();
}

}   // namespace pellaro
