#include "support/clirun.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include "core/fieldtext.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

// k30cfg-cli's saves: through links the way the system follows them, and to the pipe behind
// /dev/stdout.
class TestCliSaves : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void linkedTargets_data();
    void linkedTargets();

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

QTEST_GUILESS_MAIN(TestCliSaves)
#include "tst_clisaves.moc"
