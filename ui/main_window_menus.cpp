// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's toolbar and menu bar: the described items in their
// order, and the keyboard's way into them. Alt and a menu's letter opens that
// menu (the captions show the letters), F10 opens the first one; arrows and
// Enter reach every item.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <utility>

#include "codeplug/settings_table.h"
#include "ui/commands.h"
#include "ui/main_window.h"

namespace pellaro {

void TForm2::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(57);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    // Captions such as "Password" fit the 53-pixel buttons at this size.
    QFont captions = ToolBar1->font();
    captions.setPixelSize(11);
    ToolBar1->setFont(captions);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
}

void TForm2::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    Commands& c = *commands_;
    auto item = [&c](QMenu* menu, const char* name, const QString& caption, std::function<void()> run) {
        return c.add(menu, {.name = name, .text = caption, .run = std::move(run)});
    };
    // New, Open, Save, Read and Write change or read the document: an open
    // cell editor ends first.
    auto documentItem = [&c](QMenu* menu, const char* name, const QString& caption, std::function<void()> run) {
        return c.add(menu, {.name = name, .text = caption, .usesDocument = true, .run = std::move(run)});
    };
    auto divider = [](QMenu* menu, const char* name) { Commands::addDivider(menu, name); };

    // "File(&F)" shows as "File(F)", its letter underlined, and Alt+F opens it.
    QMenu* file = bar->addMenu(QStringLiteral("File(&F)"));
    file->setObjectName(QStringLiteral("F1"));
    QAction* n1 = documentItem(file, "N1", QStringLiteral("New"), [this] { fileNew(); });
    QAction* n2 = documentItem(file, "N2", QStringLiteral("Open"), [this] { fileOpen(); });
    QAction* n3 = documentItem(file, "N3", QStringLiteral("Save"), [this] { fileSave(); });
    item(file, "N4", QStringLiteral("Quit"), [this] { quitNow(); });
    fileMenu_ = file;   // import, export and Compare with File follow (buildEditing)

    QMenu* edit = bar->addMenu(QStringLiteral("Edit(&E)"));
    edit->setObjectName(QStringLiteral("N5"));
    QAction* n6 = documentItem(edit, "N6", QStringLiteral("Read"), [this] { showDialog(read_); });
    QAction* n7 = documentItem(edit, "N7", QStringLiteral("Write"), [this] { showDialog(write_); });
    divider(edit, "N8");
    item(edit, "N9", QString::fromUtf8(channelPageTitle(Band::A)), [this] { PageControl1->setCurrentIndex(0); });
    item(edit, "N11", QString::fromUtf8(channelPageTitle(Band::B)), [this] { PageControl1->setCurrentIndex(2); });
    divider(edit, "N16");
    item(edit, "RawMemoryItem", QStringLiteral("Raw Memory"), [this] { showRawMemory(); });
    divider(edit, "EditDivider");   // the edit commands follow (buildEditing)
    editMenu_ = edit;

    QMenu* help = bar->addMenu(QStringLiteral("Help(&H)"));
    help->setObjectName(QStringLiteral("N12"));
    QAction* n13 = item(help, "N13", QStringLiteral("Note"), [this] { showDialog(note_); });
    QAction* n14 = item(help, "N14", QStringLiteral("Amend Password"), [this] { showDialog(amendPassword_); });
    divider(help, "HelpDivider");
    item(help, "PortAccessItem", QStringLiteral("Port Access"), [this] { showPortAccess(); });

    // Quit(Q) ends the program at once, unsaved edits and all: it gets no
    // Alt chord that a slip of the hand could press. F10 and the arrows, or
    // File > Quit, reach it.
    bar->addAction(c.make(bar, {.name = "N15", .text = QStringLiteral("Quit(Q)"), .run = [this] { quitNow(); }}));

    // F10 opens the first menu; Left and Right go on to the others.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setObjectName(QStringLiteral("MenuBarKey"));
    connect(f10, &QShortcut::activated, this, [bar, file] { bar->setActiveAction(file->menuAction()); });

    // Each toolbar button performs the click of its menu item.
    struct Button {
        const char* name;
        const char* caption;
        const char* theme;
        QStyle::StandardPixmap fallback;
        QAction* item;
    };
    const Button buttons[] = {
        {"ToolButton1", "  New  ", "document-new", QStyle::SP_FileIcon, n1},
        {"ToolButton3", "  Open  ", "document-open", QStyle::SP_DialogOpenButton, n2},
        {"ToolButton5", "  Save   ", "document-save", QStyle::SP_DialogSaveButton, n3},
        {"ToolButton7", "Read", "go-down", QStyle::SP_ArrowDown, n6},
        {"ToolButton9", "Write", "go-up", QStyle::SP_ArrowUp, n7},
        {"ToolButton11", "Note", "help-about", QStyle::SP_FileDialogInfoView, n13},
        {"ToolButton13", "Password", "dialog-password", QStyle::SP_MessageBoxWarning, n14},
    };
    bool first = true;
    for (const Button& b : buttons) {
        if (!first) {
            auto* gap = new QWidget(ToolBar1);
            gap->setFixedWidth(8);
            ToolBar1->addWidget(gap);
        }
        first = false;
        const QString caption = QString::fromLatin1(b.caption);
        QAction* action = new QAction(QIcon::fromTheme(QString::fromLatin1(b.theme), style()->standardIcon(b.fallback)),
                                      caption, ToolBar1);
        action->setIconText(caption);   // kept as written, blanks included
        action->setObjectName(QString::fromLatin1(b.name) + QStringLiteral("Action"));
        QAction* menuItem = b.item;
        connect(action, &QAction::triggered, menuItem, &QAction::trigger);
        ToolBar1->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(action))) {
            button->setObjectName(QString::fromLatin1(b.name));
            button->setFixedSize(53, 52);
            button->setAutoRaise(true);
        }
    }
}

}   // namespace pellaro
