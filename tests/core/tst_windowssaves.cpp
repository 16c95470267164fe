// Saves on Windows: paths as Windows users write them, and files that cannot be replaced.
// A save replaces the file by a new one (a new file index), and a save that is refused (a
// read-only file, a file another program holds open, a device name) leaves the previous file
// as it was and no temporary file beside it.
#include "core/safefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

#include <memory>

namespace {

const wchar_t *Native(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

// Windows' inode number: a file replaced by another gets a new one.
quint64 FileIndex(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE file =
        CreateFileW(Native(native), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return known ? quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow : 0;
}

} // namespace

class TestWindowsSaves : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void windowsPaths_data();
    void windowsPaths();
    void refusedSaveKeepsFile_data();
    void refusedSaveKeepsFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWindowsSaves::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestWindowsSaves::windowsPaths_data()
{
    QTest::addColumn<QString>("name"); // inside the test's folder, after a backslash
    QTest::newRow("drive letter and backslashes") << "site.cfg";
    QTest::newRow("through a folder and ..") << "sub\\..\\site.cfg";
    QTest::newRow("forward slash after backslashes") << "site/../site.cfg";
    QTest::newRow("not ASCII") << QStringLiteral(
        "Pr\u00fcfung \u043a\u043e\u043d\u0444\u0438\u0433 "
        "\u8a2d\u5b9a.cfg");
}

void TestWindowsSaves::windowsPaths()
{
    QFETCH(QString, name);
    const QString folder = QDir::toNativeSeparators(m_dir->path());
    QVERIFY(folder.at(1) == QLatin1Char(':'));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    const QString path = folder + QLatin1Char('\\') + name;
    QCOMPARE(WriteWholeFile(path, "first\r\n"), std::nullopt);
    QCOMPARE(ReadWholeFile(path, 1024), std::optional<QByteArray>("first\r\n"));
    const quint64 first = FileIndex(path);
    QVERIFY(first != 0);
    QCOMPARE(WriteWholeFile(path, "second\r\n"), std::nullopt);
    QCOMPARE(ReadWholeFile(path, 1024), std::optional<QByteArray>("second\r\n"));
    QVERIFY(FileIndex(path) != first);
    const QString fileName =
        QDir::cleanPath(QDir::fromNativeSeparators(name)).section(QLatin1Char('/'), -1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{fileName});
}

void TestWindowsSaves::refusedSaveKeepsFile_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<DWORD>("share"); // how another program holds the file open
    QTest::newRow("read-only") << "read-only" << DWORD(0);
    QTest::newRow("open, others may read") << "open" << DWORD(FILE_SHARE_READ);
    QTest::newRow("open, others may write") << "open" << DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE);
    QTest::newRow("open, others may delete")
        << "open" << DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    QTest::newRow("device name") << "NUL.cfg" << DWORD(0);
}

void TestWindowsSaves::refusedSaveKeepsFile()
{
    QFETCH(QString, what);
    QFETCH(DWORD, share);
    const bool device = what == QLatin1String("NUL.cfg");
    const QString path =
        QDir::toNativeSeparators(m_dir->filePath(device ? what : QStringLiteral("site.cfg")));
    HANDLE held = INVALID_HANDLE_VALUE;
    if (!device) {
        QCOMPARE(WriteWholeFile(path, "previous\r\n"), std::nullopt);
        if (what == QLatin1String("read-only"))
            QVERIFY(SetFileAttributesW(Native(path), FILE_ATTRIBUTE_READONLY));
        else
            held =
                CreateFileW(Native(path), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    const std::optional<QString> refusal = WriteWholeFile(path, "new\r\n");
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    SetFileAttributesW(Native(path), FILE_ATTRIBUTE_NORMAL);
    QVERIFY(refusal);
    QVERIFY(!refusal->isEmpty());
    const QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
    if (device) {
        QCOMPARE(left, QStringList());
    } else {
        QCOMPARE(left, QStringList{QStringLiteral("site.cfg")});
        QCOMPARE(ReadWholeFile(path, 1024), std::optional<QByteArray>("previous\r\n"));
    }
}

QTEST_APPLESS_MAIN(TestWindowsSaves)
#include "tst_windowssaves.moc"
