// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that trade channels and codeplugs with the
// world: File > "Import Channels…", "Export Channels…" and "Compare with
// File…" after the described items, and Edit > "Compare with Radio…" and the
// checkable "Fast Transfers" after the edit commands. One QAction each,
// made and updated by Commands (Compare with Radio needs an open port and no
// transfer running; an import waits until a transfer ends).
//
// An import is one undoable step named in the user's words ("Import 23
// channels from plan.csv"), with one box listing what was refused or changed
// on the way in. The comparisons share one non-modal list window whose lines lead
// to the cell, page or raw memory they are about.
#pragma once

#include <QObject>
#include <QString>

#include "files/channel_csv.h"

class QAction;
class QMenu;
class QWidget;

namespace pellaro {

class ChannelCsvDialog;
class CommandHost;
class CompareRadioDialog;
class DifferencesWindow;
struct CsvChoice;
struct Difference;

class InterchangeActions : public QObject {
    Q_OBJECT
public:
    explicit InterchangeActions(CommandHost& host);
    ~InterchangeActions() override;

    // A divider, then the three file items.
    void addToFileMenu(QMenu* menu) const;
    // A separator, then Compare with Radio and Fast Transfers.
    void addToEditMenu(QMenu* menu) const;

    QAction* importChannels = nullptr;
    QAction* exportChannels = nullptr;
    QAction* compareWithFile = nullptr;
    QAction* compareWithRadio = nullptr;
    QAction* fastTransfers = nullptr;   // checkable, off at every start

    // The list window of the comparisons; nullptr until the first one.
    DifferencesWindow* differencesWindow() const { return differences_; }

    // Shows where `difference` is: the channel cell on its tab, selected as
    // a click selects it, or the settings page (and for mirror bytes the raw
    // memory view on their mirror).
    void showDifference(const Difference& difference);

private:
    void importFromFile();
    void exportToFile();
    void compareFile();
    void compareRadio();
    // A port is open and no transfer runs: the radio can be read.
    bool radioReady() const;
    void import(const QString& path, const CsvChoice& choice);
    void exportTo(QString path, const CsvChoice& choice);
    DifferencesWindow& differences();

    CommandHost& host_;
    QWidget* window_;                            // the main window, parent of the boxes and windows
    ChannelCsvDialog* importDialog_ = nullptr;   // made on first use, kept
    ChannelCsvDialog* exportDialog_ = nullptr;
    CompareRadioDialog* radioDialog_ = nullptr;
    DifferencesWindow* differences_ = nullptr;
};

// The box after an import of `fileName`: how many channels were taken and
// emptied, then the rows and values refused, those changed on the way in and
// the notes, the first 20 lines and a count of the rest. After a Replace that
// refused something: that nothing was changed, and why.
QString importReportText(const ImportReport& report, const QString& fileName);

}   // namespace pellaro
