// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/interchange_actions.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTime>

#include <functional>
#include <utility>

#include "clone/engine.h"
#include "codeplug/compare.h"
#include "codeplug/report.h"
#include "files/codeplug_file.h"
#include "files/csv_formats.h"
#include "ui/channel_csv_dialog.h"
#include "ui/command_host.h"
#include "ui/commands.h"
#include "ui/compare_radio_dialog.h"
#include "ui/differences_window.h"
#include "ui/doc_text.h"
#include "ui/document_history.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

const QString kCsvFilter = QStringLiteral("CSV files (*.csv);;All files (*)");
const QString kCodeplugFilter = QStringLiteral("*.bc (*.bc)");

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString channels(int n)
{
    return n == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(n);
}

// The codeplug file at `path`, compared with the open one.
Comparison fileComparison(const Document& open, const QString& path)
{
    std::string bytes;
    const FileResult read = readWholeFile(localPath(path), bytes);
    if (!read.ok())
        return {{}, QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(read.error))};
    Document other;
    const FileResult loaded = loadCodeplug(bytes, other);
    if (!loaded.ok())
        return {{}, displayText(notACodeplugMessage(path.toStdString(), loaded))};
    return {compareDocuments(open, other), {}};
}

}   // namespace

// The issues of a report, refused first, then changed, then notes, each
// group under its title; the first lines of them, as every long report shows.
static QString issueListText(const ImportReport& report)
{
    const std::pair<Severity, QString> groups[] = {{Severity::Refused, QStringLiteral("Not taken:")},
                                                   {Severity::Changed, QStringLiteral("Changed on the way in:")},
                                                   {Severity::Note, QStringLiteral("Notes:")}};
    std::vector<std::string> lines;
    std::vector<Severity> severities;
    for (const auto& [severity, title] : groups)
        for (const ReportItem& item : report.issues)
            if (item.severity == severity) {
                lines.push_back(itemText(item));
                severities.push_back(severity);
            }
    const std::vector<std::string> shown = shownLines(lines);
    QString text;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i < severities.size() && (i == 0 || severities[i] != severities[i - 1]))
            for (const auto& [severity, title] : groups)
                if (severity == severities[i])
                    text += QLatin1Char('\n') + title;
        text += QLatin1Char('\n') + displayText(shown[i]);
    }
    return text;
}

QString importReportText(const ImportReport& report, const QString& fileName)
{
    QString text;
    if (!report.applied) {
        // Replace takes the rows all or none.
        text = QStringLiteral(
                   "Nothing was imported from %1: Replace takes every row or none, and %2 and %3 "
                   "would be refused. Nothing was changed; mend the file, or import with Merge to "
                   "take the rest.")
                   .arg(fileName,
                        report.rowsRefused == 1 ? QStringLiteral("1 row")
                                                : QStringLiteral("%1 rows").arg(report.rowsRefused),
                        report.valuesRefused() == 1 ? QStringLiteral("1 value")
                                                    : QStringLiteral("%1 values").arg(report.valuesRefused()));
        return text + issueListText(report);
    }
    text = report.rowsTaken > 0 ? QStringLiteral("Imported %1 from %2.").arg(channels(report.rowsTaken), fileName)
                                : QStringLiteral("No channel was imported from %1.").arg(fileName);
    if (report.channelsEmptied > 0)
        text += report.channelsEmptied == 1 ? QStringLiteral(" 1 channel was emptied.")
                                            : QStringLiteral(" %1 channels were emptied.").arg(report.channelsEmptied);
    if (report.rowsRefused > 0)
        text += report.rowsRefused == 1 ? QStringLiteral(" 1 row was left out.")
                                        : QStringLiteral(" %1 rows were left out.").arg(report.rowsRefused);
    return text + issueListText(report);
}

