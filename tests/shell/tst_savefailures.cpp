// Saves that fail or are cut short leave the previous file as it was, and the user is told:
// a missing folder, a path under /proc, a folder where the file goes, the disk that fills up,
// the full device, and the program killed in the middle of a save.
#include "support/boxanswerer.h"
#include "support/childcontents.h"
#include "support/files.h"
#include "support/filesizelimit.h"
#include "support/testshell.h"

#include "core/configfile.h"
#include "core/memoryfile.h"
#include "link/ui/readmemorydialog.h"
#include "shell/pagemanager.h"

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <optional>

using Box = QMessageBox;

class TestSaveFailures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void fullDiskKeepsPreviousFile_data();
    void fullDiskKeepsPreviousFile();
    void fullDeviceIsReported();
    void everySaveKeepsWhatStandsThere_data();
    void everySaveKeepsWhatStandsThere();
    void fullDiskInAnotherProcess();
    void killedInTheMiddleOfASave();
    void failedSaveIsReported_data();
    void failedSaveIsReported();
    void saveAsDefaultFailure();
    void failedWritesAreReported();
    void rewriteLeavesNoTail();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSaveFailures::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSaveFailures::fullDiskKeepsPreviousFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Save") << QStringLiteral("mnuFileSave");
    QTest::newRow("tool bar Save") << QStringLiteral("save");
    QTest::newRow("Save As onto the same file") << QStringLiteral("mnuFileSaveAs");
}

void TestSaveFailures::fullDiskKeepsPreviousFile()
{
    QFETCH(QString, command);
    TestShell shell(m_dir->path());
    const QString path = m_dir->filePath(QStringLiteral("kept.cfg"));
    shell.names << path;
    shell.Trigger("mnuFileSaveAs");
    const QByteArray previous = ReadWholeFile(path, kConfigFileSizeLimit).value();
    QVERIFY(previous.startsWith("yorn"));

    shell.state.images.SetBits(24, 1, shell.state.images.GetBits(24, 1) ^ 1);
    shell.names << path;
    BoxAnswerer answerer({Box::Ok});
    {
        // Room for less than a configuration file.
        FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        shell.Trigger(command.toLatin1().constData());
    }
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].icon, Box::Critical);
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    QVERIFY2(answerer.seen()[0].text.contains(path), qPrintable(answerer.seen()[0].text));
    QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value(), previous);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(shell.state.CurrentFile, path);
    // No half-written file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.cfg")});

    // With room again the same command saves.
    shell.names << path;
    shell.Trigger(command.toLatin1().constData());
    QVERIFY(!shell.state.images.IsChanged());
    QVERIFY(ReadWholeFile(path, kConfigFileSizeLimit).value() != previous);
}

void TestSaveFailures::fullDeviceIsReported()
{
    // A full device made here (as /dev/full is), so that no fault can replace the real one.
    // Named with the suffix Save As would otherwise add.
    const QString full = m_dir->filePath(QStringLiteral("full.cfg"));
    if (!MakeFullDevice(full))
        QSKIP("making a device node needs root");
    TestShell shell(m_dir->path());
    shell.state.images.SetBits(24, 1, shell.state.images.GetBits(24, 1) ^ 1);
    shell.names << full;
    BoxAnswerer answerer({Box::Ok});
    shell.Trigger("mnuFileSaveAs");
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].icon, Box::Critical);
    QVERIFY(answerer.seen()[0].text.contains(full));
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    struct stat st = {};
    QCOMPARE(::stat(QFile::encodeName(full).constData(), &st), 0);
    QVERIFY2(S_ISCHR(st.st_mode), "the device was replaced by a plain file");
}

void TestSaveFailures::everySaveKeepsWhatStandsThere_data()
{
    QTest::addColumn<bool>("memory"); // the memory dialog's "Save &As", else File > Save As
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("saved");
    for (const bool memory : {false, true}) {
        const QString save = memory ? QStringLiteral("memory data, ") : QStringLiteral("File, ");
        const auto row = [&](const char *target, bool saved) {
            QTest::newRow(qPrintable(save + QLatin1String(target)))
                << memory << QString::fromLatin1(target) << saved;
        };
        row("full disk", false);
        row("full device", false);
        row("pipe nobody reads", false);
        row("folder", false);
        row("pipe with a reader", true);
        row("link", true);
    }
}

