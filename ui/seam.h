// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box and file dialog of the program goes through this seam, so
// that tests can replace it and drive every flow headless.
#pragma once

#include <QString>

class QWidget;

namespace pellaro {

class UiSeam {
public:
    virtual ~UiSeam() = default;
    // Modal box with one OK button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Confirmation with Yes and No; true only for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
};

// The real dialogs (QMessageBox, QFileDialog).
UiSeam& defaultSeam();

}   // namespace pellaro
