// SPDX-License-Identifier: GPL-3.0-or-later
// The Amend Password dialog TForm3 and the Note dialog TForm4, both created
// hidden at start and shown modally from the main window as often as asked.
// Neither empties its edits: reopened, they still hold the earlier typing.
#pragma once

#include <QDialog>

#include "app/data_folder.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pellaro {

class UiSeam;

// A password edit whose characters show as "*" whatever the style draws by
// default (a bullet, on most).
void maskPassword(QLineEdit* edit);

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(DataFolder folder, UiSeam& seam, QWidget* parent = nullptr);

    // "Amend": the old password must match the first line of the password
    // file; then the new one becomes the file's only line.
    void Button1Click();
    // "Cancel".
    void Button2Click();

    QLabel* Label1 = nullptr;         // "Old password:"
    QLabel* Label2 = nullptr;         // "New Password:"
    QLineEdit* Edit1 = nullptr;       // old password, shown as "*"
    QLineEdit* Edit2 = nullptr;       // new password, shown as "*"
    QPushButton* Button1 = nullptr;   // "Amend"
    QPushButton* Button2 = nullptr;   // "Cancel"

private:
    DataFolder folder_;
    UiSeam& seam_;
};

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` takes the new company name as its caption at once.
    TForm4(DataFolder folder, UiSeam& seam, QWidget* mainWindow, QWidget* parent = nullptr);

    // "Amend": stores a non-empty company name and captions the main window.
    void Button1Click();
    // "Cancel".
    void Button2Click();

    QLabel* Label1 = nullptr;         // " Company Name:"
    QLineEdit* Edit1 = nullptr;       // the new company name
    QPushButton* Button1 = nullptr;   // "Amend"
    QPushButton* Button2 = nullptr;   // "Cancel"

private:
    DataFolder folder_;
    UiSeam& seam_;
    QWidget* mainWindow_;
};

}   // namespace pellaro
