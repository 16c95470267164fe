#include "support/fakeportlist.h"

#include "devicecommands.h"
#include "link/ports/portmapping.h"
#include "link/ports/serialdevice.h"
#include "memorycommands.h"
#include "portscommand.h"
#include "sim/simdevice.h"
#include "sim/simserialserver.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

const QString kSerial = QStringLiteral("K30PTY01");

// The keys of every line of `ports --json`, sorted: those of every command's lines and the
// port's own. Scripts rely on them; a change here is a change for them.
const QStringList kPortsKeys = {
    QStringLiteral("changed"), QStringLiteral("com"),     QStringLiteral("description"),
    QStringLiteral("device"),  QStringLiteral("diff"),    QStringLiteral("manufacturer"),
    QStringLiteral("message"), QStringLiteral("origin"),  QStringLiteral("outcome"),
    QStringLiteral("port"),    QStringLiteral("present"), QStringLiteral("product"),
    QStringLiteral("section"), QStringLiteral("serial"),  QStringLiteral("vendor"),
    QStringLiteral("versions")};

QList<QJsonObject> JsonLines(const QString &text)
{
    QList<QJsonObject> lines;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << QJsonDocument::fromJson(line.toUtf8()).object();
    return lines;
}

struct Printed
{
    int code = -1;
    QString out;
    QString err;
};

} // namespace

// k30cfg-cli's `ports` and `--port serial:NUMBER`: the commands run in this process against a
// fake port list that presents the simulated K30's pseudo-terminal as a USB adapter; the
// program itself is run once to show that it reads the window's port mapping.
class TestCliPorts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void serialPort_data();
    void serialPort();
    void portsJson();
    void portsHostileTexts();
    void programReadsWindowMapping();
    void unusableMappingIsIgnored_data();
    void unusableMappingIsIgnored();

private:
    Printed Run(const QString &command, const QString &port);

    QTemporaryDir m_config;
    FakePortList m_list;
    SimDevice m_device;
    std::unique_ptr<SimSerialServer> m_server;
};

void TestCliPorts::initTestCase()
{
    // The window's port mapping of this test, not the user's: set before any settings are
    // read, and inherited by the program run below.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void TestCliPorts::init()
{
    m_device = SimDevice();
    m_server = std::make_unique<SimSerialServer>(m_device);
    QVERIFY2(m_server->OpenPseudoTerminal(), qPrintable(m_server->ErrorString()));
    m_list.ports = {BuiltIn(StandardSerialDevice(1)), Adapter(m_server->Path(), kSerial)};
}

void TestCliPorts::cleanup()
{
    m_server.reset();
}

Printed TestCliPorts::Run(const QString &command, const QString &port)
{
    PortMapping mapping(m_list);
    // Com 2 is an adapter that is not plugged in.
    PortChoices choices;
    choices[1] = PortChoice::Of(Adapter(QStringLiteral("/dev/ttyUSB9"), QStringLiteral("GONE01")));
    mapping.SetChoices(choices);
    DeviceOptions devices;
    devices.ports = {port};
    devices.settingsText = QStringLiteral("9600,N,8,1 ");
    devices.mapping = &mapping;
    Printed printed;
    QTextStream out(&printed.out);
    QTextStream err(&printed.err);
    if (command == QLatin1String("version")) {
        printed.code = VersionCommand(devices, out, err);
    } else if (command == QLatin1String("read-memory")) {
        printed.code = ReadMemoryCommand(devices, QString(), false, out, err);
    } else {
        QString none;
        QTextStream in(&none);
        printed.code = ClearMemoryCommand(devices, true, in, out, err);
    }
    out.flush();
    err.flush();
    return printed;
}

void TestCliPorts::serialPort_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err"); // %1: the pseudo-terminal
    // How often the port list is read: only to find a "Com n" or a serial number, never for a
    // device path (reading it walks thousands of files).
    QTest::addColumn<int>("reads");
    const QString unknown = QStringLiteral("serial:A50285BI: not available.\nSerial numbers "
                                           "present: K30PTY01 (%1)\n");
    QTest::newRow("version, the adapter present")
        << QStringLiteral("version") << QStringLiteral("serial:") + kSerial << 0 << QString() << 1;
    QTest::newRow("version, no such adapter")
        << QStringLiteral("version") << QStringLiteral("serial:A50285BI") << 5 << unknown << 1;
    QTest::newRow("read-memory, no such adapter")
        << QStringLiteral("read-memory") << QStringLiteral("serial:A50285BI") << 5 << unknown << 1;
    QTest::newRow("clear-memory, no such adapter")
        << QStringLiteral("clear-memory") << QStringLiteral("serial:A50285BI") << 5 << unknown << 1;
    QTest::newRow("version, the adapter chosen for Com 2 unplugged")
        << QStringLiteral("version") << QStringLiteral("2") << 5
        << QStringLiteral("COM 2: not available.\nCom 2: /dev/ttyUSB9, FT232R USB UART, serial "
                          "GONE01 (not present)\n")
        << 1;
    QTest::newRow("version, the device by its path")
        << QStringLiteral("version") << QStringLiteral("%1") << 0 << QString() << 0;
}

