#include "support/clirun.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <memory>

namespace {

// The one JSON object of a run.
QJsonObject JsonOf(const CliRun &run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// The mark and the beginning of a record that failed its check.
QString Failed(const char *rest)
{
    return QChar(0) + QStringLiteral("FAILED CHECK (length ") + QLatin1String(rest);
}

} // namespace

// k30cfg-cli reading and clearing the memory of a simulated device on a pseudo-terminal: the
// records to standard output, into a file and in --json, the faults of the device and of the
// file, and the records that fail their check.
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
    void failedRecords_data();
    void failedRecords();
    void recordsInJson();

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
    // --clear only into a file that can be read back, else nothing is read or sent at all.
    QTest::newRow("clear into a missing folder")
        << "read-memory"
        << "no-folder" << QByteArray() << 3 << "is in a folder that does not exist" << false;
    QTest::newRow("clear into /dev/null")
        << "read-memory"
        << "null" << QByteArray() << 3 << "/dev/null is a device, not a file" << false;
    QTest::newRow("clear into a named pipe")
        << "read-memory"
        << "fifo" << QByteArray() << 3 << "is a named pipe, not a file" << false;
    // JSON output has no place for the question: even a "yes" on the input clears nothing.
    QTest::newRow("clear, JSON without --yes")
        << "clear-memory"
        << "json" << QByteArray("y\n") << 3 << "clear-memory --json needs --yes" << false;
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
    const QString output = fault == QLatin1String("no-folder") ? Path("missing/scans.txt")
                           : fault == QLatin1String("null")    ? QStringLiteral("/dev/null")
                                                               : Path("pipe");
    if (fault == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(output).constData(), 0600), 0);
    if (QStringList{QStringLiteral("no-folder"), QStringLiteral("null"), QStringLiteral("fifo")}
            .contains(fault))
        arguments << QStringLiteral("-o") << output << QStringLiteral("--clear");
    if (fault == QLatin1String("json"))
        arguments << QStringLiteral("--json");
    else if (fault != QLatin1String("") && command == QLatin1String("clear-memory"))
        arguments << QStringLiteral("--yes");
    const CliRun run = Cli(arguments, input);
    QCOMPARE(run.code, code);
    if (code == 0)
        QCOMPARE(run.out, QStringLiteral("Clear Decoder Memory OK!\n"));
    else if (fault == QLatin1String("json"))
        QVERIFY2(run.err.isEmpty() &&
                     JsonOf(run).value(QStringLiteral("message")).toString().contains(message),
                 qPrintable(run.out + run.err));
    else if (code == 3)
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    else
        QVERIFY2(run.err.endsWith(message + QLatin1Char('\n')), qPrintable(run.err));
    QCOMPARE(device.memory.isEmpty(), cleared);
    const QString log = device.Log().join(QLatin1Char('\n'));
    QCOMPARE(log.contains(QLatin1String("memory cleared")), cleared);
    // Without an answer, or refused, nothing goes out on the line at all.
    if (message == QLatin1String("Nothing was sent.") || code == 3)
        QVERIFY2(!log.contains(QLatin1String("received")), qPrintable(log));
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

void TestCliMemory::failedRecords_data()
{
    // The damaged record of the sample memory, "K30-SAMPLE-0002": its check byte, or its
    // length byte (2, shorter than any record, after which nothing lines up any more).
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    // The lines of the file and of standard output, and the failed records of --json.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("failed");
    QTest::newRow("wrong check byte")
        << "check"
        << "Read Decoder Memory: 1 of 4 records failed its check! It is kept as received, on a "
           "line marked FAILED CHECK. Read the memory again before clearing it.\n"
        << QStringList{QStringLiteral("4006381333931"), Failed("17, check 0x16): K30-SAMPLE-0002"),
                       QStringLiteral("HELLO WORLD"), QStringLiteral("9780201633610")}
        << QList<int>{1};
    // The length 2 takes "K"; "3" (51) then takes the rest, the end marker and the zeros after
    // it: every byte is still there.
    QTest::newRow("length byte of 2")
        << "length"
        << "Read Decoder Memory: 2 of 3 records failed their check! They are kept as received, "
           "on a line marked FAILED CHECK. Read the memory again before clearing it.\n"
        << QStringList{QStringLiteral("4006381333931"), Failed("2, check 0x4B): "),
                       Failed("51, check 0x00): 0-SAMPLE-0002L\\x0DHELLO WORLD \\x0F"
                              "97802016336104\\x00\\x00\\x00\\x00\\x00\\x00\\x00")}
        << QList<int>{1, 2};
}

