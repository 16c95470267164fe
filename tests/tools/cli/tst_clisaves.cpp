#include "support/clirun.h"
#include "support/environmentguard.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include "core/fieldtext.h"
#include "core/filelock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

// k30cfg-cli's saves: through links the way the system follows them, to the pipe behind
// /dev/stdout, two runs on one file at once, and a save that fails at each of its steps.
class TestCliSaves : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void linkedTargets_data();
    void linkedTargets();
    void concurrentSetsLoseNothing();
    void heldLockFailsInTime_data();
    void heldLockFailsInTime();
    void failingStepKeepsTheFile_data();
    void failingStepKeepsTheFile();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    // The arguments with TARGET and PORT filled in.
    static QStringList Filled(QStringList arguments, const QString &target, const QString &port);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliSaves::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QStringList TestCliSaves::Filled(QStringList arguments, const QString &target, const QString &port)
{
    for (QString &argument : arguments) {
        if (argument == QLatin1String("TARGET"))
            argument = target;
        else if (argument == QLatin1String("PORT"))
            argument = port;
    }
    return arguments;
}

void TestCliSaves::linkedTargets_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("present"); // the file the link leads to is there beforehand
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("lands"); // "real", "stdout" or "" (nowhere)
    const auto row = [](const char *name, const char *arguments, bool present, int code,
                        const char *lands) {
        QTest::newRow(name) << QString::fromLatin1(arguments).split(QLatin1Char(' ')) << present
                            << code << QString::fromLatin1(lands);
    };
    // TARGET is d/site.cfg: d leads to real/sub, and site.cfg there to ../target.cfg, which is
    // real/target.cfg; the target.cfg beside d is another file.
    row("set", "set TARGET decoder.comm.parity=Odd", true, 0, "real");
    row("new, none there", "new TARGET", false, 0, "real");
    row("new, one there", "new TARGET", true, 4, "");
    row("upload", "upload --port PORT --into TARGET", true, 0, "real");
    row("read-memory", "read-memory --port PORT -o TARGET", false, 0, "real");
    // A pipe as standard output is written as the pipe it is.
    row("new to /dev/stdout", "new /dev/stdout --force", false, 0, "stdout");
    row("new to /dev/fd/1", "new /dev/fd/1 --force", false, 0, "stdout");
}

void TestCliSaves::linkedTargets()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, present);
    QFETCH(int, code);
    QFETCH(QString, lands);
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("real/sub")));
    QCOMPARE(::symlink("real/sub", QFile::encodeName(Path("d")).constData()), 0);
    QCOMPARE(::symlink("../target.cfg", QFile::encodeName(Path("real/sub/site.cfg")).constData()),
             0);
    const QString real = Path("real/target.cfg");
    const QString other = Path("target.cfg");
    WriteFile(other, "another file\r\n");
    if (present)
        WriteFile(real, WindowFile());
    const QByteArray before = Contents(real);

    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    const CliRun run = Cli(Filled(arguments, Path("d/site.cfg"), k30.Path()));
    QVERIFY2(run.code == code, qPrintable(run.err));
    QCOMPARE(Contents(other), QByteArray("another file\r\n"));
    QCOMPARE(Kind(Path("d")), mode_t(S_IFLNK));
    QCOMPARE(Kind(Path("real/sub/site.cfg")), mode_t(S_IFLNK));
    if (lands == QLatin1String("stdout")) {
        QVERIFY(run.out.startsWith(QLatin1String("yorn\r\n")));
        QCOMPARE(run.out.count(QLatin1Char('\n')), kConfigLines);
        return;
    }
    if (lands.isEmpty()) {
        QCOMPARE(Contents(real), before);
        return;
    }
    QVERIFY(Contents(real) != before);
    if (arguments.constFirst() == QLatin1String("read-memory")) {
        QVERIFY(Contents(real).startsWith(k30.device.memory.constFirst()));
        return;
    }
    const LoadedConfiguration loaded = LoadConfiguration(real);
    QVERIFY(loaded.ok);
    if (arguments.constFirst() == QLatin1String("set"))
        QCOMPARE(FieldValueText(*FindField("decoder.comm.parity"), loaded.images.ConfigImage),
                 QStringLiteral("Odd"));
}

