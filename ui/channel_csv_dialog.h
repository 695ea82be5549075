// SPDX-License-Identifier: GPL-3.0-or-later
// The choices before "Import Channels…" and "Export Channels…" ask for a
// file: which band, which CSV format, and for an import whether the rows
// merge into the band or replace it. The generic format holds one band, so
// "Both bands" is offered only with the native format. The dialog keeps its
// choices for the next use while the program runs.
#pragma once

#include <QDialog>

#include <optional>
#include <vector>

#include "codeplug/document.h"
#include "files/csv_formats.h"

class QDialogButtonBox;
class QLabel;
class QRadioButton;

namespace pellaro {

struct CsvChoice {
    CsvFormat format = CsvFormat::Native;
    std::optional<Band> band;   // nothing: both bands (native only)
    bool replace = false;       // import: empty the band(s) first
};

class ChannelCsvDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Import, Export };
    ChannelCsvDialog(Mode mode, QWidget* parent);

    // Shows the dialog modally; the choice, or nothing when cancelled.
    std::optional<CsvChoice> ask();

    CsvChoice choice() const;
    void setChoice(const CsvChoice& choice);

    QRadioButton* bandA = nullptr;
    QRadioButton* bandB = nullptr;
    QRadioButton* bothBands = nullptr;
    std::vector<QRadioButton*> formats;   // as csvFormats() lists them
    QRadioButton* merge = nullptr;        // import only
    QRadioButton* replace = nullptr;      // import only
    QDialogButtonBox* buttons = nullptr;

private:
    // "Both bands" follows the format; a generic choice of both becomes band A.
    void followFormat();
    void explain();
    const CsvFormatEntry& chosenFormat() const;

    Mode mode_;
    QLabel* meaning_ = nullptr;   // what the choices do, in a sentence or two
};

}   // namespace pellaro
