// SPDX-License-Identifier: GPL-3.0-or-later
// "Limit Frequency": the power-on messages kaiji1/kaiji2 (mirror k10), the
// band limits xp1..xp5 (mirror k11) and the four buttons that read or write
// one of the two records alone.
#pragma once

#include <array>

#include "codeplug/document.h"
#include "ui/document_view.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace pellaro {

class TransferHost;

class LimitPage : public DocumentPage {
    Q_OBJECT

public:
    LimitPage(Document& doc, TransferHost& host, QWidget* parent = nullptr);

    // Shows the document's values in every editor; commits nothing.
    void refresh() override;

signals:
    // A partial read replaced the messages or the limits outside any step.
    void documentReplaced();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Transfer { ReadMessages, WriteMessages, ReadLimits, WriteLimits };
    void runTransfer(Transfer which, QPushButton* button);
    void commitMessage(int which, bool byMouse);
    void commitLimit(int which, bool byMouse);
    void stepDone(const QString& step, bool byMouse);

    Document& doc_;
    TransferHost& host_;
    std::array<QLineEdit*, 3> messages_{};    // kaiji1, kaiji2
    std::array<QLineEdit*, 5> limits_{};      // xp1..xp4
    QComboBox* mode_ = nullptr;               // xp5
    std::array<QPushButton*, 5> buttons_{};   // Button1..Button4
    bool committing_ = false;                 // a commit's message box is open
};

}   // namespace pellaro
