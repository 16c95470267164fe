#include "support/boxanswerer.h"
#include "support/environmentguard.h"
#include "support/fakeportlist.h"

#include "link/ports/portmapping.h"
#include "link/ports/serialdevice.h"
#include "link/ui/comparedialog.h"
#include "link/ui/portmappingdialog.h"
#include "link/ui/transmitdialog.h"
#include "shell/mainwindow.h"
#include "sim/simdevice.h"
#include "sim/simserialserver.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kSerialA = QStringLiteral("A50285BI");
const QString kSerialB = QStringLiteral("FT9XK2QW");
// Adapters plugged in or out show in an open dialog within this time.
constexpr int kFollowMs = 2000;

QString FirstLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

// Presses the button and answers the message box that follows with OK; its text.
QString PressAndAnswer(QPushButton *button)
{
    BoxAnswerer answerer({QMessageBox::Ok});
    button->click();
    if (!QTest::qWaitFor([&] { return answerer.allAnswered(); }, 5000))
        return {};
    return answerer.texts().value(0);
}

template <typename T> T *Find(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

} // namespace

// The window's side of the port mapping: the "Port Mapping" dialog, the port options of the
// link dialogs following adapters plugged in and out, and the first start with one adapter.
// The port list is a fake; the exchanges reach the simulated K30 over a pseudo-terminal that
// the fake list presents as a USB adapter.
class TestPortMappingDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dialogFollowsAdapters();
    void transmitReachesChosenAdapter();
    void firstStartWithOneAdapter();

private:
    std::unique_ptr<QSettings> Settings() const
    {
        return std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("ports.conf")),
                                           QSettings::IniFormat);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePortList m_list;
    SimDevice m_device;
    std::unique_ptr<SimSerialServer> m_server;
};

void TestPortMappingDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_list.ports.clear();
    m_list.reads = 0;
    m_device = SimDevice();
    m_server = std::make_unique<SimSerialServer>(m_device);
    QVERIFY2(m_server->OpenPseudoTerminal(), qPrintable(m_server->ErrorString()));
}

void TestPortMappingDialog::cleanup()
{
    m_server.reset();
    m_dir.reset();
}

