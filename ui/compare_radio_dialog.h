// SPDX-License-Identifier: GPL-3.0-or-later
// "Compare with Radio…": the Read dialog's look and run (progress 0..136,
// "Read" and "Cancel", "Read success!" or "Read Error!" when it ends), but the
// radio is read into a document of its own; the open codeplug is not touched.
#pragma once

#include <optional>

#include "clone/compare_radio.h"
#include "ui/transfer_dialogs.h"

namespace pellaro {

class CompareRadioDialog : public TransferDialog {
    Q_OBJECT
public:
    explicit CompareRadioDialog(CommandHost& host);

    // Shows the dialog modally; the comparison when a read succeeded,
    // nothing after Cancel or a failed read (whose box has been shown).
    std::optional<RadioComparison> ask();

protected:
    std::string transfer() override;

private:
    std::optional<RadioComparison> comparison_;
};

}   // namespace pellaro
