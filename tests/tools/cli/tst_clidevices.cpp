#include "support/clirun.h"
#include "support/environmentguard.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// k30cfg-cli against simulated devices on pseudo-terminals: download, upload, diff and version,
// several devices at once, and the faults of a device. Its memory commands are in
// tst_climemory.
class TestCliDevices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void threeDevicesOneSilent();
    void deviceExchanges();
    void hostileVersionTexts();
    void deviceFaults_data();
    void deviceFaults();
    void serialOptionsReachTheLine();
    void discover();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliDevices::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// Three devices at once, one of them silent: the two others are configured, the silent one
// times out, and the exit status says so.
void TestCliDevices::threeDevicesOneSilent()
{
    SimulatedK30 k30s[3];
    k30s[1].device.faults.silent = true;
    QStringList arguments{QStringLiteral("download"), Path("fleet.cfg")};
    WriteFile(Path("fleet.cfg"), WindowFile());
    for (const SimulatedK30 &k30 : k30s) {
        QVERIFY(k30.IsOpen());
        arguments << QStringLiteral("--port") << k30.Path();
    }
    Image sent;
    WindowFile(&sent);
    QElapsedTimer clock;
    clock.start();
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, 2);
    // The downloads run side by side: one time-out, not three waits in a row.
    QVERIFY2(clock.elapsed() < 6500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(run.out.contains(k30s[0].Path() + QStringLiteral(": Download OK!")));
    QVERIFY(run.out.contains(k30s[2].Path() + QStringLiteral(": Download OK!")));
    QVERIFY(run.err.contains(k30s[1].Path() + QStringLiteral(": Time Out Error!")));
    QVERIFY(!run.out.contains(k30s[1].Path()));
    for (int i : {0, 2}) {
        QCOMPARE(k30s[i].device.DownloadsSaved(), 1);
        QVERIFY(Image(k30s[i].device.image) == sent);
    }
    QCOMPARE(k30s[1].device.DownloadsSaved(), 0);
}

void TestCliDevices::deviceExchanges()
{
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    QVERIFY(k30.IsOpen());
    const QStringList port{QStringLiteral("--port"), k30.Path()};

    const CliRun version = Cli(QStringList{QStringLiteral("version")} + port);
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out,
             QStringLiteral("Get Firmware Version OK!\n\n   K30SIM V1.00\n   2024-05-01\n"));

    // Upload: only the section the device sends changes in the file.
    const QString file = Path("backup.cfg");
    WriteFile(file, WindowFile());
    const auto before = LoadConfiguration(file);
    device.section = SimDevice::Section::Reader;
    device.image[27] = 0x61;
    device.image[29] = 'Q';
    const CliRun upload =
        Cli(QStringList{QStringLiteral("upload"), QStringLiteral("--into"), file} + port);
    QCOMPARE(upload.code, 0);
    QCOMPARE(upload.out, QStringLiteral("   Upload OK!   \n"));
    const auto after = LoadConfiguration(file);
    for (int i = 0; i < kImageSize; ++i)
        QCOMPARE(int(after.images.ConfigImage[std::size_t(i)]),
                 int(i < kReaderFirst ? before.images.ConfigImage[std::size_t(i)]
                                      : device.image[std::size_t(i)]));
    QCOMPARE(after.header.Description, before.header.Description);
    QCOMPARE(after.link.CommPort, before.link.CommPort);

    // The file now matches the device in the reader section it sends; the decoder section,
    // which differs, is said to be not compared rather than taken as equal. A changed reader
    // field differs.
    const QString notCompared = QStringLiteral(
        "the decoder section (bytes 0 to 24) could not be read back and was not compared.");
    const CliRun same = Cli(QStringList{QStringLiteral("diff"), file} + port);
    QCOMPARE(same.code, 0);
    QCOMPARE(same.out, QStringLiteral("The reader section (bytes 25 to 84) holds the same "
                                      "values; ") +
                           notCompared + QLatin1Char('\n'));
    const CliRun sameJson =
        Cli(QStringList{QStringLiteral("diff"), file, QStringLiteral("--json")} + port);
    QCOMPARE(sameJson.code, 0);
    const QJsonObject json = QJsonDocument::fromJson(sameJson.out.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("section")).toString(), QStringLiteral("reader"));
    QVERIFY2(json.value(QStringLiteral("message")).toString().endsWith(notCompared),
             qPrintable(sameJson.out));
    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("reader.comm.parity=Even")}).code, 0);
    const CliRun differ = Cli(QStringList{QStringLiteral("diff"), file} + port);
    QCOMPARE(differ.code, 1);
    QCOMPARE(differ.out, QStringLiteral("The reader section (bytes 25 to 84) differs in 1 "
                                        "parameter; ") +
                             notCompared + QStringLiteral("\nreader.comm.parity\tEven\tOdd\n"));

    // Download and verify; "Not Save" leaves the device's image as it was, and the
    // verification says which parameters it holds differently.
    const CliRun verified =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--verify")} + port);
    QCOMPARE(verified.code, 0);
    QCOMPARE(verified.out,
             QStringLiteral("Download OK!\nVerify OK! The reader section (bytes 25 to 84) holds "
                            "the same values; the decoder section (bytes 0 to 24) could not be "
                            "read back and was not compared.\n"));
    QCOMPARE(
        Cli({QStringLiteral("set"), file, QStringLiteral("reader.misc.track1.prefix={CR}")}).code,
        0);
    const CliRun notSaved =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--not-save"),
                        QStringLiteral("--verify")} +
            port);
    QCOMPARE(notSaved.code, 1);
    QCOMPARE(notSaved.out, QStringLiteral("Download OK!\n"));
    QVERIFY2(notSaved.err.contains(QLatin1String("reader.misc.track1.prefix\t\"{CR}\"\t\"Q\"")),
             qPrintable(notSaved.err));
    QCOMPARE(device.DownloadsSaved(), 1);

    // A device that answers with its decoder section: a difference in the reader section
    // is neither listed nor taken as verified.
    device.section = SimDevice::Section::Decoder;
    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("decoder.comm.parity=Even")}).code,
             0);
    const CliRun decoderOnly =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--not-save"),
                        QStringLiteral("--verify")} +
            port);
    QCOMPARE(decoderOnly.code, 1);
    const QStringList lines = decoderOnly.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() > 1, qPrintable(decoderOnly.err));
    QCOMPARE(lines.front(), QStringLiteral("Verify failed! The decoder section (bytes 0 to 24) "
                                           "differs in 1 parameter; the reader section (bytes 25 "
                                           "to 84) could not be read back and was not compared."));
    QCOMPARE(lines.mid(1), QStringList{QStringLiteral("decoder.comm.parity\tEven\tNone")});
}

