#include "simulatedk30.h"

#include <QSerialPort>

void SimulatedK30::AttachToCom1(const QString &path)
{
    m_com1.reset();
    m_com1.emplace("K30CFG_COM1", (path.isEmpty() ? Path() : path).toLocal8Bit());
}

bool SimulatedK30::PortIsFree() const
{
    QSerialPort port(Path());
    return port.open(QIODevice::ReadWrite);
}

QStringList SimulatedK30::Replies() const
{
    QStringList replies;
    for (const QString &line : device.Log()) {
        if (line.startsWith(QLatin1String("reply ")))
            replies.append(line.mid(6));
    }
    return replies;
}
