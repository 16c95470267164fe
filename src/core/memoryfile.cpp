#include "core/memoryfile.h"

#include "core/charset.h"
#include "core/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

#ifdef Q_OS_UNIX

// More links in a row than any real chain has: they lead round in a circle.
constexpr int kMaxLinkDepth = 40;

QString KindRefusal(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device, not a file");
    return QStringLiteral("is not a regular file");
}

// The folder part of a path as the system reads it, "." for a bare name: no ".." is taken
// away, since the system resolves it after following the links before it.
QByteArray FolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.left(slash + 1);
}

#endif

} // namespace

QString MemoryFileText(const QString &areaText)
{
    QString text;
    text.reserve(areaText.size() + areaText.size() / 16);
    // A text area holds lines, not line ends: every line break becomes CR LF, whether it came
    // as LF or CR LF.
    for (qsizetype i = 0; i < areaText.size(); ++i) {
        const QChar c = areaText.at(i);
        if (c == QLatin1Char('\r') && i + 1 < areaText.size() &&
            areaText.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text += QStringLiteral("\r\n");
            continue;
        }
        text += c;
    }
    return text;
}

QByteArray MemoryFileBytes(const QString &fileText)
{
    return TextToBytes(fileText + QStringLiteral("\r\n"));
}

std::optional<QString> WriteMemoryFile(const QString &path, const QString &fileText)
{
    return WriteWholeFile(path, MemoryFileBytes(fileText));
}

std::optional<QString> ReadBackRefusal(const QString &path)
{
#ifdef Q_OS_UNIX
    QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) == 0)
        return S_ISREG(status.st_mode) ? std::nullopt : std::optional(KindRefusal(status.st_mode));
    if (errno != ENOENT)
        return QString::fromLocal8Bit(std::strerror(errno));
    // A new file is made where the chain of links ends.
    for (int depth = 0; ::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode);
         ++depth) {
        if (depth == kMaxLinkDepth)
            return QStringLiteral("is a symbolic link that leads round in a circle");
        QByteArray target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(name.constData(), target.data(), target.size());
        if (size < 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        target.truncate(size);
        name = target.startsWith('/') ? target : FolderOf(name) + target;
    }
    const QByteArray folder = FolderOf(name);
    if (::stat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return QStringLiteral("is in a folder that does not exist");
    return std::nullopt;
#else
    const QFileInfo info(path);
    if (info.exists())
        return info.isFile() ? std::nullopt
                             : std::optional(QStringLiteral("is not a regular file"));
    if (!info.absoluteDir().exists())
        return QStringLiteral("is in a folder that does not exist");
    return std::nullopt;
#endif
}
