// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/port_list.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace pellaro {

QList<SerialPortEntry> systemSerialPorts()
{
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append({info.portName(), info.systemLocation(),
                      adapterDescription(info.manufacturer(), info.description(), info.serialNumber())});
    return ports;
}

QString adapterDescription(const QString& maker, const QString& product, const QString& serialNumber)
{
    QStringList lines;
    if (!maker.trimmed().isEmpty())
        lines << QStringLiteral("Maker: ") + maker.trimmed();
    if (!product.trimmed().isEmpty())
        lines << QStringLiteral("Product: ") + product.trimmed();
    if (!serialNumber.trimmed().isEmpty())
        lines << QStringLiteral("Serial number: ") + serialNumber.trimmed();
    return lines.join(QLatin1Char('\n'));
}

QString portToolTip(const SerialPortEntry& entry)
{
    if (entry.description.isEmpty())
        return entry.devicePath();
    return entry.devicePath() + QLatin1Char('\n') + entry.description;
}

QList<SerialPortEntry> arrangePortList(QList<SerialPortEntry> found, const QStringList& extra, const QString& first,
                                       const SerialPortEntry* keep)
{
    auto listed = [&found](const QString& device) {
        return std::any_of(found.cbegin(), found.cend(),
                           [&](const SerialPortEntry& p) { return p.devicePath() == device; });
    };
    for (const QString& path : extra)
        if (!listed(path))
            found.append({path, path, {}});
    if (keep && !listed(keep->devicePath()))
        found.append(*keep);
    std::stable_sort(found.begin(), found.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    if (!first.isEmpty()) {
        found.removeIf([&](const SerialPortEntry& p) { return p.devicePath() == first; });
        found.prepend({first, first, {}});
    }
    return found;
}

void PortComboBox::showPopup()
{
    emit aboutToShowList();
    QComboBox::showPopup();
}

}   // namespace pellaro
