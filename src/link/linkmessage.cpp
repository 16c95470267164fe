#include "link/linkmessage.h"

QString PortNotAvailableText(int commPort)
{
    const QString number =
        commPort >= 0 ? QStringLiteral(" %1").arg(commPort) : QString::number(commPort);
    return QStringLiteral("COM") + number + QStringLiteral(": not available.");
}

LinkMessage PortNotAvailableMessage(int commPort)
{
    return {PortNotAvailableText(commPort), QString()};
}

QString TimeOutText()
{
    return QStringLiteral("Time Out Error!");
}

QString HandshakeTimeOutText()
{
    return QStringLiteral("Times Out Error");
}

QString DeviceBusyText()
{
    return QStringLiteral("Another exchange with the device is running. Try again when it has "
                          "ended.");
}
