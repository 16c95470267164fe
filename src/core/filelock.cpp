#include "core/filelock.h"

#include "core/safefile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace {

// The longest name a folder entry takes on the usual file systems, in bytes.
constexpr qsizetype kLongestName = 255;

} // namespace

FileLock::FileLock(const QString &path) : m_path(path) {}

FileLock::~FileLock() = default;

std::optional<QString> FileLock::Lock(std::chrono::milliseconds wait)
{
    const QString file = SavedFileName(m_path);
    if (file.isEmpty())
        return std::nullopt;
    QString name = file + QStringLiteral(".lock");
    // A name of nearly the longest a folder takes has no room for ".lock": the lock then has
    // a name made from the file's, as every program saving that file makes it.
    const QFileInfo saved(file);
    if (QFile::encodeName(saved.fileName()).size() + 5 > kLongestName)
        name = saved.path() + QStringLiteral("/.") +
               QString::fromLatin1(QCryptographicHash::hash(QFile::encodeName(saved.fileName()),
                                                            QCryptographicHash::Sha1)
                                       .toHex()) +
               QStringLiteral(".lock");
    // A lock file that is held is read to see whether its program still runs: a pipe there
    // would wait forever for a writer.
    const QFileInfo found(name);
    if (found.isSymLink() || (found.exists() && !found.isFile()))
        return QStringLiteral("its lock file %1 is not a file; nothing was changed").arg(name);
    m_lock = std::make_unique<QLockFile>(name);
    if (m_lock->tryLock(int(wait.count())))
        return std::nullopt;
    if (m_lock->error() != QLockFile::LockFailedError) {
        m_lock.reset();
        return std::nullopt;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    m_lock->getLockInfo(&pid, &host, &program);
    m_lock.reset();
    return QStringLiteral("another program (%1, process %2) is saving this file and did not "
                          "finish within %3 s; nothing was changed")
        .arg(program.isEmpty() ? QStringLiteral("unknown") : program)
        .arg(pid)
        .arg(double(wait.count()) / 1000);
}
