// The faults of a misbehaving device, seen from the "Transmit" dialog: each exchange ends with
// its message within its time-out plus one second, the buttons come back, and the image
// changes only when an upload succeeded. The exchange tests in tests/link cover the outcome of
// most faults on the serial line; these are the cases they leave out, and the dialog's side of
// every kind of exchange.
#include "link/ui/transmitdialog.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simserialserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Shorter waits than the device's, so that the table runs in seconds; the real waits have
// their own tests in tests/link.
LinkTimings Timings()
{
    LinkTimings timings;
    timings.downloadTimeout = LinkDuration(600);
    timings.uploadTimeout = LinkDuration(600);
    timings.keyboardUploadTimeout = LinkDuration(800);
    timings.keyboardFinalTimeout = LinkDuration(600);
    return timings;
}

// The handshake keeps its real pace (a command every 150 ms): the device needs that long to
// answer, and a faster repetition would run into its answer. 16 ticks end it.
constexpr int kHandshakeLimit = 16 * 150;

Image Filled(std::uint8_t value)
{
    Image image;
    image.fill(value);
    return image;
}

enum class Path
{
    Serial,
    Keyboard,
    SerialMissing,
    SerialHeld
};

} // namespace

class TestTransmitFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fault_data();
    void fault();

private:
    QPushButton *Button(const char *name) const
    {
        return m_dialog->findChild<QPushButton *>(QLatin1String(name));
    }
    bool ButtonsEnabled() const;

    AppState m_state;
    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimKeyboardWedge> m_wedge;
    std::unique_ptr<SimSerialServer> m_server;
    std::unique_ptr<PageContext> m_context;
    std::unique_ptr<TransmitDialog> m_dialog;
};

void TestTransmitFaults::init()
{
    m_state = AppState{};
    m_device = std::make_unique<SimDevice>();
    m_device->section = SimDevice::Section::Reader;
    m_device->image = Filled(0x5C);
    m_wedge = std::make_unique<SimKeyboardWedge>(*m_device);
    m_server = std::make_unique<SimSerialServer>(*m_device);
    QVERIFY(m_server->OpenPseudoTerminal());
    m_context = std::make_unique<PageContext>(PageContext{m_state, m_wedge.get()});
}

void TestTransmitFaults::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    m_dialog.reset();
    m_context.reset();
    m_server.reset();
    m_wedge.reset();
    m_device.reset();
}

bool TestTransmitFaults::ButtonsEnabled() const
{
    for (const char *name : {"cmdTransmit", "cmdReceive", "CmdVersion", "CmdClose"})
        if (!Button(name)->isEnabled())
            return false;
    return true;
}

void TestTransmitFaults::fault_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");
    // From the click (or the answered question) to the message, time-out plus one second.
    QTest::addColumn<int>("limitMs");

    const int serial = int(Path::Serial);
    const int keyboard = int(Path::Keyboard);
    const int download = int(ExchangeKind::Download);
    const int upload = int(ExchangeKind::Upload);
    const int version = int(ExchangeKind::Version);
    const QString timeOut = QStringLiteral("Time Out Error!");
    const QString uploadFailed = QStringLiteral("Upload Failed!");
    const QString downloadFailed = QStringLiteral("Download Failed!");
    const QString handshake = QStringLiteral("Times Out Error");
    const int serialDownload = 600 + 1000;
    const int serialUpload = 600 + 1000;

    // The serial line: the version request has no exchange test of its own.
    QTest::newRow("serial version, silent")
        << serial << version << QStringLiteral("silent") << 0 << timeOut << serialUpload;
    QTest::newRow("serial version, garbage")
        << serial << version << QStringLiteral("garbage") << 5 << uploadFailed << serialUpload;
    QTest::newRow("serial version, wrong check")
        << serial << version << QStringLiteral("wrongCheck") << 0 << uploadFailed << serialUpload;
    QTest::newRow("serial version, short answer")
        << serial << version << QStringLiteral("short") << 50 << timeOut << serialUpload;
    QTest::newRow("serial version, hang-up mid-answer")
        << serial << version << QStringLiteral("hangUp") << 20 << timeOut << serialUpload;
    QTest::newRow("serial download, refused")
        << serial << download << QStringLiteral("refuse") << 0 << downloadFailed << serialDownload;
    QTest::newRow("serial download, silent")
        << serial << download << QStringLiteral("silent") << 0 << timeOut << serialDownload;
    QTest::newRow("serial upload, wrong check")
        << serial << upload << QStringLiteral("wrongCheck") << 0 << uploadFailed << serialUpload;
    QTest::newRow("serial upload, hang-up mid-answer")
        << serial << upload << QStringLiteral("hangUp") << 40 << timeOut << serialUpload;
    QTest::newRow("serial upload, short answer")
        << serial << upload << QStringLiteral("short") << 83 << timeOut << serialUpload;

    // The port: missing, or held by another program, for each kind.
    for (const int kind : {download, upload, version}) {
        const char *name = kind == download ? "download" : kind == upload ? "upload" : "version";
        QTest::newRow(qPrintable(QStringLiteral("missing port, %1").arg(QLatin1String(name))))
            << int(Path::SerialMissing) << kind << QString() << 0
            << QStringLiteral("COM 1: not available.") << 1000;
        QTest::newRow(qPrintable(QStringLiteral("port held, %1").arg(QLatin1String(name))))
            << int(Path::SerialHeld) << kind << QString() << 0
            << QStringLiteral("COM 1: not available.") << 1000;
    }

    // The keyboard path.
    const int keyboardUpload = kHandshakeLimit + 800 + 1000;
    QTest::newRow("keyboard version, silent") << keyboard << version << QStringLiteral("silent")
                                              << 0 << handshake << kHandshakeLimit + 1000;
    QTest::newRow("keyboard upload, silent") << keyboard << upload << QStringLiteral("silent") << 0
                                             << handshake << kHandshakeLimit + 1000;
    // Garbage before the "S": the capture box never holds the bare handshake answer.
    QTest::newRow("keyboard upload, garbage") << keyboard << upload << QStringLiteral("garbage")
                                              << 3 << handshake << kHandshakeLimit + 1000;
    QTest::newRow("keyboard download, garbage") << keyboard << download << QStringLiteral("garbage")
                                                << 3 << handshake << kHandshakeLimit + 1000;
    QTest::newRow("keyboard upload, wrong check")
        << keyboard << upload << QStringLiteral("wrongCheck") << 0 << uploadFailed
        << keyboardUpload;
    QTest::newRow("keyboard upload, handshake only")
        << keyboard << upload << QStringLiteral("short") << 1 << uploadFailed << keyboardUpload;
    QTest::newRow("keyboard upload, short answer")
        << keyboard << upload << QStringLiteral("short") << 100 << uploadFailed << keyboardUpload;
}

