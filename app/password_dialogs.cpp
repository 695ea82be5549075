// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/password_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/seam.h"

namespace pellaro {

namespace {

// A fixed dialog border with the close box only.
constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                         Qt::MSWindowsFixedSizeDialogHint;

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->adjustSize();
    l->move(x, y);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int width, bool masked)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (masked)
        maskPassword(e);
    e->setGeometry(x, y, width, 23);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setGeometry(x, y, 75, 25);
    return b;
}

}   // namespace

void maskPassword(QLineEdit* edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // '*'
}

TForm3::TForm3(DataFolder folder, UiSeam& seam, QWidget* parent)
    : QDialog(parent, kFixedDialog), folder_(std::move(folder)), seam_(seam)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Amend Password"));
    setFixedSize(321, 186);

    Label1 = label(this, "Label1", QStringLiteral("Old password:"), 32, 36);
    Edit1 = edit(this, "Edit1", 136, 32, 153, true);
    Label2 = label(this, "Label2", QStringLiteral("New Password:"), 32, 84);
    Edit2 = edit(this, "Edit2", 136, 80, 153, true);
    Button1 = button(this, "Button1", QStringLiteral("Amend"), 64, 136);
    Button2 = button(this, "Button2", QStringLiteral("Cancel"), 184, 136);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
}

void TForm3::Button1Click()
{
    const FirstLine password = readFirstLine(folder_.passwordFile(), QStringLiteral("password file"));
    if (!password.ok) {
        seam_.message(this, password.error + QLatin1Char(' ') + DataFolder::passwordFileHolds());
        return;
    }
    if (Edit1->text() != password.text) {
        seam_.message(this, QStringLiteral("Password error!"));
        return;
    }
    // Any new password is taken as typed, the empty one included.
    QString error;
    if (!writeSingleLine(folder_.passwordFile(), Edit2->text(), &error)) {
        seam_.message(this, QStringLiteral("The password is unchanged. ") + error);
        return;
    }
    accept();
}

void TForm3::Button2Click()
{
    reject();
}

TForm4::TForm4(DataFolder folder, UiSeam& seam, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent, kFixedDialog), folder_(std::move(folder)), seam_(seam), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Note"));
    setFixedSize(326, 136);

    Label1 = label(this, "Label1", QStringLiteral(" Company Name:"), 16, 36);
    Edit1 = edit(this, "Edit1", 128, 32, 177, false);
    Button1 = button(this, "Button1", QStringLiteral("Amend"), 64, 88);
    Button2 = button(this, "Button2", QStringLiteral("Cancel"), 184, 88);

    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
}

void TForm4::Button1Click()
{
    const QString name = Edit1->text();
    // Only the empty text is refused; a name of spaces is a name.
    if (name.isEmpty()) {
        seam_.message(this, QStringLiteral("No Empty!"));
        return;
    }
    QString error;
    if (!writeSingleLine(folder_.companyNameFile(), name, &error)) {
        seam_.message(this, QStringLiteral("The company name is unchanged. ") + error);
        return;
    }
    accept();
    // The login window keeps its caption: it reads the file at the next start.
    if (mainWindow_)
        mainWindow_->setWindowTitle(name);
}

void TForm4::Button2Click()
{
    reject();
}

}   // namespace pellaro
