// SPDX-License-Identifier: GPL-3.0-or-later
// The login window TForm1: the background picture, the password edit and the
// "Login " and "Replace Background" buttons. It is the first window created
// and the only one shown before the password is given.
#pragma once

#include <QImage>
#include <QWidget>

#include "app/data_folder.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pellaro {

class UiSeam;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(DataFolder folder, UiSeam& seam, QWidget* parent = nullptr);

    // The main editor window shown by a successful login; it is created
    // after this window, so it is handed over afterwards.
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
    bool loggedIn() const { return loggedIn_; }

    // Loads the background picture, then the caption from the company-name
    // file. Runs each time the window is shown; problems are reported
    // through the seam once the window is on screen.
    void FormShow();
    // "Login ": compares Edit1 with the first line of the password file.
    void Button1Click();
    // "Replace Background": picks a JPEG picture, shows it and stores it.
    void Button2Click();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;         // "Password :"
    QLineEdit* Edit1 = nullptr;       // the typed password, shown as "*"
    QPushButton* Button1 = nullptr;   // "Login "
    QPushButton* Button2 = nullptr;   // "Replace Background"

signals:
    // The window was closed before anybody logged in: the program ends.
    void closedBeforeLogin();
    // The right password was given and the main window is shown (once).
    void loginSucceeded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void report(const QString& text);

    DataFolder folder_;
    UiSeam& seam_;
    QWidget* mainWindow_ = nullptr;
    bool loggedIn_ = false;
};

// Decodes `bytes` as a JPEG picture (Qt's JPEG plugin, built on libjpeg).
// Returns a null image when they are not one.
QImage decodeJpeg(const QByteArray& bytes);

}   // namespace pellaro
