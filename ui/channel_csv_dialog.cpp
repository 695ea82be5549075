// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/channel_csv_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellaro {

namespace {

QRadioButton* option(QGroupBox* box, const char* name, const QString& text)
{
    auto* button = new QRadioButton(text, box);
    button->setObjectName(QString::fromLatin1(name));
    box->layout()->addWidget(button);
    return button;
}

QGroupBox* group(QWidget* parent, const QString& title)
{
    auto* box = new QGroupBox(title, parent);
    box->setLayout(new QVBoxLayout);
    return box;
}

}   // namespace

ChannelCsvDialog::ChannelCsvDialog(Mode mode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), mode_(mode)
{
    const bool importing = mode == Mode::Import;
    setObjectName(importing ? QStringLiteral("ImportChannelsDialog") : QStringLiteral("ExportChannelsDialog"));
    setWindowTitle(importing ? QStringLiteral("Import Channels") : QStringLiteral("Export Channels"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);

    QGroupBox* bands = group(this, QStringLiteral("Band"));
    bandA = option(bands, "CsvBandA", QStringLiteral("A/Upper Band"));
    bandB = option(bands, "CsvBandB", QStringLiteral("B/Under Band"));
    bothBands = option(bands, "CsvBothBands", QStringLiteral("Both bands (native format only)"));
    layout->addWidget(bands);

    QGroupBox* formatBox = group(this, QStringLiteral("Format"));
    for (const CsvFormatEntry& f : csvFormats()) {
        const std::string name = "Csv" + std::string(f.title);
        formats.push_back(
            option(formatBox, name.c_str(), QString::fromUtf8(f.label.data(), qsizetype(f.label.size()))));
    }
    layout->addWidget(formatBox);

    if (importing) {
        QGroupBox* how = group(this, QStringLiteral("Channels"));
        merge = option(how, "CsvMerge", QStringLiteral("Merge: each row replaces the channel of its number"));
        replace = option(how, "CsvReplace", QStringLiteral("Replace: empty the band first"));
        layout->addWidget(how);
        merge->setChecked(true);
        connect(merge, &QRadioButton::toggled, this, &ChannelCsvDialog::explain);
    }

    meaning_ = new QLabel(this);
    meaning_->setObjectName(QStringLiteral("CsvMeaning"));
    meaning_->setWordWrap(true);
    layout->addWidget(meaning_);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Choose File…"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    bothBands->setChecked(true);
    formats.front()->setChecked(true);
    for (QRadioButton* b : {bandA, bandB, bothBands})
        connect(b, &QRadioButton::toggled, this, &ChannelCsvDialog::explain);
    for (QRadioButton* b : formats)
        connect(b, &QRadioButton::toggled, this, &ChannelCsvDialog::followFormat);
    followFormat();
    setFixedWidth(sizeHint().width() + 40);
}

std::optional<CsvChoice> ChannelCsvDialog::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return choice();
}

const CsvFormatEntry& ChannelCsvDialog::chosenFormat() const
{
    const auto all = csvFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (formats[i]->isChecked())
            return all[i];
    return all.front();
}

CsvChoice ChannelCsvDialog::choice() const
{
    CsvChoice c;
    c.format = chosenFormat().id;
    if (bandA->isChecked())
        c.band = Band::A;
    else if (bandB->isChecked())
        c.band = Band::B;
    c.replace = replace && replace->isChecked();
    return c;
}

void ChannelCsvDialog::setChoice(const CsvChoice& c)
{
    const auto all = csvFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (all[i].id == c.format)
            formats[i]->setChecked(true);
    (!c.band ? bothBands : *c.band == Band::A ? bandA : bandB)->setChecked(true);
    if (replace)
        (c.replace ? replace : merge)->setChecked(true);
    followFormat();
}

void ChannelCsvDialog::followFormat()
{
    const bool oneBand = chosenFormat().oneBand;
    if (oneBand && bothBands->isChecked())
        bandA->setChecked(true);
    bothBands->setEnabled(!oneBand);
    explain();
}

void ChannelCsvDialog::explain()
{
    const CsvChoice c = choice();
    const QString band = !c.band              ? QString()
                         : *c.band == Band::A ? QStringLiteral("A/Upper Band")
                                              : QStringLiteral("B/Under Band");
    QString text;
    if (mode_ == Mode::Export) {
        text = c.band ? QStringLiteral("The programmed channels of %1").arg(band)
                      : QStringLiteral("The programmed channels of both bands, each row naming its band");
        text += c.format == CsvFormat::Generic ? QStringLiteral(", in the generic columns.")
                                               : QStringLiteral(", with their cell texts as they stand.");
    } else {
        if (c.format == CsvFormat::Generic)
            text = QStringLiteral("The file's Locations are channels of %1.").arg(band);
        else if (c.band)
            text = QStringLiteral("Only the file's rows of %1 are taken.").arg(band);
        else
            text = QStringLiteral("Each row goes into the band its Band column names.");
        text += c.replace ? QStringLiteral(" %1 emptied first; then the rows go in.")
                                .arg(c.band ? QStringLiteral("The band is") : QStringLiteral("Both bands are"))
                          : QStringLiteral(" Each row replaces the channel of its number; the other channels stay.");
        text += QStringLiteral(" Every value goes through the rules of typing it; what is refused is listed.");
    }
    meaning_->setText(text);
}

}   // namespace pellaro