void TestSaveFailures::everySaveKeepsWhatStandsThere()
{
    QFETCH(bool, memory);
    QFETCH(QString, target);
    QFETCH(bool, saved);
    const QString suffix = memory ? QStringLiteral(".txt") : QStringLiteral(".cfg");
    const QString path = m_dir->filePath(QStringLiteral("target") + suffix);
    const QString real = m_dir->filePath(QStringLiteral("real") + suffix);
    const QByteArray name = QFile::encodeName(path);
    const QByteArray previous = QByteArray("kept\r\n").repeated(50);
    int reader = -1;
    const auto closeReader = qScopeGuard([&reader] {
        if (reader >= 0)
            ::close(reader);
    });
    if (target == QLatin1String("full disk")) {
        WriteFile(path, previous);
    } else if (target == QLatin1String("full device")) {
        if (!MakeFullDevice(path))
            QSKIP("making a device node needs root");
    } else if (target.startsWith(QLatin1String("pipe"))) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        if (target.endsWith(QLatin1String("reader")))
            reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    } else if (target == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (target == QLatin1String("link")) {
        WriteFile(real, previous);
        QVERIFY(QFile::link(real, path));
    }
    const mode_t kind = Kind(path);
    TestShell shell(m_dir->path());
    const QStringList entries = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System);
    QWidget *dialog = nullptr;
    QByteArray expected;
    if (memory) {
        shell.Trigger("mnuToolsRDM");
        dialog = shell.window->Pages().CurrentPage();
        qobject_cast<ReadMemoryDialog *>(dialog)->SetFileNameAsker(
            [path](QWidget *, const QString &) { return path; });
        const QString text = QStringLiteral("4006381333931\nK30-SAMPLE-0002\n").repeated(10);
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))->setPlainText(text);
        expected = MemoryFileBytes(MemoryFileText(text));
    } else {
        shell.state.images.SetBits(24, 1, shell.state.images.GetBits(24, 1) ^ 1);
        shell.names << path;
        expected = WriteConfiguration(shell.state.header, shell.state.link,
                                      shell.state.images.ConfigImage);
    }
    BoxAnswerer answerer({Box::Ok});
    {
        // Room for less than either file.
        std::optional<FileSizeLimit> limit;
        if (target == QLatin1String("full disk"))
            QVERIFY(limit.emplace(100).ok());
        if (dialog)
            dialog->findChild<QPushButton *>(QStringLiteral("cmdSaveAs"))->click();
        else
            shell.Trigger("mnuFileSaveAs");
    }

    // Whatever stood there is still there, and nothing was left beside it.
    QCOMPARE(Kind(path), kind);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System), entries);
    if (target == QLatin1String("full disk"))
        QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value(), previous);
    if (target == QLatin1String("link"))
        QCOMPARE(ReadWholeFile(real, kConfigFileSizeLimit).value(), expected);
    if (reader >= 0) {
        QByteArray received(expected.size() + 10, '\0');
        received.resize(::read(reader, received.data(), received.size()));
        QCOMPARE(received, expected);
    }
    const bool counted =
        memory ? !shell.state.SavedMemoryText.isEmpty() : !shell.state.images.IsChanged();
    QCOMPARE(counted, saved);
    if (saved) {
        QVERIFY2(answerer.seen().isEmpty(), qPrintable(answerer.texts().join(QLatin1Char('\n'))));
        return;
    }
    // Told in a box that names the file; not counted as saved, so closing still asks.
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].title,
             memory ? QStringLiteral("Memory Data Read") : QStringLiteral("Configuration Setup"));
    QVERIFY2(answerer.seen()[0].text.contains(path), qPrintable(answerer.seen()[0].text));
}

void TestSaveFailures::fullDiskInAnotherProcess()
{
    // A file of 4 MB where 1 MB fits: refused, the previous file intact.
    const QString path = m_dir->filePath(QStringLiteral("big.cfg"));
    const QByteArray previous = WriteConfiguration({}, {}, FactoryImage());
    QVERIFY(!WriteWholeFile(path, previous));
    QProcess child;
    child.start(
        QStringLiteral(K30_SAVECHILD),
        {QStringLiteral("limit"), path, QStringLiteral("4194304"), QStringLiteral("1048576")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == 0, "a save past the size limit was reported as done");
    QVERIFY(!child.readAllStandardOutput().trimmed().isEmpty());
    QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value(), previous);
}

