#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

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

    const QString noDisplay = QStringLiteral("no-such-platform");
    // The version line, then the copyright and the licence.
    const QString version = QStringLiteral("^k30cfg ") +
                            QRegularExpression::escape(QStringLiteral(K30_VERSION)) +
                            QStringLiteral("\nCopyright .*\n(?s).*MIT License.*\n$");
    QTest::newRow("--version, no display") << QStringList{QStringLiteral("--version")} << noDisplay
                                           << 0 << version << QStringLiteral("^$");
    QTest::newRow("-v beside a Qt option")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                       QStringLiteral("-v")}
        << noDisplay << 0 << version << QStringLiteral("^$");
    QTest::newRow("--help, no display")
        << QStringList{QStringLiteral("--help")} << noDisplay << 0
        << QStringLiteral("(?s)^(?=.*--simulate)(?=.*--version)") << QStringLiteral("^$");
    // Errors in the options are found once the application exists.
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--no-such-option")} << QStringLiteral("offscreen") << 1
        << QStringLiteral("^$") << QStringLiteral("no-such-option");
}

void TestCommandLine::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(K30CFG_PATH), arguments);
    QVERIFY(process.waitForFinished(30000));
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, qPrintable(stdOut + stdErr));
    QVERIFY2(QRegularExpression(out).match(stdOut).hasMatch(), qPrintable(stdOut));
    QVERIFY2(QRegularExpression(err).match(stdErr).hasMatch(), qPrintable(stdErr));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