void TestCliSaves::concurrentSetsLoseNothing()
{
    // Two programs change different parameters of one file at the same moment, again and
    // again: each change is in the file afterwards.
    const QString path = CliNewFile(Path("shared.cfg"));
    for (int round = 0; round < 30; ++round) {
        const QString value = round % 2 ? QStringLiteral("Odd") : QStringLiteral("Even");
        QProcess decoder;
        QProcess reader;
        decoder.start(QStringLiteral(K30_CLI), {QStringLiteral("set"), path,
                                                QStringLiteral("decoder.comm.parity=") + value});
        reader.start(QStringLiteral(K30_CLI),
                     {QStringLiteral("set"), path, QStringLiteral("reader.comm.parity=") + value});
        QVERIFY(decoder.waitForFinished(30000) && reader.waitForFinished(30000));
        QCOMPARE(decoder.exitCode(), 0);
        QCOMPARE(reader.exitCode(), 0);
        const LoadedConfiguration loaded = LoadConfiguration(path);
        for (const char *name : {"decoder.comm.parity", "reader.comm.parity"})
            QVERIFY2(FieldValueText(*FindField(name), loaded.images.ConfigImage) == value,
                     qPrintable(
                         QStringLiteral("round %1: %2 lost").arg(round).arg(QLatin1String(name))));
    }
}

void TestCliSaves::heldLockFailsInTime_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("short name") << QStringLiteral("held.cfg");
    // No room is left in the name for ".lock".
    QTest::newRow("name of 255 bytes") << QString(251, QLatin1Char('n')) + QStringLiteral(".cfg");
}

void TestCliSaves::heldLockFailsInTime()
{
    // Another program is in the middle of saving the file and does not finish.
    QFETCH(QString, name);
    const QString path = CliNewFile(Path(qPrintable(name)));
    const QByteArray before = Contents(path);
    FileLock held(path);
    QVERIFY(!held.Lock());
    QElapsedTimer clock;
    clock.start();
    const CliRun run =
        Cli({QStringLiteral("set"), path, QStringLiteral("decoder.comm.parity=Odd")});
    QCOMPARE(run.code, 4);
    QVERIFY2(run.err.startsWith(path + QStringLiteral(": another program")), qPrintable(run.err));
    QVERIFY(clock.elapsed() >= FileLock::kWait.count());
    QVERIFY(clock.elapsed() < FileLock::kWait.count() + 2000);
    QCOMPARE(Contents(path), before);
}

void TestCliSaves::failingStepKeepsTheFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("step"); // where K30_TEST_FAIL_SAVE makes the save fail
    QTest::addColumn<QString>("message");
    const std::pair<const char *, const char *> steps[] = {
        {"open", "Input/output error"},
        {"write", "Input/output error"},
        {"fsync", "cannot be written to the disk: Input/output error"},
        {"close", "Input/output error"},
        {"rename", "cannot replace the previous file: Input/output error"}};
    for (const char *command :
         {"new TARGET --force", "set TARGET decoder.comm.parity=Odd",
          "upload --port PORT --into TARGET", "read-memory --port PORT -o TARGET"}) {
        for (const auto &[step, message] : steps) {
            QTest::addRow("%s, %s", command, step)
                << QString::fromLatin1(command).split(QLatin1Char(' ')) << QByteArray(step)
                << QString::fromLatin1(message);
        }
    }
    // The file is written, but is no longer what was written when it is read back.
    QTest::newRow("read-memory --clear, changed before the read-back")
        << QStringList{QStringLiteral("read-memory"), QStringLiteral("--port"),
                       QStringLiteral("PORT"),        QStringLiteral("--clear"),
                       QStringLiteral("-o"),          QStringLiteral("TARGET")}
        << QByteArray("alter") << QStringLiteral("does not read back as written");
}

void TestCliSaves::failingStepKeepsTheFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, step);
    QFETCH(QString, message);
    const QString path = Path("target");
    const QByteArray previous = WindowFile();
    WriteFile(path, previous);
    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    const qsizetype records = k30.device.memory.size();
    CliRun run;
    {
        const EnvironmentGuard fail("K30_TEST_FAIL_SAVE", step);
        run = Cli(Filled(arguments, path, k30.Path()));
    }
    QCOMPARE(run.code, 4);
    QVERIFY2(run.err.contains(path + QStringLiteral(": ") + message), qPrintable(run.err));
    // The previous file whole, nothing left beside it, the records still on the device.
    if (step != "alter")
        QCOMPARE(Contents(path), previous);
    QCOMPARE(QDir(m_dir->path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("target")});
    QCOMPARE(k30.device.memory.size(), records);
}

QTEST_GUILESS_MAIN(TestCliSaves)
#include "tst_clisaves.moc"
