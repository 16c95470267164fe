#include "core/memoryrecorddecoder.h"

#include <QTest>

namespace {

// A record as the device stores it: length, data, check. `length` and `flip` let a case
// store a record the way a faulty memory would.
QByteArray Record(const QByteArray &data, int length = -1, char flip = 0)
{
    QByteArray record(1, char(length < 0 ? data.size() + 2 : length));
    record += data;
    char check = 0;
    for (char c : data)
        check ^= c;
    record.append(char(check ^ flip));
    return record;
}

// The stream cut into 65-byte blocks: 64 bytes, zeros after the stream's end, and the check
// that makes the block's exclusive-or 0.
QList<QByteArray> Blocks(QByteArray stream, int count)
{
    stream.append(QByteArray(qMax<qsizetype>(0, count * 64 - stream.size()), '\0'));
    QList<QByteArray> blocks;
    for (int i = 0; i < count; ++i) {
        QByteArray block = stream.mid(i * 64, 64);
        char check = 0;
        for (char c : block)
            check ^= c;
        block.append(check);
        blocks.append(block);
    }
    return blocks;
}

using Outcome = MemoryRecordDecoder::Outcome;

} // namespace

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestMemoryRecordDecoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void streams_data();
    void streams();
    void recordsOneByOne();
    void recordStraddlingBlocks();
    void badBlockKeepsEarlierRecords();
    void resetForgetsHeldBytes();
};

void TestMemoryRecordDecoder::streams_data()
{
    QTest::addColumn<QList<QByteArray>>("blocks");
    // Outcome after each block, and the text of all blocks together.
    QTest::addColumn<QList<int>>("outcomes");
    QTest::addColumn<QString>("text");

    const QByteArray a(10, 'A');
    const QByteArray b(30, 'B');
    QTest::newRow("empty memory") << Blocks({}, 1) << QList<int>{3} << QStringLiteral("\r\n");
    QTest::newRow("two records and the end")
        << Blocks(Record(a) + Record(b) + '\0', 1) << QList<int>{3}
        << QString::fromLatin1(a + "\r\n" + b + "\r\n");
    // A record that fails its check keeps its bytes on a line marked by code 0, which no
    // record holds; decoding goes on after it.
    const QString failed = QChar(0) + QStringLiteral("FAILED CHECK (length ");
    QTest::newRow("wrong record check: kept and marked, decoding goes on")
        << Blocks(Record(a) + Record(b, -1, 0x11) + Record(a) + '\0', 1) << QList<int>{3}
        << QString::fromLatin1(a + "\r\n") + failed +
               QString::fromLatin1("32, check 0x11): " + b + "\r\n" + a + "\r\n");
    // Whatever a failed record holds, its line stays one line of printable text after the
    // mark: line ends, code 0 and bytes beyond ASCII are written as \xHH, the backslash too.
    QTest::newRow("failed record's bytes escaped")
        << Blocks(Record(QByteArray("a\r\n\0b\\\xE9\"", 8), -1, 0x01) + '\0', 1) << QList<int>{3}
        << failed + QStringLiteral("10, check 0x92): a\\x0D\\x0A\\x00b\\x5C\\xE9\"\r\n");
    const char *shortLines[] = {"1): ", "2, check 0x78): ", "3, check 0x78): x"};
    for (int length = 1; length <= 3; ++length) {
        QTest::addRow("length %d", length)
            << Blocks(Record(a) + QByteArray(1, char(length)) + QByteArray(length - 1, 'x') +
                          Record(b) + '\0',
                      1)
            << QList<int>{3}
            << QString::fromLatin1(a + "\r\n") + failed +
                   QString::fromLatin1(QByteArray(shortLines[length - 1]) + "\r\n" + b + "\r\n");
    }
    QTest::newRow("data bytes keep their codes")
        << Blocks(Record(QByteArray("\xE9\x01\xFF", 3)) + '\0', 1) << QList<int>{3}
        << (QString(QChar(0xE9)) + QChar(0x01) + QChar(0xFF) + QStringLiteral("\r\n"));

    // A record ending exactly at the last byte held waits for one more byte.
    const QByteArray fills64 = Record(QByteArray(62, 'F'));
    QTest::newRow("record ends at the block's end")
        << Blocks(fills64 + '\0', 2) << QList<int>{1, 3}
        << QString::fromLatin1(QByteArray(62, 'F') + "\r\n");

    // The buffer holds 251 bytes: a record of up to 187 bytes always leaves room for the next
    // block; a longer one fails the read when it is still incomplete with more than 187 held.
    const QByteArray long187 = Record(QByteArray(185, 'L'));
    QTest::newRow("187-byte record, 187 held before a block")
        << Blocks(Record("xyz") + long187 + '\0', 4) << QList<int>{1, 1, 1, 3}
        << QString::fromLatin1("xyz\r\n" + QByteArray(185, 'L') + "\r\n");
    QTest::newRow("188-byte record, 188 held before a block")
        << Blocks(Record("xy") + Record(QByteArray(186, 'L')) + '\0', 4) << QList<int>{1, 1, 1, 2}
        << QStringLiteral("xy\r\n");
    QTest::newRow("record longer than the buffer")
        << Blocks(Record(QByteArray(250, 'L')) + '\0', 5) << QList<int>{1, 1, 1, 2} << QString();

    // A memory that never ends: every block is good and asks for more.
    QByteArray endless;
    while (endless.size() < 31 * 64)
        endless += Record(QByteArray(20, 'R'));
    QList<int> more;
    for (int i = 0; i < 31; ++i)
        more.append(1);
    QTest::newRow("31 good blocks") << Blocks(endless, 31) << more << QString();
}

