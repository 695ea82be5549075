// SPDX-License-Identifier: GPL-3.0-or-later
// "DTMF Groups": the DTMF groups sy1..sy8, the identity and remote-control
// codes sypz1..sypz8 and the current state sypz9.
#pragma once

#include <array>

#include "codeplug/document.h"
#include "ui/document_view.h"

class QComboBox;
class QLineEdit;

namespace pellaro {

class UiSeam;

class DtmfPage : public DocumentPage {
    Q_OBJECT

public:
    DtmfPage(Document& doc, UiSeam& seam, QWidget* parent = nullptr);

    // Shows the document's values in every editor; commits nothing.
    void refresh() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int editorIndex(QObject* watched) const;   // 1..16, 0 for none
    void encode(int editor);
    void filterEdited(int editor);

    Document& doc_;
    UiSeam& seam_;
    std::array<QLineEdit*, 17> editors_{};   // 1..8 sy1..sy8, 9..16 sypz1..sypz8
    QComboBox* state_ = nullptr;             // sypz9
    std::array<QString, 18> steps_{};        // step names: 1..16 the codes, 17 sypz9
};

}   // namespace pellaro
