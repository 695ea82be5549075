#include "app/command_line.h"

#include <QCommandLineParser>

namespace pellaro {

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Programming tool for the Pellaro dual-band two-way radio."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("Use DIR/image as the data folder (password, company name, background "
                       "picture) instead of the folder image beside the program."),
        QStringLiteral("DIR"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Add the device PATH to the port list (for example a pseudo-terminal); "
                       "may be given more than once."),
        QStringLiteral("PATH"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Start a simulated radio inside the program and put its device first "
                       "in the port list."));
    parser.addOption(dataDir);
    parser.addOption(port);
    parser.addOption(simulate);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.outcome = CommandLine::Outcome::Help;
        result.text = parser.helpText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return result;
    }
    if (parser.isSet(dataDir)) {
        result.options.dataDir = parser.value(dataDir);
        if (result.options.dataDir.isEmpty()) {
            result.outcome = CommandLine::Outcome::Error;
            result.text = QStringLiteral("--data-dir needs a folder.");
            return result;
        }
    }
    for (const QString& path : parser.values(port)) {
        if (path.isEmpty()) {
            result.outcome = CommandLine::Outcome::Error;
            result.text = QStringLiteral("--port needs a device path.");
            return result;
        }
        result.options.ports << path;
    }
    result.options.simulate = parser.isSet(simulate);
    return result;
}

}  // namespace pellaro
