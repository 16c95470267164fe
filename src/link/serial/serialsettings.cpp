#include "link/serial/serialsettings.h"

#include <QList>

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
