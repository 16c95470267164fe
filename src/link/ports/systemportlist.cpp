#include "link/ports/systemportlist.h"

#include <QSerialPortInfo>

#include <algorithm>

QList<PortDetails> SystemPortList::Ports() const
{
    QList<PortDetails> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        PortDetails port;
#ifdef Q_OS_WIN
        port.path = info.portName();
#else
        port.path = info.systemLocation();
#endif
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports << port;
    }
    // The same order every time, so that a list that did not change compares equal.
    std::ranges::sort(ports, {}, &PortDetails::path);
    return ports;
}
