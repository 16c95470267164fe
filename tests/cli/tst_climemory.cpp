#include "support/clirun.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// k30cfg-cli reading and clearing the memory of a simulated device on a pseudo-terminal: the
// records to standard output and into a file, and the faults of the device and of the file.
class TestCliMemory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readMemory();
    void memoryFaults_data();
    void memoryFaults();
    void readMemoryFailsLate_data();
    void readMemoryFailsLate();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliMemory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// The simulator's sample records, to standard output, into a file, and cleared once saved.
void TestCliMemory::readMemory()
{
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    QVERIFY(k30.IsOpen());
    const QStringList read{QStringLiteral("read-memory"), QStringLiteral("--port"), k30.Path()};

    const CliRun shown = Cli(read);
    QCOMPARE(shown.code, 0);
    QCOMPARE(shown.out,
             QStringLiteral("4006381333931\nK30-SAMPLE-0002\nHELLO WORLD\n9780201633610\n"));
    QCOMPARE(shown.err, QStringLiteral("   Read Decoder Memory OK!\n"));

    const QByteArray file =
        "4006381333931\r\nK30-SAMPLE-0002\r\nHELLO WORLD\r\n9780201633610\r\n\r\n";
    const CliRun saved = Cli(read + QStringList{QStringLiteral("-o"), Path("scans.txt")});
    QCOMPARE(saved.code, 0);
    QCOMPARE(saved.out, QStringLiteral("   Read Decoder Memory OK!\n"));
    QCOMPARE(Contents(Path("scans.txt")), file);
    QCOMPARE(device.memory, SimDevice::SampleMemory());

    const CliRun cleared = Cli(read + QStringList{QStringLiteral("--output"), Path("kept.txt"),
                                                  QStringLiteral("--clear")});
    QCOMPARE(cleared.code, 0);
    QCOMPARE(cleared.out, QStringLiteral("   Read Decoder Memory OK!\nClear Decoder Memory OK!\n"));
    QCOMPARE(Contents(Path("kept.txt")), file);
    QVERIFY(device.memory.isEmpty());

    // An empty memory reads as the empty line of its end marker, as the window shows it.
    const CliRun empty = Cli(read + QStringList{QStringLiteral("-o"), Path("scans.txt")});
    QCOMPARE(empty.code, 0);
    QCOMPARE(Contents(Path("scans.txt")), QByteArray("\r\n\r\n"));

    // A thousand records take 282 blocks: all of them are saved before the memory is cleared.
    device.memory = SimDevice::GeneratedMemory(1000);
    QByteArray thousand;
    for (const QByteArray &record : device.memory)
        thousand += record + "\r\n";
    const CliRun many =
        Cli(read + QStringList{QStringLiteral("-o"), Path("many.txt"), QStringLiteral("--clear")});
    QCOMPARE(many.code, 0);
    QCOMPARE(Contents(Path("many.txt")), thousand + "\r\n");
    QVERIFY(device.memory.isEmpty());
}

void TestCliMemory::memoryFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("cleared");
    // The file cannot be written: the records it would hold are still on the device.
    QTest::newRow("clear after a failed save")
        << "read-memory"
        << "no-folder" << QByteArray() << 4 << "The decoder memory was not cleared." << false;
    QTest::newRow("clear with --yes") << "clear-memory"
                                      << "yes" << QByteArray() << 0 << "" << true;
    QTest::newRow("clear refused")
        << "clear-memory"
        << "refuse" << QByteArray() << 1 << "Clear Decoder Memory Failed!" << false;
    QTest::newRow("clear, no input") << "clear-memory"
                                     << "" << QByteArray() << 1 << "Nothing was sent." << false;
    QTest::newRow("clear, answered no")
        << "clear-memory"
        << "" << QByteArray("n\n") << 1 << "Nothing was sent." << false;
    QTest::newRow("clear, answered yes") << "clear-memory"
                                         << "" << QByteArray(" Yes\n") << 0 << "" << true;
    QTest::newRow("silent device") << "read-memory"
                                   << "silent" << QByteArray() << 2 << "Time Out Error!" << false;
    QTest::newRow("silent device, clear")
        << "clear-memory"
        << "silent" << QByteArray() << 2 << "Time Out Error!" << false;
    QTest::newRow("bad block") << "read-memory"
                               << "bad-block" << QByteArray() << 1 << "Read Decoder Memory Failed!"
                               << false;
}

