#include "link/serialmemoryexchange.h"
#include "simdevice.h"
#include "simserialserver.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The PC's answers to the blocks, in the order the device received them.
QStringList Replies(const SimDevice &device)
{
    QStringList replies;
    for (const QString &line : device.Log()) {
        if (line.startsWith(QLatin1String("reply ")))
            replies.append(line.mid(6));
    }
    return replies;
}

QStringList Repeated(const QString &reply, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(reply);
    return list;
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

private:
    struct Run
    {
        MemoryResult result;
        QString text;
        int blocks = 0;
        int records = 0;
        bool stillRunning = false;
    };
    Run Exchange(MemoryKind kind);

    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimSerialServer> m_server;
};

void TestMemoryExchange::init()
{
    m_device = std::make_unique<SimDevice>();
    m_server = std::make_unique<SimSerialServer>(*m_device);
    QVERIFY(m_server->OpenPseudoTerminal());
}

void TestMemoryExchange::cleanup()
{
    m_server.reset();
    m_device.reset();
}

TestMemoryExchange::Run TestMemoryExchange::Exchange(MemoryKind kind)
{
    const SerialTarget target{1, m_server->Path(), QStringLiteral("9600,N,8,1 ")};
    SerialMemoryExchange exchange(kind, target);
    Run run;
    connect(&exchange, &MemoryExchange::RecordsDecoded, this,
            [&run](const QString &text) { run.text += text; });
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
    (void)QTest::qWaitFor(
        [&] { return !Replies(*m_device).isEmpty() || kind == MemoryKind::Clear; }, 1000);
    QTest::qWait(50);
    return run;
}

void TestMemoryExchange::reads_data()
{
    QTest::addColumn<QList<QByteArray>>("memory");
    QTest::addColumn<int>("badRecord");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<bool>("longRecord");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("replies");

    const QList<QByteArray> samples = SimDevice::SampleMemory();
    QString sampleText;
    for (const QByteArray &record : samples)
        sampleText += QString::fromLatin1(record) + QStringLiteral("\r\n");
    QTest::newRow("sample records") << samples << -1 << false << false << int(MemoryOutcome::Good)
                                    << sampleText << QStringList{QStringLiteral("P")};

    // Twelve records of 30 bytes: 360 bytes and the end marker take six blocks.
    QList<QByteArray> many;
    QString manyText;
    for (int i = 0; i < 12; ++i) {
        many.append(QByteArray(28, char('a' + i)));
        manyText += QString(28, QLatin1Char(char('a' + i))) + QStringLiteral("\r\n");
    }
    QStringList sixBlocks = Repeated(QStringLiteral("S"), 5);
    sixBlocks.append(QStringLiteral("P"));
    QTest::newRow("six blocks") << many << -1 << false << false << int(MemoryOutcome::Good)
                                << manyText << sixBlocks;

    QString badRecordText = sampleText;
    badRecordText.replace(QString::fromLatin1(samples[1]), QString());
    QTest::newRow("bad record") << samples << 1 << false << false << int(MemoryOutcome::Good)
                                << badRecordText << QStringList{QStringLiteral("P")};
    QTest::newRow("empty memory") << QList<QByteArray>{} << -1 << false << false
                                  << int(MemoryOutcome::Good) << QStringLiteral("\r\n")
                                  << QStringList{QStringLiteral("P")};
    // The 31st good block ends the read as a success; the device is not asked for more.
    QTest::newRow("endless memory") << samples << -1 << true << false << int(MemoryOutcome::Good)
                                    << QString() << Repeated(QStringLiteral("S"), 31);
    // The 60 bytes of the samples, then a 200-byte record: after five blocks it is still
    // incomplete with 196 bytes held, the fifth block would not fit behind them and fails the
    // read, and the samples stay.
    QStringList longReplies = Repeated(QStringLiteral("S"), 4);
    longReplies.append(QStringLiteral("E"));
    QTest::newRow("record longer than the buffer")
        << samples << -1 << false << true << int(MemoryOutcome::Bad) << sampleText << longReplies;
}

void TestMemoryExchange::reads()
{
    QFETCH(QList<QByteArray>, memory);
    QFETCH(int, badRecord);
    QFETCH(bool, endless);
    QFETCH(bool, longRecord);
    QFETCH(int, outcome);
    QFETCH(QString, text);
    QFETCH(QStringList, replies);
    m_device->memory = memory;
    m_device->faults.badRecord = badRecord;
    m_device->faults.endlessMemory = endless;
    m_device->faults.longRecord = longRecord;
    const Run run = Exchange(MemoryKind::Read);
    QVERIFY(!run.stillRunning);
    QCOMPARE(int(run.result.outcome), outcome);
    QCOMPARE(Replies(*m_device), replies);
    QVERIFY(m_device->Log().contains(QStringLiteral("received 02 82 03 83")));
    if (endless) {
        QCOMPARE(run.blocks, 31);
        QVERIFY(run.records > 31 * 64 / 20);
        QVERIFY(run.text.startsWith(QString::fromLatin1(memory[0]) + QStringLiteral("\r\n")));
        return;
    }
    QVERIFY(run.text.startsWith(text));
    QCOMPARE(run.text, text);
    QCOMPARE(run.blocks, replies.size() - (outcome == int(MemoryOutcome::Bad) ? 1 : 0));
}

void TestMemoryExchange::readTwiceAfterClear()
{
    Run run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, MemoryOutcome::Good);
    QVERIFY(m_device->Log().contains(QStringLiteral("received 02 83 03 82")));
    QVERIFY(m_device->memory.isEmpty());
    run = Exchange(MemoryKind::Read);
    QCOMPARE(run.result.outcome, MemoryOutcome::Good);
    QCOMPARE(run.text, QStringLiteral("\r\n"));
    QCOMPARE(run.records, 0);

    m_device->faults.refuseClear = true;
    run = Exchange(MemoryKind::Clear);
    QCOMPARE(run.result.outcome, MemoryOutcome::Bad);
}

QTEST_GUILESS_MAIN(TestMemoryExchange)
#include "tst_memoryexchange.moc"
