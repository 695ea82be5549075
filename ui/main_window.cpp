// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "clone/engine.h"
#include "codeplug/compare.h"
#include "codeplug/settings_table.h"
#include "files/codeplug_file.h"
#include "serial/access_hint.h"
#include "serial/port_link.h"
#include "serial/tcomm.h"
#include "ui/channel_grid.h"
#include "ui/commands.h"
#include "ui/doc_text.h"
#include "ui/document_history.h"
#include "ui/edit_actions.h"
#include "ui/fleet_dialog.h"
#include "ui/interchange_actions.h"
#include "ui/pages/band_setup_page.h"
#include "ui/pages/dtmf_page.h"
#include "ui/pages/limit_page.h"
#include "ui/pages/page_widgets.h"
#include "ui/pages/settings_page.h"
#include "ui/raw_memory_view.h"
#include "ui/seam.h"
#include "ui/text_actions.h"

namespace pellaro {

namespace {

const QString kFileFilter = QStringLiteral("*.bc (*.bc)");
const QString kNoPort = QStringLiteral("No port!");
const QString kPortUsed = QStringLiteral("The port is used!");

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Why a port would not open, in words a user can act on.
QString openFailureReason(const TComm& comm, const QString& device)
{
    QString reason = QString::fromStdString(comm.lastOpenErrorDetail());
    if (reason.isEmpty())
        reason = QStringLiteral("the port could not be opened");
    QString text = device + QStringLiteral(": ") + reason;
    if (comm.lastOpenErrno() == EACCES || comm.lastOpenErrno() == EPERM)
        text += QStringLiteral("; ") + QString::fromLocal8Bit(accessRefusedHint(localPath(device)));
    return text;
}

}   // namespace

TForm2::TForm2(const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      options_(options),
      seam_(options.seam ? options.seam : &defaultSeam())
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Pellaro"));

    Comm1 = std::make_unique<TComm>();
    setComm1Values(*Comm1);
    link_ = std::make_unique<PortLink>(*Comm1);
    engine_ = std::make_unique<CloneEngine>(*link_);

    commands_ = new Commands([this] { endCellEdit(); }, this);
    buildToolBar();
    buildMenus();
    buildPages();
    buildEditing();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(35);
    StatusBar1->setSizeGripEnabled(false);
    Panel0 = new QLabel(StatusBar1);
    Panel0->setObjectName(QStringLiteral("Panel0"));
    Panel0->setFixedWidth(200);
    Panel0->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel1 = new QLabel(QStringLiteral("    "), StatusBar1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(200);
    Panel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusBar1->addWidget(Panel0);
    StatusBar1->addWidget(Panel1);
    // Why the port was refused, beside the described panels, while it is.
    PortHint = new QLabel(StatusBar1);
    PortHint->setObjectName(QStringLiteral("PortHint"));
    PortHint->hide();
    StatusBar1->addPermanentWidget(PortHint);
    setStatusBar(StatusBar1);

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    readPortList();
    // Comm1 comes with XON/XOFF switched on; switching it off after the first
    // open applies at once to the open port, so 0x11 and 0x13 pass unaltered.
    Comm1->setInx_XonXoffFlow(false);
    Comm1->setOutx_XonXoffFlow(false);
    commands_->update();
}

TForm2::~TForm2()
{
    // The commands go first: nothing runs or updates them from here on.
    // The edit commands watch the focus and the tables: they go before them,
    // and the comparison windows, which read the document, with them.
    delete commands_;
    delete editActions_;
    delete interchange_;
    // The pages refer to the document: they go first, while it still exists,
    // and the channel editors are disarmed so that going away commits nothing.
    delete rawMemory_;
    StringGrid1->refresh();
    StringGrid2->refresh();
    delete takeCentralWidget();
    // The transfer link refers to Comm1; the port closes before whatever
    // answers on it (a simulated radio) goes away.
    engine_.reset();
    link_.reset();
    closePort();
}

void TForm2::buildPages()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    central->setFixedSize(1217 + 50, 64 + 480);

    auto* portPanel = new QFrame(central);
    portPanel->setObjectName(QStringLiteral("Panel1"));
    portPanel->setFrameShape(QFrame::Box);
    portPanel->setGeometry(0, 7, 1217, 49);
    Label1 = new QLabel(QStringLiteral("COM Port:"), portPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 12, 72, 25);
    auto* ports = new PortComboBox(portPanel);
    ComboBox1 = ports;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setGeometry(92, 12, 180, 25);
    connect(ComboBox1, &QComboBox::activated, this, [this](int) { openPicked(); });
    connect(ports, &PortComboBox::aboutToShowList, this, &TForm2::refreshPortList);
    // The list's own tooltip follows the entry shown.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm2::showPortToolTip);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 64, 1217, 480);
    PageControl1->setDocumentMode(true);
    PageControl1->setUsesScrollButtons(false);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->tabBar()->setElideMode(Qt::ElideNone);

    auto title = [](PageId page) { return QString::fromUtf8(pageTitle(page)); };
    auto sheet = [this](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, caption);
        return page;
    };
    auto fill = [](QWidget* sheetWidget, auto* content) {
        auto* box = new QVBoxLayout(sheetWidget);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(content);
        return content;
    };

