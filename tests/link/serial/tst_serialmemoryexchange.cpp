#include "support/simulatedk30.h"

#include "link/serial/serialmemoryexchange.h"
#include "link/serial/serialportline.h"
#include "link/wire/memoryframes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <memory>

namespace {

QStringList Repeated(const QString &reply, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(reply);
    return list;
}

// The text a read of these records hands over: each record, then CR LF.
QString RecordLines(const QList<QByteArray> &records)
{
    QString text;
    for (const QByteArray &record : records)
        text += QString::fromLatin1(record) + QStringLiteral("\r\n");
    return text;
}

// The descriptors of this process open on `path`.
QStringList OpenDescriptors(const QString &path)
{
    QStringList open;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == path)
            open.append(fd);
    }
    return open;
}

std::chrono::milliseconds ProcessCpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::nanoseconds(now.tv_nsec));
}

} // namespace

// The serial memory exchanges without any window, as the command line tool drives them.
class TestSerialMemoryExchange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void reads_data();
    void reads();
    void readTwiceAfterClear();
    void readAgainRightAfter_data();
    void readAgainRightAfter();
    void waits_data();
    void waits();

private:
    struct Run
    {
        MemoryResult result;
        QString text;
        int blocks = 0;
        int records = 0;
        qsizetype listed = 0; // records handed over one by one
        bool stillRunning = false;
    };
    // A negative bound: the default timings, bound included.
    Run Exchange(MemoryKind kind, int maximumBlocks = -1);

    std::unique_ptr<SimulatedK30> m_k30;
};

void TestSerialMemoryExchange::init()
{
    m_k30 = std::make_unique<SimulatedK30>();
    QVERIFY(m_k30->IsOpen());
}

void TestSerialMemoryExchange::cleanup()
{
    m_k30.reset();
}

TestSerialMemoryExchange::Run TestSerialMemoryExchange::Exchange(MemoryKind kind, int maximumBlocks)
{
    const SerialTarget target{1, m_k30->Path(), QStringLiteral("9600,N,8,1 ")};
    MemoryTimings timings;
    if (maximumBlocks >= 0)
        timings.maximumBlocks = maximumBlocks;
    SerialMemoryExchange exchange(kind, std::make_unique<SerialPortLine>(), target, timings);
    Run run;
    connect(&exchange, &MemoryExchange::RecordsDecoded, this,
            [&run](const QString &text, const QList<MemoryRecordDecoder::Record> &records) {
                run.text += text;
                run.listed += records.size();
            });
    connect(&exchange, &MemoryExchange::BlocksReceived, this, [&run](int blocks, int records) {
        run.blocks = blocks;
        run.records = records;
    });
    QSignalSpy finished(&exchange, &MemoryExchange::Finished);
    exchange.Start();
    if (!finished.wait(5000))
        return run;
    run.result = finished.at(0).at(0).value<MemoryResult>();
    run.stillRunning = exchange.IsRunning();
    // Give the device the time to take the last reply off the line.
    (void)QTest::qWaitFor([&] { return !m_k30->Replies().isEmpty() || kind == MemoryKind::Clear; },
                          1000);
    QTest::qWait(50);
    return run;
}

