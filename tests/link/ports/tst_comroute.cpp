#include "support/fakeportlist.h"

#include "link/ports/comroute.h"
#include "link/ports/serialdevice.h"

#include <QScopeGuard>
#include <QTest>

Q_DECLARE_METATYPE(PortChoices)
Q_DECLARE_METATYPE(RouteOrigin)

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

// Which device each "Com n" reaches, from the ports present (a fake list), the choices kept
// and the environment. (Keeping the choices and following the list: tst_portmappingdialog.)
class TestComRoute : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void routing_data();
    void routing();
};

void TestComRoute::routing_data()
{
    QTest::addColumn<QList<PortDetails>>("present");
    QTest::addColumn<PortChoices>("choices");
    QTest::addColumn<QStringList>("environment"); // K30CFG_COM1 to K30CFG_COM4
    QTest::addColumn<int>("commPort");
    QTest::addColumn<QString>("device");
    QTest::addColumn<RouteOrigin>("origin");

    const QStringList none{{}, {}, {}, {}};
    const PortDetails a0 = Adapter(kUsb0, kSerialA);
    const PortChoice chosenA = PortChoice::Of(a0);
    const QString s0 = StandardSerialDevice(1);
    const auto standard = RouteOrigin::Standard;
    const auto chosen = RouteOrigin::Choice;
    using Ports = QList<PortDetails>;

    QTest::newRow("nothing present")
        << Ports{} << PortChoices{} << none << 3 << StandardSerialDevice(3) << standard;
    QTest::newRow("the only adapter takes Com 1")
        << Ports{a0} << PortChoices{} << none << 1 << kUsb0 << RouteOrigin::OnlyAdapter;
    QTest::newRow("... and not Com 2")
        << Ports{a0} << PortChoices{} << none << 2 << StandardSerialDevice(2) << standard;
    QTest::newRow("Com 1 present: it stays")
        << Ports{BuiltIn(s0), a0} << PortChoices{} << none << 1 << s0 << standard;
    QTest::newRow("two adapters: neither")
        << Ports{a0, Adapter(kUsb1, kSerialB)} << PortChoices{} << none << 1 << s0 << standard;
    QTest::newRow("adapter chosen for Com 2: not also Com 1")
        << Ports{a0} << ChoiceFor(2, chosenA) << none << 1 << s0 << standard;
    QTest::newRow("adapter fixed for Com 2 by the environment: not also Com 1")
        << Ports{a0} << PortChoices{} << QStringList{{}, kUsb0, {}, {}} << 1 << s0 << standard;
    QTest::newRow("chosen adapter plugged in elsewhere")
        << Ports{Adapter(kUsb1, kSerialA)} << ChoiceFor(2, chosenA) << none << 2 << kUsb1 << chosen;
    // Another adapter now has the chosen one's old path: it is not the device chosen.
    QTest::newRow("chosen adapter unplugged, its path taken")
        << Ports{Adapter(kUsb0, kSerialB)} << ChoiceFor(2, chosenA) << none << 2 << QString()
        << chosen;
    QTest::newRow("chosen by path, not present")
        << Ports{} << ChoiceFor(4, PortChoice{{}, QStringLiteral("/dev/ttyACM0"), {}}) << none << 4
        << QStringLiteral("/dev/ttyACM0") << chosen;
    QTest::newRow("one serial number on two adapters: the chosen path first")
        << Ports{Adapter(kUsb0, kSerialB), Adapter(kUsb1, kSerialB)}
        << ChoiceFor(3, PortChoice{kSerialB, kUsb1, {}}) << none << 3 << kUsb1 << chosen;
#ifdef Q_OS_WIN
    // Windows names its ports COM1, COM2, ... in Qt's port list, as the standard devices are
    // named: COM1 present keeps "Com 1" (and so --port 1) from the one adapter on COM3.
    const PortDetails a3 = Adapter(QStringLiteral("COM3"), kSerialA);
    QTest::newRow("Windows: COM1 present: it stays")
        << Ports{BuiltIn(QStringLiteral("COM1")), a3} << PortChoices{} << none << 1
        << QStringLiteral("COM1") << standard;
    QTest::newRow("Windows: no COM1: the only adapter takes Com 1")
        << Ports{a3} << PortChoices{} << none << 1 << QStringLiteral("COM3")
        << RouteOrigin::OnlyAdapter;
    QTest::newRow("Windows: Com 4 is COM4")
        << Ports{a3} << PortChoices{} << none << 4 << QStringLiteral("COM4") << standard;
#endif
    QTest::newRow("the environment wins over a choice")
        << Ports{a0} << ChoiceFor(2, chosenA)
        << QStringList{{}, QStringLiteral("/dev/pts/9"), {}, {}} << 2
        << QStringLiteral("/dev/pts/9") << RouteOrigin::Environment;
    QTest::newRow("... and over the only adapter")
        << Ports{a0} << PortChoices{} << QStringList{QStringLiteral("/dev/pts/9"), {}, {}, {}} << 1
        << QStringLiteral("/dev/pts/9") << RouteOrigin::Environment;
}

void TestComRoute::routing()
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
    QTEST(route.origin, "origin");
}

QTEST_GUILESS_MAIN(TestComRoute)
#include "tst_comroute.moc"