    QWidget* tab1 = sheet("TabSheet1", QString::fromUtf8(channelPageTitle(Band::A)));
    StringGrid1 = new ChannelGrid(doc_, Band::A, *seam_, tab1);
    StringGrid1->setGeometry(0, 0, 1209, 393);
    bandAPage = fill(sheet("TabSheet2", title(PageId::SetupA)), new BandSetupPage(doc_, Band::A, *seam_));
    QWidget* tab3 = sheet("TabSheet5", QString::fromUtf8(channelPageTitle(Band::B)));
    StringGrid2 = new ChannelGrid(doc_, Band::B, *seam_, tab3);
    StringGrid2->setGeometry(0, 0, 1209, 393);
    bandBPage = fill(sheet("TabSheet6", title(PageId::SetupB)), new BandSetupPage(doc_, Band::B, *seam_));
    settingsPage = fill(sheet("TabSheet3", title(PageId::Comprehensive)), new SettingsPage(doc_, *seam_));
    dtmfPage = fill(sheet("TabSheet7", title(PageId::Dtmf)), new DtmfPage(doc_, *seam_));
    limitPage = fill(sheet("TabSheet4", title(PageId::Limit)), new LimitPage(doc_, *this));
    PageControl1->setCurrentIndex(0);
    views_ = {StringGrid1, bandAPage, StringGrid2, bandBPage, settingsPage, dtmfPage, limitPage};

    setCentralWidget(central);
}

void TForm2::buildEditing()
{
    history_ = new DocumentHistory(doc_, this);
    editActions_ = new EditActions(*commands_, *history_, *seam_, *PageControl1, {StringGrid1, StringGrid2}, *this);
    editActions_->addTo(editMenu_);
    interchange_ = new InterchangeActions(*this);
    interchange_->addToFileMenu(fileMenu_);
    interchange_->addToEditMenu(editMenu_);
    textActions_ = new CodeplugTextActions(*this);
    textActions_->addToFileMenu(fileMenu_);
    FleetDialog::addToEditMenu(editMenu_, *this);
    for (QMenu* menu : {fileMenu_, editMenu_})
        connect(menu, &QMenu::aboutToShow, commands_, &Commands::update);

    // Every user commit and all typing in the pages go to the history,
    // which keeps a step when the document changed, with the page (and the
    // cell) where it happened.
    for (std::size_t page = 0; page < views_.size(); ++page)
        views_[page]->reportTo(*history_, static_cast<int>(page));
    // The page's partial reads are not undoable.
    connect(limitPage, &LimitPage::documentReplaced, this, &TForm2::refreshAll);
    connect(history_, &DocumentHistory::documentSet, this, &TForm2::showDocument);
    connect(history_, &DocumentHistory::placeShown, this, &TForm2::showPlace);
}

void TForm2::showPlace(const StepPlace& place)
{
    if (place.page < 0 || place.page >= PageControl1->count())
        return;
    PageControl1->setCurrentIndex(place.page);
    for (ChannelGrid* grid : {StringGrid1, StringGrid2}) {
        if (grid->parentWidget() == PageControl1->widget(place.page) && !place.cells.empty()) {
            // Selected as program code selects: no editor opens, nothing commits.
            grid->showSelection(place.cells);
            grid->setFocus(Qt::OtherFocusReason);
        }
    }
}

