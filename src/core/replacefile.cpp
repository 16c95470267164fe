#include "core/replacefile.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

enum class Step
{
    Open,
    Write,
    Sync,
    Close,
    Rename,
    Alter
};

bool Injected(Step step)
{
    static constexpr const char *kNames[] = {"open", "write", "fsync", "close", "rename", "alter"};
    // Looked up at every step, so that one test process can fail one step after another.
    static const char kVariable[] = "K30_TEST_FAIL_SAVE";
    return qgetenv(kVariable) == kNames[int(step)];
}

// -1 with EIO where the test asks this step to fail, otherwise what the call returns.
template <typename Call> int At(Step step, Call call)
{
    if (Injected(step)) {
        errno = EIO;
        return -1;
    }
    return int(call());
}

// A folder, open for the calls relative to it, so that every step names the same folder
// whatever happens to the path meanwhile.
class Folder
{
public:
    explicit Folder(const QByteArray &path)
    {
        m_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_syncable = m_fd >= 0;
        // A folder the user may enter but not list is still a folder to save into.
        if (m_fd < 0)
            m_fd = ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    ~Folder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    int fd() const { return m_fd; }
    // The new name is on the disk only once the folder is: a crash right after the save
    // would otherwise bring back the previous file. A failure here cannot undo the save, so
    // it is not reported.
    void Sync() const
    {
        if (m_syncable)
            ::fsync(m_fd);
    }

private:
    int m_fd = -1;
    bool m_syncable = false;
};

// The new file, not yet in its place: removed unless it gets there.
struct NewFile
{
    int folder = -1;
    int fd = -1;
    QByteArray name; // empty while the file has no name
    bool placed = false;

    ~NewFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty() && !placed)
            ::unlinkat(folder, name.constData(), 0);
    }
};

QByteArray HiddenName()
{
    return ".k30cfg-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
}

// Opens the new file in the folder, without a name where the file system can.
std::optional<QString> Open(NewFile &file, mode_t mode)
{
#ifdef O_TMPFILE
    file.fd = At(Step::Open, [&] {
        return ::openat(file.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    });
    if (file.fd >= 0)
        return std::nullopt;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return SystemError(errno);
#endif
    for (int attempt = 0; attempt < 8; ++attempt) {
        QByteArray name = HiddenName();
        file.fd = At(Step::Open, [&] {
            return ::openat(file.folder, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC,
                            mode);
        });
        if (file.fd >= 0) {
            file.name = name;
            return std::nullopt;
        }
        if (errno != EEXIST)
            break;
    }
    return SystemError(errno);
}

std::optional<QString> KeepOwnerAndMode(int fd, const struct stat &previous)
{
    struct stat now = {};
    if (::fstat(fd, &now) != 0)
        return SystemError(errno);
    if (now.st_uid != previous.st_uid || now.st_gid != previous.st_gid) {
        // Root keeps both; a user keeps at least a group of their own.
        const bool kept = ::fchown(fd, previous.st_uid, previous.st_gid) == 0 ||
                          ::fchown(fd, uid_t(-1), previous.st_gid) == 0;
        const mode_t group = (previous.st_mode >> 3) & 07;
        const mode_t others = previous.st_mode & 07;
        if (!kept && now.st_gid != previous.st_gid && (group & ~others) != 0)
            return QStringLiteral("its group cannot be kept, and the saved file would let "
                                  "another group in; nothing was written");
    }
    if (::fchmod(fd, previous.st_mode & 07777) != 0)
        return SystemError(errno);
    return std::nullopt;
}

// Gives the unnamed file a hidden name beside the file it is to replace.
std::optional<QString> Name(NewFile &file)
{
    if (!file.name.isEmpty())
        return std::nullopt;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QByteArray name = HiddenName();
        int linked =
            ::linkat(AT_FDCWD, self.constData(), file.folder, name.constData(), AT_SYMLINK_FOLLOW);
        // Without /proc, root can still name the file by its descriptor.
        if (linked != 0 && errno == ENOENT)
            linked = ::linkat(file.fd, "", file.folder, name.constData(), AT_EMPTY_PATH);
        if (linked == 0) {
            file.name = name;
            return std::nullopt;
        }
        if (errno != EEXIST)
            break;
    }
    return QStringLiteral("cannot be put in place: ") + SystemError(errno);
}

// The last step: the new file takes the name, replacing what was there in one step.
std::optional<QString> Place(NewFile &file, const QByteArray &name, Replace replace)
{
    if (replace == Replace::Never) {
        // Linked under its name only if nothing is there, then the hidden name goes.
        if (At(Step::Rename, [&] {
                return ::linkat(file.folder, file.name.constData(), file.folder, name.constData(),
                                0);
            }) != 0)
            return errno == EEXIST
                       ? QStringLiteral("exists already; nothing was written")
                       : QStringLiteral("cannot be put in place: ") + SystemError(errno);
        ::unlinkat(file.folder, file.name.constData(), 0);
        file.placed = true;
        return std::nullopt;
    }
    if (At(Step::Rename, [&] {
            return ::renameat(file.folder, file.name.constData(), file.folder, name.constData());
        }) != 0)
        return QStringLiteral("cannot replace the previous file: ") + SystemError(errno);
    file.placed = true;
    return std::nullopt;
}

// Changes the saved file behind the tool's back, for the tests of the read-back.
void Alter(const QByteArray &file)
{
    const int fd = ::open(file.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::write(fd, "altered", 7);
    ::close(fd);
}

} // namespace

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QString> ReplaceFile(const QByteArray &file, const struct stat *previous,
                                   const QByteArray &contents, Replace replace)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray name = file.mid(slash + 1);
    const Folder folder(slash <= 0 ? QByteArray("/") : file.left(slash));
    if (folder.fd() < 0)
        return SystemError(errno);
    NewFile created;
    created.folder = folder.fd();
    // Closed to others until it has the previous file's owner and mode; a new file gets the
    // mode any new file gets.
    if (auto reason = Open(created, previous ? 0600 : 0666))
        return reason;
    std::optional<QString> reason =
        Injected(Step::Write) ? SystemError(EIO) : WriteAll(created.fd, contents);
    if (!reason && previous)
        reason = KeepOwnerAndMode(created.fd, *previous);
    if (!reason && At(Step::Sync, [&] { return ::fsync(created.fd); }) != 0)
        reason = QStringLiteral("cannot be written to the disk: ") + SystemError(errno);
    if (!reason)
        reason = Name(created);
    if (reason)
        return reason;
    // Closed before it takes the name: on some file systems the close is where a failed
    // write shows.
    const int closed = ::close(std::exchange(created.fd, -1));
    if (At(Step::Close, [closed] { return closed; }) != 0)
        return SystemError(errno);
    if (auto failed = Place(created, name, replace))
        return failed;
    folder.Sync();
    if (Injected(Step::Alter))
        Alter(file);
    return std::nullopt;
}

// A reader that goes away must not end the program with SIGPIPE: the signal is held back for
// the write and a pending one is taken off again.
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
