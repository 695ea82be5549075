// SPDX-License-Identifier: GPL-3.0-or-later
// The Pellaro programming tool: the login window first, the main editor
// window behind it.
#include <QApplication>

#include <cstdio>

#include "app/startup.h"
#include "ui/seam.h"

int main(int argc, char** argv)
{
    // The options come first, before anything needs a display, so that
    // --help and a bad option work from a headless shell too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const pellaro::CommandLine commandLine = pellaro::parseCommandLine(arguments);
    switch (commandLine.outcome) {
        case pellaro::CommandLine::Outcome::Help:
            std::fputs(qPrintable(commandLine.text), stdout);
            return 0;
        case pellaro::CommandLine::Outcome::Error:
            std::fprintf(stderr, "pellaro: %s\n", qPrintable(commandLine.text));
            return 2;
        case pellaro::CommandLine::Outcome::Run:
            break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellaro"));
    // Wayland compositors match the windows to the desktop entry by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pellaro.Pellaro"));

    pellaro::addCjkFontFallback();
    pellaro::Windows windows = pellaro::createWindows(commandLine.options, pellaro::defaultSeam());

    // Closing the login window before login ends the program; after login,
    // the main window ends it when closed or on "Quit" / "Quit(Q)".
    QObject::connect(windows.form1.get(), &pellaro::TForm1::closedBeforeLogin, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    windows.form1->show();
    return app.exec();
}
