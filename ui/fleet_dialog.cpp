// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fleet_dialog.h"

#include <unistd.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "clone/fleet.h"
#include "codeplug/setting_entry.h"
#include "codeplug/write_check.h"
#include "files/codeplug_file.h"
#include "files/csv_text.h"
#include "files/fleet_plan.h"
#include "ui/command_host.h"
#include "ui/commands.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}
std::string ss(const QString& s)
{
    return s.toStdString();
}

QString joined(const std::vector<ReportItem>& items)
{
    std::vector<std::string> lines;
    for (const ReportItem& item : items)
        lines.push_back(itemText(item));
    QStringList out;
    for (const std::string& line : shownLines(lines))
        out << qs(line);
    return out.join(QLatin1Char('\n'));
}

const char* const kStageNames[] = {"Waiting for the radio", "Backing up", "Writing", "Verifying",
                                   "Take it off the cable"};

}   // namespace

// What the run asks of the dialog: the next radio, backups, the log, states.
class FleetDialog::Host : public FleetHost {
public:
    Host(FleetDialog& d, const FleetPlan& plan, const std::vector<FleetJob>& jobs) : d_(d), plan_(plan), jobs_(jobs) {}

    bool awaitRadio(const FleetJob& job, const std::string& prompt) override
    {
        d_.setState(row(job), QStringLiteral("Waiting for the radio"));
        d_.status->setText(qs(prompt));
        d_.continued_ = false;
        d_.continueButton->setEnabled(true);
        d_.continueButton->setDefault(true);
        d_.continueButton->setFocus();
        QEventLoop loop;
        d_.waiting_ = &loop;
        loop.exec();
        d_.waiting_ = nullptr;
        d_.continueButton->setEnabled(false);
        d_.startButton->setDefault(true);
        return d_.continued_;
    }

    bool saveBackup(const FleetJob& job, const Document& radio, std::string& savedAs, std::string& error) override
    {
        return saveFleetBackup(ss(d_.backupFolder->text()), job.label, radio, savedAs, error);
    }

    std::string timestamp() override { return localTimestamp(); }

    bool finished(const FleetJob& job, const FleetResult& result, const std::string& start,
                  const std::string& end) override
    {
        const FleetRow& r = plan_.rows[static_cast<std::size_t>(row(job))];
        std::string error;
        d_.setState(row(job), result.ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + qs(result.message));
        if (appendDurably(
                ss(d_.logFile->text()),
                fleetLogRow({job.label, r.values, start, end, result.ok, result.message, result.verifyDifferences}),
                error))
            return true;
        d_.host_.seam().message(&d_, qs(error) + QStringLiteral("; the run stops here."));
        return false;
    }

    void say(const std::string& line) override
    {
        if (line.rfind("  ", 0) != 0)
            d_.status->setText(qs(line));   // difference lines go to the log only
    }

    void stage(const FleetJob& job, FleetStage stage, int blocks) override
    {
        QString text = QString::fromLatin1(kStageNames[static_cast<int>(stage)]);
        if (blocks > 0)
            text += QStringLiteral(" %1/136").arg(blocks);
        d_.setState(row(job), text);
    }

private:
    int row(const FleetJob& job) const { return static_cast<int>(&job - jobs_.data()); }

    FleetDialog& d_;
    const FleetPlan& plan_;
    const std::vector<FleetJob>& jobs_;
};

