#include "app/startup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace pellaro {

Windows::~Windows()
{
    delete form6.data();
    delete form5.data();
    delete form4.data();
    delete form3.data();
    form2.reset();
    form1.reset();
}

DataFolder dataFolderFor(const StartOptions& options)
{
    return options.dataDir.isEmpty() ? DataFolder::besideProgram()
                                     : DataFolder::under(options.dataDir);
}

Windows createWindows(const StartOptions& options, UiSeam& seam,
                      std::function<QStringList()> portSource)
{
    const DataFolder folder = dataFolderFor(options);
    Windows w;
    w.form1 = std::make_unique<TForm1>(folder, seam);

    MainWindowOptions mainOptions;
    mainOptions.extraPorts = options.ports;
    mainOptions.simulate = options.simulate;
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
    return w;
}

void addCjkFontFallback()
{
    static const QStringList candidates = {
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
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

}  // namespace pellaro
