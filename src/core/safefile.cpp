#include "core/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include "core/replacefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#else
#include <QSaveFile>
#endif

namespace {

// More links in a row than any real chain has: they lead round in a circle.
constexpr int kMaxLinkDepth = 40;

const QString kFolder = QStringLiteral("is a folder");
const QString kCircle = QStringLiteral("is a symbolic link that leads round in a circle");
const QString kExists = QStringLiteral("exists already; nothing was written");
const QString kNotWritable =
    QStringLiteral("is neither a file, a named pipe nor a character device; nothing was written");

QString TooLarge(qint64 size, qint64 limit)
{
    return QStringLiteral("is too large (%1 bytes; such a file is read only up to %2 bytes)")
        .arg(size)
        .arg(limit);
}

#ifndef Q_OS_UNIX

std::optional<QString> WriteRegular(const QString &path, const QByteArray &contents)
{
    QSaveFile file(path);
    // Unbuffered, so that a write the disk cuts short (full disk, quota, size limit) shows
    // here: a buffered write reports only a partial flush as an error, and the shortened file
    // would replace the previous one as if the save had succeeded.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(contents) != contents.size() || file.size() != contents.size()) {
        QString reason = file.errorString();
        if (file.error() == QFileDevice::NoError)
            reason = QStringLiteral("only part of the file could be written (is the disk full?)");
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

#endif

#ifdef Q_OS_UNIX

QString PathError(int error)
{
    return error == ELOOP ? kCircle : SystemError(error);
}

// The real folder of `path`'s last part (every link on the way followed) and that part.
std::optional<QByteArray> InRealFolder(const QByteArray &path, int &error)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1));
    const QByteArray name = path.mid(slash + 1);
    // "x/", "x/." and "x/.." name a folder, not a file in one.
    const bool folderItself = name.isEmpty() || name == "." || name == "..";
    char *real = ::realpath((folderItself ? path : folder).constData(), nullptr);
    if (!real) {
        error = errno;
        return std::nullopt;
    }
    QByteArray result(real);
    std::free(real);
    if (!folderItself)
        result += (result.endsWith('/') ? "" : "/") + name;
    return result;
}

// The file a save to `path` writes, with no symbolic link left in its name. The system
// follows a link's relative target from the folder the link really is in: `d/site.cfg`, a
// link to `../target.cfg` inside the folder `d` leads to, is `target.cfg` beside that folder,
// not beside `d`. String rules that drop "d/.." would replace an unrelated file.
std::optional<QByteArray> PhysicalName(const QByteArray &path, int &error)
{
    QByteArray current = path;
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        const std::optional<QByteArray> file = InRealFolder(current, error);
        if (!file)
            return std::nullopt;
        struct stat status = {};
        if (::lstat(file->constData(), &status) != 0) {
            if (errno == ENOENT)
                return file; // a new file
            error = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode))
            return file;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(file->constData(), target.data(), target.size());
        if (length < 0 || length == target.size()) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        target.truncate(length);
        current = target.startsWith('/') ? target : file->left(file->lastIndexOf('/') + 1) + target;
    }
    error = ELOOP;
    return std::nullopt;
}

// What a file that is not a regular file is: "is a named pipe, not a file".
QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return kFolder;
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device, not a file");
    return QStringLiteral("is not a regular file");
}

QString ReadRefusalOf(mode_t mode)
{
    return S_ISDIR(mode) ? kFolder : KindOf(mode) + QStringLiteral("; nothing was read");
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A named pipe or a character device is written in place: replacing it by a file would
// destroy it and report a success nobody sees. `name` is opened as given, so that the system
// follows /dev/stdout and /dev/fd/N to the pipe they stand for ("pipe:[1234]" is no path).
std::optional<QString> WriteInPlace(const QByteArray &name, const struct stat &status,
                                    const QByteArray &contents)
{
    // Not blocking: opening a pipe for writing would otherwise wait for a reader, and a
    // serial line for its carrier.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENXIO && S_ISFIFO(status.st_mode))
            return QStringLiteral("is a named pipe that no program is reading; nothing was "
                                  "written");
        return SystemError(errno);
    }
    struct stat opened = {};
    std::optional<QString> reason;
    if (::fstat(fd, &opened) != 0 || !SameFile(opened, status)) {
        reason = QStringLiteral("changed while it was being opened; nothing was written");
    } else {
        // Once open, a write waits for the reader as a write to a pipe does.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        reason = WriteAll(fd, contents);
    }
    if (::close(fd) != 0 && !reason)
        reason = SystemError(errno);
    return reason;
}

#endif

} // namespace

#ifdef Q_OS_UNIX

