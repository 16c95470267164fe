#include "core/settingsfile.h"

#include "core/safefile.h"

#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kOrganisation = QStringLiteral("k30cfg");

#ifdef Q_OS_UNIX
// A few choices fit in a few hundred bytes.
constexpr qint64 kSettingsSizeLimit = 1024 * 1024;

void WarnOnce(const QString &text)
{
    static QMutex mutex;
    static QSet<QString> warned;
    const QMutexLocker locker(&mutex);
    if (!warned.contains(text)) {
        warned.insert(text);
        qWarning("%s", qPrintable(text));
    }
}
#endif

} // namespace

QString SettingsFileName(const QString &name)
{
#ifdef Q_OS_UNIX
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + kOrganisation + QLatin1Char('/') + name + QStringLiteral(".conf");
#else
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, name).fileName();
#endif
}

std::unique_ptr<QSettings> OpenSettings(const QString &name)
{
#ifdef Q_OS_UNIX
    const QString file = SettingsFileName(name);
    if (QFileInfo::exists(file)) {
        if (const auto reason = ReadRefusal(file, kSettingsSizeLimit)) {
            WarnOnce(QStringLiteral("%1: %2; the settings in it are not used").arg(file, *reason));
            return nullptr;
        }
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
#else
    // The registry holds no files of unknown kind.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganisation,
                                       name);
#endif
}
