// The one writer and reader of files, on what a user can name: the files a read refuses before
// it opens them.
#include "core/safefile.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <memory>
#include <optional>

class TestSafeFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
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
