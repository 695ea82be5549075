// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's commands beyond the edit commands (import, export and
// the comparisons, the codeplug text, Program Several Radios) and the Read,
// Write and Compare with Radio dialogs need from the main window, as the
// limit page's buttons have it in TransferHost: the document and its history,
// the port and the transfers, and a way to show a place. None of them
// reaches into the window's widgets.
#pragma once

#include <QString>

#include "ui/transfer_host.h"

class QWidget;

namespace pellaro {

class CloneLink;
class Commands;
class DocumentHistory;
struct Difference;
struct Document;

class CommandHost : public TransferHost {
public:
    virtual Document& document() = 0;
    // Undo and redo; a command's change goes through history().perform().
    virtual DocumentHistory& history() = 0;
    // Every command's action, made and updated in one place.
    virtual Commands& commands() = 0;
    // The main window: the parent of the commands' boxes and dialogs.
    virtual QWidget* dialogParent() = 0;
    // The name of the port picked in the port list ("ttyUSB0").
    virtual QString portName() const = 0;
    // The link engine() runs over, for a run with a link of its own.
    virtual CloneLink& cloneLink() = 0;
    // Ends an open cell editor as a click elsewhere does (its commit rules).
    virtual void endCellEdit() = 0;
    // The document was replaced outside any step (a read): the undo history
    // is cleared and every view shows the document again.
    virtual void refreshAll() = 0;
    // Brings forward where `difference` is: the channel cell on its tab,
    // selected as a click selects it, or the setting's page with its editor
    // focused (for mirror bytes the raw memory view, marking them).
    virtual void showPlaceOf(const Difference& difference) = 0;
};

}   // namespace pellaro
