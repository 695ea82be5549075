// SPDX-License-Identifier: GPL-3.0-or-later
// What the limit page's four transfer buttons and the Read/Write dialogs need
// from the main window: whether a port is open, the clone engine running on
// Comm1, and the message/dialog seam.
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