void TestMemoryRecordDecoder::streams()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(QList<int>, outcomes);
    QFETCH(QString, text);
    MemoryRecordDecoder decoder;
    decoder.Reset();
    QString decoded;
    QList<int> seen;
    for (const QByteArray &block : blocks) {
        const auto result = decoder.Feed(block);
        decoded += result.text;
        seen.append(int(result.outcome));
        if (result.outcome != Outcome::More)
            break;
    }
    QCOMPARE(seen, outcomes);
    if (QByteArrayView(QTest::currentDataTag()) == "31 good blocks") {
        // Every record followed by at least one more byte is decoded, none is lost: the
        // 22-byte records at offsets 0, 22, ... up to the one ending before byte 1984.
        int complete = 0;
        while (22 * (complete + 1) < 31 * 64)
            ++complete;
        const QStringList lines = decoded.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), complete);
        QCOMPARE(decoder.Records(), complete);
        QCOMPARE(lines.count(QString(20, QLatin1Char('R'))), complete);
        return;
    }
    QCOMPARE(decoded, text);
}

// Records come one by one as well, whatever bytes they hold: a record holding CR LF is one
// record, and a failed one keeps every byte it spans, its length and check bytes included.
void TestMemoryRecordDecoder::recordsOneByOne()
{
    const QByteArray failed = Record("x\ny", -1, 0x01);
    const QList<QByteArray> blocks =
        Blocks(Record("ab\r\ncd") + failed + QByteArray("\x02\x0A") + '\0', 1);
    MemoryRecordDecoder decoder;
    const auto result = decoder.Feed(blocks[0]);
    QCOMPARE(result.outcome, Outcome::End);
    QCOMPARE(result.records.size(), 3);
    QCOMPARE(result.records[0].bytes, QByteArray("ab\r\ncd"));
    QVERIFY(!result.records[0].failed);
    QCOMPARE(result.records[1].bytes, failed);
    QVERIFY(result.records[1].failed);
    QCOMPARE(result.records[2].bytes, QByteArray("\x02\x0A"));
    QVERIFY(result.records[2].failed);
    QCOMPARE(decoder.Records(), 3);
    QCOMPARE(decoder.FailedRecords(), 2);
}

void TestMemoryRecordDecoder::recordStraddlingBlocks()
{
    // A 60-byte record, then a 20-byte record starting at stream offset 60.
    const QByteArray first(58, 'a');
    const QByteArray second(18, 'b');
    const QList<QByteArray> blocks = Blocks(Record(first) + Record(second) + '\0', 2);
    MemoryRecordDecoder decoder;
    auto result = decoder.Feed(blocks[0]);
    QCOMPARE(result.outcome, Outcome::More);
    QCOMPARE(result.text, QString::fromLatin1(first + "\r\n"));
    QCOMPARE(decoder.HeldBytes(), 4);
    result = decoder.Feed(blocks[1]);
    QCOMPARE(result.outcome, Outcome::End);
    QCOMPARE(result.text, QString::fromLatin1(second + "\r\n"));
    QCOMPARE(decoder.Records(), 2);
    QCOMPARE(decoder.GoodBlocks(), 2);
}

void TestMemoryRecordDecoder::badBlockKeepsEarlierRecords()
{
    QList<QByteArray> blocks = Blocks(Record(QByteArray(40, 'a')) + Record(QByteArray(40, 'b')) +
                                          Record(QByteArray(60, 'c')) + '\0',
                                      3);
    blocks[1][10] = char(blocks[1][10] ^ 0x01);
    MemoryRecordDecoder decoder;
    QCOMPARE(decoder.Feed(blocks[0]).text, QString::fromLatin1(QByteArray(40, 'a') + "\r\n"));
    const auto bad = decoder.Feed(blocks[1]);
    QCOMPARE(bad.outcome, Outcome::Bad);
    QVERIFY(bad.text.isEmpty());
    // A short block is bad as well.
    QCOMPARE(decoder.Feed(blocks[2].first(64)).outcome, Outcome::Bad);
}

void TestMemoryRecordDecoder::resetForgetsHeldBytes()
{
    const QList<QByteArray> blocks = Blocks(Record(QByteArray(100, 'z')) + '\0', 2);
    MemoryRecordDecoder decoder;
    QCOMPARE(decoder.Feed(blocks[0]).outcome, Outcome::More);
    decoder.Reset();
    QCOMPARE(decoder.HeldBytes(), 0);
    // A new read of an empty memory is not joined to the half record held before.
    QCOMPARE(decoder.Feed(Blocks({}, 1)[0]).text, QStringLiteral("\r\n"));
    QCOMPARE(decoder.Records(), 0);
}

QTEST_APPLESS_MAIN(TestMemoryRecordDecoder)
#include "tst_memoryrecorddecoder.moc"
