// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port list of the port panel: the ports the system has and the
// devices named on the command line, in the order ComboBox1 lists them, and
// the drop-down that reads the list again each time it opens.
#pragma once

#include <QComboBox>
#include <QList>
#include <QString>
#include <QStringList>

namespace pellaro {

struct SerialPortEntry {
    QString name;          // listed in ComboBox1 and shown in status panel 0
    QString device;        // the device path that is opened; empty: the name
    QString description;   // a USB adapter's maker, product and serial number

    QString devicePath() const { return device.isEmpty() ? name : device; }
    bool operator==(const SerialPortEntry&) const = default;
};

// The system's serial ports, with their USB adapters described.
QList<SerialPortEntry> systemSerialPorts();

// One line each for what the system knows of an adapter: "Maker: FTDI",
// "Product: FT232R USB UART", "Serial number: A50285BI"; empty when it
// knows nothing (a built-in port, a pseudo-terminal).
QString adapterDescription(const QString& maker, const QString& product, const QString& serialNumber);

// An entry's tooltip in the list: its device path, then its description.
QString portToolTip(const SerialPortEntry& entry);

// The list as ComboBox1 shows it: `found` with the `extra` device paths
// added (each device once), in ascending text order ignoring case (COM10
// before COM2), then `first` moved ahead of all when given. `keep` (the port
// that is open) stays listed when it is no longer found.
QList<SerialPortEntry> arrangePortList(QList<SerialPortEntry> found, const QStringList& extra, const QString& first,
                                       const SerialPortEntry* keep = nullptr);

// The drop-down list ComboBox1: tells when it is about to open, so the list
// can be read again first (a cable plugged in after the start appears).
class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void aboutToShowList();
};

}   // namespace pellaro
