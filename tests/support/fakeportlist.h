#pragma once

#include "link/ports/portlist.h"

// Adapters a test plugs in, pulls out and plugs in again elsewhere; counts how often the list
// is read, which on a real system walks thousands of files.
class FakePortList final : public PortList
{
public:
    QList<PortDetails> ports;
    mutable int reads = 0;

    QList<PortDetails> Ports() const override
    {
        ++reads;
        return ports;
    }
};

// An FTDI adapter as the system describes one.
inline PortDetails Adapter(const QString &path, const QString &serialNumber)
{
    PortDetails port;
    port.path = path;
    port.description = QStringLiteral("FT232R USB UART");
    port.manufacturer = QStringLiteral("FTDI");
    port.serialNumber = serialNumber;
    port.vendorId = 0x0403;
    port.productId = 0x6001;
    return port;
}

// A port built into the PC: no USB ids.
inline PortDetails BuiltIn(const QString &path)
{
    PortDetails port;
    port.path = path;
    return port;
}
