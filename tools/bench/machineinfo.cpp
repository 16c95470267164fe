#include "machineinfo.h"

#include <QFile>
#include <QStringList>
#include <QThread>

#include <sys/utsname.h>

namespace {

QByteArray ReadProc(const char *path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value of the first "key : value" line of a /proc file.
QString ProcValue(const QByteArray &text, const QByteArray &key)
{
    for (const QByteArray &line : text.split('\n'))
        if (line.startsWith(key))
            return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("?");
}

} // namespace

QString MachineDescription()
{
    utsname name{};
    uname(&name);
    const QStringList load = QString::fromLatin1(ReadProc("/proc/loadavg")).split(QLatin1Char(' '));
    return QStringLiteral("machine: %1, %2 cores, %3 memory, kernel %4 %5; load average %6")
        .arg(ProcValue(ReadProc("/proc/cpuinfo"), "model name"))
        .arg(QThread::idealThreadCount())
        .arg(ProcValue(ReadProc("/proc/meminfo"), "MemTotal"))
        .arg(QString::fromLatin1(name.release), QString::fromLatin1(name.machine))
        .arg(load.mid(0, 3).join(QLatin1Char(' ')));
}
