// SPDX-License-Identifier: GPL-3.0-or-later
// "A/Upper Band Set up" and "B/Under Band Set up": the editors of one band's
// VFO record, left1..left16 (band A) or right1..right16 (band B).
#pragma once

#include <array>

#include "codeplug/document.h"
#include "ui/document_view.h"

class QComboBox;
class QLineEdit;

namespace pellaro {

class UiSeam;

class BandSetupPage : public DocumentPage {
    Q_OBJECT

public:
    BandSetupPage(Document& doc, Band band, UiSeam& seam, QWidget* parent = nullptr);

    // Shows the document's values in every editor; commits nothing.
    void refresh() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitRxFrequency(bool byMouse);
    void commitOffset(bool byMouse);

    Document& doc_;
    Band band_;
    UiSeam& seam_;
    std::array<QComboBox*, 17> lists_{};   // editors 1, 2, 4..8, 10..14, 16
    QLineEdit* rxFreq_ = nullptr;          // left3 / right3
    QLineEdit* offset_ = nullptr;          // left15 / right15
    std::array<QString, 17> steps_{};      // each editor's step name
    bool committing_ = false;              // a commit's message box is open
};

}   // namespace pellaro
