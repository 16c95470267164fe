#include "link/session/devicefinder.h"
#include "support/simulatedk30.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(ProbeResult::Outcome)

namespace {

// Short enough for the tests, long enough for a simulator in this process to start answering.
constexpr LinkDuration kTestMargin{150};

QList<ProbeResult> Find(const QStringList &paths, const SerialLineSettings &first = {})
{
    DeviceFinder finder;
    QSignalSpy finished(&finder, &DeviceFinder::Finished);
    finder.Start(paths, first, kTestMargin);
    if (!finished.wait(20000))
        return {};
    return finder.Results();
}

} // namespace

// The search for a K30 on serial ports: simulated devices on pseudo-terminals set to one line
// setting each, silent, slow or noisy ones, a port held by another program, a missing one and
// a port named twice, all probed at once.
class TestDeviceFinder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void probeOrder();
    void oneDevice_data();
    void oneDevice();
    void severalPortsAtOnce();
};

void TestDeviceFinder::probeOrder()
{
    const QList<SerialLineSettings> order = ProbeOrder({4800, 7, 2});
    QCOMPARE(order.size(), 16);
    QCOMPARE(order.at(0), (SerialLineSettings{4800, 7, 2}));
    QCOMPARE(order.at(1), (SerialLineSettings{9600, 8, 1}));
    // 1200 baud is the tool's, not the device's: not tried.
    QCOMPARE(ProbeOrder({1200, 8, 1}).at(0), (SerialLineSettings{9600, 8, 1}));
}

void TestDeviceFinder::oneDevice_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("hangUp"); // the line goes dead after this many bytes; -1: never
    QTest::addColumn<ProbeResult::Outcome>("outcome");
    QTest::addColumn<int>("tried");
    using enum ProbeResult::Outcome;
    QTest::newRow("9600 8 1, the second tried") << 9600 << 1 << 0 << false << -1 << Found << 2;
    QTest::newRow("19200 8 2") << 19200 << 2 << 0 << false << -1 << Found << 7;
    QTest::newRow("2400 8 2, the last speed") << 2400 << 2 << 0 << false << -1 << Found << 14;
    QTest::newRow("silent") << 0 << 1 << 0 << true << -1 << NotFound << 16;
    // Its answer comes while the next setting is tried, where it would be taken for the
    // device's unless asked again.
    QTest::newRow("slower than the margin") << 9600 << 1 << 400 << false << -1 << NotFound << 16;
    // Pulled during the first setting: the port is gone, not a port where no K30 answered.
    QTest::newRow("cable pulled") << 2400 << 2 << 0 << false << 1 << Missing << 2;
}

void TestDeviceFinder::oneDevice()
{
    QFETCH(int, baud);
    QFETCH(int, stopBits);
    QFETCH(int, delayMs);
    QFETCH(bool, silent);
    QFETCH(int, hangUp);
    QFETCH(ProbeResult::Outcome, outcome);
    QFETCH(int, tried);
    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    k30.server.SetDeviceLine(baud, 8, stopBits);
    k30.device.faults.silent = silent;
    k30.device.faults.delayMs = delayMs;
    k30.device.faults.hangUpAfter = hangUp;
    const QList<ProbeResult> results = Find({k30.Path()}, {4800, 8, 1});
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.at(0).outcome, outcome);
    QCOMPARE(results.at(0).tried, tried);
    if (outcome == ProbeResult::Outcome::Found)
        QCOMPARE(results.at(0).settings, (SerialLineSettings{baud, 8, stopBits}));
    QVERIFY(hangUp >= 0 || k30.PortIsFree());
}

void TestDeviceFinder::severalPortsAtOnce()
{
    SimulatedK30 plain;
    SimulatedK30 fast;
    SimulatedK30 held;
    SimulatedK30 noisy;
    for (const SimulatedK30 *k30 : {&plain, &fast, &held, &noisy})
        QVERIFY(k30->IsOpen());
    fast.server.SetDeviceLine(19200, 8, 1);
    // A device that is no K30 and answers every request with a long run of noise.
    noisy.device.faults.garbage = 300;
    // Version fields with control bytes, quotes and bytes that are no UTF-8 come back as sent.
    plain.device.version1 = QStringLiteral("A\x1b[2J\t\"q\"\\bc");
    plain.device.version2 = QStringLiteral("\u00ff\u0080\r\n\x01xyzzz");
    QSerialPort other(held.Path());
    QVERIFY(other.open(QIODevice::ReadWrite));
    const QList<ProbeResult> results =
        Find({plain.Path(), fast.Path(), held.Path(), QStringLiteral("/dev/no-such-port"),
              plain.Path(), noisy.Path()});
    QCOMPARE(results.size(), 5);
    using enum ProbeResult::Outcome;
    QCOMPARE(results.at(0).outcome, Found);
    QCOMPARE(results.at(0).version1, plain.device.version1);
    QCOMPARE(results.at(0).version2, plain.device.version2);
    QCOMPARE(results.at(1).outcome, Found);
    QCOMPARE(results.at(1).settings, (SerialLineSettings{19200, 8, 1}));
    QCOMPARE(results.at(2).outcome, Busy);
    QCOMPARE(results.at(3).outcome, Missing);
    QCOMPARE(results.at(4).path, noisy.Path());
    QCOMPARE(results.at(4).outcome, NotFound);
    // Held by another program: not a byte written to it.
    QVERIFY(held.device.Log().isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceFinder)
#include "tst_devicefinder.moc"