void TestPortMappingDialog::dialogFollowsAdapters()
{
    const QString usb0 = QStringLiteral("/dev/ttyUSB0");
    const QString usb1 = QStringLiteral("/dev/ttyUSB1");
    m_list.ports = {Adapter(usb0, kSerialA), Adapter(usb1, kSerialB)};
    PortMapping ports(m_list, Settings());
    PortChoices before;
    before[2] = PortChoice{{}, QStringLiteral("/dev/ttyACM0"), {}};
    ports.SetChoices(before);
    qputenv("K30CFG_COM3", "/dev/pts/77");
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM3"); });
    QPointer<PortMappingDialog> dialog = PortMappingDialog::Open(ports, nullptr);
    auto *com2 = Find<QComboBox>(dialog, "cboPort_1");
    QCOMPARE(com2->currentText(),
             QStringLiteral("Standard: %1 (not present)").arg(StandardSerialDevice(2)));
    QCOMPARE(com2->itemText(1),
             QStringLiteral("/dev/ttyUSB0, FT232R USB UART, FTDI, serial A50285BI, USB 0403:6001"));
    com2->setCurrentIndex(1);
    auto *com3 = Find<QComboBox>(dialog, "cboPort_2");
    QVERIFY(!com3->isEnabled());
    QCOMPARE(com3->currentText(),
             QStringLiteral("/dev/pts/77: fixed by K30CFG_COM3 in the environment"));

    // Adapter A comes back under another path, then goes.
    m_list.ports = {Adapter(usb1, kSerialB), Adapter(QStringLiteral("/dev/ttyUSB2"), kSerialA)};
    QTRY_VERIFY_WITH_TIMEOUT(com2->currentText().startsWith(QStringLiteral("/dev/ttyUSB2, ")),
                             kFollowMs);
    m_list.ports = {Adapter(usb1, kSerialB)};
    QTRY_COMPARE_WITH_TIMEOUT(
        com2->currentText(),
        QStringLiteral("/dev/ttyUSB2, FT232R USB UART, serial A50285BI (not present)"), kFollowMs);
    // B is left as the only adapter nobody chose: "Com 1" would take it.
    QCOMPARE(Find<QComboBox>(dialog, "cboPort_0")->itemText(0),
             QStringLiteral("Standard: /dev/ttyUSB1 (the only USB adapter)"));
    QVERIFY(ports.Choices() == before);

    Find<QPushButton>(dialog, "cmdOK")->click();
    QTRY_VERIFY(!dialog);
    QVERIFY(!ports.IsFollowed());
    // Kept for the next run, found by its serial number; the choice under the variable stays
    // for when it is unset.
    m_list.ports = {Adapter(QStringLiteral("/dev/ttyUSB3"), kSerialA)};
    PortMapping next(m_list, Settings());
    QCOMPARE(next.Route(2).device, QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(next.Route(3).device, QStringLiteral("/dev/pts/77"));
    QVERIFY(next.Choices()[2] == before[2]);
    // Found under a new path, it is kept under that one: unplugged before the run after, it
    // is named by where it was last.
    m_list.ports.clear();
    PortMapping unplugged(m_list, Settings());
    QVERIFY(unplugged.Choices()[1]);
    QCOMPARE(unplugged.Choices()[1]->path, QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(unplugged.Choices()[1]->serialNumber, kSerialA);
}

void TestPortMappingDialog::transmitReachesChosenAdapter()
{
    const QString pty = m_server->Path();
    PortMapping ports(m_list);
    PortChoices choices;
    choices[1] = PortChoice::Of(Adapter(pty, kSerialA));
    ports.SetChoices(choices);
    AppState state;
    state.link.LinkMode = LinkSettings::kByRs232;
    state.link.CommPort = 2;
    state.images.ConfigImage.fill(0x5A);
    PageContext context{state, nullptr, &ports};
    TransmitDialog dialog(context, nullptr);
    dialog.show();
    auto *com2 = Find<QRadioButton>(&dialog, "OptPort_1");
    const QString named = QStringLiteral("Com 2: %1, FT232R USB UART, serial A50285BI").arg(pty);
    QCOMPARE(FirstLine(com2->toolTip()), named + QStringLiteral(" (not present)"));
    QVERIFY(com2->toolTip().contains(QStringLiteral("usermod -aG dialout")));

    m_list.ports = {Adapter(pty, kSerialA)};
    QTRY_COMPARE_WITH_TIMEOUT(FirstLine(com2->toolTip()), named, kFollowMs);
    QCOMPARE(PressAndAnswer(Find<QPushButton>(&dialog, "cmdTransmit")),
             QStringLiteral("Download OK!"));
    QCOMPARE(m_device.image, state.images.ConfigImage);
    // Compare With Device reaches the same adapter.
    CompareDialog compare(context, {}, nullptr);
    compare.CompareWithDevice();
    QTRY_VERIFY(compare.findChild<QLabel *>(QStringLiteral("lblCompared"))
                    ->text()
                    .endsWith(QStringLiteral("The decoder section (bytes 0 to 24) holds the "
                                             "same values; the reader section (bytes 25 to 84) "
                                             "could not be read back and was not compared.")));

    // Adapter A is pulled out and another one takes its path: it is not the device chosen,
    // and nothing is sent to it.
    m_list.ports = {Adapter(pty, kSerialB)};
    QTRY_VERIFY_WITH_TIMEOUT(com2->toolTip().contains(QStringLiteral("(not present)")), kFollowMs);
    const auto before = m_device.image;
    state.images.ConfigImage.fill(0x11);
    QCOMPARE(PressAndAnswer(Find<QPushButton>(&dialog, "cmdTransmit")),
             QStringLiteral("COM 2: not available."));
    QCOMPARE(m_device.image, before);
}

void TestPortMappingDialog::firstStartWithOneAdapter()
{
    const QString pty = m_server->Path();
    m_list.ports = {Adapter(pty, kSerialA)};
    PortMapping ports(m_list);
    AppState state;
    auto setup = [&] {
        ShellSetup setup;
        setup.initializeKeyboard = [] { return true; };
        setup.defaults = {m_dir->filePath(QStringLiteral("program")),
                          m_dir->filePath(QStringLiteral("user"))};
        setup.ports = &ports;
        return setup;
    };
    // Reading the port list walks thousands of files: a window whose "Com 1" is fixed by the
    // environment (as with --simulate) never needs it to start.
    {
        const EnvironmentGuard fixed("K30CFG_COM1", "/dev/ttyS0");
        MainWindow window(state, setup());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        QCOMPARE(m_list.reads, 0);
    }
    // Otherwise it is read once, after the window is on the screen.
    MainWindow window(state, setup());
    QCOMPARE(m_list.reads, 0);
    window.show();
    QCOMPARE(m_list.reads, 0);
    QTRY_COMPARE(window.statusBar()->currentMessage(),
                 QStringLiteral("Com 1 uses %1 (FT232R USB UART)").arg(pty));
    QCOMPARE(m_list.reads, 1);

    Find<QAction>(&window, "mnuConfigTransmit")->trigger();
    QWidget *transmit = Find<QWidget>(&window, "frmTransmit");
    QVERIFY(transmit);
    Find<QRadioButton>(transmit, "OptMode_1")->click();
    QCOMPARE(FirstLine(Find<QRadioButton>(transmit, "OptPort_0")->toolTip()),
             QStringLiteral("Com 1: %1, FT232R USB UART, serial A50285BI (the only USB adapter)")
                 .arg(pty));
    QCOMPARE(PressAndAnswer(Find<QPushButton>(transmit, "cmdTransmit")),
             QStringLiteral("Download OK!"));
    QCOMPARE(m_device.image, state.images.ConfigImage);

    // Said once: a change of the ports present does not say it again.
    window.statusBar()->clearMessage();
    QSignalSpy changed(&ports, &PortMapping::Changed);
    m_list.ports << BuiltIn(QStringLiteral("/dev/ttyS7"));
    QVERIFY(changed.wait(kFollowMs));
    QCOMPARE(window.statusBar()->currentMessage(), QString());

    // The menu item opens the mapping over the window.
    Find<QAction>(&window, "mnuToolsPorts")->trigger();
    QPointer<QDialog> mapping = Find<QDialog>(&window, "frmPortMapping");
    QVERIFY(mapping && mapping->isVisible());
    mapping->reject();
    QTRY_VERIFY(!mapping);
    state.images.SavedImage = state.images.ConfigImage;
}

QTEST_MAIN(TestPortMappingDialog)
#include "tst_portmappingdialog.moc"
