#include "shell/systemkeyboardlayout.h"

#include "core/safefile.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <chrono>

namespace {

using namespace std::chrono_literals;

#ifdef Q_OS_WIN

std::optional<KeyboardLayout> AskSystem()
{
    // The layout's identifier, "00000407": its low word is the language the keys are laid
    // out for, whatever the input language.
    wchar_t klid[KL_NAMELENGTH] = {};
    if (!GetKeyboardLayoutNameW(klid))
        return std::nullopt;
    const QString id = QString::fromWCharArray(klid);
    bool ok = false;
    const auto languageId = static_cast<std::uint16_t>(id.toUInt(&ok, 16) & 0xFFFF);
    if (!ok)
        return std::nullopt;
    wchar_t name[LOCALE_NAME_MAX_LENGTH * 2] = {};
    const LCID locale = MAKELCID(languageId, SORT_DEFAULT);
    const QString language =
        GetLocaleInfoW(locale, LOCALE_SENGLISHDISPLAYNAME, name, LOCALE_NAME_MAX_LENGTH * 2) > 0
            ? QString::fromWCharArray(name)
            : QString();
    return KeyboardLayout{language.isEmpty() ? id : QStringLiteral("%1 (%2)").arg(language, id),
                          WindowsLayoutLanguage(languageId)};
}

#else

// setxkbmap answers at once; a hung display must not hold the window for long.
constexpr auto kQueryTime = 500ms;
constexpr qint64 kSettingsSizeLimit = 64 * 1024;

std::optional<KeyboardLayout> AskSystem()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    const QString setxkbmap = QStandardPaths::findExecutable(QStringLiteral("setxkbmap"));
    if (!setxkbmap.isEmpty()) {
        QProcess query;
        query.start(setxkbmap, {QStringLiteral("-query")});
        if (query.waitForFinished(static_cast<int>(kQueryTime.count())) &&
            query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0) {
            if (auto layout = XkbLayoutFromQuery(query.readAllStandardOutput()))
                return layout;
        } else {
            query.kill();
            query.waitForFinished(static_cast<int>(kQueryTime.count()));
        }
    }
    if (const auto settings =
            ReadWholeFile(QStringLiteral("/etc/default/keyboard"), kSettingsSizeLimit))
        return XkbLayoutFromSettings(*settings);
    return std::nullopt;
}

#endif

} // namespace

std::optional<KeyboardLayout> SystemKeyboardLayout::Current() const
{
    if (!m_asked) {
        m_asked = true;
        m_layout = AskSystem();
    }
    return m_layout;
}