void TestSerialMemoryExchange::reads_data()
{
    QTest::addColumn<QList<QByteArray>>("memory");
    QTest::addColumn<int>("badRecord");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<bool>("longRecord");
    QTest::addColumn<int>("maximumBlocks");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("replies");

    const int bound = -1;
    const QList<QByteArray> samples = SimDevice::SampleMemory();
    const QString sampleText = RecordLines(samples);
    QTest::newRow("sample records")
        << samples << -1 << false << false << bound << int(ExchangeOutcome::Good) << sampleText
        << QStringList{QStringLiteral("P")};

    // Twelve records of 30 bytes: 360 bytes and the end marker take six blocks.
    QList<QByteArray> many;
    for (int i = 0; i < 12; ++i)
        many.append(QByteArray(28, char('a' + i)));
    QStringList sixBlocks = Repeated(QStringLiteral("S"), 5);
    sixBlocks.append(QStringLiteral("P"));
    QTest::newRow("six blocks") << many << -1 << false << false << bound
                                << int(ExchangeOutcome::Good) << RecordLines(many) << sixBlocks;
    // The block that holds the end of the data may be the last one a read takes.
    QTest::newRow("end in the last block allowed")
        << many << -1 << false << false << 6 << int(ExchangeOutcome::Good) << RecordLines(many)
        << sixBlocks;

    // A thousand records take 282 blocks: the read goes on to the end of the data.
    const QList<QByteArray> thousand = SimDevice::GeneratedMemory(1000);
    QStringList thousandReplies = Repeated(QStringLiteral("S"), 281);
    thousandReplies.append(QStringLiteral("P"));
    QTest::newRow("1000 records") << thousand << -1 << false << false << bound
                                  << int(ExchangeOutcome::Good) << RecordLines(thousand)
                                  << thousandReplies;

    // 17800 records of 18 bytes take 5007 blocks, more than 4096: all of them come with the
    // default timings and bound.
    const QList<QByteArray> large = SimDevice::GeneratedMemory(17800);
    QStringList largeReplies = Repeated(QStringLiteral("S"), 5006);
    largeReplies.append(QStringLiteral("P"));
    QTest::newRow("5007 blocks, default bound")
        << large << -1 << false << false << bound << int(ExchangeOutcome::Good)
        << RecordLines(large) << largeReplies;

    // The record that failed its check is kept, marked, with its length and check bytes.
    QString badRecordText = sampleText;
    badRecordText.replace(QString::fromLatin1(samples[1]),
                          QChar(0) + QStringLiteral("FAILED CHECK (length 17, check 0x16): ") +
                              QString::fromLatin1(samples[1]));
    QTest::newRow("bad record") << samples << 1 << false << false << bound
                                << int(ExchangeOutcome::Good) << badRecordText
                                << QStringList{QStringLiteral("P")};
    QTest::newRow("empty memory") << QList<QByteArray>{} << -1 << false << false << bound
                                  << int(ExchangeOutcome::Good) << QStringLiteral("\r\n")
                                  << QStringList{QStringLiteral("P")};
    // A memory that never ends is stopped with "E" at the bound; the read is incomplete.
    QStringList endlessReplies = Repeated(QStringLiteral("S"), 7);
    endlessReplies.append(QStringLiteral("E"));
    QTest::newRow("endless memory")
        << samples << -1 << true << false << 8 << int(ExchangeOutcome::Incomplete) << QString()
        << endlessReplies;
    // The 60 bytes of the samples, then a 200-byte record: after five blocks it is still
    // incomplete with 196 bytes held, the fifth block would not fit behind them and fails the
    // read, and the samples stay.
    QStringList longReplies = Repeated(QStringLiteral("S"), 4);
    longReplies.append(QStringLiteral("E"));
    QTest::newRow("record longer than the buffer")
        << samples << -1 << false << true << bound << int(ExchangeOutcome::Bad) << sampleText
        << longReplies;
}

void TestSerialMemoryExchange::reads()
{
    QFETCH(QList<QByteArray>, memory);
    QFETCH(int, badRecord);
    QFETCH(bool, endless);
    QFETCH(bool, longRecord);
    QFETCH(int, maximumBlocks);
    QFETCH(int, outcome);
    QFETCH(QString, text);
    QFETCH(QStringList, replies);
    m_k30->device.memory = memory;
    m_k30->device.faults.badRecord = badRecord;
    m_k30->device.faults.endlessMemory = endless;
    m_k30->device.faults.longRecord = longRecord;
    const Run run = Exchange(MemoryKind::Read, maximumBlocks);
    QVERIFY(!run.stillRunning);
    QCOMPARE(int(run.result.outcome), outcome);
    QTRY_COMPARE(m_k30->Replies(), replies);
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("received 02 82 03 83")));
    if (endless) {
        QCOMPARE(run.blocks, maximumBlocks);
        QVERIFY(run.records > maximumBlocks * 64 / 20);
        QVERIFY(run.text.startsWith(QString::fromLatin1(memory[0]) + QStringLiteral("\r\n")));
        return;
    }
    QVERIFY(run.text.startsWith(text));
    QCOMPARE(run.text, text);
    QCOMPARE(run.result.records, run.records);
    QCOMPARE(run.listed, qsizetype(run.records));
    QCOMPARE(run.result.failedRecords, badRecord >= 0 ? 1 : 0);
    QCOMPARE(run.blocks, replies.size() - (outcome == int(ExchangeOutcome::Bad) ? 1 : 0));
}

void TestSerialMemoryExchange::readTwiceAfterClear()
{
    Run run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, ExchangeOutcome::Good);
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("received 02 83 03 82")));
    QVERIFY(m_k30->device.memory.isEmpty());
    run = Exchange(MemoryKind::Read);
    QCOMPARE(run.result.outcome, ExchangeOutcome::Good);
    QCOMPARE(run.text, QStringLiteral("\r\n"));
    QCOMPARE(run.records, 0);

    m_k30->device.faults.refuseClear = true;
    run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, ExchangeOutcome::Bad);
}

void TestSerialMemoryExchange::readAgainRightAfter_data()
{
    QTest::addColumn<int>("firstBound");
    QTest::addColumn<int>("firstOutcome");
    QTest::newRow("after a whole read") << kMaximumMemoryBlocks << int(ExchangeOutcome::Good);
    QTest::newRow("after a read stopped at the bound") << 40 << int(ExchangeOutcome::Incomplete);
}

