#include "core/recentfiles.h"

#include "core/settingsfile.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("RecentFiles");
const QString kSettings = QStringLiteral("k30cfg");

// One spelling per file, so that opening and saving it again does not list it twice.
QString Absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

void Store(const QStringList &paths)
{
    if (const auto settings = OpenSettings(kSettings))
        settings->setValue(kKey, paths);
}

} // namespace

QStringList RecentFiles()
{
    const auto settings = OpenSettings(kSettings);
    if (!settings)
        return {};
    QStringList paths = settings->value(kKey).toStringList();
    paths.removeAll(QString());
    return paths.mid(0, kRecentFilesKept);
}

void AddRecentFile(const QString &path)
{
    QStringList paths = RecentFiles();
    paths.removeAll(Absolute(path));
    paths.prepend(Absolute(path));
    Store(paths.mid(0, kRecentFilesKept));
}

void RemoveRecentFile(const QString &path)
{
    QStringList paths = RecentFiles();
    paths.removeAll(Absolute(path));
    Store(paths);
}
