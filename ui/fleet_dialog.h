// SPDX-License-Identifier: GPL-3.0-or-later
// "Program Several Radios…": the open codeplug written to one radio after
// another, each with its own values from a radios table (opened from a CSV
// or counted up from a first value), with a backup, a verify and a log as
// the command line's fleet has them. The open codeplug is the template and
// is not changed. The run waits in the event loop like the Read and Write
// dialogs, so the window never freezes.
#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QEventLoop;

namespace pellaro {

class StoppableLink;
class CommandHost;

class FleetDialog : public QDialog {
    Q_OBJECT
public:
    explicit FleetDialog(CommandHost& host);
    ~FleetDialog() override;

    // Adds "Program Several Radios…" behind a divider; the dialog is made on
    // first use.
    static void addToEditMenu(QMenu* menu, CommandHost& host);

    // The radios table: a header of value names ("Radio" first for labels).
    void setTable(const QStringList& header, const QList<QStringList>& rows);
    QStringList header() const;
    bool running() const { return running_; }

    QTableWidget* table = nullptr;
    QLineEdit* generateName = nullptr;
    QLineEdit* generateFirst = nullptr;
    QSpinBox* generateCount = nullptr;
    QCheckBox* verify = nullptr;
    QCheckBox* backup = nullptr;
    QLineEdit* backupFolder = nullptr;
    QCheckBox* fast = nullptr;
    QCheckBox* detect = nullptr;
    QLineEdit* logFile = nullptr;
    QLabel* status = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* continueButton = nullptr;
    QPushButton* stopButton = nullptr;

    void openCsv();
    void generate();
    void start();
    void stop();

protected:
    void reject() override;

private:
    class Host;
    friend class Host;
    void setRunning(bool on);
    void setState(int row, const QString& text);

    CommandHost& host_;
    bool running_ = false;
    StoppableLink* link_ = nullptr;   // during a run
    QEventLoop* waiting_ = nullptr;   // while asking for the next radio
    bool continued_ = false;
};

}   // namespace pellaro