// A read started the moment the one before it ended finds no block of the earlier read on the
// line, and gets every record again.
void TestSerialMemoryExchange::readAgainRightAfter()
{
    QFETCH(int, firstBound);
    QFETCH(int, firstOutcome);
    const QList<QByteArray> thousand = SimDevice::GeneratedMemory(1000);
    m_k30->device.memory = thousand;
    const SerialTarget target{1, m_k30->Path(), QStringLiteral("9600,N,8,1 ")};
    SerialMemoryExchange first(MemoryKind::Read, std::make_unique<SerialPortLine>(), target,
                               MemoryTimings{.maximumBlocks = firstBound});
    SerialMemoryExchange second(MemoryKind::Read, std::make_unique<SerialPortLine>(), target);
    QString text;
    connect(&second, &MemoryExchange::RecordsDecoded, this,
            [&text](const QString &records) { text += records; });
    connect(&first, &MemoryExchange::Finished, &second, &MemoryExchange::Start);
    QSignalSpy firstDone(&first, &MemoryExchange::Finished);
    QSignalSpy secondDone(&second, &MemoryExchange::Finished);
    first.Start();
    QVERIFY(secondDone.wait(10000));
    QCOMPARE(int(firstDone.at(0).at(0).value<MemoryResult>().outcome), firstOutcome);
    QCOMPARE(secondDone.at(0).at(0).value<MemoryResult>().outcome, ExchangeOutcome::Good);
    QCOMPARE(text, RecordLines(thousand));
    QTRY_COMPARE(m_k30->Replies().last(), QStringLiteral("P"));
    // The device was never asked for a block that nobody read.
    QTest::qWait(100);
    QCOMPARE(m_k30->Replies().count(QStringLiteral("S")),
             (firstBound < 282 ? firstBound - 1 : 281) + 281);
}

void TestSerialMemoryExchange::waits_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("waitMs"); // from the start to the outcome
    QTest::addColumn<int>("outcome");
    const int timeOut = int(ExchangeOutcome::TimeOut);
    // A block's wait of 300 ms and a clear's of 900 ms: each exchange waits its own.
    QTest::newRow("clear, silent device") << true << "silent" << 900 << timeOut;
    QTest::newRow("read, silent device") << false << "silent" << 300 << timeOut;
    // The line fails in the middle of a read: the port is closed at once, not polled until
    // the wait ends, and the read ends by its time-out.
    QTest::newRow("read, cable pulled mid-block") << false << "hang-up" << 300 << timeOut;
    QTest::newRow("read, block cut short") << false << "short" << 300 << timeOut;
    QTest::newRow("read, bad block") << false << "bad-block" << 0 << int(ExchangeOutcome::Bad);
}

// Each exchange ends after its own wait, its port closed, without keeping the processor busy
// while it waits.
void TestSerialMemoryExchange::waits()
{
    QFETCH(bool, clear);
    QFETCH(QString, fault);
    QFETCH(int, waitMs);
    QFETCH(int, outcome);
    SimFaults &faults = m_k30->device.faults;
    faults.silent = fault == QLatin1String("silent");
    faults.hangUpAfter = fault == QLatin1String("hang-up") ? 40 : -1;
    faults.shortAnswer = fault == QLatin1String("short") ? 30 : -1;
    faults.badBlock = fault == QLatin1String("bad-block") ? 0 : -1;
    const QString path = m_k30->Path();
    const SerialTarget target{1, path, QStringLiteral("9600,N,8,1 ")};
    SerialMemoryExchange exchange(clear ? MemoryKind::Clear : MemoryKind::Read,
                                  std::make_unique<SerialPortLine>(), target,
                                  MemoryTimings{.blockTimeout = std::chrono::milliseconds(300),
                                                .clearTimeout = std::chrono::milliseconds(900)});
    const QStringList before = OpenDescriptors(path);
    QSignalSpy finished(&exchange, &MemoryExchange::Finished);
    QElapsedTimer clock;
    clock.start();
    const auto cpuBefore = ProcessCpuTime();
    exchange.Start();
    QVERIFY(finished.wait(waitMs + 1000));
    const qint64 elapsed = clock.elapsed();
    const auto cpu = (ProcessCpuTime() - cpuBefore).count();
    QCOMPARE(int(finished.at(0).at(0).value<MemoryResult>().outcome), outcome);
    QVERIFY2(elapsed >= waitMs - 5 && elapsed < waitMs + 250,
             qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    // The exchange still stands, but holds the line no more.
    for (const QString &fd : OpenDescriptors(path))
        QVERIFY2(before.contains(fd), qPrintable(fd));
    QVERIFY2(cpu < 50 + elapsed / 5,
             qPrintable(QStringLiteral("%1 ms of CPU in %2 ms").arg(cpu).arg(elapsed)));
}

QTEST_GUILESS_MAIN(TestSerialMemoryExchange)
#include "tst_serialmemoryexchange.moc"