FleetDialog::FleetDialog(CommandHost& host) : QDialog(host.dialogParent()), host_(host)
{
    setObjectName(QStringLiteral("FleetDialog"));
    setWindowTitle(QStringLiteral("Program Several Radios"));
    setModal(true);

    table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("FleetRadios"));
    table->setMinimumSize(560, 240);
    table->horizontalHeader()->setStretchLastSection(true);

    auto* open = new QPushButton(QStringLiteral("&Open Radios CSV…"), this);
    generateName = new QLineEdit(QString::fromUtf8(settingName(kNativeIdCode)), this);
    generateFirst = new QLineEdit(QStringLiteral("101"), this);
    generateFirst->setMaximumWidth(90);
    generateCount = new QSpinBox(this);
    generateCount->setRange(1, 1000);
    generateCount->setValue(10);
    auto* gen = new QPushButton(QStringLiteral("&Generate"), this);
    auto* source = new QHBoxLayout;
    source->addWidget(open);
    source->addSpacing(12);
    generateName->setMinimumWidth(generateName->fontMetrics().horizontalAdvance(generateName->text()) + 24);
    source->addWidget(generateName, 1);
    source->addWidget(new QLabel(QStringLiteral("from"), this));
    source->addWidget(generateFirst);
    source->addWidget(new QLabel(QStringLiteral("count"), this));
    source->addWidget(generateCount);
    source->addWidget(gen);

    verify = new QCheckBox(QStringLiteral("&Verify each radio"), this);
    fast = new QCheckBox(QStringLiteral("&Fast Transfers"), this);
    fast->setChecked(host.engine().fastTransfers());
    detect = new QCheckBox(QStringLiteral("&Detect each radio on the cable"), this);
    backup = new QCheckBox(QStringLiteral("&Backup each radio into:"), this);
    backupFolder = new QLineEdit(this);
    auto* pickFolder = new QPushButton(QStringLiteral("…"), this);
    logFile = new QLineEdit(this);
    auto* pickLog = new QPushButton(QStringLiteral("…"), this);
    auto* choices = new QFormLayout;
    auto* checks = new QHBoxLayout;
    checks->addWidget(verify);
    checks->addWidget(fast);
    checks->addWidget(detect);
    choices->addRow(checks);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(backupFolder, 1);
    folderRow->addWidget(pickFolder);
    choices->addRow(backup, folderRow);
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(logFile, 1);
    logRow->addWidget(pickLog);
    auto* logLabel = new QLabel(QStringLiteral("&Log file:"), this);
    logLabel->setBuddy(logFile);
    choices->addRow(logLabel, logRow);

    status = new QLabel(this);
    status->setObjectName(QStringLiteral("FleetStatus"));
    status->setWordWrap(true);
    startButton = new QPushButton(QStringLiteral("&Start"), this);
    continueButton = new QPushButton(QStringLiteral("&Continue"), this);
    continueButton->setEnabled(false);
    stopButton = new QPushButton(QStringLiteral("S&top"), this);
    stopButton->setEnabled(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(startButton, QDialogButtonBox::ActionRole);
    buttons->addButton(continueButton, QDialogButtonBox::ActionRole);
    buttons->addButton(stopButton, QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    startButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addWidget(table, 1);
    layout->addLayout(choices);
    layout->addWidget(status);
    layout->addWidget(buttons);

    connect(open, &QPushButton::clicked, this, &FleetDialog::openCsv);
    connect(gen, &QPushButton::clicked, this, &FleetDialog::generate);
    connect(startButton, &QPushButton::clicked, this, &FleetDialog::start);
    connect(stopButton, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(close, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(continueButton, &QPushButton::clicked, this, [this] {
        continued_ = true;
        if (waiting_)
            waiting_->quit();
    });
    connect(pickFolder, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Backup Folder"));
        if (!dir.isEmpty())
            backupFolder->setText(dir);
    });
    connect(pickLog, &QPushButton::clicked, this, [this] {
        const QString path = host_.seam().saveFileName(this, QStringLiteral("Log File"),
                                                       QStringLiteral("CSV files (*.csv);;All files (*)"));
        if (!path.isEmpty())
            logFile->setText(path);
    });
    generate();
}

FleetDialog::~FleetDialog() = default;

void FleetDialog::addToEditMenu(QMenu* menu, CommandHost& host)
{
    menu->addSeparator();
    // The open codeplug is the template: what a cell editor holds goes in first.
    host.commands().add(menu, {.name = "ProgramSeveralRadios",
                               .text = QStringLiteral("Program Several Radios…"),
                               .usesDocument = true,
                               .run = [&host] {
                                   auto* dialog = host.dialogParent()->findChild<FleetDialog*>(
                                       QStringLiteral("FleetDialog"), Qt::FindDirectChildrenOnly);
                                   if (!dialog)
                                       dialog = new FleetDialog(host);
                                   dialog->exec();
                               }});
}

void FleetDialog::setTable(const QStringList& header, const QList<QStringList>& rows)
{
    table->clear();
    table->setColumnCount(static_cast<int>(header.size()) + 1);
    table->setRowCount(static_cast<int>(rows.size()));
    table->setHorizontalHeaderLabels(header + QStringList{QStringLiteral("State")});
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < header.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(c < rows[r].size() ? rows[r][c] : QString()));
        auto* state = new QTableWidgetItem;
        state->setFlags(Qt::ItemIsEnabled);
        table->setItem(r, static_cast<int>(header.size()), state);
    }
    // The value columns as wide as their names, so a name is read whole.
    for (int c = 0; c < header.size(); ++c)
        table->resizeColumnToContents(c);
}

QStringList FleetDialog::header() const
{
    QStringList names;
    for (int c = 0; c + 1 < table->columnCount(); ++c)
        names << table->horizontalHeaderItem(c)->text();
    return names;
}

void FleetDialog::setState(int row, const QString& text)
{
    if (QTableWidgetItem* item = table->item(row, table->columnCount() - 1))
        item->setText(text);
}