void TForm2::showPlaceOf(const Difference& d)
{
    if (d.kind == Difference::Kind::Channel) {
        PageControl1->setCurrentIndex(d.band == Band::A ? 0 : 2);
        ChannelGrid* grid = d.band == Band::A ? StringGrid1 : StringGrid2;
        grid->setFocus(Qt::OtherFocusReason);
        // As a click on the cell: selected, and its editor placed when offered.
        grid->showSelection({d.channel, d.channel, d.column, d.column});
        grid->selectCell(d.column, d.channel);
        return;
    }
    const std::pair<PageId, QWidget*> pages[] = {{PageId::SetupA, bandAPage},
                                                 {PageId::SetupB, bandBPage},
                                                 {PageId::Comprehensive, settingsPage},
                                                 {PageId::Dtmf, dtmfPage},
                                                 {PageId::Limit, limitPage}};
    for (const auto& [id, content] : pages) {
        const int sheet = PageControl1->indexOf(content->parentWidget());
        if (id == d.pageId && sheet >= 0)
            PageControl1->setCurrentIndex(sheet);
    }
    // A setting's editor takes the focus, as a click on it would give it.
    if (d.kind == Difference::Kind::Setting) {
        if (QWidget* editor = pages::editorLabelled(PageControl1->currentWidget(), displayText(d.label)))
            editor->setFocus(Qt::OtherFocusReason);
    }
    // Mirror bytes: the raw memory view marks them ("00 E4" is two bytes).
    if (d.kind == Difference::Kind::Memory && d.mirror > 0) {
        showRawMemory();
        const int count = static_cast<int>((d.after.size() + 1) / 3);
        rawMemory_->showBytes(d.mirror, d.address, count);
    }
}

void TForm2::endCellEdit()
{
    for (ChannelGrid* grid : {StringGrid1, StringGrid2})
        grid->endEdit();
}

void TForm2::setDialogs(QDialog* amendPassword, QDialog* note)
{
    amendPassword_ = amendPassword;
    note_ = note;
}

void TForm2::setTransferDialogs(QDialog* read, QDialog* write)
{
    read_ = read;
    write_ = write;
}

void TForm2::showDialog(QDialog* dialog)
{
    if (dialog)
        dialog->exec();
}

void TForm2::refreshAll()
{
    history_->reset();
    showDocument();
}

void TForm2::showDocument()
{
    for (DocumentView* view : views_)
        view->refresh();
    if (rawMemory_)
        rawMemory_->refresh();
}

void TForm2::showRawMemory()
{
    if (!rawMemory_)
        rawMemory_ = new RawMemoryView(doc_, this);
    rawMemory_->show();
    rawMemory_->raise();
    rawMemory_->activateWindow();
}

// ---- port panel ---------------------------------------------------------------

void TForm2::readPortList()
{
    const QList<SerialPortEntry> found = options_.portSource ? options_.portSource() : systemSerialPorts();
    showPortList(arrangePortList(found, options_.extraPorts, options_.firstPort));
    if (ports_.isEmpty()) {
        Panel0->setText(kNoPort);
        Panel0->setToolTip(QString());
        return;
    }
    ComboBox1->setCurrentIndex(0);
    showPortToolTip();
    openPort();
}

void TForm2::refreshPortList()
{
    const int index = ComboBox1->currentIndex();
    const QString selected = index >= 0 && index < ports_.size() ? ports_[index].devicePath() : QString();
    const SerialPortEntry* open = nullptr;
    if (Comm1->isOpen() && !openDevice_.isEmpty())
        for (const SerialPortEntry& p : ports_)
            if (p.devicePath() == openDevice_)
                open = &p;
    const QList<SerialPortEntry> found = options_.portSource ? options_.portSource() : systemSerialPorts();
    const QList<SerialPortEntry> ports = arrangePortList(found, options_.extraPorts, options_.firstPort, open);
    if (ports == ports_)
        return;
    showPortList(ports);
    // The entry that was selected stays selected where it is still listed
    // (the open port always is); nothing is opened or closed here.
    int again = 0;
    for (int i = 0; i < ports_.size(); ++i)
        if (ports_[i].devicePath() == selected)
            again = i;
    ComboBox1->setCurrentIndex(ports_.isEmpty() ? -1 : again);
    showPortToolTip();
}

void TForm2::showPortList(const QList<SerialPortEntry>& ports)
{
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    ports_ = ports;
    for (int i = 0; i < ports_.size(); ++i) {
        ComboBox1->addItem(ports_[i].name);
        ComboBox1->setItemData(i, portToolTip(ports_[i]), Qt::ToolTipRole);
    }
}

void TForm2::showPortToolTip()
{
    const int index = ComboBox1->currentIndex();
    ComboBox1->setToolTip(index >= 0 && index < ports_.size() ? portToolTip(ports_[index]) : QString());
}

