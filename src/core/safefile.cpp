#include "core/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

// More links in a row than any real chain has: they lead round in a circle.
constexpr int kMaxLinkDepth = 40;

const QString kFolder = QStringLiteral("is a folder");
const QString kCircle = QStringLiteral("is a symbolic link that leads round in a circle");
const QString kNotWritable =
    QStringLiteral("is neither a file, a named pipe nor a character device; nothing was written");

// The file a chain of symbolic links ends at; it need not exist yet.
std::optional<QString> ResolveLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == kMaxLinkDepth)
            return std::nullopt;
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

QString TooLarge(qint64 size, qint64 limit)
{
    return QStringLiteral("is too large (%1 bytes; such a file is read only up to %2 bytes)")
        .arg(size)
        .arg(limit);
}

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

#ifdef Q_OS_UNIX

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString ReadRefusalOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return kFolder;
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe, not a file; nothing was read");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device, not a file; nothing was read");
    return QStringLiteral("is not a regular file; nothing was read");
}

// Writes all of `contents` to the open descriptor; the reason when it could not. A reader
// that goes away must not end the program with SIGPIPE: the signal is held back for the
// write and a pending one is taken off again.
std::optional<QString> WriteAll(int fd, const QByteArray &contents)
{
    sigset_t pipeSignal;
    sigset_t previousMask;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    sigset_t pending;
    sigpending(&pending);
    const bool pipeWasPending = sigismember(&pending, SIGPIPE) == 1;

    std::optional<QString> reason;
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t written = ::write(fd, contents.constData() + done, contents.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            reason = error == EPIPE ? QStringLiteral("the program reading the pipe stopped reading")
                                    : SystemError(error);
            if (error == EPIPE && !pipeWasPending) {
                const timespec noWait{};
                sigtimedwait(&pipeSignal, nullptr, &noWait);
            }
            break;
        }
        done += written;
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return reason;
}

// A named pipe or a character device is written in place: replacing it by a file would
// destroy it and report a success nobody sees.
std::optional<QString> WriteInPlace(const QString &path, mode_t mode, const QByteArray &contents)
{
    // Not blocking: opening a pipe for writing would otherwise wait for a reader, and a
    // serial line for its carrier.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENXIO && S_ISFIFO(mode))
            return QStringLiteral("is a named pipe that no program is reading; nothing was "
                                  "written");
        return SystemError(errno);
    }
    struct stat opened = {};
    std::optional<QString> reason;
    if (::fstat(fd, &opened) != 0 || (opened.st_mode & S_IFMT) != (mode & S_IFMT)) {
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

std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &contents)
{
    const std::optional<QString> target = ResolveLinks(path);
    if (!target)
        return kCircle;
#ifdef Q_OS_UNIX
    struct stat status = {};
    if (::stat(QFile::encodeName(*target).constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode))
            return kFolder;
        if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))
            return WriteInPlace(*target, status.st_mode, contents);
        return kNotWritable;
    }
#else
    const QFileInfo info(*target);
    if (info.isDir())
        return kFolder;
    if (info.exists() && !info.isFile())
        return kNotWritable;
#endif
    return WriteRegular(*target, contents);
}

#ifdef Q_OS_UNIX

std::optional<QString> ReadRefusal(const QString &path, qint64 sizeLimit)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ELOOP ? kCircle : SystemError(errno);
    if (!S_ISREG(status.st_mode))
        return ReadRefusalOf(status.st_mode);
    if (status.st_size > sizeLimit)
        return TooLarge(status.st_size, sizeLimit);
    return std::nullopt;
}

#else

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
