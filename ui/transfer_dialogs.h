// The Read (TForm5) and Write (TForm6) dialogs: a progress bar 0..136 and the
// two buttons; the transfer runs on the main window's Comm1 while the windows
// stay live, then the result box shows and the dialog closes.
#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace pellaro {

class TForm2;

// Shared body of both dialogs.
class TransferDialog : public QDialog {
    Q_OBJECT
public:
    bool running() const { return running_; }

    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr;   // "Read" / "Write"
    QPushButton* Button2 = nullptr;   // "Cancel"

protected:
    TransferDialog(TForm2& main, const QString& caption, const QString& action);
    // Runs the transfer; returns the result box text.
    virtual std::string transfer() = 0;
    TForm2& main_;

private:
    void start();
    bool running_ = false;
};

class TForm5 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm5(TForm2& main);

protected:
    std::string transfer() override;
};

class TForm6 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm6(TForm2& main);

protected:
    std::string transfer() override;
};

}  // namespace pellaro