void TForm2::openPort()
{
    const int index = ComboBox1->currentIndex();
    if (index < 0 || index >= ports_.size())
        return;
    const QString name = ComboBox1->currentText();
    const QString device = ports_[index].devicePath();
    Comm1->setCommName(localPath(device));
    try {
        Comm1->OpenPort();
        openDevice_ = device;
        Panel0->setText(Label1->text() + name);
        Panel0->setToolTip(device);
        PortHint->hide();
    } catch (const ECommsError&) {
        openDevice_.clear();
        Panel0->setText(Label1->text() + kPortUsed);
        Panel0->setToolTip(openFailureReason(*Comm1, device));
        // "The port is used!" says nothing of a refusal: the status bar
        // points to the reason and the way to access.
        const bool refused = Comm1->lastOpenErrno() == EACCES || Comm1->lastOpenErrno() == EPERM;
        PortHint->setText(name + QStringLiteral(": permission denied. Help(H) > Port Access tells how to get access."));
        PortHint->setToolTip(Panel0->toolTip());
        PortHint->setVisible(refused);
    }
}

void TForm2::showPortAccess()
{
    const int index = ComboBox1->currentIndex();
    QString text;
    if (ports_.isEmpty())
        text = QStringLiteral("No serial port was found. Plug the cable in, then open the port list.");
    else if (index < 0)
        text = QStringLiteral("No port is selected.");
    else if (Comm1->isOpen() && !openDevice_.isEmpty())
        text = QStringLiteral("%1 is open.").arg(openDevice_);
    else
        text = Panel0->toolTip();   // the device, the reason and what to do
    seam_->message(this, text);
}

void TForm2::openPicked()
{
    // A pick of the same port closes it and opens it again.
    if (Comm1->isOpen())
        closePort();
    openPort();
}

QString TForm2::portName() const
{
    return ComboBox1->currentText();
}

bool TForm2::portReady() const
{
    return Panel0->text() == Label1->text() + ComboBox1->currentText();
}

CloneEngine& TForm2::engine()
{
    return *engine_;
}

CloneLink& TForm2::cloneLink()
{
    return *link_;
}

// ---- file commands -----------------------------------------------------------

void TForm2::fileNew()
{
    if (!seam_->confirm(this, QStringLiteral("Do you want to New?")))
        return;
    doc_.resetToNew();
    refreshAll();
}

void TForm2::fileOpen()
{
    const QString path = seam_->openFileName(this, QStringLiteral("Open"), kFileFilter);
    if (path.isEmpty())
        return;
    openFile(path);
}

bool TForm2::openFile(const QString& path)
{
    std::string bytes;
    FileResult read = readWholeFile(localPath(path), bytes);
    if (!read.ok()) {
        seam_->message(this, QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(read.error)));
        return false;
    }
    // The whole file is checked before anything changes.
    FileResult loaded = loadCodeplug(bytes, doc_);
    if (!loaded.ok()) {
        seam_->message(this, displayText(notACodeplugMessage(path.toStdString(), loaded)));
        return false;
    }
    refreshAll();
    return true;
}

void TForm2::fileSave()
{
    QString path = seam_->saveFileName(this, QStringLiteral("Save"), kFileFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".bc"), Qt::CaseInsensitive))
        path += QStringLiteral(".bc");
    std::string bytes;
    FileResult built = saveCodeplug(doc_, bytes);
    if (!built.ok()) {
        seam_->message(this, QStringLiteral("Not saved: %1").arg(displayText(built.error)));
        return;
    }
    // Written through a temporary file renamed over the target: a failed
    // save leaves the old file as it was.
    FileResult written = writeFileAtomically(localPath(path), bytes);
    if (!written.ok()) {
        seam_->message(this, QStringLiteral("Not saved to %1: %2").arg(path, QString::fromLocal8Bit(written.error)));
        return;
    }
    seam_->message(this, QStringLiteral("保存成功!"));
}

// ---- ending ------------------------------------------------------------------

void TForm2::closePort()
{
    // Closing purges what is still queued, such as a transfer's "EXIT".
    Comm1->waitUntilSent(kSendDrainTimeoutMs);
    Comm1->ClosePort();
    openDevice_.clear();
}

void TForm2::quitNow()
{
    closePort();
    QCoreApplication::quit();
}

void TForm2::closeEvent(QCloseEvent* event)
{
    event->accept();
    quitNow();
}

}   // namespace pellaro