void TestSaveFailures::killedInTheMiddleOfASave()
{
    // A program saves 8 MB files over and over and is killed at random moments: the file is
    // always one whole save, the one before the kill or an earlier one, never a mixture.
    const QString path = m_dir->filePath(QStringLiteral("killed.cfg"));
    const QByteArray original = WriteConfiguration({}, {}, FactoryImage());
    QVERIFY(!WriteWholeFile(path, original));
    const qsizetype size = 8 * 1024 * 1024;
    const QByteArray first = ChildContents('A', size);
    const QByteArray second = ChildContents('B', size);
    QRandomGenerator random(7);
    int killedAfterSaves = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess child;
        child.start(QStringLiteral(K30_SAVECHILD),
                    {QStringLiteral("loop"), path, QString::number(size)});
        QVERIFY(child.waitForStarted());
        // Sometimes during the first save, mostly after a few.
        if (round > 0)
            QVERIFY(child.waitForReadyRead(20000));
        QTest::qWait(int(random.bounded(10, 120)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        killedAfterSaves += int(child.readAllStandardOutput().count("saved"));

        const QByteArray now = ReadWholeFile(path, 2 * size).value();
        const bool whole = now == original || now == first || now == second;
        QVERIFY2(whole,
                 qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
    }
    qInfo("killed 6 times, after %d completed saves", killedAfterSaves);
    QVERIFY(killedAfterSaves > 0);
}

void TestSaveFailures::failedSaveIsReported_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("no/such/folder/x.cfg");
    QTest::newRow("under /proc") << QStringLiteral("/proc/k30cfg-test.cfg");
}

void TestSaveFailures::failedSaveIsReported()
{
    QFETCH(QString, target);
    TestShell shell(m_dir->path());
    const QString path = QDir(m_dir->path()).filePath(target);
    shell.state.images.SetBits(24, 1, 1);
    shell.names << path;
    BoxAnswerer answerer({Box::Ok});
    shell.Trigger("mnuFileSaveAs");
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    QVERIFY2(answerer.seen()[0].text.contains(QDir::toNativeSeparators(path)),
             qPrintable(answerer.seen()[0].text));
    QCOMPARE(answerer.seen()[0].icon, Box::Critical);
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QVERIFY(shell.state.images.IsChanged());

    // Save to a named file that became unwritable: reported, still changed.
    const QString good = m_dir->filePath(QStringLiteral("good.cfg"));
    shell.names << good;
    shell.Trigger("mnuFileSaveAs");
    QVERIFY(!shell.state.images.IsChanged());
    shell.state.images.SetBits(24, 1, 0);
    QVERIFY(QFile::remove(good));
    QVERIFY(QDir().mkpath(good)); // a folder now stands where the file was
    BoxAnswerer second({Box::Ok});
    shell.Trigger("save");
    QCOMPARE(second.seen().size(), 1);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(shell.state.CurrentFile, good);
}

void TestSaveFailures::saveAsDefaultFailure()
{
    // Neither the program directory (missing) nor the user's folder (a folder stands where
    // the file would go) can be written: each file is named with its own reason.
    ShellSetup setup;
    setup.initializeKeyboard = [] { return true; };
    setup.defaults = {m_dir->filePath(QStringLiteral("missing")),
                      m_dir->filePath(QStringLiteral("user"))};
    QVERIFY(QDir().mkpath(setup.defaults.UserFile()));
    AppState state;
    MainWindow window(state, setup);
    state.images.SetBits(22, 3, 0);
    BoxAnswerer answerer({Box::Ok});
    window.findChild<QAction *>(QStringLiteral("mnuFileDefault"))->trigger();
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    const QStringList lines = answerer.seen()[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains(setup.defaults.ProgramFile()) &&
                 !lines[0].contains(QLatin1String("folder")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].contains(setup.defaults.UserFile()) &&
                 lines[1].endsWith(QLatin1String("is a folder")),
             qPrintable(lines[1]));
    QCOMPARE(state.images.DefaultImage, FactoryImage());
}

void TestSaveFailures::failedWritesAreReported()
{
    const QTemporaryDir &dir = *m_dir;
    const QByteArray contents = WriteConfiguration({}, {}, FactoryImage());
    QVERIFY(WriteWholeFile(dir.filePath(QStringLiteral("no/such/folder/a.cfg")), contents));
    QVERIFY(WriteWholeFile(QStringLiteral("/proc/k30cfg-test.cfg"), contents));
    QVERIFY(WriteWholeFile(dir.path(), contents));

    const QString full = dir.filePath(QStringLiteral("full"));
    if (!MakeFullDevice(full))
        QSKIP("making a device node needs root");
    const std::optional<QString> reason = WriteWholeFile(full, contents);
    QVERIFY(reason.has_value());
    QVERIFY2(!QFileInfo(full).isFile(), "the device was replaced by a plain file");

    const QString good = dir.filePath(QStringLiteral("good.cfg"));
    QVERIFY(!WriteWholeFile(good, contents));
    QCOMPARE(ReadWholeFile(good, kConfigFileSizeLimit).value(), contents);
}

void TestSaveFailures::rewriteLeavesNoTail()
{
    const QTemporaryDir &dir = *m_dir;
    const QString path = dir.filePath(QStringLiteral("keep.cfg"));
    const QByteArray file = WriteConfiguration({}, {}, FactoryImage());
    QVERIFY(!WriteWholeFile(path, file + file));
    QVERIFY(!WriteWholeFile(path, file));
    QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value(), file);
    QVERIFY(!ReadWholeFile(dir.filePath(QStringLiteral("none.cfg")), kConfigFileSizeLimit));
}

QTEST_MAIN(TestSaveFailures)
#include "tst_savefailures.moc"
