#include "about/sysinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

std::optional<QString> FindSysInfoProgram(const SysInfoHost &host)
{
    if (auto path = host.GetKeyValue(kMsInfoKey, QStringLiteral("PATH")); path && !path->isEmpty())
        return path;
    const auto folder = host.GetKeyValue(kMsInfoLocationKey, QStringLiteral("MSINFO"));
    if (!folder || folder->isEmpty())
        return std::nullopt;
    const QString program = *folder + QStringLiteral("\\MSINFO32.EXE");
    if (!host.FileExists(program))
        return std::nullopt;
    return program;
}

bool StartSysInfo(const SysInfoHost &host)
{
    const auto program = FindSysInfoProgram(host);
    return program && host.StartProgram(*program);
}

namespace {

std::optional<QString> NativeKeyValue(const QString &keyName, const QString &valueName)
{
#ifdef Q_OS_WIN
    QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\") + keyName, QSettings::NativeFormat);
    const QVariant value = key.value(valueName);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
#else
    // No registry: the program's path is the first desktop system information program on
    // the PATH; there is no folder to fall back on.
    if (keyName != kMsInfoKey || valueName != QStringLiteral("PATH"))
        return std::nullopt;
    for (const char *name : kDesktopSysInfoPrograms) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return std::nullopt;
#endif
}

} // namespace

SysInfoHost SysInfoHost::Native()
{
    SysInfoHost host;
    host.GetKeyValue = NativeKeyValue;
    host.FileExists = [](const QString &path) {
        return QFileInfo(QDir::fromNativeSeparators(path)).isFile();
    };
    host.StartProgram = [](const QString &path) {
        return QProcess::startDetached(QDir::fromNativeSeparators(path), {});
    };
    return host;
}
