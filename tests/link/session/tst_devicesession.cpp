#include "support/fakeportlist.h"

#include "core/parameterimages.h"
#include "link/ports/portmapping.h"
#include "link/session/devicesession.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simulatedline.h"

#include <QKeyEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

// What the capture box does for a keyboard exchange: collects what the device types, and is
// emptied when the exchange asks.
class Capture : public QObject
{
public:
    explicit Capture(DeviceExchange *exchange) : m_exchange(exchange)
    {
        connect(exchange, &DeviceExchange::CaptureReset, this, [this] { m_text.clear(); });
    }

    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::event(event);
        m_text += static_cast<QKeyEvent *>(event)->text();
        m_exchange->CaptureChanged(m_text);
        return true;
    }

private:
    DeviceExchange *m_exchange;
    QString m_text;
};

// Starts `exchange` with the wedge typing into its capture, and waits for its one outcome.
template <typename Result, typename Exchange>
std::optional<Result> Finish(Exchange *exchange, SimKeyboardWedge &wedge)
{
    Capture capture(exchange);
    wedge.SetTarget(&capture);
    QSignalSpy finished(exchange, &Exchange::Finished);
    exchange->Start();
    if (finished.isEmpty() && !finished.wait(5000))
        return std::nullopt;
    return finished.at(0).at(0).template value<Result>();
}

} // namespace

class TestDeviceSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void transmit_data();
    void transmit();
    void memory_data();
    void memory();
    void target_data();
    void target();

private:
    // The windows' session on the shared settings, its serial lines to the simulated device.
    DeviceSession WindowSession(PortMapping *ports = nullptr)
    {
        DeviceSession session(m_settings, ports, &m_wedge);
        session.SetLineMaker([this] { return std::make_unique<SimulatedLine>(m_device); });
        return session;
    }

    SimDevice m_device;
    SimKeyboardWedge m_wedge{m_device};
    LinkSettings m_settings;
};

void TestDeviceSession::init()
{
    m_device = SimDevice();
    m_wedge.ClearRecord();
    m_settings = LinkSettings();
}

void TestDeviceSession::transmit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QByteArray>("typed"); // the keyboard command written; none on the serial line
    QTest::addColumn<int>("saved");        // downloads the device kept
    const int serial = LinkSettings::kByRs232;
    const int keyboard = LinkSettings::kByKeyboard;
    const int download = int(ExchangeKind::Download);
    const int upload = int(ExchangeKind::Upload);
    QTest::newRow("RS232, download, Save") << serial << download << true << QByteArray() << 1;
    QTest::newRow("RS232, download, Not Save") << serial << download << false << QByteArray() << 0;
    QTest::newRow("RS232, upload") << serial << upload << true << QByteArray() << 0;
    QTest::newRow("keyboard, download, Save")
        << keyboard << download << true << QByteArray("AAAAA") << 1;
    QTest::newRow("keyboard, download, Not Save")
        << keyboard << download << false << QByteArray("BBBBB") << 0;
    QTest::newRow("keyboard, upload") << keyboard << upload << true << QByteArray("CCCCC") << 0;
    QTest::newRow("keyboard, version")
        << keyboard << int(ExchangeKind::Version) << false << QByteArray("CCCCC") << 0;
}

void TestDeviceSession::transmit()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(bool, save);
    QFETCH(QByteArray, typed);
    QFETCH(int, saved);
    m_settings.LinkMode = mode;
    m_settings.SaveFlag = save;
    m_device.image.fill(0x5A);
    Image image = FactoryImage();
    std::unique_ptr<LinkExchange> exchange(WindowSession().MakeExchange(ExchangeKind(kind), image));
    const auto result = Finish<ExchangeResult>(exchange.get(), m_wedge);
    QVERIFY(result);
    QCOMPARE(result->outcome, ExchangeOutcome::Good);
    QCOMPARE(result->kind, ExchangeKind(kind));
    QCOMPARE(m_wedge.Written().left(5), typed);
    QCOMPARE(m_device.DownloadsSaved(), saved);
    if (kind == int(ExchangeKind::Download) && saved > 0)
        QCOMPARE(m_device.image, image);
    // An upload's answer overwrites its section of the image; a version answer changes nothing.
    QCOMPARE(image[0] == 0x5A, kind == int(ExchangeKind::Upload));
}

