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

// The serial line to the simulated device, writing down what crosses it: "> " and the bytes
// the tool wrote, "< " and the bytes it read, in hex, one entry per turn of the conversation.
// The same test runs in the Linux and the Windows build, so both build the same frames and
// read the same answers.
class TapLine final : public SerialLine
{
public:
    TapLine(SimDevice &device, QStringList &transcript) : m_line(device), m_transcript(transcript)
    {
        connect(&m_line, &SerialLine::ReadyRead, this, &SerialLine::ReadyRead);
    }

    bool Open(const QString &device, const SerialLineSettings &settings) override
    {
        return m_line.Open(device, settings);
    }
    void Close() override { m_line.Close(); }
    bool IsOpen() const override { return m_line.IsOpen(); }
    qint64 BytesAvailable() const override { return m_line.BytesAvailable(); }
    QByteArray ReadAll() override
    {
        const QByteArray bytes = m_line.ReadAll();
        Note('<', bytes);
        return bytes;
    }
    void DiscardInput() override { m_line.DiscardInput(); }
    void Write(const QByteArray &bytes) override
    {
        Note('>', bytes);
        m_line.Write(bytes);
    }
    void Flush() override { m_line.Flush(); }

private:
    void Note(char direction, const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return;
        const QString hex = QString::fromLatin1(bytes.toHex());
        if (!m_transcript.isEmpty() && m_transcript.constLast().front() == QLatin1Char(direction))
            m_transcript.last() += hex;
        else
            m_transcript << QString::fromLatin1(&direction, 1) + QLatin1Char(' ') + hex;
    }

    SimulatedLine m_line;
    QStringList &m_transcript;
};

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
        session.SetLineMaker([this] { return std::make_unique<TapLine>(m_device, m_line); });
        return session;
    }

    SimDevice m_device;
    QStringList m_line; // what crossed the serial line
    SimKeyboardWedge m_wedge{m_device};
    LinkSettings m_settings;
};

void TestDeviceSession::init()
{
    m_device = SimDevice();
    m_wedge.ClearRecord();
    m_line.clear();
    m_settings = LinkSettings();
}

void TestDeviceSession::transmit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QByteArray>("typed"); // the keyboard command written; none on the serial line
    QTest::addColumn<int>("saved");        // downloads the device kept
    QTest::addColumn<QStringList>("line"); // what crossed the serial line
    const int serial = LinkSettings::kByRs232;
    const int keyboard = LinkSettings::kByKeyboard;
    const int download = int(ExchangeKind::Download);
    const int upload = int(ExchangeKind::Upload);
    const int version = int(ExchangeKind::Version);
    // The factory image as the download frame carries it, after its command byte and 84.
    const QString factory =
        QStringLiteral("4142434445464748ffffffffffffffff0800fffc02ff2266000030e217"
                       "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffff"
                       "ffffffffffffffffffffffffffffffffffffff253f3b3f2b3f0f0d");
    // The upload answer: the length 25, the device's 25 decoder bytes, its two version texts
    // ("K30SIM V1.00", "2024-05-01"), the check byte and the rest of the answer's length.
    const QStringList uploadLine{
        QStringLiteral("> 02800381"),
        QStringLiteral("< 19"
                       "5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a"
                       "4b333053494d2056312e3030"
                       "323032342d30352d3031"
                       "35"
                       "0000000000000000000000000000000000000000000000000000000000000000000000")};
    QTest::newRow("RS232, download, Save")
        << serial << download << true << QByteArray() << 1
        << QStringList{QStringLiteral("> 020154") + factory + QStringLiteral("0323"),
                       QStringLiteral("< 07")};
    QTest::newRow("RS232, download, Not Save")
        << serial << download << false << QByteArray() << 0
        << QStringList{QStringLiteral("> 020254") + factory + QStringLiteral("0320"),
                       QStringLiteral("< 07")};
    QTest::newRow("RS232, upload") << serial << upload << true << QByteArray() << 0 << uploadLine;
    QTest::newRow("RS232, version")
        << serial << version << false << QByteArray() << 0 << uploadLine;
    QTest::newRow("keyboard, download, Save")
        << keyboard << download << true << QByteArray("AAAAA") << 1 << QStringList{};
    QTest::newRow("keyboard, download, Not Save")
        << keyboard << download << false << QByteArray("BBBBB") << 0 << QStringList{};
    QTest::newRow("keyboard, upload")
        << keyboard << upload << true << QByteArray("CCCCC") << 0 << QStringList{};
    QTest::newRow("keyboard, version")
        << keyboard << version << false << QByteArray("CCCCC") << 0 << QStringList{};
}

void TestDeviceSession::transmit()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(bool, save);
    QFETCH(QByteArray, typed);
    QFETCH(int, saved);
    QFETCH(QStringList, line);
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
    QCOMPARE(m_line, line);
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
    QTest::addColumn<QStringList>("line");
    const int records = int(SimDevice::SampleMemory().size());
    // The read: one block holding the four sample records (a length, the data, a check
    // byte each) and the end of data, then its check byte; the tool's reply "P".
    QTest::newRow("RS232, read") << LinkSettings::kByRs232 << int(MemoryKind::Read) << QByteArray()
                                 << records
                                 << QStringList{QStringLiteral("> 02820383"),
                                                QStringLiteral(
                                                    "< 0f3430303633383133333339333130114b33302d"
                                                    "53414d504c452d303030324c0d48454c4c4f20574f524c"
                                                    "44200f393738303230313633333631303400000000"
                                                    "1c"),
                                                QStringLiteral("> 50")};
    QTest::newRow("RS232, clear") << LinkSettings::kByRs232 << int(MemoryKind::Clear)
                                  << QByteArray() << 0
                                  << QStringList{QStringLiteral("> 02830382"),
                                                 QStringLiteral("< 07")};
    QTest::newRow("keyboard, clear") << LinkSettings::kByKeyboard << int(MemoryKind::Clear)
                                     << QByteArray("NNNNN") << 0 << QStringList{};
}

void TestDeviceSession::memory()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(QByteArray, typed);
    QFETCH(int, records);
    QFETCH(QStringList, line);
    m_settings.LinkMode = mode;
    m_device.memory = SimDevice::SampleMemory();
    std::unique_ptr<MemoryExchange> exchange(WindowSession().MakeMemoryExchange(MemoryKind(kind)));
    const auto result = Finish<MemoryResult>(exchange.get(), m_wedge);
    QVERIFY(result);
    QCOMPARE(result->outcome, ExchangeOutcome::Good);
    QCOMPARE(result->keyboard, !typed.isEmpty());
    QCOMPARE(result->records, records);
    QCOMPARE(m_wedge.Written().left(5), typed);
    QCOMPARE(m_line, line);
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
