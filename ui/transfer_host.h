// SPDX-License-Identifier: GPL-3.0-or-later
// What the limit page's four transfer buttons need from the main window:
// whether a port is open, the clone engine running on Comm1, and the
// message/dialog seam. The Read/Write dialogs and the window's other commands
// have more of it through CommandHost.
#pragma once

class QWidget;

namespace pellaro {

class CloneEngine;
class UiSeam;

class TransferHost {
public:
    virtual ~TransferHost() = default;
    // Status panel 0 reads "COM Port:" + the picked port name, i.e. the port
    // picked in ComboBox1 is open.
    virtual bool portReady() const = 0;
    virtual CloneEngine& engine() = 0;
    virtual UiSeam& seam() = 0;
};

}   // namespace pellaro