void TestCliPorts::serialPort()
{
    QFETCH(QString, command);
    QFETCH(QString, port);
    QFETCH(QString, err);
    const auto records = m_device.memory.size();
    m_list.reads = 0;
    const Printed printed =
        Run(command, QString(port).replace(QStringLiteral("%1"), m_server->Path()));
    QTEST(printed.code, "code");
    QTEST(m_list.reads, "reads");
    QCOMPARE(printed.err, err.isEmpty() ? err : err.arg(m_server->Path()));
    if (printed.code == 0)
        QVERIFY(printed.out.contains(QStringLiteral("Get Firmware Version OK!")));
    QCOMPARE(m_device.memory.size(), records);
}

void TestCliPorts::portsJson()
{
    PortMapping mapping(m_list);
    QString text;
    QTextStream out(&text);
    QCOMPARE(PortsCommand(mapping, true, out), 0);
    const QList<QJsonObject> lines = JsonLines(text);
    QCOMPARE(lines.size(), 2 + 4);
    for (const QJsonObject &line : lines)
        QCOMPARE(line.keys(), kPortsKeys);
    QCOMPARE(lines[1][QStringLiteral("serial")].toString(), kSerial);
    QCOMPARE(lines[1][QStringLiteral("vendor")].toString(), QStringLiteral("0403"));
    // "Com 1" has a port of its own here, so the adapter is not taken for it.
    QCOMPARE(lines[2][QStringLiteral("com")].toInt(), 1);
    QCOMPARE(lines[2][QStringLiteral("device")].toString(), StandardSerialDevice(1));
    QCOMPARE(lines[2][QStringLiteral("origin")].toString(), QStringLiteral("standard"));
}