InterchangeActions::InterchangeActions(CommandHost& host)
    : QObject(host.dialogParent()), host_(host), window_(host.dialogParent())
{
    Commands& commands = host_.commands();
    // Each of them changes or reads the document.
    auto make = [&](const char* name, const QString& text, void (InterchangeActions::*handler)(),
                    std::function<bool()> enabled = {}) {
        return commands.make(this, {.name = name,
                                    .text = text,
                                    .usesDocument = true,
                                    .run = [this, handler] { (this->*handler)(); },
                                    .enabled = std::move(enabled)});
    };
    // An import while a transfer writes into the document would be lost
    // under the transfer's own result.
    importChannels = make("ImportChannels", QStringLiteral("Import Channels…"), &InterchangeActions::importFromFile,
                          [this] { return !host_.engine().busy(); });
    exportChannels = make("ExportChannels", QStringLiteral("Export Channels…"), &InterchangeActions::exportToFile);
    compareWithFile = make("CompareWithFile", QStringLiteral("Compare with File…"), &InterchangeActions::compareFile);
    compareWithRadio = make("CompareWithRadio", QStringLiteral("Compare with Radio…"),
                            &InterchangeActions::compareRadio, [this] { return radioReady(); });

    fastTransfers = commands.make(this, {.name = "FastTransfers",
                                         .text = QStringLiteral("Fast Transfers"),
                                         .run = [this] { host_.engine().setFastTransfers(fastTransfers->isChecked()); },
                                         .checked = [this] { return host_.engine().fastTransfers(); }});
    fastTransfers->setChecked(host_.engine().fastTransfers());
    fastTransfers->setToolTip(
        QStringLiteral("Full read, full write and Compare with Radio take each answer as "
                       "it arrives; off at every start"));
}

InterchangeActions::~InterchangeActions()
{
    // The windows read the main window's document: they go with the commands.
    delete differences_;
    delete radioDialog_;
    delete importDialog_;
    delete exportDialog_;
}

void InterchangeActions::addToFileMenu(QMenu* menu) const
{
    Commands::addDivider(menu, "FileDivider");
    menu->addActions({importChannels, exportChannels, compareWithFile});
}

void InterchangeActions::addToEditMenu(QMenu* menu) const
{
    menu->addSeparator();
    menu->addActions({compareWithRadio, fastTransfers});
}

bool InterchangeActions::radioReady() const
{
    return !host_.engine().busy() && host_.portReady();
}

// ---- channel plans -------------------------------------------------------------

void InterchangeActions::importFromFile()
{
    if (!importDialog_)
        importDialog_ = new ChannelCsvDialog(ChannelCsvDialog::Mode::Import, window_);
    const std::optional<CsvChoice> choice = importDialog_->ask();
    if (!choice)
        return;
    const QString path = host_.seam().openFileName(window_, QStringLiteral("Import Channels"), kCsvFilter);
    if (!path.isEmpty())
        import(path, *choice);
}

void InterchangeActions::import(const QString& path, const CsvChoice& choice)
{
    const QString name = QFileInfo(path).fileName();
    auto refuse = [&](const QString& why, const QString& list = {}) {
        host_.seam().message(window_,
                             QStringLiteral("%1 cannot be imported: %2. Nothing was changed.%3").arg(name, why, list));
    };
    if (host_.engine().busy())
        return;
    if (QFileInfo(path).size() > qint64(kLargestChannelCsv)) {
        refuse(displayText(csvTooLargeText()));
        return;
    }
    std::string csv;
    const FileResult read = readWholeFile(localPath(path), csv);
    if (!read.ok()) {
        // The reason names the file itself.
        QString why = QString::fromLocal8Bit(read.error);
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        host_.seam().message(window_, QStringLiteral("%1. Nothing was changed.").arg(why));
        return;
    }
    const ImportOptions options{choice.format, choice.band, choice.replace};
    ImportReport report;
    // A file that changes nothing (unusable, or a Replace that would refuse
    // something) leaves the document as it was: no step then.
    host_.history().perform(
        [&](Document& doc) {
            report = pellaro::importChannels(doc, csv, options);
            return QStringLiteral("Import %1 from %2").arg(channels(report.rowsTaken), name);
        },
        [&] {
            return StepPlace{choice.band == Band::B ? 2 : 0, {}};
        });
    if (!report.usable) {
        QString why = displayText(report.error);
        const std::optional<CsvFormat> holds = detectCsvFormat(csv);
        if (holds && *holds != choice.format) {
            const CsvFormatEntry& held = csvFormat(*holds);
            why += QStringLiteral("; it holds %1: choose %2")
                       .arg(QString::fromUtf8(held.columns.data(), qsizetype(held.columns.size())),
                            QString::fromUtf8(held.title.data(), qsizetype(held.title.size())));
        }
        refuse(why, issueListText(report));
        return;
    }
    host_.seam().message(window_, importReportText(report, name));
}

