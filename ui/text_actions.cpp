// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_actions.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "clone/engine.h"
#include "codeplug/report.h"
#include "files/codeplug_file.h"
#include "ui/command_host.h"
#include "ui/commands.h"
#include "ui/doc_text.h"
#include "ui/document_history.h"
#include "ui/seam.h"

namespace pellaro {

namespace {

const QString kTextFilter = QStringLiteral("Codeplug texts (*.yaml *.yml);;All files (*)");

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString listed(const QString& title, const std::vector<std::string>& lines)
{
    QString text;
    if (lines.empty())
        return text;
    text += QLatin1Char('\n') + title;
    for (const std::string& line : shownLines(lines))
        text += QLatin1Char('\n') + displayText(line);
    return text;
}

std::vector<std::string> itemLines(const std::vector<ReportItem>& items)
{
    std::vector<std::string> lines;
    for (const ReportItem& item : items)
        lines.push_back(itemText(item));
    return lines;
}

}   // namespace

QString textImportReport(const TextLoadReport& report, const QString& fileName)
{
    if (!report.usable)
        return QStringLiteral("%1 cannot be imported: %2. Nothing was changed.")
            .arg(fileName, displayText(report.error));
    if (!report.refused.empty())
        return QStringLiteral("%1 was not imported; nothing was changed.").arg(fileName) +
               listed(QStringLiteral("Not taken:"), itemLines(report.refused));
    auto count = [](int n, const char* one, const char* many) {
        return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one))
                      : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
    };
    return QStringLiteral("Imported %1 and %2 from %3.")
               .arg(count(report.channels, "channel", "channels"), count(report.settings, "setting", "settings"),
                    fileName) +
           listed(QStringLiteral("Changed on the way in:"), itemLines(report.changed));
}

CodeplugTextActions::CodeplugTextActions(CommandHost& host)
    : QObject(host.dialogParent()), host_(host), window_(host.dialogParent())
{
    Commands& commands = host_.commands();
    exportText = commands.make(this, {.name = "ExportCodeplugText",
                                      .text = QStringLiteral("Export Codeplug as Text…"),
                                      .usesDocument = true,
                                      .run = [this] {
                                          const QString path = host_.seam().saveFileName(
                                              window_, QStringLiteral("Export Codeplug as Text"), kTextFilter);
                                          if (!path.isEmpty())
                                              exportTo(path);
                                      }});
    // An import while a transfer writes into the document would be lost
    // under the transfer's own result.
    importText = commands.make(this, {.name = "ImportCodeplugText",
                                      .text = QStringLiteral("Import Codeplug Text…"),
                                      .usesDocument = true,
                                      .run =
                                          [this] {
                                              const QString path = host_.seam().openFileName(
                                                  window_, QStringLiteral("Import Codeplug Text"), kTextFilter);
                                              if (!path.isEmpty())
                                                  importFrom(path);
                                          },
                                      .enabled = [this] { return !host_.engine().busy(); }});
}

void CodeplugTextActions::addToFileMenu(QMenu* menu) const
{
    menu->addActions({exportText, importText});
}

void CodeplugTextActions::exportTo(QString path)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".yaml");
    const CodeplugText text = dumpCodeplugText(host_.document());
    const FileResult written = writeFileAtomically(localPath(path), text.text);
    if (!written.ok()) {
        host_.seam().message(window_,
                             QStringLiteral("Not exported to %1: %2").arg(path, QString::fromLocal8Bit(written.error)));
        return;
    }
    host_.seam().message(window_, QStringLiteral("Exported the codeplug to %1.").arg(path) +
                                      listed(QStringLiteral("Would not load back as it stands:"), text.notes));
}

void CodeplugTextActions::importFrom(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (host_.engine().busy())
        return;
    if (QFileInfo(path).size() > static_cast<qint64>(kMaxCodeplugText)) {
        host_.seam().message(window_,
                             QStringLiteral("%1 cannot be imported: it is too large for a codeplug text. Nothing "
                                            "was changed.")
                                 .arg(name));
        return;
    }
    std::string yaml;
    const FileResult read = readWholeFile(localPath(path), yaml);
    if (!read.ok()) {
        host_.seam().message(window_, QStringLiteral("%1 cannot be imported: %2. Nothing was changed.")
                                          .arg(name, QString::fromLocal8Bit(read.error)));
        return;
    }
    TextLoadReport report;
    // From New, as pellaro-cli load; a refused text leaves the document and
    // pushes no step.
    host_.history().perform([&](Document& doc) {
        Document loaded;
        report = loadCodeplugText(yaml, loaded);
        if (report.ok())
            doc = std::move(loaded);
        return QStringLiteral("Import Codeplug Text from %1").arg(name);
    });
    host_.seam().message(window_, textImportReport(report, name));
}

}   // namespace pellaro
