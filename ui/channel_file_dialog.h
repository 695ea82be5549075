// The small dialog before File > "Import Channels…" and "Export Channels…":
// which band (A, B or both), which CSV format (native or generic) and, for an
// import, whether the rows merge into the band or replace it. It hands back a
// plain choice; the file itself is asked for afterwards.
#pragma once

#include <QDialog>

#include <optional>

#include "files/channel_csv.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace pellaro {

struct ChannelFileChoice {
    std::optional<Band> band;   // nothing: both bands (native only)
    CsvFormat format = CsvFormat::Native;
    bool replace = false;       // import: empty the band(s) first

    bool operator==(const ChannelFileChoice&) const = default;
};

class ChannelFileDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Import, Export };
    ChannelFileDialog(Purpose purpose, QWidget* parent = nullptr);

    // Shows the dialog modally; nothing when cancelled. The choice stays for
    // the next time in this run.
    std::optional<ChannelFileChoice> ask();
    ChannelFileChoice choice() const;

    QRadioButton* bandA = nullptr;
    QRadioButton* bandB = nullptr;
    QRadioButton* bothBands = nullptr;   // disabled for the generic format
    QRadioButton* native = nullptr;
    QRadioButton* generic = nullptr;
    QRadioButton* merge = nullptr;       // import only
    QRadioButton* replace = nullptr;     // import only
    QLabel* hint = nullptr;              // what the choice will do
    QPushButton* chooseFile = nullptr;   // accepts

private:
    // The generic format holds one band; the hint follows the choice.
    void follow();

    Purpose purpose_;
};

}  // namespace pellaro
