// The faults of a misbehaving device while its memory is read or cleared over the serial line,
// seen from the "Read Decoder Memory" dialog: each ends with its message within its time-out
// plus one second, the buttons come back and the configuration stays as it was. The memory
// tests in tests/memory cover a silent read, a bad block, a missing port on a read, the keyboard
// path and the decoding of endless and overlong data; these are the cases they leave out.
#include "link/ui/readmemorydialog.h"
#include "sim/simdevice.h"
#include "sim/simserialserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTest>

#include <memory>

namespace {

constexpr int kWaitMs = 600;

MemoryTimings Timings()
{
    MemoryTimings timings;
    timings.blockTimeout = LinkDuration(kWaitMs);
    timings.clearTimeout = LinkDuration(kWaitMs);
    // A memory that never ends is stopped after these blocks instead of a whole megabyte.
    timings.maximumBlocks = 31;
    return timings;
}

constexpr const char *kSixButtons[] = {"CmdRead", "cmdClear",  "CmdDisplay",
                                       "cmdSave", "cmdSaveAs", "CmdClose"};

} // namespace

class TestMemoryFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fault_data();
    void fault();

private:
    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimSerialServer> m_server;
    AppState m_state;
    std::unique_ptr<PageContext> m_context;
    std::unique_ptr<ReadMemoryDialog> m_dialog;
};

void TestMemoryFaults::init()
{
    m_state = AppState{};
    m_device = std::make_unique<SimDevice>();
    m_server = std::make_unique<SimSerialServer>(*m_device);
    QVERIFY(m_server->OpenPseudoTerminal());
    m_context = std::make_unique<PageContext>(PageContext{m_state, nullptr});
}

void TestMemoryFaults::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    m_dialog.reset();
    m_context.reset();
    m_server.reset();
    m_device.reset();
}

void TestMemoryFaults::fault_data()
{
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");

    const QString readFailed = QStringLiteral("Read Decoder Memory Failed!");
    const QString clearFailed = QStringLiteral("Clear Decoder Memory Failed!");
    const QString timeOut = QStringLiteral("Time Out Error!");
    const QString notAvailable = QStringLiteral("COM 1: not available.");

    QTest::newRow("read, garbage") << true << QStringLiteral("garbage") << 3 << readFailed;
    QTest::newRow("read, short block") << true << QStringLiteral("short") << 30 << timeOut;
    QTest::newRow("read, hang-up mid-block") << true << QStringLiteral("hangUp") << 40 << timeOut;
    // An endless stream is stopped after the most blocks a read takes, and says so.
    QTest::newRow("read, endless memory")
        << true << QStringLiteral("endless") << 0
        << QStringLiteral("Read Decoder Memory Incomplete: the data did not end within the "
                          "blocks a read takes. Not all data was read!");
    QTest::newRow("read, record longer than the buffer")
        << true << QStringLiteral("longRecord") << 0 << readFailed;
    QTest::newRow("read, port held") << true << QStringLiteral("held") << 0 << notAvailable;
    QTest::newRow("clear, silent") << false << QStringLiteral("silent") << 0 << timeOut;
    QTest::newRow("clear, refused") << false << QStringLiteral("refuseClear") << 0 << clearFailed;
    QTest::newRow("clear, garbage") << false << QStringLiteral("garbage") << 3 << clearFailed;
    QTest::newRow("clear, hang-up before the answer")
        << false << QStringLiteral("hangUp") << 0 << timeOut;
    QTest::newRow("clear, missing port") << false << QStringLiteral("missing") << 0 << notAvailable;
    QTest::newRow("clear, port held") << false << QStringLiteral("held") << 0 << notAvailable;
}

void TestMemoryFaults::fault()
{
    QFETCH(bool, read);
    QFETCH(QString, fault);
    QFETCH(int, value);
    QFETCH(QString, message);
    auto log = qScopeGuard([this] {
        if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("K30_SIM_LOG"))
            qInfo().noquote() << m_device->Log().join(u'\n');
    });

    SimFaults &faults = m_device->faults;
    faults.silent = fault == QLatin1String("silent");
    faults.endlessMemory = fault == QLatin1String("endless");
    faults.longRecord = fault == QLatin1String("longRecord");
    faults.refuseClear = fault == QLatin1String("refuseClear");
    if (fault == QLatin1String("garbage"))
        faults.garbage = value;
    else if (fault == QLatin1String("short"))
        faults.shortAnswer = value;
    else if (fault == QLatin1String("hangUp"))
        faults.hangUpAfter = value;

    const QString device = fault == QLatin1String("missing")
                               ? QStringLiteral("/dev/k30-no-such-port")
                               : m_server->Path();
    qputenv("K30CFG_COM1", device.toLocal8Bit());
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM1"); });
    QSerialPort other(m_server->Path());
    if (fault == QLatin1String("held"))
        QVERIFY(other.open(QIODevice::ReadWrite));

    m_state.link.LinkMode = LinkSettings::kByRs232;
    m_state.link.CommPort = 1;
    const Image image = m_state.images.ConfigImage;
    m_dialog = std::make_unique<ReadMemoryDialog>(*m_context, nullptr, Timings());
    m_dialog->show();
    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));

    // The question is answered; the box after it is the exchange's message.
    QString shown;
    qint64 elapsed = -1;
    QElapsedTimer clock;
    QTimer watch;
    watch.setInterval(2);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->button(QMessageBox::Cancel)) {
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
    m_dialog
        ->findChild<QPushButton *>(read ? QStringLiteral("CmdRead") : QStringLiteral("cmdClear"))
        ->click();
    // Every block of an endless read comes at once; 31 of them are still one wait's worth.
    const int limitMs = kWaitMs + 1000;
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), limitMs + 3000);
    QCOMPARE(shown, message);
    QVERIFY2(elapsed <= limitMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    for (const char *name : kSixButtons)
        QTRY_VERIFY2(m_dialog->findChild<QPushButton *>(QLatin1String(name))->isEnabled(), name);
    QVERIFY(!m_dialog->IsExchangeRunning());
    QCOMPARE(m_state.images.ConfigImage, image);
    QTest::qWait(200);
    QVERIFY(!QApplication::activeModalWidget());
    if (fault != QLatin1String("hangUp") && fault != QLatin1String("held") &&
        fault != QLatin1String("missing")) {
        QSerialPort port(m_server->Path());
        QVERIFY2(port.open(QIODevice::ReadWrite), "the port was left open");
    }
}

QTEST_MAIN(TestMemoryFaults)
#include "tst_memoryfaults.moc"
