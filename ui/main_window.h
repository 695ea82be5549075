// SPDX-License-Identifier: GPL-3.0-or-later
// The main window TForm2: toolbar, port panel, the seven pages, status bar and
// menus. It wires the widgets to the document and does little else; the
// channel tables, the pages and the Read/Write dialogs live in their own files.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "codeplug/document.h"
#include "ui/command_host.h"
#include "ui/port_list.h"

class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QWidget;

namespace pellaro {

class BandSetupPage;
class ChannelGrid;
class CloneEngine;
class CloneLink;
class Commands;
class DocumentHistory;
class DocumentView;
class DtmfPage;
class EditActions;
class CodeplugTextActions;
class InterchangeActions;
class LimitPage;
class PortLink;
class RawMemoryView;
class SettingsPage;
class TComm;
struct StepPlace;
class UiSeam;

struct MainWindowOptions {
    QStringList extraPorts;   // --port PATH, may repeat; sorted in with the rest
    QString firstPort;        // listed first, ahead of the sorted list (--simulate's radio)
    UiSeam* seam = nullptr;   // nullptr: defaultSeam()
    // Tests: replaces the system's ports (QSerialPortInfo); asked at start
    // and each time the drop-down opens, so it may answer differently.
    std::function<QList<SerialPortEntry>()> portSource;
};

class TForm2 : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit TForm2(const MainWindowOptions& options, QWidget* parent = nullptr);
    ~TForm2() override;

    Document& document() override { return doc_; }
    const Document& document() const { return doc_; }

    // Amend Password (TForm3) and Note (TForm4), shown from the Help menu.
    void setDialogs(QDialog* amendPassword, QDialog* note);
    // Read (TForm5) and Write (TForm6), shown from the toolbar and menus.
    void setTransferDialogs(QDialog* read /*TForm5*/, QDialog* write /*TForm6*/);

    // The document was replaced outside any step (a read, Open, New): the
    // undo history is cleared and every view shows the document again.
    void refreshAll() override;

    // Undo and redo of every user change. Later commands that change the
    // document as one undoable step (an import) go through
    // history().perform().
    DocumentHistory& history() override { return *history_; }
    // Every command's action, made and updated in one place.
    Commands& commands() override { return *commands_; }
    // The edit commands (Edit menu, context menu, shortcuts).
    EditActions& editActions() { return *editActions_; }
    // Import, export and the comparisons (File menu), Compare with Radio and
    // Fast Transfers (Edit menu).
    InterchangeActions& interchangeActions() { return *interchange_; }
    CodeplugTextActions& textActions() { return *textActions_; }

    // Ends an open cell editor as a click elsewhere does (its commit rules);
    // every command that changes or reads the document ends it first.
    void endCellEdit() override;

    // Edit > "Raw Memory": shows the read-only view of k1..k15 (non-modal).
    void showRawMemory();
    RawMemoryView* rawMemoryView() const { return rawMemory_; }

    // CommandHost
    bool portReady() const override;
    CloneEngine& engine() override;
    CloneLink& cloneLink() override;   // the link engine() runs over (Comm1)
    UiSeam& seam() override { return *seam_; }
    QWidget* dialogParent() override { return this; }
    QString portName() const override;
    void showPlaceOf(const Difference& difference) override;

    // The serial component the transfers run on.
    TComm& comm() { return *Comm1; }

    // Port panel: reads the port list (sorted ascending ignoring case) and
    // opens the first entry; openPicked() re-opens the port picked in ComboBox1.
    void readPortList();
    void openPicked();
    // Help > "Port Access": why the port is not open and how to get access
    // (group dialout, with sudo or as root), or that it is open.
    void showPortAccess();
    // Reads the list again as the drop-down opens: new ports appear, vanished
    // ones go unless open; the open port stays listed, selected and open,
    // and status panel 0 is left as it is.
    void refreshPortList();

    // File commands (File menu and toolbar). fileOpen() asks for a name and
    // opens it with openFile(), which the command line's file uses too.
    void fileNew();
    void fileOpen();
    void fileSave();
    // Loads the codeplug file `path`; a file that cannot be read or is not a
    // codeplug is reported and changes nothing. True when it was loaded.
    bool openFile(const QString& path);

    // Controls under their own names.
    QToolBar* ToolBar1 = nullptr;
    QLabel* Label1 = nullptr;         // "COM Port:"
    QComboBox* ComboBox1 = nullptr;   // the port list
    QTabWidget* PageControl1 = nullptr;
    ChannelGrid* StringGrid1 = nullptr;   // band A channels
    ChannelGrid* StringGrid2 = nullptr;   // band B channels
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Panel0 = nullptr;     // status panel 0 (port state)
    QLabel* Panel1 = nullptr;     // status panel 1 (four spaces)
    QLabel* PortHint = nullptr;   // after a refused open: the way to access

    // The settings pages (tabs 1, 3, 4, 5, 6).
    BandSetupPage* bandAPage = nullptr;
    BandSetupPage* bandBPage = nullptr;
    SettingsPage* settingsPage = nullptr;
    DtmfPage* dtmfPage = nullptr;
    LimitPage* limitPage = nullptr;

    // The entries of ComboBox1 (same order), with their device paths.
    const QList<SerialPortEntry>& portEntries() const { return ports_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildPages();
    // The undo history and the edit commands, wired to every view.
    void buildEditing();
    // Every view shows the document again; nothing commits.
    void showDocument();
    // Undo and redo bring the step's page forward, and its cells selected.
    void showPlace(const StepPlace& place);
    void openPort();
    void showPortList(const QList<SerialPortEntry>& ports);
    void showPortToolTip();
    void showDialog(QDialog* dialog);
    void quitNow();
    // Closes Comm1 once the last frame sent has left the line.
    void closePort();

    Document doc_;
    MainWindowOptions options_;
    UiSeam* seam_ = nullptr;
    std::unique_ptr<TComm> Comm1;
    std::unique_ptr<PortLink> link_;
    std::unique_ptr<CloneEngine> engine_;
    QList<SerialPortEntry> ports_;
    std::vector<DocumentView*> views_;   // the tables and pages, one per tab in tab order
    QString openDevice_;                 // the device Comm1 has open; empty when closed
    QDialog* amendPassword_ = nullptr;
    QDialog* note_ = nullptr;
    QDialog* read_ = nullptr;
    QDialog* write_ = nullptr;
    RawMemoryView* rawMemory_ = nullptr;   // made on first use
    Commands* commands_ = nullptr;
    DocumentHistory* history_ = nullptr;
    EditActions* editActions_ = nullptr;
    InterchangeActions* interchange_ = nullptr;
    CodeplugTextActions* textActions_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
};

}   // namespace pellaro