void TestCliPorts::portsHostileTexts()
{
    // An adapter's description and serial number, and a description kept in the settings, are
    // whatever their makers wrote: tabs and line ends would make fields and lines of their own,
    // a terminal escape would drive the terminal.
    const QString hostile = QStringLiteral("A\t$(touch x)\r\n\x1b[2J\x7f\u009b`;`\\t");
    PortDetails adapter = Adapter(QStringLiteral("/dev/ttyUSB3"), QStringLiteral("S\tN"));
    adapter.description = hostile;
    m_list.ports = {adapter};
    PortMapping mapping(m_list);
    PortChoices choices;
    choices[1] = PortChoice{QStringLiteral("GONE02"), QStringLiteral("/dev/ttyUSB9"), hostile};
    mapping.SetChoices(choices);
    const QString printed = QStringLiteral("A\\t$(touch x)\\r\\n\\x1b[2J\\x7f\\x9b`;`\\\\t");

    QString text;
    QTextStream out(&text);
    QCOMPARE(PortsCommand(mapping, false, out), 0);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 1 + 1 + 1 + 4 + 1);
    QCOMPARE(lines[1], QStringLiteral("/dev/ttyUSB3\t%1\tFTDI\tS\\tN\t0403:6001").arg(printed));
    QCOMPARE(lines[4], QStringLiteral("Com 2\t/dev/ttyUSB9\tchosen in Port Mapping, not present\t"
                                      "%1, serial GONE02")
                           .arg(printed));

    // JSON keeps them as they are, escaped by JSON: still one object per line.
    QString json;
    QTextStream jsonOut(&json);
    QCOMPARE(PortsCommand(mapping, true, jsonOut), 0);
    const QList<QJsonObject> objects = JsonLines(json);
    QCOMPARE(objects.size(), 1 + 4);
    QCOMPARE(objects[0][QStringLiteral("description")].toString(), hostile);
    QCOMPARE(objects[0][QStringLiteral("serial")].toString(), QStringLiteral("S\tN"));
    QCOMPARE(objects[2][QStringLiteral("description")].toString(), hostile);
}

void TestCliPorts::programReadsWindowMapping()
{
    // What the window's "Port Mapping" keeps, written where the window writes it.
    {
        PortMapping window(m_list, PortMapping::UserSettings());
        PortChoices choices;
        choices[1] = PortChoice{{}, QStringLiteral("/dev/ttyACM7"), {}};
        window.SetChoices(choices);
    }
    qputenv("K30CFG_COM3", "/dev/pts/88");
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM3"); });
    QProcess cli;
    cli.start(QStringLiteral(K30_CLI), {QStringLiteral("ports"), QStringLiteral("--json")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardError(), QByteArray());
    QList<QJsonObject> coms;
    for (const QJsonObject &line : JsonLines(QString::fromUtf8(cli.readAllStandardOutput()))) {
        QCOMPARE(line.keys(), kPortsKeys);
        if (!line[QStringLiteral("com")].isNull())
            coms << line;
    }
    QCOMPARE(coms.size(), 4);
    QCOMPARE(coms[1][QStringLiteral("device")].toString(), QStringLiteral("/dev/ttyACM7"));
    QCOMPARE(coms[1][QStringLiteral("origin")].toString(), QStringLiteral("choice"));
    QCOMPARE(coms[2][QStringLiteral("device")].toString(), QStringLiteral("/dev/pts/88"));
    QCOMPARE(coms[2][QStringLiteral("origin")].toString(), QStringLiteral("environment"));
}

void TestCliPorts::unusableMappingIsIgnored_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << QStringLiteral("pipe") << QStringLiteral("is a named pipe");
    QTest::newRow("device") << QStringLiteral("device") << QStringLiteral("is a device");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("is a folder");
    QTest::newRow("huge file") << QStringLiteral("huge") << QStringLiteral("is too large");
}

// A port mapping that is no file of a sensible size is not read: the command goes on without
// it, and says so.
void TestCliPorts::unusableMappingIsIgnored()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("k30cfg")));
    const QString file = config.filePath(QStringLiteral("k30cfg/ports.conf"));
    const QByteArray name = QFile::encodeName(file);
    if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == QLatin1String("device")) {
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(file));
    } else {
        QFile huge(file);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(1024 * 1024 * 1024));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess cli;
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(K30_CLI),
              {QStringLiteral("version"), QStringLiteral("--port"), QStringLiteral("/dev/null")});
    QVERIFY(cli.waitForFinished(10000));
    QCOMPARE(cli.exitCode(), 5);
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    QVERIFY2(err.startsWith(file + QStringLiteral(": ") + reason) &&
                 err.contains(QLatin1String("the settings in it are not used")),
             qPrintable(err));
}

QTEST_GUILESS_MAIN(TestCliPorts)
#include "tst_cliports.moc"
