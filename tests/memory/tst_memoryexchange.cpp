#include "support/simulatedk30.h"

#include "link/memoryframes.h"
#include "link/serialmemoryexchange.h"

#include <QSignalSpy>
#include <QTest>

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

} // namespace

// The serial memory exchanges without any window, as the command line tool drives them.
class TestMemoryExchange : public QObject
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
    Run Exchange(MemoryKind kind, int maximumBlocks = kMaximumMemoryBlocks);

    std::unique_ptr<SimulatedK30> m_k30;
};

void TestMemoryExchange::init()
{
    m_k30 = std::make_unique<SimulatedK30>();
    QVERIFY(m_k30->IsOpen());
}

void TestMemoryExchange::cleanup()
{
    m_k30.reset();
}

TestMemoryExchange::Run TestMemoryExchange::Exchange(MemoryKind kind, int maximumBlocks)
{
    const SerialTarget target{1, m_k30->Path(), QStringLiteral("9600,N,8,1 ")};
    SerialMemoryExchange exchange(kind, target, MemoryTimings{.maximumBlocks = maximumBlocks});
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

void TestMemoryExchange::reads_data()
{
    QTest::addColumn<QList<QByteArray>>("memory");
    QTest::addColumn<int>("badRecord");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<bool>("longRecord");
    QTest::addColumn<int>("maximumBlocks");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("replies");

    const int bound = kMaximumMemoryBlocks;
    const QList<QByteArray> samples = SimDevice::SampleMemory();
    const QString sampleText = RecordLines(samples);
    QTest::newRow("sample records")
        << samples << -1 << false << false << bound << int(MemoryOutcome::Good) << sampleText
        << QStringList{QStringLiteral("P")};

    // Twelve records of 30 bytes: 360 bytes and the end marker take six blocks.
    QList<QByteArray> many;
    for (int i = 0; i < 12; ++i)
        many.append(QByteArray(28, char('a' + i)));
    QStringList sixBlocks = Repeated(QStringLiteral("S"), 5);
    sixBlocks.append(QStringLiteral("P"));
    QTest::newRow("six blocks") << many << -1 << false << false << bound << int(MemoryOutcome::Good)
                                << RecordLines(many) << sixBlocks;
    // The block that holds the end of the data may be the last one a read takes.
    QTest::newRow("end in the last block allowed")
        << many << -1 << false << false << 6 << int(MemoryOutcome::Good) << RecordLines(many)
        << sixBlocks;

    // A thousand records take 282 blocks: the read goes on to the end of the data.
    const QList<QByteArray> thousand = SimDevice::GeneratedMemory(1000);
    QStringList thousandReplies = Repeated(QStringLiteral("S"), 281);
    thousandReplies.append(QStringLiteral("P"));
    QTest::newRow("1000 records") << thousand << -1 << false << false << bound
                                  << int(MemoryOutcome::Good) << RecordLines(thousand)
                                  << thousandReplies;

    // The record that failed its check is kept, marked, with its length and check bytes.
    QString badRecordText = sampleText;
    badRecordText.replace(QString::fromLatin1(samples[1]),
                          QChar(0) + QStringLiteral("FAILED CHECK (length 17, check 0x16): ") +
                              QString::fromLatin1(samples[1]));
    QTest::newRow("bad record") << samples << 1 << false << false << bound
                                << int(MemoryOutcome::Good) << badRecordText
                                << QStringList{QStringLiteral("P")};
    QTest::newRow("empty memory") << QList<QByteArray>{} << -1 << false << false << bound
                                  << int(MemoryOutcome::Good) << QStringLiteral("\r\n")
                                  << QStringList{QStringLiteral("P")};
    // A memory that never ends is stopped with "E" at the bound; the read is incomplete.
    QStringList endlessReplies = Repeated(QStringLiteral("S"), 7);
    endlessReplies.append(QStringLiteral("E"));
    QTest::newRow("endless memory")
        << samples << -1 << true << false << 8 << int(MemoryOutcome::Incomplete) << QString()
        << endlessReplies;
    // The 60 bytes of the samples, then a 200-byte record: after five blocks it is still
    // incomplete with 196 bytes held, the fifth block would not fit behind them and fails the
    // read, and the samples stay.
    QStringList longReplies = Repeated(QStringLiteral("S"), 4);
    longReplies.append(QStringLiteral("E"));
    QTest::newRow("record longer than the buffer")
        << samples << -1 << false << true << bound << int(MemoryOutcome::Bad) << sampleText
        << longReplies;
}

void TestMemoryExchange::reads()
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
    QCOMPARE(run.blocks, replies.size() - (outcome == int(MemoryOutcome::Bad) ? 1 : 0));
}

void TestMemoryExchange::readTwiceAfterClear()
{
    Run run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, MemoryOutcome::Good);
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("received 02 83 03 82")));
    QVERIFY(m_k30->device.memory.isEmpty());
    run = Exchange(MemoryKind::Read);
    QCOMPARE(run.result.outcome, MemoryOutcome::Good);
    QCOMPARE(run.text, QStringLiteral("\r\n"));
    QCOMPARE(run.records, 0);

    m_k30->device.faults.refuseClear = true;
    run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, MemoryOutcome::Bad);
}

void TestMemoryExchange::readAgainRightAfter_data()
{
    QTest::addColumn<int>("firstBound");
    QTest::addColumn<int>("firstOutcome");
    QTest::newRow("after a whole read") << kMaximumMemoryBlocks << int(MemoryOutcome::Good);
    QTest::newRow("after a read stopped at the bound") << 40 << int(MemoryOutcome::Incomplete);
}

// A read started the moment the one before it ended finds no block of the earlier read on the
// line, and gets every record again.
void TestMemoryExchange::readAgainRightAfter()
{
    QFETCH(int, firstBound);
    QFETCH(int, firstOutcome);
    const QList<QByteArray> thousand = SimDevice::GeneratedMemory(1000);
    m_k30->device.memory = thousand;
    const SerialTarget target{1, m_k30->Path(), QStringLiteral("9600,N,8,1 ")};
    SerialMemoryExchange first(MemoryKind::Read, target,
                               MemoryTimings{.maximumBlocks = firstBound});
    SerialMemoryExchange second(MemoryKind::Read, target);
    QString text;
    connect(&second, &MemoryExchange::RecordsDecoded, this,
            [&text](const QString &records) { text += records; });
    connect(&first, &MemoryExchange::Finished, &second, &MemoryExchange::Start);
    QSignalSpy firstDone(&first, &MemoryExchange::Finished);
    QSignalSpy secondDone(&second, &MemoryExchange::Finished);
    first.Start();
    QVERIFY(secondDone.wait(10000));
    QCOMPARE(int(firstDone.at(0).at(0).value<MemoryResult>().outcome), firstOutcome);
    QCOMPARE(secondDone.at(0).at(0).value<MemoryResult>().outcome, MemoryOutcome::Good);
    QCOMPARE(text, RecordLines(thousand));
    QTRY_COMPARE(m_k30->Replies().last(), QStringLiteral("P"));
    // The device was never asked for a block that nobody read.
    QTest::qWait(100);
    QCOMPARE(m_k30->Replies().count(QStringLiteral("S")),
             (firstBound < 282 ? firstBound - 1 : 281) + 281);
}

QTEST_GUILESS_MAIN(TestMemoryExchange)
#include "tst_memoryexchange.moc"
