#include "fakeportlist.h"
#include "link/comroute.h"
#include "link/portmapping.h"
#include "link/serialdevice.h"

#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(PortChoices)

namespace {

const QString kUsb0 = QStringLiteral("/dev/ttyUSB0");
const QString kUsb1 = QStringLiteral("/dev/ttyUSB1");
const QString kSerialA = QStringLiteral("A50285BI");
const QString kSerialB = QStringLiteral("FT9XK2QW");

PortChoices ChoiceFor(int commPort, const PortChoice &choice)
{
    PortChoices choices;
    choices[commPort - 1] = choice;
    return choices;
}

} // namespace

// Which device each "Com n" reaches, from the ports present, the choices kept and the
// environment; the port list comes from a fake, the choices from a settings file of the test.
class TestPortRouting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void routing_data();
    void routing();
    void keptBySerialAcrossRestart();
    void followsWhileWatched();
};

void TestPortRouting::routing_data()
{
    QTest::addColumn<QList<PortDetails>>("present");
    QTest::addColumn<PortChoices>("choices");
    QTest::addColumn<QStringList>("environment"); // K30CFG_COM1 to K30CFG_COM4
    QTest::addColumn<int>("commPort");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("origin");
    QTest::addColumn<QString>("text"); // the first line of the port option's tool tip

    const QStringList none{{}, {}, {}, {}};
    const PortDetails a0 = Adapter(kUsb0, kSerialA);
    const PortDetails a1 = Adapter(kUsb1, kSerialA);
    const PortDetails b0 = Adapter(kUsb0, kSerialB);
    const PortChoice chosenA = PortChoice::Of(a0);
    const QString s0 = StandardSerialDevice(1);
    const int standard = int(RouteOrigin::Standard);
    const int chosen = int(RouteOrigin::Choice);

    QTest::newRow("nothing present")
        << QList<PortDetails>{} << PortChoices{} << none << 3 << StandardSerialDevice(3) << standard
        << QStringLiteral("Com 3: ") + StandardSerialDevice(3);
    QTest::newRow("the only adapter takes Com 1")
        << QList{a0} << PortChoices{} << none << 1 << kUsb0 << int(RouteOrigin::OnlyAdapter)
        << QStringLiteral("Com 1: /dev/ttyUSB0, FT232R USB UART, serial A50285BI (the only USB "
                          "adapter)");
    QTest::newRow("... and not Com 2")
        << QList{a0} << PortChoices{} << none << 2 << StandardSerialDevice(2) << standard
        << QStringLiteral("Com 2: ") + StandardSerialDevice(2);
    QTest::newRow("Com 1 present: it stays") << QList{BuiltIn(s0), a0} << PortChoices{} << none << 1
                                             << s0 << standard << QStringLiteral("Com 1: ") + s0;
    QTest::newRow("two adapters: neither")
        << QList{a0, Adapter(kUsb1, kSerialB)} << PortChoices{} << none << 1 << s0 << standard
        << QStringLiteral("Com 1: ") + s0;
    QTest::newRow("adapter chosen for Com 2: not also Com 1")
        << QList{a0} << ChoiceFor(2, chosenA) << none << 1 << s0 << standard
        << QStringLiteral("Com 1: ") + s0;
    QTest::newRow("adapter fixed for Com 2 by the environment: not also Com 1")
        << QList{a0} << PortChoices{} << QStringList{{}, kUsb0, {}, {}} << 1 << s0 << standard
        << QStringLiteral("Com 1: ") + s0;
    QTest::newRow("chosen adapter plugged in elsewhere")
        << QList{a1} << ChoiceFor(2, chosenA) << none << 2 << kUsb1 << chosen
        << QStringLiteral("Com 2: /dev/ttyUSB1, FT232R USB UART, serial A50285BI");
    // Another adapter now has the chosen one's old path: it is not the device chosen.
    QTest::newRow("chosen adapter unplugged, its path taken")
        << QList{b0} << ChoiceFor(2, chosenA) << none << 2 << QString() << chosen
        << QStringLiteral("Com 2: /dev/ttyUSB0, FT232R USB UART, serial A50285BI (not present)");
    QTest::newRow("chosen by path, not present")
        << QList<PortDetails>{} << ChoiceFor(4, PortChoice{{}, QStringLiteral("/dev/ttyACM0"), {}})
        << none << 4 << QStringLiteral("/dev/ttyACM0") << chosen
        << QStringLiteral("Com 4: /dev/ttyACM0 (not present)");
    QTest::newRow("one serial number on two adapters: the chosen path first")
        << QList{Adapter(kUsb0, kSerialB), Adapter(kUsb1, kSerialB)}
        << ChoiceFor(3, PortChoice{kSerialB, kUsb1, {}}) << none << 3 << kUsb1 << chosen
        << QStringLiteral("Com 3: /dev/ttyUSB1, FT232R USB UART, serial FT9XK2QW");
    QTest::newRow("the environment wins over a choice")
        << QList{a0} << ChoiceFor(2, chosenA)
        << QStringList{{}, QStringLiteral("/dev/pts/9"), {}, {}} << 2
        << QStringLiteral("/dev/pts/9") << int(RouteOrigin::Environment)
        << QStringLiteral("Com 2: /dev/pts/9 (set by K30CFG_COM2)");
    QTest::newRow("... and over the only adapter")
        << QList{a0} << PortChoices{} << QStringList{kUsb0, {}, {}, {}} << 1 << kUsb0
        << int(RouteOrigin::Environment)
        << QStringLiteral("Com 1: /dev/ttyUSB0, FT232R USB UART, serial A50285BI (set by "
                          "K30CFG_COM1)");
}

