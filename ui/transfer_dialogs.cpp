// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transfer_dialogs.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>

#include "clone/engine.h"
#include "codeplug/write_check.h"
#include "ui/command_host.h"
#include "ui/doc_text.h"
#include "ui/seam.h"

namespace pellaro {

TransferDialog::TransferDialog(CommandHost& host, const QString& caption, const QString& action)
    : QDialog(host.dialogParent(),
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      host_(host)
{
    setWindowTitle(caption);
    setModal(true);
    setFixedSize(360, 120);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 136);
    ProgressBar1->setValue(0);
    ProgressBar1->setGeometry(24, 20, 312, 24);

    Button1 = new QPushButton(action, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(64, 70, 90, 28);
    Button1->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(206, 70, 90, 28);
    Button2->setAutoDefault(false);

    connect(Button1, &QPushButton::clicked, this, &TransferDialog::start);
    connect(Button2, &QPushButton::clicked, this, &TransferDialog::reject);
}

void TransferDialog::showEvent(QShowEvent* event)
{
    ProgressBar1->setValue(0);
    QDialog::showEvent(event);
}

void TransferDialog::start()
{
    // The window stays live during the run (the port delay processes
    // events), so a second click may arrive: it does nothing.
    if (running_)
        return;
    running_ = true;
    ProgressBar1->setValue(0);
    const std::string message = transfer();
    running_ = false;
    if (message.empty())
        return;   // another transfer is running; nothing was sent
    host_.seam().message(this, displayText(message));
    accept();
}

// Cancel, Escape and the close box close the dialog, but not during a run:
// the run closes it itself when it ends.
void TransferDialog::reject()
{
    if (!running_)
        QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent* event)
{
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

TForm5::TForm5(CommandHost& host) : TransferDialog(host, QStringLiteral("Read"), QStringLiteral("Read"))
{
    setObjectName(QStringLiteral("TForm5"));
}

std::string TForm5::transfer()
{
    const TransferResult result =
        host_.engine().fullRead(host_.document(), [this](int blocks) { ProgressBar1->setValue(blocks); });
    // Blocks decoded before a failure keep their new values: show them either way.
    if (!result.message.empty())
        host_.refreshAll();
    return result.message;
}

TForm6::TForm6(CommandHost& host) : TransferDialog(host, QStringLiteral("Write"), QStringLiteral("Write"))
{
    setObjectName(QStringLiteral("TForm6"));
}

std::string TForm6::transfer()
{
    // Nothing goes to the radio that the editors would refuse (a value of a
    // hand-edited file): one box lists them, and the dialog stays open.
    if (!host_.engine().busy()) {
        std::vector<std::string> lines;
        for (const ReportItem& item : checkForWrite(host_.document()))
            lines.push_back(itemText(item));
        if (!lines.empty()) {
            std::string text = "Nothing was written to the radio. These values would not reach it as shown:";
            for (const std::string& line : shownLines(lines))
                text += "\n" + line;
            host_.seam().message(this, displayText(text));
            return {};
        }
    }
    const TransferResult result =
        host_.engine().fullWrite(host_.document(), [this](int blocks) { ProgressBar1->setValue(blocks); });
    return result.message;
}

}   // namespace pellaro
