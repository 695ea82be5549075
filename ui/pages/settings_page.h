// SPDX-License-Identifier: GPL-3.0-or-later
// "Comprehensive Setting": the radio-wide settings gn1..gn15 (mirror k5).
#pragma once

#include <array>

#include "codeplug/document.h"
#include "ui/document_view.h"

class QComboBox;
class QLineEdit;

namespace pellaro {

class UiSeam;

class SettingsPage : public DocumentPage {
    Q_OBJECT

public:
    SettingsPage(Document& doc, UiSeam& seam, QWidget* parent = nullptr);

    // Shows the document's values in every editor; commits nothing.
    void refresh() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitFm();

    Document& doc_;
    UiSeam& seam_;
    std::array<QComboBox*, 16> lists_{};   // gn1, gn2, gn4..gn15
    QLineEdit* fm_ = nullptr;              // gn3
    std::array<QString, 16> steps_{};      // each editor's step name
    bool committing_ = false;
};

}   // namespace pellaro