void TestCliMemory::memoryFaults()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(QByteArray, input);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(bool, cleared);
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    device.faults.silent = fault == QLatin1String("silent");
    device.faults.refuseClear = fault == QLatin1String("refuse");
    device.faults.badBlock = fault == QLatin1String("bad-block") ? 0 : -1;
    QVERIFY(k30.IsOpen());
    QStringList arguments{command, QStringLiteral("--port"), k30.Path()};
    if (fault == QLatin1String("no-folder"))
        arguments << QStringLiteral("-o") << Path("missing/scans.txt") << QStringLiteral("--clear");
    if (fault != QLatin1String("") && command == QLatin1String("clear-memory"))
        arguments << QStringLiteral("--yes");
    const CliRun run = Cli(arguments, input);
    QCOMPARE(run.code, code);
    if (code == 0)
        QCOMPARE(run.out, QStringLiteral("Clear Decoder Memory OK!\n"));
    else
        QVERIFY2(run.err.endsWith(message + QLatin1Char('\n')), qPrintable(run.err));
    QCOMPARE(device.memory.isEmpty(), cleared);
    const QString log = device.Log().join(QLatin1Char('\n'));
    QCOMPARE(log.contains(QLatin1String("memory cleared")), cleared);
    // Without an answer nothing goes out on the line at all.
    if (message == QLatin1String("Nothing was sent."))
        QVERIFY2(!log.contains(QLatin1String("received")), qPrintable(log));
    if (fault == QLatin1String("no-folder"))
        QVERIFY2(log.contains(QLatin1String("memory read")), qPrintable(log));
}

void TestCliMemory::readMemoryFailsLate_data()
{
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Read Decoder Memory Failed!\n");
    QTest::newRow("bad block, to standard output") << false << false << failed;
    QTest::newRow("bad block, into a file, with --clear") << true << false << failed;
    // Stopped after 16384 blocks.
    QTest::newRow("endless memory, into a file, with --clear")
        << true << true
        << QStringLiteral("Read Decoder Memory Incomplete: the data did not end within the "
                          "blocks a read takes. Not all data was read!\n");
}

// The second block is damaged, or the data never ends: the records decoded before are handed
// over all the same, the failure is reported after them, and the memory is not cleared.
void TestCliMemory::readMemoryFailsLate()
{
    QFETCH(bool, toFile);
    QFETCH(bool, endless);
    QFETCH(QString, message);
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    const QList<QByteArray> records = {QByteArray(28, 'a'), QByteArray(28, 'b'),
                                       QByteArray(28, 'c'), QByteArray(28, 'd')};
    device.memory = records;
    device.faults.badBlock = endless ? -1 : 1;
    device.faults.endlessMemory = endless;
    QVERIFY(k30.IsOpen());
    QStringList arguments{QStringLiteral("read-memory"), QStringLiteral("--port"), k30.Path()};
    if (toFile)
        arguments << QStringLiteral("-o") << Path("part.txt") << QStringLiteral("--clear");
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, 1);
    // The first block holds the first two records.
    const QByteArray firstTwo = records[0] + "\r\n" + records[1] + "\r\n";
    if (toFile) {
        QVERIFY(run.out.isEmpty());
        const QByteArray saved = Contents(Path("part.txt"));
        QVERIFY(saved.startsWith(firstTwo));
        if (!endless)
            QCOMPARE(saved, firstTwo + "\r\n");
        QCOMPARE(run.err, message + QStringLiteral("The decoder memory was not cleared.\n"));
    } else {
        QCOMPARE(run.out, QString::fromLatin1(records[0] + "\n" + records[1] + "\n"));
        QCOMPARE(run.err, message);
    }
    QCOMPARE(device.memory, records);
    QVERIFY(!device.Log().contains(QStringLiteral("memory cleared")));
}

QTEST_GUILESS_MAIN(TestCliMemory)
#include "tst_climemory.moc"
