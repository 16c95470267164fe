#pragma once

#include <QList>
#include <QString>

#include <optional>

// A serial port the system has now, as the system describes it.
struct PortDetails
{
    QString path; // what the port is opened by: /dev/ttyUSB0 (COM3 on Windows)
    QString description;
    QString manufacturer;
    QString serialNumber; // empty: the port reports none (built-in ports, many cheap adapters)
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;

    // A USB adapter reports its vendor; a port built into the PC does not.
    bool IsUsbAdapter() const { return vendorId.has_value(); }

    bool operator==(const PortDetails &) const = default;
};

// "0403:6001"; empty without a vendor.
QString UsbIdText(const PortDetails &port);
// "/dev/ttyUSB0, FT232R USB UART, serial A50285BI": the path and what tells one adapter from
// another.
QString PortShortText(const PortDetails &port);
// Everything the system says: "/dev/ttyUSB0, FT232R USB UART, FTDI, serial A50285BI,
// USB 0403:6001".
QString PortLongText(const PortDetails &port);

// The port opened by `path`; a symbolic link such as /dev/serial/by-id/... counts as the
// device it points to.
std::optional<PortDetails> FindPortByPath(const QList<PortDetails> &ports, const QString &path);
// The ports that report this serial number, exactly as written.
QList<PortDetails> FindPortsBySerial(const QList<PortDetails> &ports, const QString &serialNumber);
