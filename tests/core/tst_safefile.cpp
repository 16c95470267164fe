// The one writer and reader of files, on what a user can name: a pipe whose reader comes late
// or goes away in the middle of a save, another user's file saved over, and the files a read
// refuses before it opens them.
#include "support/childcontents.h"

#include "core/safefile.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <thread>
#include <utility>

class TestSafeFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void pipeReaders_data();
    void pipeReaders();
    void ownerGroupAndMode_data();
    void ownerGroupAndMode();
    void readRefusals_data();
    void readRefusals();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSafeFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSafeFile::pipeReaders_data()
{
    QTest::addColumn<bool>("stops"); // the reader goes away after a few bytes
    QTest::newRow("reader starts late") << false;
    QTest::newRow("reader stops in the middle") << true;
}

void TestSafeFile::pipeReaders()
{
    QFETCH(bool, stops);
    const QString path = m_dir->filePath(QStringLiteral("pipe"));
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const QByteArray contents = ChildContents('P', 1024 * 1024);
    std::optional<QString> reason = QStringLiteral("not written");
    // A save in another thread, as the program would make it: should the pipe's signal get
    // through, it ends this whole process.
    std::thread writer([&] { reason = WriteWholeFile(path, contents); });
    auto finish = qScopeGuard([&] {
        if (reader >= 0)
            ::close(reader); // a writer still waiting is let go
        writer.join();
    });
    // The reader starts once the pipe is full: the writer has to wait for it.
    const int capacity = ::fcntl(reader, F_GETPIPE_SZ);
    int queued = 0;
    QTRY_VERIFY(::ioctl(reader, FIONREAD, &queued) == 0 && queued >= capacity);
    QCOMPARE(::fcntl(reader, F_SETFL, 0), 0);
    QByteArray received;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    while (!stops || received.size() < 4096) {
        const ssize_t length = ::read(reader, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        received.append(buffer.constData(), length);
    }
    ::close(std::exchange(reader, -1));
    finish.dismiss();
    writer.join();
    if (stops) {
        QCOMPARE(reason.value_or(QString()),
                 QStringLiteral("the program reading the pipe stopped reading"));
    } else {
        QVERIFY2(!reason, qPrintable(reason.value_or(QString())));
        QCOMPARE(received.size(), contents.size());
        QVERIFY(received == contents);
    }
}

void TestSafeFile::ownerGroupAndMode_data()
{
    QTest::addColumn<QByteArray>("owner");
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("saver");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QByteArray>("groupAfter"); // the owner stays, or becomes the saver
    const auto row = [](const char *name, const char *owner, const char *group, int mode,
                        const char *saver, bool saved, const char *groupAfter) {
        QTest::newRow(name) << QByteArray(owner) << QByteArray(group) << mode << QByteArray(saver)
                            << saved << QByteArray(groupAfter);
    };
    row("root over another user's file", "nobody", "nogroup", 0640, "root", true, "nogroup");
    row("root over a read-only file", "root", "root", 0444, "root", true, "root");
    row("a user over a file they may not write", "root", "root", 0644, "nobody", false, "root");
    // A user cannot give a file a group they are not in: the file then gets theirs, which is
    // refused where that group would get more than all others.
    row("a user, a group not theirs", "nobody", "root", 0660, "nobody", false, "root");
    row("a user, a group not theirs, as open as to all", "nobody", "root", 0604, "nobody", true,
        "nogroup");
    row("a user over another's file open to all", "root", "root", 0666, "nobody", true, "nogroup");
}

void TestSafeFile::ownerGroupAndMode()
{
    QFETCH(QByteArray, owner);
    QFETCH(QByteArray, group);
    QFETCH(int, mode);
    QFETCH(QByteArray, saver);
    QFETCH(bool, saved);
    QFETCH(QByteArray, groupAfter);
    if (::getuid() != 0)
        QSKIP("giving a file to another user needs root");
    // Each look-up overwrites what the previous one returned.
    const auto userId = [](const QByteArray &name) {
        const passwd *user = ::getpwnam(name.constData());
        return user ? std::optional(std::pair(user->pw_uid, user->pw_gid)) : std::nullopt;
    };
    const auto groupId = [](const QByteArray &name) {
        const struct group *found = ::getgrnam(name.constData());
        return found ? std::optional(found->gr_gid) : std::nullopt;
    };
    const auto saverIds = userId(saver);
    const auto ownerIds = userId(owner);
    const auto fileGroup = groupId(group);
    const auto afterGroup = groupId(groupAfter);
    QVERIFY(saverIds && ownerIds && fileGroup && afterGroup);
    const auto [saverId, saverGroup] = *saverIds;
    const uid_t ownerId = ownerIds->first;
    // A folder every user may write in, without the sticky bit of /tmp.
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0777), 0);
    const QString path = m_dir->filePath(QStringLiteral("site.cfg"));
    const QByteArray name = QFile::encodeName(path);
    const QByteArray previous = "previous\r\n";
    QVERIFY(!WriteWholeFile(path, previous));
    QCOMPARE(::chown(name.constData(), ownerId, *fileGroup), 0);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);

    QProcess child;
    if (saverId != 0) {
        child.setChildProcessModifier([saverId, saverGroup] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(saverGroup) != 0 || ::setuid(saverId) != 0)
                ::_exit(2);
        });
    }
    child.start(QStringLiteral(K30_SAVECHILD),
                {QStringLiteral("save"), path, QStringLiteral("1000")});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray said = child.readAllStandardOutput();
    QVERIFY2(child.exitCode() == (saved ? 0 : 1),
             qPrintable(QString::number(child.exitCode()) + QString::fromLocal8Bit(said)));

    struct stat status = {};
    QCOMPARE(::stat(name.constData(), &status), 0);
    QCOMPARE(status.st_uid, saved && saverId != 0 ? saverId : ownerId);
    QCOMPARE(status.st_gid, *afterGroup);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QCOMPARE(ReadWholeFile(path, 4096).value_or(QByteArray()),
             saved ? ChildContents('S', 1000) : previous);
}