void FleetDialog::openCsv()
{
    const QString path = host_.seam().openFileName(this, QStringLiteral("Open Radios CSV"),
                                                   QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    std::string text;
    FileResult read = readWholeFile(ss(path), text);
    const CsvTable csv = read.ok() ? parseCsv(text) : CsvTable{};
    const std::string error = !read.ok() ? read.error : !csv.ok() ? csv.error : csv.records.empty() ? "no header" : "";
    if (!error.empty()) {
        host_.seam().message(this, path + QStringLiteral(": ") + qs(error));
        return;
    }
    QStringList header;
    for (const std::string& f : csv.records.front().fields)
        header << qs(f);
    QList<QStringList> rows;
    for (std::size_t i = 1; i < csv.records.size(); ++i) {
        QStringList row;
        for (const std::string& f : csv.records[i].fields)
            row << qs(f);
        rows << row;
    }
    setTable(header, rows);
}

void FleetDialog::generate()
{
    const auto rows = countedValues(ss(generateFirst->text()), generateCount->value());
    if (rows.empty()) {
        host_.seam().message(this, QStringLiteral("The first value must end in a number, such as 101."));
        return;
    }
    QList<QStringList> table;
    for (const auto& r : rows)
        table << QStringList{qs(r.front())};
    setTable({generateName->text()}, table);
}

void FleetDialog::setRunning(bool on)
{
    running_ = on;
    startButton->setEnabled(!on);
    stopButton->setEnabled(on);
    table->setEnabled(!on);
    for (QWidget* w : std::initializer_list<QWidget*>{verify, fast, detect, backup, backupFolder, logFile, generateName,
                                                      generateFirst, generateCount})
        w->setEnabled(!on);
}

void FleetDialog::start()
{
    if (running_)
        return;
    UiSeam& seam = host_.seam();
    if (!host_.portReady()) {
        seam.message(this, QStringLiteral("Open the radio's port first (the port list of the main window)."));
        return;
    }
    // Nothing goes to any radio that the editors would refuse, as a write of
    // the open codeplug checks it.
    if (const std::vector<ReportItem> unfit = checkForWrite(host_.document()); !unfit.empty()) {
        seam.message(this, QStringLiteral("No radio was written. These values of the codeplug would not reach "
                                          "a radio as shown:\n\n") +
                               joined(unfit));
        return;
    }
    std::vector<std::string> names;
    for (const QString& n : header())
        names.push_back(ss(n));
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    for (int r = 0; r < table->rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c + 1 < table->columnCount(); ++c)
            row.push_back(table->item(r, c) ? ss(table->item(r, c)->text()) : std::string());
        rows.push_back(row);
        lines.push_back(r + 1);
    }
    const FleetPlan plan = planFleet(host_.document(), names, rows, lines);
    if (!plan.error.empty()) {
        seam.message(this, qs(plan.error));
        return;
    }
    if (!plan.refused.empty()) {
        seam.message(this, QStringLiteral("%1 values refused; no radio was written.\n\n").arg(plan.refused.size()) +
                               joined(plan.refused));
        return;
    }
    if (!plan.changed.empty())
        seam.message(this, QStringLiteral("Changed on the way in:\n\n") + joined(plan.changed));
    const std::string folder = ss(backupFolder->text());
    if (backup->isChecked() && (folder.empty() || ::access(folder.c_str(), W_OK | X_OK) != 0)) {
        seam.message(this, QStringLiteral("Name a folder that can be written for the backups."));
        return;
    }
    if (logFile->text().isEmpty()) {
        seam.message(this, QStringLiteral("Name a log file: it records which radio got what."));
        return;
    }
    std::set<std::string> loggedOk;
    std::string error;
    if (!openFleetLog(ss(logFile->text()), plan.names, loggedOk, error)) {
        seam.message(this, qs(error));
        return;
    }

    std::vector<FleetJob> jobs;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const FleetRow& row = plan.rows[i];
        jobs.push_back({row.label, fleetRadioTitle(plan, i), &row.doc, loggedOk.count(row.label) > 0});
        setState(static_cast<int>(i), jobs.back().skip ? QStringLiteral("logged ok before, skipped") : QString());
    }
    StoppableLink link(host_.cloneLink());
    CloneEngine engine(link);
    engine.setFastTransfers(fast->isChecked());
    Host host(*this, plan, jobs);
    link_ = &link;
    setRunning(true);
    const FleetSummary s =
        runFleet(link, engine, jobs, {backup->isChecked(), verify->isChecked(), detect->isChecked()}, host);
    link_ = nullptr;
    setRunning(false);
    status->setText(QStringLiteral("%1 ok, %2 failed, %3 skipped%4%5")
                        .arg(s.ok)
                        .arg(s.failed)
                        .arg(s.skipped)
                        .arg(s.notReached ? QStringLiteral(", %1 not reached").arg(s.notReached) : QString())
                        .arg(s.interrupted ? QStringLiteral("; stopped") : QString()));
}

void FleetDialog::stop()
{
    if (link_)
        link_->stop();
    if (waiting_)
        waiting_->quit();
}

// Escape and the close box stop a run instead of closing over it.
void FleetDialog::reject()
{
    if (running_) {
        stop();
        return;
    }
    QDialog::reject();
}

}   // namespace pellaro
