// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: --data-dir DIR, --port PATH (repeatable),
// --simulate, --help and at most one codeplug file to open.
#pragma once

#include <QString>
#include <QStringList>

namespace pellaro {

struct StartOptions {
    QString dataDir;     // empty: the folder `image` beside the program
    QStringList ports;   // extra device paths for the port list
    bool simulate = false;
    QString file;   // a codeplug file to open after the login; empty: none
};

struct CommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    StartOptions options;
    QString text;   // the help text for Help, the complaint for Error
};

// `arguments` starts with the program name; it is the whole command line as
// main() gets it, read before any window system is needed, so --help and a
// bad option are answered without a display. The toolkit's own options
// (-platform, -style, ...) are left for it to take.
CommandLine parseCommandLine(const QStringList& arguments);

}   // namespace pellaro