std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &contents,
                                      Replace replace)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return SystemError(ENOENT);
    // What the system finds at the name decides how it is written.
    struct stat status = {};
    const bool exists = ::stat(name.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return PathError(errno);
    if (exists && replace == Replace::Never)
        return kExists;
    if (exists && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode))
            return kFolder;
        if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))
            return WriteInPlace(name, status, contents);
        return kNotWritable;
    }
    int error = 0;
    const std::optional<QByteArray> file = PhysicalName(name, error);
    if (!file)
        return PathError(error);
    // The name found must be the file the system found: a link of /proc to an open file
    // that was deleted ("x (deleted)") names another, and so does a file that moved.
    struct stat found = {};
    const bool present = ::lstat(file->constData(), &found) == 0;
    if (present != exists || (exists && !SameFile(found, status)))
        return QStringLiteral("leads to a file that cannot be named; nothing was written");
    // Replacing needs only the folder: a file its user may not write stays as it is.
    if (exists && ::access(file->constData(), W_OK) != 0)
        return SystemError(errno);
    return ReplaceFile(*file, exists ? &status : nullptr, contents, replace);
}

QString SavedFileName(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (name.isEmpty() || (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode)))
        return {};
    int error = 0;
    return QFile::decodeName(PhysicalName(name, error).value_or(QByteArray()));
}

std::optional<QString> ReadBackRefusal(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) == 0)
        return S_ISREG(status.st_mode) ? std::nullopt : std::optional(KindOf(status.st_mode));
    if (errno != ENOENT)
        return PathError(errno);
    // A new file is made where the chain of links ends, in a folder that must exist.
    int error = 0;
    if (!PhysicalName(name, error))
        return error == ENOENT ? QStringLiteral("is in a folder that does not exist")
                               : PathError(error);
    return std::nullopt;
}

std::optional<QString> ReadRefusal(const QString &path, qint64 sizeLimit)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return PathError(errno);
    if (!S_ISREG(status.st_mode))
        return ReadRefusalOf(status.st_mode);
    if (status.st_size > sizeLimit)
        return TooLarge(status.st_size, sizeLimit);
    return std::nullopt;
}

#else

std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &contents,
                                      Replace replace)
{
    const QFileInfo info(path);
    if (info.isDir())
        return kFolder;
    if (info.exists() && replace == Replace::Never)
        return kExists;
    if (info.exists() && !info.isFile())
        return kNotWritable;
    return WriteRegular(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath(),
                        contents);
}

QString SavedFileName(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {};
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

std::optional<QString> ReadBackRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.isFile() ? std::nullopt
                             : std::optional(QStringLiteral("is not a regular file"));
    if (!info.absoluteDir().exists())
        return QStringLiteral("is in a folder that does not exist");
    return std::nullopt;
}

std::optional<QString> ReadRefusal(const QString &path, qint64 sizeLimit)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("does not exist");
    if (info.isDir())
        return kFolder;
    if (!info.isFile())
        return QStringLiteral("is not a regular file; nothing was read");
    if (info.size() > sizeLimit)
        return TooLarge(info.size(), sizeLimit);
    return std::nullopt;
}

#endif

std::optional<QByteArray> ReadWholeFile(const QString &path, qint64 sizeLimit, QString *error)
{
    const auto refuse = [error](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // The kind is looked at before the file is opened: opening a device may already do
    // something (a serial line raises its modem lines, a waiting writer of a pipe goes on).
    if (const std::optional<QString> reason = ReadRefusal(path, sizeLimit))
        return refuse(*reason);
#ifdef Q_OS_UNIX
    // Not blocking, in case a pipe took the file's place in the meantime.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(SystemError(errno));
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refuse(ReadRefusalOf(status.st_mode));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    const qint64 size = status.st_size;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const qint64 size = file.size();
#endif
    if (size > sizeLimit)
        return refuse(TooLarge(size, sizeLimit));
    // One byte more than the file holds: a file that grows while it is read is refused
    // rather than read in part.
    QByteArray data = file.read(size + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    // A /proc file tells the size 0 and makes its contents as it is read: there is no size
    // to hold it to.
    if (size == 0 && !data.isEmpty())
        return refuse(QStringLiteral("is not a regular file of known size; nothing was read"));
    if (data.size() > size)
        return refuse(QStringLiteral("changed while it was being read"));
    return data;
}

QString WithDefaultSuffix(const QString &path, const QString &suffix)
{
    const QString fileName = QFileInfo(path).fileName();
    QString name = fileName;
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    // A name of dots only, or a folder's path, is no file name to complete.
    if (name.isEmpty())
        return path;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + suffix;
    return path.left(path.size() - fileName.size()) + name;
}
