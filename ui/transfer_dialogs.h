// SPDX-License-Identifier: GPL-3.0-or-later
// The Read (TForm5) and Write (TForm6) dialogs: a progress bar 0..136 and the
// two buttons; the transfer runs on the main window's Comm1 while the windows
// stay live, then the result box shows and the dialog closes.
#pragma once

#include <QDialog>

#include <string>

class QProgressBar;
class QPushButton;

namespace pellaro {

class CommandHost;

// Shared body of both dialogs.
class TransferDialog : public QDialog {
    Q_OBJECT
public:
    bool running() const { return running_; }

    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr;   // "Read" / "Write"
    QPushButton* Button2 = nullptr;   // "Cancel"

    // Button1Click: runs the transfer; a click during a run does nothing.
    void start();

protected:
    TransferDialog(CommandHost& host, const QString& caption, const QString& action);
    // Runs the transfer with progress into ProgressBar1; returns the result
    // box text (empty when the engine refused because another transfer runs,
    // or when the Write dialog found values it must not send, which it has
    // listed in a box of its own).
    virtual std::string transfer() = 0;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    CommandHost& host_;

private:
    bool running_ = false;
};

class TForm5 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm5(CommandHost& host);

protected:
    std::string transfer() override;
};

class TForm6 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm6(CommandHost& host);

protected:
    std::string transfer() override;
};

}   // namespace pellaro
