#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// k30cfg started as a user starts it from a shell.
class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void options_data();
    void options();
};

void TestCommandLine::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    // A platform that does not exist: the program dies if it touches the window system.
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    // The settings files of the user's configuration folder are named pipes.
    QTest::addColumn<bool>("pipes");

    const QString noDisplay = QStringLiteral("no-such-platform");
    // The version line, then the copyright and the licence.
    const QString version = QStringLiteral("^k30cfg ") +
                            QRegularExpression::escape(QStringLiteral(K30_VERSION)) +
                            QStringLiteral("\nCopyright .*\n(?s).*MIT License.*\n$");
    QTest::newRow("--version, no display") << QStringList{QStringLiteral("--version")} << noDisplay
                                           << 0 << version << QStringLiteral("^$") << false;
    QTest::newRow("-v beside a Qt option")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                       QStringLiteral("-v")}
        << noDisplay << 0 << version << QStringLiteral("^$") << false;
    QTest::newRow("--help, no display")
        << QStringList{QStringLiteral("--help")} << noDisplay << 0
        << QStringLiteral("(?s)^(?=.*--simulate)(?=.*--version)") << QStringLiteral("^$") << false;
    // A file manager's "Open with" hands over the file: the window opens it at start. (The
    // simulated device spares the start-up message about the keyboard path, which nobody
    // would answer.)
    QTest::newRow("configuration file to open")
        << QStringList{QStringLiteral("--simulate"), QStringLiteral("--quit-after-show"),
                       QStringLiteral(K30_VALID_CONFIG)}
        << QStringLiteral("offscreen") << 0
        << QStringLiteral("^shown\nConfiguration Setup: .*valid\\.cfg\n$") << QString() << false;
    // Errors in the options are found once the application exists.
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--no-such-option")} << QStringLiteral("offscreen") << 1
        << QStringLiteral("^$") << QStringLiteral("no-such-option") << false;
#ifdef Q_OS_UNIX
    // Read as they are, they would stop the start until some program writes to them.
    QTest::newRow("settings files that are named pipes")
        << QStringList{QStringLiteral("--simulate"), QStringLiteral("--quit-after-show")}
        << QStringLiteral("offscreen") << 0
        << QStringLiteral("^shown\nK30 Configuration: New File\n$")
        << QStringLiteral("(?s)^(?=.*k30cfg/ports\\.conf: is a named pipe)"
                          "(?=.*k30cfg/k30cfg\\.conf: is a named pipe)")
        << true;
#endif
}

void TestCommandLine::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(bool, pipes);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QTemporaryDir config;
#ifdef Q_OS_UNIX
    if (pipes) {
        QVERIFY(QDir(config.path()).mkpath(QStringLiteral("k30cfg")));
        for (const char *name : {"k30cfg/ports.conf", "k30cfg/k30cfg.conf"})
            QCOMPARE(
                ::mkfifo(QFile::encodeName(config.filePath(QLatin1String(name))).constData(), 0600),
                0);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    }
#else
    // Windows keeps the settings in the registry: no files of odd kinds.
    Q_UNUSED(pipes);
#endif
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(K30CFG_PATH), arguments);
    QVERIFY(process.waitForFinished(30000));
    QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
#ifdef Q_OS_WIN
    // The standard streams of a Windows program end their lines with CR LF.
    stdOut.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    stdErr.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, qPrintable(stdOut + stdErr));
    QVERIFY2(QRegularExpression(out).match(stdOut).hasMatch(), qPrintable(stdOut));
    QVERIFY2(QRegularExpression(err).match(stdErr).hasMatch(), qPrintable(stdErr));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
