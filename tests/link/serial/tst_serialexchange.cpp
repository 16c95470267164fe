#include "support/images.h"
#include "support/simulatedk30.h"

#include "link/serial/serialexchange.h"
#include "link/serial/serialportline.h"
#include "link/transmitmessages.h"
#include "link/wire/linkframes.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

namespace {

// Fault tests that are not about a time-out wait less than the device's real ones; every
// real time-out has its own test below.
LinkTimings ShortTimings()
{
    LinkTimings timings;
    timings.downloadTimeout = LinkDuration(600);
    timings.uploadTimeout = LinkDuration(600);
    return timings;
}

// A device that says nothing, on a pseudo-terminal the test writes to from the device's end.
class SilentLine
{
public:
    SilentLine()
    {
        m_device = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_device < 0 || grantpt(m_device) != 0 || unlockpt(m_device) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_device));
        // Held open and raw, so that what the device sends waits on the PC's end byte for
        // byte until the tool opens it.
        m_pc = ::open(ptsname(m_device), O_RDWR | O_NOCTTY);
        termios raw{};
        if (m_pc >= 0 && tcgetattr(m_pc, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(m_pc, TCSANOW, &raw);
        }
    }
    ~SilentLine()
    {
        for (int fd : {m_pc, m_device}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    SilentLine(const SilentLine &) = delete;
    SilentLine &operator=(const SilentLine &) = delete;

    bool IsOpen() const { return m_pc >= 0; }
    QString Path() const { return m_path; }
    bool Send(const QByteArray &bytes) const
    {
        return ::write(m_device, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    }
    // Bytes the device sent that wait unread on the PC's end.
    int Waiting() const
    {
        int count = 0;
        return ::ioctl(m_pc, FIONREAD, &count) == 0 ? count : -1;
    }

private:
    int m_device = -1;
    int m_pc = -1;
    QString m_path;
};

} // namespace

class TestSerialExchange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void download_data();
    void download();
    void upload_data();
    void upload();
    void version();
    void faults_data();
    void faults();
    void answerAtLineSpeed_data();
    void answerAtLineSpeed();
    void silentDownloadRealTimeout();
    void silentUploadRealTimeout();
    void missingPort();
    void portHeldByAnotherProgram();
    void settingsTextInUse();
    void portFromEnvironment();
    void abortClosesPort();
    void staleBytesAreDiscarded_data();
    void staleBytesAreDiscarded();

private:
    // Runs one exchange to its end and returns its result; on the simulated K30 unless
    // another device is named.
    ExchangeResult Run(ExchangeKind kind, Image &image, bool save = true,
                       const LinkTimings &timings = ShortTimings(),
                       const QString &settings = QStringLiteral("9600,N,8,1 "),
                       const QString &device = {});

    std::unique_ptr<SimulatedK30> m_k30;
};

void TestSerialExchange::init()
{
    m_k30 = std::make_unique<SimulatedK30>();
    QVERIFY2(m_k30->IsOpen(), qPrintable(m_k30->server.ErrorString()));
}

void TestSerialExchange::cleanup()
{
    m_k30.reset();
}

ExchangeResult TestSerialExchange::Run(ExchangeKind kind, Image &image, bool save,
                                       const LinkTimings &timings, const QString &settings,
                                       const QString &device)
{
    SerialExchange exchange(kind, std::make_unique<SerialPortLine>(),
                            {2, device.isEmpty() ? m_k30->Path() : device, settings}, image, save,
                            timings);
    QSignalSpy finished(&exchange, &LinkExchange::Finished);
    exchange.Start();
    if (finished.isEmpty())
        finished.wait(int(timings.uploadTimeout.count()) + 1000);
    if (finished.size() != 1)
        return {kind, ExchangeOutcome::Bad, -1, QStringLiteral("no single Finished"), {}};
    return finished.at(0).at(0).value<ExchangeResult>();
}

void TestSerialExchange::download_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<int>("garbage");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("deviceKeeps");
    QTest::newRow("save") << true << false << 0 << int(ExchangeOutcome::Good) << true;
    QTest::newRow("not save") << false << false << 0 << int(ExchangeOutcome::Good) << false;
    QTest::newRow("refused") << true << true << 0 << int(ExchangeOutcome::Bad) << false;
    QTest::newRow("garbage first") << true << false << 3 << int(ExchangeOutcome::Bad) << true;
}

