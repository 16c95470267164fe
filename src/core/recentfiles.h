#pragma once

#include <QString>
#include <QStringList>

// The configurations last opened or saved, newest first, kept in the user's settings
// (the settings file "k30cfg" of core/settingsfile.h) from one run to the next.
inline constexpr int kRecentFilesKept = 4;

QStringList RecentFiles();
// `path` becomes the newest; the oldest beyond kRecentFilesKept drops out.
void AddRecentFile(const QString &path);
void RemoveRecentFile(const QString &path);