// The version fields may hold any byte the device sends. On the terminal a control character
// shows by its name, so that a device cannot drive the terminal or add a column; --json carries
// the fields exactly.
void TestCliDevices::hostileVersionTexts()
{
    SimulatedK30 k30;
    k30.device.version1 = QStringLiteral("A\x1b[2J\t\"q\"\\bc");
    k30.device.version2 = QStringLiteral("2024\u009b05\u007f01");
    QVERIFY(k30.IsOpen());
    const QStringList port{QStringLiteral("--port"), k30.Path()};
    const QString first = QStringLiteral("A{ESC}[2J{HT}\"q\"\\bc");
    const QString second = QStringLiteral("2024{x9B}05{x7F}01");
    const CliRun version = Cli(QStringList{QStringLiteral("version")} + port);
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out,
             QStringLiteral("Get Firmware Version OK!\n\n   %1\n   %2\n").arg(first, second));
    const CliRun facts = Cli(QStringList{QStringLiteral("facts")} + port);
    QCOMPARE(facts.code, 0);
    QVERIFY2(facts.out.startsWith(QStringLiteral("version\t%1\t%2\n").arg(first, second)),
             qPrintable(facts.out));
    const CliRun json = Cli(QStringList{QStringLiteral("facts"), QStringLiteral("--json")} + port);
    QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8())
                 .object()
                 .value(QStringLiteral("versions"))
                 .toVariant()
                 .toStringList(),
             (QStringList{k30.device.version1, k30.device.version2}));
}

void TestCliDevices::deviceFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused download") << "download"
                                      << "refuse" << 1 << "Download Failed!\n";
    QTest::newRow("wrong check") << "version"
                                 << "wrong-check" << 1 << "Upload Failed!\n";
    QTest::newRow("short upload answer") << "upload"
                                         << "short" << 2 << "Time Out Error!\n";
    QTest::newRow("no such port") << "download"
                                  << "missing" << 5 << "";
    QTest::newRow("window port") << "version"
                                 << "com" << 5 << "COM 4: not available.\n";
}