void InterchangeActions::exportToFile()
{
    if (!exportDialog_)
        exportDialog_ = new ChannelCsvDialog(ChannelCsvDialog::Mode::Export, window_);
    const std::optional<CsvChoice> choice = exportDialog_->ask();
    if (!choice)
        return;
    const QString path = host_.seam().saveFileName(window_, QStringLiteral("Export Channels"), kCsvFilter);
    if (!path.isEmpty())
        exportTo(path, *choice);
}

void InterchangeActions::exportTo(QString path, const CsvChoice& choice)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const CsvExport out = pellaro::exportChannels(host_.document(), choice.format, choice.band);
    if (!out.ok()) {
        host_.seam().message(window_, QStringLiteral("Not exported: %1").arg(displayText(out.error)));
        return;
    }
    // A channel plan never replaces a codeplug file (the open one included).
    const std::string refusal = exportTargetRefusal(localPath(path), {});
    if (!refusal.empty()) {
        host_.seam().message(window_, QStringLiteral("Not exported: %1. Nothing was written; choose another file name.")
                                          .arg(QString::fromLocal8Bit(refusal.c_str())));
        return;
    }
    // Through a temporary file renamed over the target, as Save writes; the
    // reason names the file.
    const FileResult written = writeFileAtomically(localPath(path), out.csv);
    if (!written.ok()) {
        host_.seam().message(window_, QStringLiteral("Not exported: %1").arg(QString::fromLocal8Bit(written.error)));
        return;
    }
    host_.seam().message(window_, QStringLiteral("Exported %1 to %2.").arg(channels(out.rows), path));
}

// ---- comparisons -----------------------------------------------------------------

DifferencesWindow& InterchangeActions::differences()
{
    if (!differences_) {
        differences_ = new DifferencesWindow(window_);
        connect(differences_, &DifferencesWindow::activated, this, &InterchangeActions::showDifference);
    }
    return *differences_;
}

void InterchangeActions::compareFile()
{
    const QString path = host_.seam().openFileName(window_, QStringLiteral("Compare with File"), kCodeplugFilter);
    if (path.isEmpty())
        return;
    const Document& open = host_.document();
    ComparisonSource source{QStringLiteral("Compare with File: %1").arg(QFileInfo(path).fileName()), path,
                            [&open, path] { return fileComparison(open, path); }};
    Comparison outcome = source.compare();
    if (!outcome.error.isEmpty()) {
        host_.seam().message(window_, outcome.error);
        return;
    }
    differences().showComparison(std::move(source), std::move(outcome));
}

void InterchangeActions::compareRadio()
{
    if (!radioReady())
        return;
    if (!radioDialog_)
        radioDialog_ = new CompareRadioDialog(host_);
    // The dialog shows "Read success!" or the read's failure; only a
    // successful read has anything to list.
    std::optional<RadioComparison> read = radioDialog_->ask();
    if (!read)
        return;
    const QString port = host_.portName();
    const Document& open = host_.document();
    // Refresh compares the open codeplug again with what was read then; it
    // does not read the radio again.
    ComparisonSource source{QStringLiteral("Compare with Radio: %1").arg(port),
                            QStringLiteral("the radio on %1 as read at %2")
                                .arg(port, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
                            [&open, replies = read->replies] {
                                return Comparison{compareImages(writeImage(open), replies), {}};
                            }};
    differences().showComparison(std::move(source), Comparison{std::move(read->differences), {}});
}

void InterchangeActions::showDifference(const Difference& d)
{
    host_.endCellEdit();
    // The main window comes forward with the focus; the list stays in view
    // above it, for the next line.
    window_->raise();
    window_->activateWindow();
    if (differences_ && differences_->isVisible())
        differences_->raise();
    host_.showPlaceOf(d);
}

}   // namespace pellaro
