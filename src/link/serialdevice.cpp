#include "link/serialdevice.h"

#include <QList>

QString StandardSerialDevice(int commPort)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(commPort);
#else
    return QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
#endif
}

QString SerialPortDevice(int commPort)
{
    const QString fromEnvironment = ComVariableValue(commPort);
    return fromEnvironment.isEmpty() ? StandardSerialDevice(commPort) : fromEnvironment;
}

QString SerialPortToolTip(const ComRoute &route)
{
    const QString first = ComRouteText(route);
#ifdef Q_OS_LINUX
    QString device = route.ShownDevice();
    if (device.isEmpty())
        device = StandardSerialDevice(route.commPort);
    return first + QStringLiteral("\n\n"
                                  "\"COM %1: not available.\" means the tool could not open it:\n"
                                  "- the device does not exist: plug the adapter in, or choose\n"
                                  "  its device in Tools > Port Mapping (an environment\n"
                                  "  variable K30CFG_COM%1 wins over that choice);\n"
                                  "- another program holds it: close that program\n"
                                  "  (fuser -v %2 names it);\n"
                                  "- you are not in the dialout group: sudo usermod -aG dialout\n"
                                  "  $USER, then log out and in again.")
                       .arg(route.commPort)
                       .arg(device);
#else
    return first;
#endif
}

std::optional<SerialLineSettings> ParseSerialSettings(QStringView text)
{
    const QList<QStringView> parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    bool ok = false;
    SerialLineSettings settings;
    settings.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || settings.baud <= 0)
        return std::nullopt;
    if (parts[1].trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    settings.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || settings.dataBits < 5 || settings.dataBits > 8)
        return std::nullopt;
    settings.stopBits = parts[3].trimmed().toInt(&ok);
    if (!ok || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    return settings;
}
