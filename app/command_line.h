// The program's command line: --data-dir DIR, --port PATH (repeatable),
// --simulate and --help.
#pragma once

#include <QString>
#include <QStringList>

namespace pellaro {

struct StartOptions {
    QString dataDir;      // empty: the folder `image` beside the program
    QStringList ports;    // extra device paths for the port list
    bool simulate = false;
};

struct CommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    StartOptions options;
    QString text;   // the help text for Help, the complaint for Error
};

// `arguments` starts with the program name, as QCoreApplication::arguments().
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace pellaro