void TestSerialExchange::download()
{
    QFETCH(bool, save);
    QFETCH(bool, refuse);
    QFETCH(int, garbage);
    m_k30->device.faults.refuseDownload = refuse;
    m_k30->device.faults.garbage = garbage;
    const auto before = m_k30->device.image;
    Image image = FilledImage(0x42);
    image[84] = 0x17;
    const ExchangeResult result = Run(ExchangeKind::Download, image, save);
    QTEST(int(result.outcome), "outcome");
    QFETCH(bool, deviceKeeps);
    // What the device keeps is what it will upload next: a "Save" download changes it.
    QCOMPARE(m_k30->device.image == image, deviceKeeps);
    if (!deviceKeeps)
        QCOMPARE(m_k30->device.image, before);
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("received ") +
                                         SimHex(BuildDownloadFrame(image, save))));
    QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::upload_data()
{
    QTest::addColumn<bool>("reader");
    QTest::newRow("decoder section") << false;
    QTest::newRow("reader section") << true;
}

void TestSerialExchange::upload()
{
    QFETCH(bool, reader);
    m_k30->device.section = reader ? SimDevice::Section::Reader : SimDevice::Section::Decoder;
    for (int i = 0; i < kImageSize; ++i)
        m_k30->device.image[i] = std::uint8_t(200 - i);
    Image image = FilledImage(0x11);
    const ExchangeResult result = Run(ExchangeKind::Upload, image);
    QCOMPARE(result.outcome, ExchangeOutcome::Good);
    QCOMPARE(TransmitMessage(result).text, QStringLiteral("   Upload OK!   "));
    for (int i = 0; i < kImageSize; ++i) {
        const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
        QCOMPARE(image[i], inSection ? std::uint8_t(200 - i) : std::uint8_t(0x11));
    }
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("received 02 80 03 81")));
    QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::version()
{
    m_k30->device.section = SimDevice::Section::Reader;
    m_k30->device.image = FilledImage(0x99);
    Image image = FilledImage(0x11);
    const ExchangeResult result = Run(ExchangeKind::Version, image);
    QCOMPARE(result.outcome, ExchangeOutcome::Good);
    QCOMPARE(image, FilledImage(0x11));
    const LinkMessage message = TransmitMessage(result);
    QCOMPARE(message.text,
             QStringLiteral("Get Firmware Version OK!\r\r   K30SIM V1.00\n\r   2024-05-01"));
    QCOMPARE(message.title, QStringLiteral("Upload Message"));
}

void TestSerialExchange::faults_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("outcome");
    const int upload = int(ExchangeKind::Upload);
    const int download = int(ExchangeKind::Download);
    QTest::newRow("wrong check") << upload << QStringLiteral("wrongCheck") << 1
                                 << int(ExchangeOutcome::Bad);
    // Garbage in front: its first byte announces a longer answer than arrived.
    QTest::newRow("garbage before upload")
        << upload << QStringLiteral("garbage") << 1 << int(ExchangeOutcome::Bad);
    QTest::newRow("short upload answer")
        << upload << QStringLiteral("short") << 40 << int(ExchangeOutcome::TimeOut);
    QTest::newRow("hang-up mid-answer")
        << upload << QStringLiteral("hangUp") << 30 << int(ExchangeOutcome::TimeOut);
    QTest::newRow("hang-up before the acknowledgement")
        << download << QStringLiteral("hangUp") << 0 << int(ExchangeOutcome::TimeOut);
    QTest::newRow("late but in time")
        << upload << QStringLiteral("delay") << 300 << int(ExchangeOutcome::Good);
    QTest::newRow("too late") << download << QStringLiteral("delay") << 900
                              << int(ExchangeOutcome::TimeOut);
}

