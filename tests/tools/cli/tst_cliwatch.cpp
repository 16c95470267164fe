#include "support/clirun.h"
#include "support/simulatedk30.h"

#include "sim/simscanoutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// k30cfg-cli watch against a simulated K30 on a pseudo-terminal that reads bar codes and
// cards: the parts of each scan as the configuration file frames them, and devices that send
// what no scan looks like.
class TestCliWatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void downloadedFramingMarked();
    void hostileDevices_data();
    void hostileDevices();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    QString NewFile(const char *name, const QStringList &settings) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliWatch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestCliWatch::NewFile(const char *name, const QStringList &settings) const
{
    const QString path = CliNewFile(Path(name));
    if (!settings.isEmpty() && Cli(QStringList{QStringLiteral("set"), path} + settings).code != 0)
        qWarning("set failed");
    return path;
}

// The JSON lines of a run.
static QList<QJsonObject> Lines(const QString &out)
{
    QList<QJsonObject> lines;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return lines;
}

// A prefix and suffix set in a file and downloaded: the device's scans come out with their
// parts marked good. The file changed afterwards (the device not) marks the suffix.
void TestCliWatch::downloadedFramingMarked()
{
    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    const QStringList port{QStringLiteral("--port"), k30.Path()};
    const QString file = NewFile("site.cfg", {QStringLiteral("decoder.misc.prefix={STX}"),
                                              QStringLiteral("decoder.misc.suffix={CR}{LF}"),
                                              QStringLiteral("decoder.comm.terminator=None"),
                                              QStringLiteral("decoder.misc.code-id=On")});
    QCOMPARE(Cli(QStringList{QStringLiteral("download"), file} + port).code, 0);

    QTimer scanner;
    connect(&scanner, &QTimer::timeout, this, [&] {
        k30.server.SendUnasked(SimBarCodeOutput(k30.device.image, "AB12345", kSimCode128, false));
    });
    scanner.start(400);
    const QStringList watch =
        QStringList{
            QStringLiteral("watch"),   QStringLiteral("--config"), file,
            QStringLiteral("--count"), QStringLiteral("2"),        QStringLiteral("--seconds"),
            QStringLiteral("5")} +
        port;
    const CliRun good = Cli(watch);
    QCOMPARE(good.code, 0);
    const QStringList rows = good.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].section(QLatin1Char('\t'), 1),
             QStringLiteral("11\t{STX}FAB12345{CR}{LF}\tprefix {STX} | code ID (Code 128) F | "
                            "data AB12345 | suffix {CR}{LF}\t"));

    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("decoder.misc.suffix={ETX}")}).code,
             0);
    const CliRun differs = Cli(watch + QStringList{QStringLiteral("--json")});
    QCOMPARE(differs.code, 1);
    const QList<QJsonObject> lines = Lines(differs.out);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0][QLatin1String("outcome")].toString(), QStringLiteral("refused"));
    QCOMPARE(lines[0][QLatin1String("mismatches")].toInt(), 1);
    const QJsonObject suffix = lines[0][QLatin1String("parts")].toArray().last().toObject();
    QCOMPARE(suffix[QLatin1String("reason")].toString(),
             QStringLiteral("expected suffix {ETX}, received {CR}{LF}"));
}

void TestCliWatch::hostileDevices_data()
{
    // What the device sends every `every` ms, its line speed (0: at once), the arguments, the
    // exit status, and each row's length and bytes as shown (JSON).
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("hangUp"); // the line goes dead after this many bytes; -1: never
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("bytes");

    const QStringList two{QStringLiteral("--count"), QStringLiteral("2"),
                          QStringLiteral("--seconds"), QStringLiteral("5")};
    QTest::newRow("control bytes, quotes, not UTF-8")
        << QByteArray("\"\\\x00\xff\xc3(\x1b\r\n", 9) << 400 << 0 << -1 << two << 0 << 9
        << "\"\\{NUL}\u00FF\u00C3({ESC}{CR}{LF}";
    // A scan that arrives a byte at a time is still one scan.
    QTest::newRow("scan split across reads")
        << QByteArray("0123456789ABCDEFGHIJ\r\n") << 600 << 2400 << -1
        << QStringList{QStringLiteral("--count"), QStringLiteral("1")} << 0 << 22
        << "0123456789ABCDEFGHIJ{CR}{LF}";
    // Never a pause: cut at the longest scan, and the count still ends the watch.
    QTest::newRow("device that never stops") << QByteArray(600, 'x') << 50 << 0 << -1 << two << 1
                                             << 4096 << QString(4096, QLatin1Char('x'));
    QTest::newRow("time out before the count")
        << QByteArray() << 400 << 0 << -1
        << QStringList{QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--seconds"),
                       QStringLiteral("1")}
        << 2 << -1 << "";
    // A pulled cable in the middle of a scan: what came is shown, then the port is reported.
    QTest::newRow("line goes dead")
        << QByteArray("AB12\r\n") << 400 << 0 << 3 << two << 5 << -1 << "";
}

void TestCliWatch::hostileDevices()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, every);
    QFETCH(int, baud);
    QFETCH(int, hangUp);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(int, length);
    QFETCH(QString, bytes);

    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    k30.device.faults.baud = baud;
    k30.device.faults.hangUpAfter = hangUp;
    QTimer device;
    connect(&device, &QTimer::timeout, this, [&] {
        if (!sent.isEmpty())
            k30.server.SendUnasked(sent);
    });
    device.start(every);
    const CliRun run = Cli(QStringList{QStringLiteral("watch"), QStringLiteral("--json"),
                                       QStringLiteral("--port"), k30.Path()} +
                           arguments);
    QCOMPARE(run.code, code);
    const QList<QJsonObject> lines = Lines(run.out);
    QVERIFY(!lines.isEmpty());
    for (const QJsonObject &line : lines) {
        QVERIFY2(!line.isEmpty(), qPrintable(run.out));
        if (length < 0)
            continue;
        QCOMPARE(line[QLatin1String("length")].toInt(), length);
        QCOMPARE(line[QLatin1String("bytes")].toString(), bytes);
    }
}

QTEST_GUILESS_MAIN(TestCliWatch)
#include "tst_cliwatch.moc"
