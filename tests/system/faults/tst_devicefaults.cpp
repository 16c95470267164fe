// The faults of a misbehaving device, seen from the link dialogs: each exchange of "Transmit"
// and each read or clear of "Read Decoder Memory" ends with its message within its time-out
// plus one second, the buttons come back, and neither the configuration nor the device's image
// changes. The exchange tests in tests/link/serial cover the outcome of most faults on the
// serial line; these are the cases they leave out, and the dialogs' side of every kind of
// exchange.
#include "support/images.h"
#include "support/linkdialogfixture.h"
#include "support/messageboxes.h"

#include "link/ui/readmemorydialog.h"
#include "link/ui/transmitdialog.h"

#include <QApplication>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTest>

#include <memory>

namespace {

// Shorter waits than the device's, so that the table runs in seconds; the real waits have
// their own tests in tests/link/serial.
LinkTimings TransmitTimings()
{
    LinkTimings timings;
    timings.downloadTimeout = LinkDuration(600);
    timings.uploadTimeout = LinkDuration(600);
    timings.keyboardUploadTimeout = LinkDuration(800);
    timings.keyboardFinalTimeout = LinkDuration(600);
    return timings;
}

constexpr int kMemoryWaitMs = 600;

MemoryTimings MemoryFaultTimings()
{
    MemoryTimings timings;
    timings.blockTimeout = LinkDuration(kMemoryWaitMs);
    timings.clearTimeout = LinkDuration(kMemoryWaitMs);
    // A memory that never ends is stopped after these blocks instead of a whole megabyte.
    timings.maximumBlocks = 31;
    return timings;
}

// The handshake keeps its real pace (a command every 150 ms): the device needs that long to
// answer, and a faster repetition would run into its answer. 16 ticks end it.
constexpr int kHandshakeLimit = 16 * 150;

enum class Path
{
    Serial,
    Keyboard,
    SerialMissing,
    SerialHeld
};

} // namespace

class TestDeviceFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { m_f.reset(); }
    void fault_data();
    void fault();

private:
    std::unique_ptr<LinkDialogFixture> m_f;
};

void TestDeviceFaults::fault_data()
{
    QTest::addColumn<bool>("memory"); // "Read Decoder Memory", else "Transmit"
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");
    // From the click (or the answered question) to the message, time-out plus one second.
    QTest::addColumn<int>("limitMs");
    const auto row = [](const char *name, bool memory, Path path, const char *button,
                        const char *fault, int value, const QString &message, int limitMs) {
        QTest::newRow(name) << memory << int(path) << QString::fromLatin1(button)
                            << QString::fromLatin1(fault) << value << message << limitMs;
    };
    const QString timeOut = QStringLiteral("Time Out Error!");
    const QString uploadFailed = QStringLiteral("Upload Failed!");
    const QString handshake = QStringLiteral("Times Out Error");
    const QString notAvailable = QStringLiteral("COM 1: not available.");
    const int serialLimit = 600 + 1000;

    // The serial line: the version request has no exchange test of its own.
    const auto serial = [&](const char *name, const char *button, const char *fault, int value,
                            const QString &message) {
        row(name, false, Path::Serial, button, fault, value, message, serialLimit);
    };
    serial("serial version, silent", "CmdVersion", "silent", 0, timeOut);
    serial("serial version, garbage", "CmdVersion", "garbage", 5, uploadFailed);
    serial("serial version, wrong check", "CmdVersion", "wrongCheck", 0, uploadFailed);
    serial("serial version, short answer", "CmdVersion", "short", 50, timeOut);
    serial("serial version, hang-up mid-answer", "CmdVersion", "hangUp", 20, timeOut);
    serial("serial download, refused", "cmdTransmit", "refuse", 0,
           QStringLiteral("Download Failed!"));
    serial("serial download, silent", "cmdTransmit", "silent", 0, timeOut);
    serial("serial upload, wrong check", "cmdReceive", "wrongCheck", 0, uploadFailed);
    serial("serial upload, hang-up mid-answer", "cmdReceive", "hangUp", 40, timeOut);
    serial("serial upload, short answer", "cmdReceive", "short", 83, timeOut);

    // The port: missing, or held by another program, for each kind.
    for (const char *kind : {"download", "upload", "version"}) {
        const char *button = kind[0] == 'd'   ? "cmdTransmit"
                             : kind[0] == 'u' ? "cmdReceive"
                                              : "CmdVersion";
        row(qPrintable(QStringLiteral("missing port, %1").arg(QLatin1String(kind))), false,
            Path::SerialMissing, button, "", 0, notAvailable, 1000);
        row(qPrintable(QStringLiteral("port held, %1").arg(QLatin1String(kind))), false,
            Path::SerialHeld, button, "", 0, notAvailable, 1000);
    }

    // The keyboard path.
    const auto keyboard = [&](const char *name, const char *button, const char *fault, int value,
                              const QString &message, int limitMs) {
        row(name, false, Path::Keyboard, button, fault, value, message, limitMs);
    };
    const int handshakeLimit = kHandshakeLimit + 1000;
    const int keyboardUpload = kHandshakeLimit + 800 + 1000;
    keyboard("keyboard version, silent", "CmdVersion", "silent", 0, handshake, handshakeLimit);
    keyboard("keyboard upload, silent", "cmdReceive", "silent", 0, handshake, handshakeLimit);
    // Garbage before the "S": the capture box never holds the bare handshake answer.
    keyboard("keyboard upload, garbage", "cmdReceive", "garbage", 3, handshake, handshakeLimit);
    keyboard("keyboard download, garbage", "cmdTransmit", "garbage", 3, handshake, handshakeLimit);
    keyboard("keyboard upload, wrong check", "cmdReceive", "wrongCheck", 0, uploadFailed,
             keyboardUpload);
    keyboard("keyboard upload, handshake only", "cmdReceive", "short", 1, uploadFailed,
             keyboardUpload);
    keyboard("keyboard upload, short answer", "cmdReceive", "short", 100, uploadFailed,
             keyboardUpload);

    // The memory over the serial line. Every block of an endless read comes at once; 31 of
    // them are still one wait's worth.
    const QString readFailed = QStringLiteral("Read Decoder Memory Failed!");
    const QString clearFailed = QStringLiteral("Clear Decoder Memory Failed!");
    const auto memory = [&](const char *name, Path path, const char *fault, int value,
                            const QString &message) {
        const char *button = name[0] == 'r' ? "CmdRead" : "cmdClear";
        row(name, true, path, button, fault, value, message, kMemoryWaitMs + 1000);
    };
    memory("read, garbage", Path::Serial, "garbage", 3, readFailed);
    memory("read, short block", Path::Serial, "short", 30, timeOut);
    memory("read, hang-up mid-block", Path::Serial, "hangUp", 40, timeOut);
    // An endless stream is stopped after the most blocks a read takes, and says so.
    memory("read, endless memory", Path::Serial, "endless", 0,
           QStringLiteral("Read Decoder Memory Incomplete: the data did not end within the "
                          "blocks a read takes. Not all data was read!"));
    memory("read, record longer than the buffer", Path::Serial, "longRecord", 0, readFailed);
    memory("read, port held", Path::SerialHeld, "", 0, notAvailable);
    memory("clear, silent", Path::Serial, "silent", 0, timeOut);
    memory("clear, refused", Path::Serial, "refuseClear", 0, clearFailed);
    memory("clear, garbage", Path::Serial, "garbage", 3, clearFailed);
    memory("clear, hang-up before the answer", Path::Serial, "hangUp", 0, timeOut);
    memory("clear, missing port", Path::SerialMissing, "", 0, notAvailable);
    memory("clear, port held", Path::SerialHeld, "", 0, notAvailable);
}

