#include "support/boxanswerer.h"

#include "link/ports/serialdevice.h"
#include "shell/mainwindow.h"
#include "simulateddevice.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr int kExchangeTimeoutMs = 20000;

// A configuration unlike the factory one, different in every byte.
Image Pattern(int seed)
{
    Image image;
    for (int i = 0; i < int(image.size()); ++i)
        image[i] = static_cast<std::uint8_t>(seed + 37 * i);
    return image;
}

} // namespace

// `k30cfg --simulate`: the main window as the program builds it, with the simulated K30
// behind "Com 1" and the keyboard path; every exchange goes through the real transmit dialog
// and its message boxes.
class TestSimulatedDevice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startsSimulated();
    void com1Restored();
    void downloadAndUpload_data();
    void downloadAndUpload();

private:
    QWidget *OpenTransmit();
    // Presses the button and answers the boxes that follow; the exchange is over when the
    // buttons are enabled again.
    QStringList Exchange(QWidget *dialog, const char *button,
                         QList<QMessageBox::StandardButton> answers);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatedDevice> m_simulated;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<MainWindow> m_window;
    QList<BoxAnswerer::Seen> m_startBoxes;
};

void TestSimulatedDevice::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_simulated = std::make_unique<SimulatedDevice>();
    QVERIFY2(m_simulated->Start(), qPrintable(m_simulated->ErrorString()));
    ShellSetup setup = m_simulated->Setup();
    setup.defaults = {m_dir->filePath(QStringLiteral("program")),
                      m_dir->filePath(QStringLiteral("user"))};
    m_state = std::make_unique<AppState>();
    // A keyboard warning at start-up would be answered here, and seen.
    BoxAnswerer answerer({QMessageBox::Ok});
    m_window = std::make_unique<MainWindow>(*m_state, std::move(setup));
    m_startBoxes = answerer.seen();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestSimulatedDevice::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    // The questions on leaving are not this test's business.
    m_state->images.SavedImage = m_state->images.ConfigImage;
    m_window.reset();
    m_state.reset();
    m_simulated.reset();
    m_dir.reset();
}

void TestSimulatedDevice::startsSimulated()
{
    QVERIFY(m_startBoxes.isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    auto *note = m_window->statusBar()->findChild<QLabel *>(QStringLiteral("statusText"));
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("Simulated K30 on Com 1 and the keyboard path"));
    QVERIFY(!m_simulated->PortPath().isEmpty());
    QCOMPARE(SerialPortDevice(1), m_simulated->PortPath());
    QVERIFY(SerialPortDevice(2) != m_simulated->PortPath());
}

void TestSimulatedDevice::com1Restored()
{
    const QByteArray before = qgetenv("K30CFG_COM1");
    qputenv("K30CFG_COM1", "/dev/ttyUSB7");
    {
        SimulatedDevice second;
        QVERIFY(second.Start());
        QCOMPARE(SerialPortDevice(1), second.PortPath());
    }
    QCOMPARE(SerialPortDevice(1), QStringLiteral("/dev/ttyUSB7"));
    {
        qunsetenv("K30CFG_COM1");
        SimulatedDevice third;
        QVERIFY(third.Start());
    }
    QVERIFY(!qEnvironmentVariableIsSet("K30CFG_COM1"));
    qputenv("K30CFG_COM1", before);
}

QWidget *TestSimulatedDevice::OpenTransmit()
{
    m_window->findChild<QAction *>(QStringLiteral("mnuConfigTransmit"))->trigger();
    return m_window->findChild<QWidget *>(QStringLiteral("frmTransmit"));
}

QStringList TestSimulatedDevice::Exchange(QWidget *dialog, const char *button,
                                          QList<QMessageBox::StandardButton> answers)
{
    auto *start = dialog->findChild<QPushButton *>(QLatin1String(button));
    if (!start)
        return {QStringLiteral("<no button>")};
    BoxAnswerer answerer(std::move(answers));
    start->click();
    const bool ended = QTest::qWaitFor([&] { return answerer.allAnswered() && start->isEnabled(); },
                                       kExchangeTimeoutMs);
    QStringList texts = answerer.texts();
    if (!ended)
        texts << QStringLiteral("<the exchange did not end>");
    return texts;
}

void TestSimulatedDevice::downloadAndUpload_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("reader");
    QTest::newRow("RS232, decoder") << QStringLiteral("OptMode_1") << false;
    QTest::newRow("RS232, reader") << QStringLiteral("OptMode_1") << true;
    QTest::newRow("keyboard, decoder") << QStringLiteral("OptMode_0") << false;
    QTest::newRow("keyboard, reader") << QStringLiteral("OptMode_0") << true;
}

void TestSimulatedDevice::downloadAndUpload()
{
    QFETCH(QString, mode);
    QFETCH(bool, reader);
    SimDevice &device = m_simulated->Device();
    device.section = reader ? SimDevice::Section::Reader : SimDevice::Section::Decoder;

    QWidget *dialog = OpenTransmit();
    QVERIFY(dialog);
    for (const QString &name : {mode, QStringLiteral("OptPort_0"), QStringLiteral("Option1_1")})
        dialog->findChild<QAbstractButton *>(name)->click();

    // Download with "Save": the device keeps what was sent.
    const Image sent = Pattern(reader ? 5 : 9);
    m_state->images.ConfigImage = sent;
    QCOMPARE(Exchange(dialog, "cmdTransmit", {QMessageBox::Ok}),
             QStringList{QStringLiteral("Download OK!")});
    QVERIFY(std::equal(sent.begin(), sent.end(), device.image.begin(), device.image.end()));
    QCOMPARE(device.DownloadsSaved(), 1);

    // Upload after the user agreed: the device's section replaces that section only.
    const Image before = Pattern(101);
    m_state->images.ConfigImage = before;
    QCOMPARE(Exchange(dialog, "cmdReceive", {QMessageBox::Ok, QMessageBox::Ok}),
             (QStringList{QStringLiteral("This will replace your current data with reader's data!"),
                          QStringLiteral("   Upload OK!   ")}));
    const Image &now = m_state->images.ConfigImage;
    for (int i = 0; i < int(now.size()); ++i) {
        const bool inSection = reader == (i >= kReaderFirst);
        QVERIFY2(now[i] == (inSection ? sent[i] : before[i]), qPrintable(QString::number(i)));
    }
}

QTEST_MAIN(TestSimulatedDevice)
#include "tst_simulateddevice.moc"
