#include "ui/channel_file_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellaro {

namespace {

QRadioButton* option(QGroupBox* box, QButtonGroup* group, const char* name, const QString& text)
{
    auto* button = new QRadioButton(text, box);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button);
    box->layout()->addWidget(button);
    return button;
}

QGroupBox* groupBox(const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    return box;
}

}  // namespace

ChannelFileDialog::ChannelFileDialog(Purpose purpose, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), purpose_(purpose)
{
    const bool importing = purpose == Purpose::Import;
    setObjectName(importing ? QStringLiteral("ImportChannelsDialog") : QStringLiteral("ExportChannelsDialog"));
    setWindowTitle(importing ? QStringLiteral("Import Channels") : QStringLiteral("Export Channels"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);

    QGroupBox* bands = groupBox(QStringLiteral("Band"), this);
    auto* bandGroup = new QButtonGroup(bands);
    bandA = option(bands, bandGroup, "BandA", QStringLiteral("A/Upper Band"));
    bandB = option(bands, bandGroup, "BandB", QStringLiteral("B/Under Band"));
    bothBands = option(bands, bandGroup, "BothBands", QStringLiteral("Both bands (native format only)"));
    bothBands->setChecked(true);
    layout->addWidget(bands);

    QGroupBox* formats = groupBox(QStringLiteral("Format"), this);
    auto* formatGroup = new QButtonGroup(formats);
    native = option(formats, formatGroup, "NativeFormat",
                    QStringLiteral("Native: Band, Channel and the twelve columns of the tables"));
    generic = option(formats, formatGroup, "GenericFormat",
                     QStringLiteral("Generic: Location, Name, Frequency, ... as other programming tools write it"));
    native->setChecked(true);
    layout->addWidget(formats);

    QGroupBox* rows = groupBox(QStringLiteral("Channels in the tables"), this);
    auto* rowGroup = new QButtonGroup(rows);
    merge = option(rows, rowGroup, "MergeRows",
                   QStringLiteral("Merge: each row replaces the channel of its number, the others stay"));
    replace = option(rows, rowGroup, "ReplaceRows", QStringLiteral("Replace: the band is emptied first"));
    merge->setChecked(true);
    rows->setVisible(importing);
    layout->addWidget(rows);

    hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("ChoiceHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    chooseFile = buttons->addButton(QStringLiteral("Choose File\u2026"), QDialogButtonBox::AcceptRole);
    chooseFile->setObjectName(QStringLiteral("ChooseFileButton"));
    chooseFile->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (QRadioButton* b : {bandA, bandB, bothBands, native, generic, merge, replace})
        connect(b, &QRadioButton::toggled, this, &ChannelFileDialog::follow);
    follow();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ChannelFileDialog::follow()
{
    const bool isGeneric = generic->isChecked();
    if (isGeneric && bothBands->isChecked())
        bandA->setChecked(true);   // toggles back into follow()
    bothBands->setEnabled(!isGeneric);

    const ChannelFileChoice c = choice();
    QString text;
    if (purpose_ == Purpose::Export) {
        text = !c.band ? QStringLiteral("Both bands go into one file, each row naming its band.")
                       : QStringLiteral("The programmed channels of band %1 go into the file.")
                             .arg(*c.band == Band::A ? QLatin1Char('A') : QLatin1Char('B'));
    } else if (c.format == CsvFormat::Generic) {
        text = QStringLiteral("Location n becomes channel n of band %1.").arg(*c.band == Band::A ? QLatin1Char('A') : QLatin1Char('B'));
    } else if (!c.band) {
        text = QStringLiteral("Each row goes into the band its Band column names.");
    } else {
        text = QStringLiteral("Only the rows of band %1 are taken.").arg(*c.band == Band::A ? QLatin1Char('A') : QLatin1Char('B'));
    }
    if (purpose_ == Purpose::Import) {
        text += c.replace ? (!c.band ? QStringLiteral(" Both bands are emptied first.") : QStringLiteral(" The band is emptied first."))
                          : QStringLiteral(" Channels the file does not hold stay as they are.");
        text += QStringLiteral(" Every value goes through the rules of typing; what is not taken is listed.");
    }
    hint->setText(text);
}

ChannelFileChoice ChannelFileDialog::choice() const
{
    ChannelFileChoice c;
    if (bandA->isChecked())
        c.band = Band::A;
    else if (bandB->isChecked())
        c.band = Band::B;
    c.format = generic->isChecked() ? CsvFormat::Generic : CsvFormat::Native;
    c.replace = purpose_ == Purpose::Import && replace->isChecked();
    return c;
}

std::optional<ChannelFileChoice> ChannelFileDialog::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return choice();
}

}  // namespace pellaro
