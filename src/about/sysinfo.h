#pragma once

#include <QString>

#include <functional>
#include <optional>

// Finds and starts the host's system information program. The look-up goes through the
// registry on Windows; elsewhere it is mapped onto the desktop's own programs on the PATH.
struct SysInfoHost
{
    // Reads a value of a key under the local-machine root; nothing when it cannot be read.
    std::function<std::optional<QString>(const QString &keyName, const QString &valueName)>
        GetKeyValue;
    std::function<bool(const QString &path)> FileExists;
    // Starts the program in a normal window; false when it could not be started.
    std::function<bool(const QString &path)> StartProgram;

    // The look-up of the machine the tool runs on.
    static SysInfoHost Native();
};

inline const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kMsInfoLocationKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
// Tried in this order on the PATH where there is no registry.
inline constexpr const char *kDesktopSysInfoPrograms[] = {"kinfocenter", "hardinfo",
                                                          "gnome-system-monitor"};

// The program that StartSysInfo would start, if any.
std::optional<QString> FindSysInfoProgram(const SysInfoHost &host);
// Starts the system information program; false when none could be found or started, and the
// caller then says "System Information Is Unavailable At This Time".
bool StartSysInfo(const SysInfoHost &host);
