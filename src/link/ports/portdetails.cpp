#include "link/ports/portdetails.h"

#include <QFileInfo>
#include <QStringList>

QString UsbIdText(const PortDetails &port)
{
    if (!port.vendorId)
        return {};
    auto hex = [](quint16 id) { return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')); };
    return hex(*port.vendorId) + QLatin1Char(':') + hex(port.productId.value_or(0));
}

QString PortShortText(const PortDetails &port)
{
    QStringList parts{port.path};
    if (!port.description.isEmpty())
        parts << port.description;
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("serial ") + port.serialNumber;
    return parts.join(QStringLiteral(", "));
}

QString PortLongText(const PortDetails &port)
{
    QStringList parts{port.path};
    for (const QString &part : {port.description, port.manufacturer}) {
        if (!part.isEmpty())
            parts << part;
    }
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("serial ") + port.serialNumber;
    if (port.vendorId)
        parts << QStringLiteral("USB ") + UsbIdText(port);
    return parts.join(QStringLiteral(", "));
}

std::optional<PortDetails> FindPortByPath(const QList<PortDetails> &ports, const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    for (const PortDetails &port : ports) {
        if (port.path == path)
            return port;
    }
    const QFileInfo info(path);
    if (!info.isSymLink())
        return std::nullopt;
    const QString target = info.canonicalFilePath();
    for (const PortDetails &port : ports) {
        if (!target.isEmpty() && port.path == target)
            return port;
    }
    return std::nullopt;
}

QList<PortDetails> FindPortsBySerial(const QList<PortDetails> &ports, const QString &serialNumber)
{
    QList<PortDetails> found;
    if (serialNumber.isEmpty())
        return found;
    for (const PortDetails &port : ports) {
        if (port.serialNumber == serialNumber)
            found << port;
    }
    return found;
}