void TestSafeFile::readRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // empty: read whole
    // Opening a pipe lets a waiting writer go on, opening a serial line raises its modem
    // lines: neither is opened.
    QTest::newRow("named pipe") << QStringLiteral("pipe") << QStringLiteral("is a named pipe");
    QTest::newRow("device") << QStringLiteral("device") << QStringLiteral("is a device");
    QTest::newRow("file of exactly the limit") << QStringLiteral("exact") << QString();
    QTest::newRow("one byte over the limit")
        << QStringLiteral("over") << QStringLiteral("is too large");
    // Made as it is read, it tells the size 0.
    QTest::newRow("/proc file") << QStringLiteral("proc")
                                << QStringLiteral("is not a regular file of known size");
}

void TestSafeFile::readRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    constexpr qint64 kLimit = 4096;
    QString path = m_dir->filePath(QStringLiteral("file"));
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == QLatin1String("device")) {
        // The null device, made here so that what opens it can be seen.
        if (::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
    } else if (kind == QLatin1String("proc")) {
        path = QStringLiteral("/proc/self/status");
    } else {
        const qint64 size = kind == QLatin1String("exact") ? kLimit : kLimit + 1;
        QVERIFY(!WriteWholeFile(path, QByteArray(size, 'x')));
    }
    const int notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(notify >= 0);
    const auto closeNotify = qScopeGuard([notify] { ::close(notify); });
    QVERIFY(::inotify_add_watch(notify, QFile::encodeName(path).constData(), IN_OPEN) >= 0);

    QString error;
    const std::optional<QByteArray> data = ReadWholeFile(path, kLimit, &error);
    if (reason.isEmpty()) {
        QVERIFY2(data, qPrintable(error));
        QCOMPARE(data->size(), kLimit);
        return;
    }
    QVERIFY(!data);
    QVERIFY2(error.startsWith(reason), qPrintable(error));
    if (kind != QLatin1String("proc")) {
        char events[4096];
        QVERIFY2(::read(notify, events, sizeof events) < 0, "the file was opened");
    }
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
