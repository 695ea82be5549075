// SPDX-License-Identifier: GPL-3.0-or-later
// The real message boxes and file dialogs behind the seam.
#include "ui/seam.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace pellaro {

namespace {

QString boxTitle(QWidget* parent)
{
    if (parent && !parent->window()->windowTitle().isEmpty())
        return parent->window()->windowTitle();
    return QApplication::applicationName();
}

class DialogSeam : public UiSeam {
public:
    void message(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, boxTitle(parent), text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool confirm(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    }

    // The save dialog does not ask before overwriting: choosing a file means
    // replacing it.
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, title, QString(), filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
};

}   // namespace

UiSeam& defaultSeam()
{
    static DialogSeam seam;
    return seam;
}

}   // namespace pellaro