void TestTransmitFaults::fault()
{
    QFETCH(int, path);
    QFETCH(int, kind);
    QFETCH(QString, fault);
    QFETCH(int, value);
    QFETCH(QString, message);
    QFETCH(int, limitMs);
    // What the device saw and did, when a case fails.
    auto log = qScopeGuard([this] {
        if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("K30_SIM_LOG"))
            qInfo().noquote() << m_device->Log().join(u'\n');
    });

    SimFaults &faults = m_device->faults;
    if (fault == QLatin1String("silent"))
        faults.silent = true;
    else if (fault == QLatin1String("garbage"))
        faults.garbage = value;
    else if (fault == QLatin1String("wrongCheck"))
        faults.wrongCheck = true;
    else if (fault == QLatin1String("short"))
        faults.shortAnswer = value;
    else if (fault == QLatin1String("hangUp"))
        faults.hangUpAfter = value;
    else if (fault == QLatin1String("refuse"))
        faults.refuseDownload = true;

    const QString device = Path(path) == Path::SerialMissing
                               ? QStringLiteral("/dev/k30-no-such-port")
                               : m_server->Path();
    qputenv("K30CFG_COM1", device.toLocal8Bit());
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM1"); });
    QSerialPort other(m_server->Path());
    if (Path(path) == Path::SerialHeld)
        QVERIFY(other.open(QIODevice::ReadWrite));

    m_state.link.LinkMode =
        Path(path) == Path::Keyboard ? LinkSettings::kByKeyboard : LinkSettings::kByRs232;
    m_state.link.CommPort = 1;
    m_state.images.ConfigImage = Filled(0x22);
    m_state.images.MarkSaved();
    const Image deviceBefore = m_device->image;
    m_dialog = std::make_unique<TransmitDialog>(*m_context, nullptr, Timings());
    m_dialog->show();
    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));

    // The box the exchange ends with, and how long after the start it came.
    QString shown;
    qint64 elapsed = -1;
    QElapsedTimer clock;
    QTimer watch;
    watch.setInterval(2);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->text() ==
            QStringLiteral("This will replace your current data with reader's data!")) {
            box->button(QMessageBox::Ok)->click();
            clock.start();
            return;
        }
        elapsed = clock.elapsed();
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
        watch.stop();
    });
    watch.start();
    clock.start();
    const char *button = kind == int(ExchangeKind::Download) ? "cmdTransmit"
                         : kind == int(ExchangeKind::Upload) ? "cmdReceive"
                                                             : "CmdVersion";
    Button(button)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), limitMs + 2000);
    QCOMPARE(shown, message);
    QVERIFY2(elapsed <= limitMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QTRY_VERIFY(ButtonsEnabled());
    QVERIFY(!m_dialog->IsExchangeRunning());
    // Nothing but a good upload changes the image, and nothing follows the message.
    QCOMPARE(m_state.images.ConfigImage, Filled(0x22));
    QVERIFY(!m_state.images.IsChanged());
    QCOMPARE(m_device->image, deviceBefore);
    QTest::qWait(200);
    QVERIFY(!QApplication::activeModalWidget());
    if (Path(path) == Path::Serial && fault != QLatin1String("hangUp")) {
        QSerialPort port(m_server->Path());
        QVERIFY2(port.open(QIODevice::ReadWrite), "the port was left open");
    }
}

QTEST_MAIN(TestTransmitFaults)
#include "tst_transmitfaults.moc"