// A record that fails its check is kept, marked, in the file, on standard output and in
// --json; the user is told how many failed, the status is 1, and the memory is not cleared.
void TestCliMemory::failedRecords()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, failed);
    SimulatedK30 k30;
    SimDevice &device = k30.device;
    (fault == QLatin1String("check") ? device.faults.badRecord : device.faults.shortLength) = 1;
    QVERIFY(k30.IsOpen());
    const QStringList read{QStringLiteral("read-memory"), QStringLiteral("--port"), k30.Path()};

    const CliRun saved =
        Cli(read + QStringList{QStringLiteral("-o"), Path("scans.txt"), QStringLiteral("--clear")});
    QCOMPARE(saved.code, 1);
    QVERIFY(saved.out.isEmpty());
    const QString reason = failed.size() == 1 ? QStringLiteral("1 record failed its check.\n")
                                              : QStringLiteral("2 records failed their check.\n");
    QCOMPARE(saved.err, message + QStringLiteral("The decoder memory was not cleared: ") + reason);
    QCOMPARE(Contents(Path("scans.txt")),
             (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n")).toLatin1());
    QCOMPARE(device.memory, SimDevice::SampleMemory());
    QVERIFY(!device.Log().contains(QStringLiteral("memory cleared")));

    const CliRun shown = Cli(read);
    QCOMPARE(shown.code, 1);
    QCOMPARE(shown.out, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(shown.err, message);

    const CliRun json = Cli(read + QStringList{QStringLiteral("--json")});
    QCOMPARE(json.code, 1);
    QVERIFY(json.err.isEmpty());
    const QJsonObject object = JsonOf(json);
    QCOMPARE(object.value(QStringLiteral("records")).toArray(), QJsonArray::fromStringList(lines));
    QJsonArray failedJson;
    for (int index : failed)
        failedJson.append(index);
    QCOMPARE(object.value(QStringLiteral("failed")).toArray(), failedJson);
    QCOMPARE(object.value(QStringLiteral("message")).toString() + QLatin1Char('\n'), message);
    QCOMPARE(object.value(QStringLiteral("changed")).toBool(), false);
}

// Records holding line ends, quotes, backslashes, control bytes and bytes that are no UTF-8 are
// one entry each in --json, exactly as the decoder cut them.
void TestCliMemory::recordsInJson()
{
    SimulatedK30 k30;
    const QList<QByteArray> records = {"two\nlines", "cr\rlf\r\n", "\"quoted\" \\ back",
                                       QByteArray("\x01\x1B[31m\t\x7F", 6), "caf\xE9 \xFF\xA0"};
    k30.device.memory = records;
    QVERIFY(k30.IsOpen());
    const CliRun run = Cli({QStringLiteral("read-memory"), QStringLiteral("--port"), k30.Path(),
                            QStringLiteral("--json")});
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    QCOMPARE(run.out.count(QLatin1Char('\n')), 1);
    QJsonArray expected;
    for (const QByteArray &record : records)
        expected.append(QString::fromLatin1(record));
    const QJsonObject object = JsonOf(run);
    QCOMPARE(object.value(QStringLiteral("records")).toArray(), expected);
    QCOMPARE(object.value(QStringLiteral("failed")).toArray(), QJsonArray());
    QCOMPARE(object.value(QStringLiteral("changed")).toBool(), false);
}

QTEST_GUILESS_MAIN(TestCliMemory)
#include "tst_climemory.moc"