void TestDeviceSession::memory_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("records"); // decoded by a serial read
    const int records = int(SimDevice::SampleMemory().size());
    QTest::newRow("RS232, read") << LinkSettings::kByRs232 << int(MemoryKind::Read) << QByteArray()
                                 << records;
    QTest::newRow("RS232, clear") << LinkSettings::kByRs232 << int(MemoryKind::Clear)
                                  << QByteArray() << 0;
    QTest::newRow("keyboard, clear")
        << LinkSettings::kByKeyboard << int(MemoryKind::Clear) << QByteArray("NNNNN") << 0;
}

void TestDeviceSession::memory()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(QByteArray, typed);
    QFETCH(int, records);
    m_settings.LinkMode = mode;
    m_device.memory = SimDevice::SampleMemory();
    std::unique_ptr<MemoryExchange> exchange(WindowSession().MakeMemoryExchange(MemoryKind(kind)));
    const auto result = Finish<MemoryResult>(exchange.get(), m_wedge);
    QVERIFY(result);
    QCOMPARE(result->outcome, ExchangeOutcome::Good);
    QCOMPARE(result->keyboard, !typed.isEmpty());
    QCOMPARE(result->records, records);
    QCOMPARE(m_wedge.Written().left(5), typed);
    QCOMPARE(m_device.memory.isEmpty(), kind == int(MemoryKind::Clear));
}

void TestDeviceSession::target_data()
{
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("opened"); // where the serial line went; empty: keyboard path
    QTest::addColumn<QString>("words");
    // "Com 2" leads to the adapter chosen for it in the port mapping.
    QTest::newRow("window, Com 2 as mapped")
        << false << LinkSettings::kByRs232 << QStringLiteral("opened /dev/ttyK30 at 19200,N,8,2")
        << QStringLiteral("on Com 2");
    QTest::newRow("window, keyboard") << false << LinkSettings::kByKeyboard << QString()
                                      << QStringLiteral("on the keyboard path");
    // k30cfg-cli's session goes to the device its --port named, whatever the window's link.
    QTest::newRow("command line, device path")
        << true << LinkSettings::kByKeyboard << QStringLiteral("opened /dev/pts/77 at 4800,N,8,1")
        << QStringLiteral("on /dev/pts/77");
}

void TestDeviceSession::target()
{
    QFETCH(bool, commandLine);
    QFETCH(int, mode);
    QFETCH(QString, opened);
    QFETCH(QString, words);
    FakePortList list;
    list.ports = {Adapter(QStringLiteral("/dev/ttyK30"), QStringLiteral("A50285BI"))};
    PortMapping ports(list);
    PortChoices choices;
    choices[1] = PortChoice::Of(list.ports.front());
    ports.SetChoices(choices);
    m_settings.LinkMode = mode;
    m_settings.CommPort = 2;
    m_settings.BaudSetting = QStringLiteral("19200");
    m_settings.FrameSetting = QStringLiteral("N,8,2 ");
    DeviceSession session =
        commandLine
            ? DeviceSession({0, QStringLiteral("/dev/pts/77"), QStringLiteral("4800,N,8,1 ")})
            : WindowSession(&ports);
    session.SetLineMaker([this] { return std::make_unique<SimulatedLine>(m_device); });
    QCOMPARE(session.DeviceWords(), words);
    Image image = FactoryImage();
    std::unique_ptr<LinkExchange> exchange(session.MakeExchange(ExchangeKind::Version, image));
    const auto result = Finish<ExchangeResult>(exchange.get(), m_wedge);
    QVERIFY(result);
    QCOMPARE(result->outcome, ExchangeOutcome::Good);
    QCOMPARE(m_device.Log().filter(QStringLiteral("opened ")),
             opened.isEmpty() ? QStringList() : QStringList{opened});
    QCOMPARE(m_wedge.Written().isEmpty(), !opened.isEmpty());
}

QTEST_MAIN(TestDeviceSession)
#include "tst_devicesession.moc"
