// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/compare_radio_dialog.h"

#include <QProgressBar>

#include "ui/command_host.h"

namespace pellaro {

CompareRadioDialog::CompareRadioDialog(CommandHost& host)
    : TransferDialog(host, QStringLiteral("Compare with Radio"), QStringLiteral("Read"))
{
    setObjectName(QStringLiteral("CompareRadioDialog"));
}

std::optional<RadioComparison> CompareRadioDialog::ask()
{
    comparison_.reset();
    exec();
    std::optional<RadioComparison> out;
    if (comparison_ && comparison_->read.ok)
        out = std::move(comparison_);
    comparison_.reset();
    return out;
}

std::string CompareRadioDialog::transfer()
{
    RadioComparison result =
        compareWithRadio(host_.engine(), host_.document(), [this](int blocks) { ProgressBar1->setValue(blocks); });
    const std::string message = result.read.message;
    if (!message.empty())
        comparison_ = std::move(result);
    return message;
}

}   // namespace pellaro
