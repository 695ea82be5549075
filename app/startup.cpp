// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTimer>

#include "tools/radio_sim/radio_sim.h"
#include "ui/seam.h"

namespace pellaro {

Windows::~Windows()
{
    delete form6.data();
    delete form5.data();
    delete form4.data();
    delete form3.data();
    form2.reset();
    form1.reset();
    simulator.reset();
}

DataFolder dataFolderFor(const StartOptions& options, QString* problem)
{
    if (!options.dataDir.isEmpty())
        return DataFolder::under(options.dataDir);
    const DataFolderChoice choice = chooseDataFolder(ProgramPlace::ofThisProgram());
    if (!choice.defaults.isEmpty()) {
        QString error;
        if (!fillDataFolderOnce(choice.folder, choice.defaults, &error)) {
            qWarning("%s", qPrintable(error));
            if (problem)
                *problem = error;
        }
    }
    return DataFolder(choice.folder);
}

Windows createWindows(const StartOptions& options, UiSeam& seam, std::function<QList<SerialPortEntry>()> portSource)
{
    QString problem;
    const DataFolder folder = dataFolderFor(options, &problem);
    Windows w;
    MainWindowOptions mainOptions;
    if (options.simulate) {
        w.simulator = std::make_unique<sim::RadioSimulator>();
        const std::string device = w.simulator->start();
        if (device.empty()) {
            qWarning("The simulated radio could not start: %s", w.simulator->error().c_str());
            w.simulator.reset();
        } else {
            mainOptions.firstPort = QString::fromStdString(device);
        }
    }

    w.form1 = std::make_unique<TForm1>(folder, seam);
    if (!problem.isEmpty()) {
        // Said once the login window is up; the login then names the file
        // that is missing.
        TForm1* login = w.form1.get();
        QTimer::singleShot(0, login, [login, &seam, problem] { seam.message(login, problem); });
    }
    mainOptions.extraPorts = options.ports;
    mainOptions.seam = &seam;
    mainOptions.portSource = std::move(portSource);
    // Its construction lays out the tables, reads the port list and opens
    // the first port; it stays hidden until the login.
    w.form2 = std::make_unique<TForm2>(mainOptions);
    w.form1->setMainWindow(w.form2.get());

    w.form3 = new TForm3(folder, seam, w.form2.get());
    w.form4 = new TForm4(folder, seam, w.form2.get(), w.form2.get());
    w.form5 = new TForm5(*w.form2);
    w.form6 = new TForm6(*w.form2);
    w.form2->setDialogs(w.form3, w.form4);
    w.form2->setTransferDialogs(w.form5, w.form6);

    // A file from the command line (or the desktop's "Open With") opens
    // through File > Open's own code, once the main window is on screen.
    if (!options.file.isEmpty()) {
        TForm2* main = w.form2.get();
        const QString file = options.file;
        QObject::connect(
            w.form1.get(), &TForm1::loginSucceeded, main, [main, file] { main->openFile(file); }, Qt::QueuedConnection);
    }
    return w;
}

void addCjkFontFallback()
{
    static const QStringList candidates = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
                                           QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : candidates) {
        if (installed.contains(family)) {
            QFont font = QApplication::font();
            font.setFamilies({font.family(), family});
            QApplication::setFont(font);
            return;
        }
    }
}

}   // namespace pellaro
