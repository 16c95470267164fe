#include "link/ports/serialdevice.h"

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

QString ComVariableName(int commPort)
{
    return QStringLiteral("K30CFG_COM%1").arg(commPort);
}

QString ComVariableValue(int commPort)
{
    return qEnvironmentVariable(ComVariableName(commPort).toLatin1().constData());
}