void TestDeviceFaults::fault()
{
    QFETCH(bool, memory);
    QFETCH(int, path);
    QFETCH(QString, button);
    QFETCH(QString, fault);
    QFETCH(int, value);
    QFETCH(QString, message);
    QFETCH(int, limitMs);
    m_f = std::make_unique<LinkDialogFixture>(memory ? kMemoryButtons : kTransmitButtons);
    QVERIFY(m_f->k30.IsOpen());
    SimDevice &device = m_f->k30.device;
    // What the device saw and did, when a case fails.
    auto log = qScopeGuard([&device] {
        if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("K30_SIM_LOG"))
            qInfo().noquote() << device.Log().join(u'\n');
    });
    device.section = SimDevice::Section::Reader;
    device.image = FilledImage(0x5C);
    SimFaults &faults = device.faults;
    faults.silent = fault == QLatin1String("silent");
    faults.wrongCheck = fault == QLatin1String("wrongCheck");
    faults.refuseDownload = fault == QLatin1String("refuse");
    faults.refuseClear = fault == QLatin1String("refuseClear");
    faults.endlessMemory = fault == QLatin1String("endless");
    faults.longRecord = fault == QLatin1String("longRecord");
    if (fault == QLatin1String("garbage"))
        faults.garbage = value;
    else if (fault == QLatin1String("short"))
        faults.shortAnswer = value;
    else if (fault == QLatin1String("hangUp"))
        faults.hangUpAfter = value;

    m_f->k30.AttachToCom1(
        Path(path) == Path::SerialMissing ? QStringLiteral("/dev/k30-no-such-port") : QString());
    QSerialPort other(m_f->k30.Path());
    if (Path(path) == Path::SerialHeld)
        QVERIFY(other.open(QIODevice::ReadWrite));

    AppState &state = m_f->state;
    state.link.LinkMode =
        Path(path) == Path::Keyboard ? LinkSettings::kByKeyboard : LinkSettings::kByRs232;
    state.link.CommPort = 1;
    state.images.ConfigImage = FilledImage(0x22);
    state.images.MarkSaved();
    const Image deviceBefore = device.image;
    if (memory)
        m_f->Open<ReadMemoryDialog>(MemoryFaultTimings());
    else
        m_f->Open<TransmitDialog>(TransmitTimings());

    const EndMessage end =
        RunToMessage(m_f->Find<QAbstractButton>(qPrintable(button)), limitMs + 3000);
    QCOMPARE(end.text, message);
    QVERIFY2(end.elapsedMs <= limitMs, qPrintable(QStringLiteral("%1 ms").arg(end.elapsedMs)));
    QTRY_VERIFY(m_f->ButtonsEnabled());
    QVERIFY(!m_f->dialog->IsExchangeRunning());
    // Nothing but a good upload changes the image, and nothing follows the message.
    QCOMPARE(state.images.ConfigImage, FilledImage(0x22));
    QVERIFY(!state.images.IsChanged());
    QCOMPARE(device.image, deviceBefore);
    QTest::qWait(200);
    QVERIFY(!QApplication::activeModalWidget());
    if (Path(path) == Path::Serial && fault != QLatin1String("hangUp"))
        QVERIFY2(m_f->k30.PortIsFree(), "the port was left open");
}

QTEST_MAIN(TestDeviceFaults)
#include "tst_devicefaults.moc"