void TestCliDevices::deviceFaults()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    device.faults.refuseDownload = fault == QLatin1String("refuse");
    device.faults.wrongCheck = fault == QLatin1String("wrong-check");
    device.faults.shortAnswer = fault == QLatin1String("short") ? 40 : -1;
    QVERIFY(k30.IsOpen());
    QString port = k30.Path();
    if (fault == QLatin1String("missing")) {
        port = Path("no-such-tty");
        message = port + QStringLiteral(": not available.\n");
    }
    const EnvironmentGuard com4("K30CFG_COM4", Path("no-such-tty").toLocal8Bit());
    if (fault == QLatin1String("com"))
        port = QStringLiteral("COM4");
    const QString file = Path("fault.cfg");
    WriteFile(file, WindowFile());
    const QByteArray original = Contents(file);
    QStringList arguments{command, QStringLiteral("--port"), port};
    if (command == QLatin1String("download"))
        arguments.insert(1, file);
    if (command == QLatin1String("upload"))
        arguments << QStringLiteral("--into") << file;
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, code);
    QCOMPARE(run.err, message);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(Contents(file), original);
}

void TestCliDevices::serialOptionsReachTheLine()
{
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    QVERIFY(k30.IsOpen());
    const CliRun run = Cli({QStringLiteral("version"), QStringLiteral("--port"), k30.Path(),
                            QStringLiteral("--baud"), QStringLiteral("19200"),
                            QStringLiteral("--stop-bits"), QStringLiteral("2")});
    QCOMPARE(run.code, 0);
    QVERIFY2(device.Log().contains(QStringLiteral("line 19200,N,8,2")),
             qPrintable(device.Log().join(QLatin1Char('\n'))));
}

// discover: one line or JSON object per port, hostile version texts made harmless in the
// text, status 0 when a device was found, 1 when none, 5 when a port named was busy.
void TestCliDevices::discover()
{
    SimulatedK30 plain;
    SimulatedK30 fast;
    SimulatedK30 silent;
    SimulatedK30 held;
    for (const SimulatedK30 *k30 : {&plain, &fast, &silent, &held})
        QVERIFY(k30->IsOpen());
    plain.device.version1 = QStringLiteral("A\x1b[2J\t\"q\"\\bc");
    fast.server.SetDeviceLine(19200, 8, 2);
    silent.device.faults.silent = true;
    QSerialPort other(held.Path());
    QVERIFY(other.open(QIODevice::ReadWrite));

    const CliRun none = Cli({QStringLiteral("discover"), QStringLiteral("--port"), silent.Path()});
    QCOMPARE(none.code, 1);
    QCOMPARE(none.out,
             silent.Path() + QStringLiteral(": not found (no answer at 16 line settings)\n"));

    const QStringList ports{QStringLiteral("--port"), plain.Path(),
                            QStringLiteral("--port"), fast.Path(),
                            QStringLiteral("--port"), plain.Path()};
    const CliRun text = Cli(QStringList{QStringLiteral("discover")} + ports);
    QCOMPARE(text.code, 0);
    QCOMPARE(text.out, QStringLiteral("%1: found at 9600 8 1: \"A{ESC}[2J{HT}\"q\"\\bc\" "
                                      "\"2024-05-01\"\n%2: found at 19200 8 2: \"K30SIM V1.00\" "
                                      "\"2024-05-01\"\n")
                           .arg(plain.Path(), fast.Path()));

    const CliRun json = Cli(QStringList{QStringLiteral("discover"), QStringLiteral("--json")} +
                            ports + QStringList{QStringLiteral("--port"), held.Path()});
    QCOMPARE(json.code, 5);
    const QStringList lines = json.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const QJsonObject found = QJsonDocument::fromJson(lines.at(0).toUtf8()).object();
    QCOMPARE(found.value(QStringLiteral("result")).toString(), QStringLiteral("found"));
    QCOMPARE(found.value(QStringLiteral("versions")).toVariant().toStringList(),
             (QStringList{plain.device.version1, plain.device.version2}));
    const QJsonObject settings = QJsonDocument::fromJson(lines.at(1).toUtf8())
                                     .object()
                                     .value(QStringLiteral("settings"))
                                     .toObject();
    QCOMPARE(settings.value(QStringLiteral("baud")).toInt(), 19200);
    QCOMPARE(settings.value(QStringLiteral("stopBits")).toInt(), 2);
    const QJsonObject busy = QJsonDocument::fromJson(lines.at(2).toUtf8()).object();
    QCOMPARE(busy.value(QStringLiteral("result")).toString(), QStringLiteral("busy"));
    QCOMPARE(busy.value(QStringLiteral("outcome")).toString(), QStringLiteral("port"));
}

QTEST_GUILESS_MAIN(TestCliDevices)
#include "tst_clidevices.moc"