void TestSerialExchange::faults()
{
    QFETCH(int, kind);
    QFETCH(QString, fault);
    QFETCH(int, value);
    SimFaults &faults = m_k30->device.faults;
    m_k30->device.section = SimDevice::Section::Reader;
    if (fault == QLatin1String("wrongCheck"))
        faults.wrongCheck = true;
    else if (fault == QLatin1String("garbage"))
        faults.garbage = value;
    else if (fault == QLatin1String("short"))
        faults.shortAnswer = value;
    else if (fault == QLatin1String("hangUp"))
        faults.hangUpAfter = value;
    else if (fault == QLatin1String("delay"))
        faults.delayMs = value;
    const QString path = m_k30->Path();
    Image image = FilledImage(0x11);
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult result = Run(ExchangeKind(kind), image);
    QTEST(int(result.outcome), "outcome");
    QVERIFY(clock.elapsed() < 600 + 1000);
    if (result.outcome != ExchangeOutcome::Good || kind == int(ExchangeKind::Download))
        QCOMPARE(image, FilledImage(0x11));
    if (fault != QLatin1String("hangUp"))
        QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::answerAtLineSpeed_data()
{
    QTest::addColumn<bool>("reader");
    QTest::addColumn<int>("announced"); // N of a decoder answer
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("cutTo");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("outcome");
    const int good = int(ExchangeOutcome::Good);
    // At 1200 baud the 84 bytes of a reader answer arrive in many small pieces over about
    // 700 ms; the answer is still looked at once, whole.
    QTest::newRow("reader, 1200 baud") << true << 0 << 1200 << -1 << 7000 << good;
    // A decoder answer longer than the 84 bytes looked at first: its rest arrives later.
    QTest::newRow("decoder, N = 61") << false << 61 << 9600 << -1 << 7000 << good;
    QTest::newRow("decoder, N = 255") << false << 255 << 9600 << -1 << 7000 << good;
    // Fewer bytes than announced, though more than 84: bad, once the time is up.
    QTest::newRow("decoder, N = 100 cut to 100 bytes")
        << false << 100 << 9600 << 100 << 600 << int(ExchangeOutcome::Bad);
}

void TestSerialExchange::answerAtLineSpeed()
{
    QFETCH(bool, reader);
    QFETCH(int, announced);
    QFETCH(int, timeoutMs);
    m_k30->device.section = reader ? SimDevice::Section::Reader : SimDevice::Section::Decoder;
    m_k30->device.decoderAnswerLength = announced;
    QFETCH(int, baud);
    m_k30->device.faults.baud = baud;
    QFETCH(int, cutTo);
    m_k30->device.faults.shortAnswer = cutTo;
    m_k30->device.image = FilledImage(0x5C);
    LinkTimings timings;
    timings.uploadTimeout = LinkDuration(timeoutMs);
    Image image = FilledImage(0x11);
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult result = Run(ExchangeKind::Upload, image, true, timings);
    const qint64 elapsed = clock.elapsed();
    QTEST(int(result.outcome), "outcome");
    if (result.outcome == ExchangeOutcome::Good) {
        QVERIFY(result.section == (reader ? Section::Reader : Section::Decoder));
        for (int i = 0; i < kImageSize; ++i) {
            const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
            QCOMPARE(image[i], inSection ? std::uint8_t(0x5C) : std::uint8_t(0x11));
        }
        QVERIFY2(elapsed < timeoutMs, qPrintable(QString::number(elapsed)));
    } else {
        QCOMPARE(TransmitMessage(result).text, QStringLiteral("Upload Failed!"));
        QCOMPARE(image, FilledImage(0x11));
        QVERIFY2(elapsed >= timeoutMs, qPrintable(QString::number(elapsed)));
    }
    QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::silentDownloadRealTimeout()
{
    m_k30->device.faults.silent = true;
    Image image = FilledImage(0);
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult result = Run(ExchangeKind::Download, image, true, LinkTimings{});
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(result.outcome, ExchangeOutcome::TimeOut);
    QCOMPARE(TransmitMessage(result).text, QStringLiteral("Time Out Error!"));
    QCOMPARE(TransmitMessage(result).title, QStringLiteral("CFG Message"));
    QVERIFY2(elapsed >= 3000 && elapsed < 4000, qPrintable(QString::number(elapsed)));
    QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::silentUploadRealTimeout()
{
    m_k30->device.faults.silent = true;
    Image image = FilledImage(0x33);
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult result = Run(ExchangeKind::Upload, image, true, LinkTimings{});
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(result.outcome, ExchangeOutcome::TimeOut);
    QCOMPARE(TransmitMessage(result).title, QStringLiteral("Upload Message"));
    QVERIFY2(elapsed >= 7000 && elapsed < 8000, qPrintable(QString::number(elapsed)));
    QCOMPARE(image, FilledImage(0x33));
    QVERIFY(m_k30->PortIsFree());
}

void TestSerialExchange::missingPort()
{
    Image image = FilledImage(0);
    SerialExchange exchange(
        ExchangeKind::Download, std::make_unique<SerialPortLine>(),
        {4, QStringLiteral("/dev/k30-no-such-port"), QStringLiteral("9600,N,8,1 ")}, image, true);
    QSignalSpy finished(&exchange, &LinkExchange::Finished);
    exchange.Start();
    QCOMPARE(finished.size(), 1);
    const auto result = finished.at(0).at(0).value<ExchangeResult>();
    QCOMPARE(result.outcome, ExchangeOutcome::PortNotAvailable);
    QCOMPARE(TransmitMessage(result).text, QStringLiteral("COM 4: not available."));
    QVERIFY(TransmitMessage(result).title.isEmpty());
    QVERIFY(!exchange.IsRunning());
}

void TestSerialExchange::portHeldByAnotherProgram()
{
    QSerialPort other(m_k30->Path());
    QVERIFY(other.open(QIODevice::ReadWrite));
    Image image = FilledImage(0);
    const ExchangeResult result = Run(ExchangeKind::Upload, image);
    QCOMPARE(result.outcome, ExchangeOutcome::PortNotAvailable);
    QVERIFY(m_k30->device.Log().isEmpty());
}

void TestSerialExchange::settingsTextInUse()
{
    // The line is set up from the settings text; the device side sees it. (A pseudo-terminal
    // keeps eight data bits whatever it is told, so only baud and stop bits show here.)
    Image image = FilledImage(0);
    ExchangeResult result =
        Run(ExchangeKind::Download, image, true, ShortTimings(), QStringLiteral("19200,N,8,2 "));
    QCOMPARE(result.outcome, ExchangeOutcome::Good);
    QVERIFY2(m_k30->device.Log().contains(QStringLiteral("line 19200,N,8,2")),
             qPrintable(m_k30->device.Log().join(u'\n')));
    QTest::qWait(600); // a pause: the next request starts a new frame on the device side
    result =
        Run(ExchangeKind::Download, image, true, ShortTimings(), QStringLiteral("1200,N,8,1 "));
    QCOMPARE(result.outcome, ExchangeOutcome::Good);
    QVERIFY(m_k30->device.Log().contains(QStringLiteral("line 1200,N,8,1")));
    // A settings text the line cannot take is the port's failure to open.
    result =
        Run(ExchangeKind::Download, image, true, ShortTimings(), QStringLiteral("9600,E,8,1 "));
    QCOMPARE(result.outcome, ExchangeOutcome::PortNotAvailable);
}

void TestSerialExchange::portFromEnvironment()
{
    qputenv("K30CFG_COM2", m_k30->Path().toLocal8Bit());
    LinkSettings settings;
    settings.CommPort = 2;
    const SerialTarget target = SerialTarget::FromSettings(settings, nullptr);
    qunsetenv("K30CFG_COM2");
    QCOMPARE(target.device, m_k30->Path());
    QCOMPARE(target.settingsText, QStringLiteral("9600,N,8,1 "));
    Image image = FilledImage(0);
    SerialExchange exchange(ExchangeKind::Download, std::make_unique<SerialPortLine>(), target,
                            image, true);
    QSignalSpy finished(&exchange, &LinkExchange::Finished);
    exchange.Start();
    QVERIFY(finished.wait(3000));
    QCOMPARE(finished.at(0).at(0).value<ExchangeResult>().outcome, ExchangeOutcome::Good);
}

void TestSerialExchange::abortClosesPort()
{
    m_k30->device.faults.silent = true;
    Image image = FilledImage(0x11);
    auto exchange = std::make_unique<SerialExchange>(
        ExchangeKind::Upload, std::make_unique<SerialPortLine>(),
        SerialTarget{1, m_k30->Path(), QStringLiteral("9600,N,8,1 ")}, image, true);
    QSignalSpy finished(exchange.get(), &LinkExchange::Finished);
    exchange->Start();
    QVERIFY(!m_k30->PortIsFree());
    exchange->Abort();
    QVERIFY(m_k30->PortIsFree());
    QTest::qWait(800);
    QVERIFY(finished.isEmpty());
    exchange.reset();
    QCOMPARE(image, FilledImage(0x11));
}

void TestSerialExchange::staleBytesAreDiscarded_data()
{
    QTest::addColumn<QByteArray>("stale");
    QTest::newRow("acceptance") << QByteArray("\x07");
    QTest::newRow("0x06") << QByteArray("\x06");
}

// Bytes that wait on the line from before a download (a reply that came too late, noise) are
// no answer to it: a device that then keeps silent has not accepted anything.
void TestSerialExchange::staleBytesAreDiscarded()
{
    QFETCH(QByteArray, stale);
    SilentLine line;
    QVERIFY(line.IsOpen());
    QVERIFY(line.Send(stale));
    QTRY_COMPARE(line.Waiting(), int(stale.size()));
    Image image = FilledImage(0x11);
    const ExchangeResult result = Run(ExchangeKind::Download, image, true, ShortTimings(),
                                      QStringLiteral("9600,N,8,1 "), line.Path());
    QCOMPARE(result.outcome, ExchangeOutcome::TimeOut);
    QCOMPARE(TransmitMessage(result).text, QStringLiteral("Time Out Error!"));
}

QTEST_GUILESS_MAIN(TestSerialExchange)
#include "tst_serialexchange.moc"
