// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the six windows, created once in their order and kept for
// the whole run. TForm1 (login) is created first and shown by the caller;
// TForm2 (main editor) is created hidden right after it, so its port is open
// before anybody logs in; the four dialogs follow.
#pragma once

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

#include "app/command_line.h"
#include "app/login_window.h"
#include "app/password_dialogs.h"
#include "ui/main_window.h"
#include "ui/transfer_dialogs.h"

namespace pellaro {

class UiSeam;
namespace sim {
class RadioSimulator;
}

struct Windows {
    // --simulate: the radio on a pseudo-terminal, first in the port list. It
    // outlives the main window, whose port is open on it.
    std::unique_ptr<sim::RadioSimulator> simulator;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    QPointer<TForm3> form3;
    QPointer<TForm4> form4;
    QPointer<TForm5> form5;
    QPointer<TForm6> form6;

    Windows() = default;
    Windows(Windows&&) = default;
    Windows& operator=(Windows&&) = default;
    // The dialogs go first (their host may still be in use by them), then
    // the main window (closing its port), then the login window, then the
    // simulated radio.
    ~Windows();
};

// The data folder the options name (--data-dir), or the one the program
// chooses for itself, filled from the installed defaults at its first start
// (chooseDataFolder()). `problem` gets why the folder could not be filled.
DataFolder dataFolderFor(const StartOptions& options, QString* problem = nullptr);

// Creates TForm1..TForm6 in their order, and before them the simulated radio
// when the options ask for it. A codeplug file the options name is opened
// in the main window after the login. `portSource` replaces the system's
// port list when set (tests).
Windows createWindows(const StartOptions& options, UiSeam& seam,
                      std::function<QList<SerialPortEntry>()> portSource = {});

// Adds a CJK-capable font behind the application font, when one is
// installed, so the Chinese texts render.
void addCjkFontFallback();

}   // namespace pellaro
