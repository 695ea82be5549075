// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>

namespace pellaro {

namespace {

// Options QGuiApplication and QApplication take from the command line
// themselves, and whether a value follows.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"display", true},
    {"geometry", true},        {"style", true},
    {"stylesheet", true},      {"widgetcount", false},
    {"qmljsdebugger", true},   {"nograb", false},
    {"dograb", false},         {"sync", false},
};

// The arguments without the toolkit's options and their values.
QStringList withoutToolkitOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (i == 0 || !arg.startsWith(QLatin1Char('-'))) {
            kept << arg;
            continue;
        }
        // The toolkit takes "-name" and "--name", the value apart or after "=".
        QString name = arg.mid(arg.startsWith(QStringLiteral("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const bool inlineValue = equals >= 0;
        if (inlineValue)
            name.truncate(equals);
        const ToolkitOption* option = nullptr;
        for (const ToolkitOption& o : kToolkitOptions)
            if (name == QLatin1String(o.name))
                option = &o;
        if (!option) {
            kept << arg;
            continue;
        }
        if (option->takesValue && !inlineValue)
            ++i;
    }
    return kept;
}

}   // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programming tool for the Pellaro dual-band two-way radio."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("Use DIR/image as the data folder (password, company name, background "
                       "picture) instead of the one the program chooses."),
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
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A codeplug file (.bc) to open in the main window after the login, as "
                                                "File > Open would."),
                                 QStringLiteral("[FILE]"));

    CommandLine result;
    if (!parser.parse(withoutToolkitOptions(arguments))) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.outcome = CommandLine::Outcome::Help;
        result.text = parser.helpText();
        // Without an application object the parser cannot name the program.
        if (!arguments.isEmpty())
            result.text.replace(QStringLiteral("<executable_name>"), arguments.first());
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = QStringLiteral("Only one codeplug file can be opened, not %1: %2.")
                          .arg(files.size())
                          .arg(files.join(QStringLiteral(", ")));
        return result;
    }
    if (!files.isEmpty()) {
        result.options.file = files.first();
        if (result.options.file.isEmpty()) {
            result.outcome = CommandLine::Outcome::Error;
            result.text = QStringLiteral("The codeplug file name is empty.");
            return result;
        }
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

}   // namespace pellaro