void TestPortRouting::routing()
{
    QFETCH(QList<PortDetails>, present);
    QFETCH(PortChoices, choices);
    QFETCH(QStringList, environment);
    QFETCH(int, commPort);
    auto unset = qScopeGuard([] {
        for (int n = 1; n <= kComPortCount; ++n)
            qunsetenv(qPrintable(ComVariableName(n)));
    });
    for (int n = 1; n <= kComPortCount; ++n) {
        if (!environment[n - 1].isEmpty())
            qputenv(qPrintable(ComVariableName(n)), environment[n - 1].toLocal8Bit());
    }
    const ComRoute route = RouteComPort(commPort, choices, present);
    QTEST(route.device, "device");
    QTEST(int(route.origin), "origin");
    QTEST(ComRouteText(route), "text");
    QVERIFY(SerialPortToolTip(route).startsWith(ComRouteText(route)));
}

void TestPortRouting::keptBySerialAcrossRestart()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ports.conf"));
    auto settings = [&file] { return std::make_unique<QSettings>(file, QSettings::IniFormat); };
    FakePortList list;
    list.ports = {BuiltIn(StandardSerialDevice(1)), Adapter(kUsb0, kSerialA),
                  Adapter(kUsb1, kSerialB)};
    {
        PortMapping ports(list, settings());
        PortChoices choices;
        choices[1] = PortChoice::Of(list.ports[1]);
        ports.SetChoices(choices);
        QCOMPARE(ports.Route(2).device, kUsb0);
    }
    // Next run: the adapters came back in the other order.
    list.ports = {Adapter(kUsb0, kSerialB), Adapter(kUsb1, kSerialA)};
    PortMapping ports(list, settings());
    QCOMPARE(ports.Route(2).device, kUsb1);
    QCOMPARE(ports.Route(2).origin, RouteOrigin::Choice);
    // Back to the standard device.
    ports.SetChoices({});
    QCOMPARE(PortMapping(list, settings()).Route(2).device, StandardSerialDevice(2));
}

void TestPortRouting::followsWhileWatched()
{
    FakePortList list;
    PortMapping ports(list);
    QSignalSpy changed(&ports, &PortMapping::Changed);
    QVERIFY(!ports.IsFollowed());
    auto watcher = std::make_unique<QObject>();
    ports.Follow(watcher.get());
    QVERIFY(ports.IsFollowed());
    list.ports = {Adapter(kUsb0, kSerialA)};
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 2000);
    QCOMPARE(ports.Route(1).device, kUsb0);
    QCOMPARE(ports.TakeAdapterNote(), QStringLiteral("Com 1 uses /dev/ttyUSB0 (FT232R USB UART)"));
    QCOMPARE(ports.TakeAdapterNote(), QString());
    // The dialog that followed it is gone: nobody reads the list any more.
    watcher.reset();
    QVERIFY(!ports.IsFollowed());
}

QTEST_GUILESS_MAIN(TestPortRouting)
#include "tst_portrouting.moc"
