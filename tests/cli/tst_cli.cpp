#include "clirun.h"

#include "core/configfile.h"
#include "core/fieldtext.h"
#include "sim/simdevice.h"
#include "sim/simserialserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <memory>

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

struct Loaded
{
    bool ok = false;
    HeaderTexts header;
    LinkSettings link;
    ParameterImages images;
};

Loaded Load(const QString &path)
{
    Loaded loaded;
    loaded.ok = ReadConfiguration(Contents(path), loaded.header, loaded.link, loaded.images);
    return loaded;
}

// A configuration as the window's Save writes it, with texts a file must keep intact.
QByteArray WindowFile(Image *imageOut = nullptr)
{
    Image image = FactoryImage();
    image[16] = 0x5A; // language 5, reserved bits, parity...
    image[8] = 2;     // prefix {STX}
    image[24] = 0xFE; // bits no page shows
    image[84] = ',';
    if (imageOut)
        *imageOut = image;
    LinkSettings link;
    link.CommPort = 3;
    link.LinkMode = LinkSettings::kByRs232;
    return WriteConfiguration({QStringLiteral("Till 7"), QStringLiteral("Ann \"A\", Ops"),
                               QStringLiteral("2024-01-31"), QStringLiteral("Lane 3, café")},
                              link, image);
}

// The kind of what stands at `path`, a link not followed: file, link, pipe, device, folder.
mode_t Kind(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void showFactory();
    void showJson();
    void setAndShow();
    void setRoundTrip_data();
    void setRoundTrip();
    void setRefused_data();
    void setRefused();
    void damagedFiles();
    void newFile();
    void fileTargets_data();
    void fileTargets();
    void diffFiles();
    void usage_data();
    void usage();
    void threeDevicesOneSilent();
    void deviceExchanges();
    void deviceFaults_data();
    void deviceFaults();
    void serialOptionsReachTheLine();
    void readMemory();
    void memoryFaults_data();
    void memoryFaults();
    void readMemoryFailsLate_data();
    void readMemoryFailsLate();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    QString NewFactoryFile(const char *name);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestCli::NewFactoryFile(const char *name)
{
    const QString path = Path(name);
    const CliRun run = Cli({QStringLiteral("new"), path});
    if (run.code != 0)
        qWarning() << run.err;
    return path;
}

void TestCli::showFactory()
{
    const QString path = NewFactoryFile("factory.cfg");
    const CliRun run = Cli({QStringLiteral("show"), path});
    QCOMPARE(run.code, 0);
    for (const char *line :
         {"  Device Name: \"Device Name\"  [header.device-name]",
          "  Interface: By Keyboard  [link.mode]", "  Port: Com 1  [link.port]",
          "Bar_Decoder / Communication Parameters (cfg4)",
          "  Select Terminator: CR+LF  [decoder.comm.terminator]",
          "  Language Selection: US English  [decoder.misc.language]",
          "  Prefix: \"\"  [decoder.misc.prefix]",
          "Magnic_Reader / Miscellaneous Parameters (magcfg6)",
          "  Track 1 Start Char: \"%\"  [reader.misc.track1.start]",
          "  Separator Character (For Dual Or Triple Tracks): CR  [reader.card.separator]"})
        QVERIFY2(run.out.contains(QLatin1String(line)), line);
    QVERIFY(run.err.isEmpty());
}

void TestCli::showJson()
{
    const QString path = Path("window.cfg");
    Write(path, WindowFile());
    const CliRun run = Cli({QStringLiteral("show"), path, QStringLiteral("--json")});
    QCOMPARE(run.code, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QHash<QString, QString> values;
    for (const auto group : doc.object().value(QStringLiteral("groups")).toArray()) {
        for (const auto parameter :
             group.toObject().value(QStringLiteral("parameters")).toArray()) {
            const QJsonObject p = parameter.toObject();
            values.insert(p.value(QStringLiteral("name")).toString(),
                          p.value(QStringLiteral("value")).toString());
        }
    }
    // Every row of the catalogue, the four header texts, the port and the link mode.
    QCOMPARE(values.size(), qsizetype(FieldCatalogue().size()) + 6);
    QCOMPARE(values.value(QStringLiteral("decoder.misc.language")), QStringLiteral("German"));
    QCOMPARE(values.value(QStringLiteral("decoder.misc.prefix")), QStringLiteral("{STX}"));
    QCOMPARE(values.value(QStringLiteral("reader.card.separator")), QStringLiteral(","));
    QCOMPARE(values.value(QStringLiteral("header.description")), QStringLiteral("Lane 3, café"));
    QCOMPARE(values.value(QStringLiteral("link.port")), QStringLiteral("Com 3"));
    QCOMPARE(values.value(QStringLiteral("link.mode")), QStringLiteral("By RS232"));
}

void TestCli::setAndShow()
{
    const QString path = NewFactoryFile("set.cfg");
    const CliRun set =
        Cli({QStringLiteral("set"), path, QStringLiteral("decoder.misc.language=German"),
             QStringLiteral("decoder.misc.prefix={STX}AB"),
             QStringLiteral("reader.comm.terminator=cr+lf"),
             QStringLiteral("header.user-name=Ann, \"Ops\""), QStringLiteral("link.port=com 4")});
    QCOMPARE(set.code, 0);
    QVERIFY(set.err.isEmpty());
    const CliRun show = Cli({QStringLiteral("show"), path});
    QCOMPARE(show.code, 0);
    QVERIFY(
        show.out.contains(QLatin1String("  Language Selection: German  [decoder.misc.language]")));
    QVERIFY(show.out.contains(QLatin1String("  Prefix: \"{STX}AB\"  [decoder.misc.prefix]")));
    QVERIFY(
        show.out.contains(QLatin1String("  User's Name: \"Ann, \"Ops\"\"  [header.user-name]")));
    QVERIFY(show.out.contains(QLatin1String("  Port: Com 4  [link.port]")));

    const Loaded loaded = Load(path);
    QVERIFY(loaded.ok);
    QCOMPARE(int(loaded.images.ConfigImage[16] & 0xF0), 0x50);
    QCOMPARE(int(loaded.images.ConfigImage[16] & 0x0F), int(FactoryImage()[16] & 0x0F));
    QCOMPARE(int(loaded.images.ConfigImage[8]), 2);
    QCOMPARE(int(loaded.images.ConfigImage[11]), 255);
    QCOMPARE(loaded.link.CommPort, 4);
    // The file is in the exact format: what the writer makes of the loaded state.
    QCOMPARE(Contents(path),
             WriteConfiguration(loaded.header, loaded.link, loaded.images.ConfigImage));
}

void TestCli::setRoundTrip_data()
{
    QTest::addColumn<bool>("windowFile");
    QTest::newRow("factory file") << false;
    QTest::newRow("file of the window's Save") << true;
}

// Setting parameters and setting them back gives the same file, byte for byte: nothing else
// in it moves, not the header, not the bits no page shows.
void TestCli::setRoundTrip()
{
    QFETCH(bool, windowFile);
    QString path = Path("trip.cfg");
    if (windowFile)
        Write(path, WindowFile());
    else
        path = NewFactoryFile("trip.cfg");
    const QByteArray original = Contents(path);
    const Loaded before = Load(path);

    QStringList back;
    QStringList changes;
    for (const char *name : {"decoder.comm.parity", "decoder.misc.prefix", "reader.card.separator",
                             "reader.misc.track2.suffix", "decoder.misc.truncate-end",
                             "decoder.barcodes.upca", "reader.misc.track1.start"}) {
        const FieldSpec *field = FindField(name);
        QVERIFY(field);
        back << Text(name) + QLatin1Char('=') + FieldValueText(*field, before.images.ConfigImage);
    }
    changes << QStringLiteral("decoder.comm.parity=Even") << QStringLiteral("decoder.misc.prefix=#")
            << QStringLiteral("reader.card.separator=ESC")
            << QStringLiteral("reader.misc.track2.suffix={^F10}{CR}x")
            << QStringLiteral("decoder.misc.truncate-end=9")
            << QStringLiteral("decoder.barcodes.upca=Off")
            << QStringLiteral("reader.misc.track1.start={SOH}");
    QCOMPARE(Cli(QStringList{QStringLiteral("set"), path} + changes).code, 0);
    QVERIFY(Contents(path) != original);
    QCOMPARE(Cli(QStringList{QStringLiteral("set"), path} + back).code, 0);
    QCOMPARE(Contents(path), original);
}

void TestCli::setRefused_data()
{
    QTest::addColumn<QStringList>("assignments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown name") << QStringList{QStringLiteral("decoder.comm.parrity=Odd")} << 1
                                  << "decoder.comm.parrity: no such parameter";
    QTest::newRow("unknown value") << QStringList{QStringLiteral("decoder.comm.parity=Oddly")} << 1
                                   << "one of: Space, Mark, Even, Odd, None";
    QTest::newRow("one bad among good ones")
        << QStringList{QStringLiteral("decoder.comm.parity=Odd"),
                       QStringLiteral("decoder.misc.prefix={STX}ABCD")}
        << 1 << "has more than 4 keys";
    QTest::newRow("port out of range")
        << QStringList{QStringLiteral("link.port=Com 5")} << 1 << "Com 1, Com 2";
    QTest::newRow("header line end")
        << QStringList{QStringLiteral("header.description=a\nb")} << 1 << "line end";
    QTest::newRow("header outside the set")
        << QStringList{QStringLiteral("header.device-name=\u20AC")} << 1 << "character set";
    QTest::newRow("no equals sign")
        << QStringList{QStringLiteral("decoder.comm.parity")} << 3 << "NAME=VALUE";
}

// A refused set names the reason and leaves the file byte for byte as it was.
void TestCli::setRefused()
{
    QFETCH(QStringList, assignments);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString path = Path("refuse.cfg");
    Write(path, WindowFile());
    const QByteArray original = Contents(path);
    const CliRun run = Cli(QStringList{QStringLiteral("set"), path} + assignments);
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(Contents(path), original);
}

void TestCli::damagedFiles()
{
    // Cut after line 50: show warns and shows, set refuses to fill in factory values.
    const QString cut = Path("cut.cfg");
    const QByteArray whole = WindowFile();
    qsizetype end = 0;
    for (int line = 0; line < 50; ++line)
        end = whole.indexOf('\n', end) + 1;
    Write(cut, whole.left(end));
    const CliRun show = Cli({QStringLiteral("show"), cut});
    QCOMPARE(show.code, 0);
    QVERIFY2(show.err.contains(QLatin1String("42 values could not be read")), qPrintable(show.err));
    const CliRun set = Cli({QStringLiteral("set"), cut, QStringLiteral("decoder.comm.parity=Odd")});
    QCOMPARE(set.code, 4);
    QCOMPARE(Contents(cut), whole.left(end));

    const QString wrong = Path("wrong.cfg");
    Write(wrong, "YORN\r\n");
    const CliRun refused = Cli({QStringLiteral("show"), wrong});
    QCOMPARE(refused.code, 4);
    QVERIFY(refused.err.contains(QLatin1String("This File Is Not A Configuration Setup File")));
    QCOMPARE(Cli({QStringLiteral("show"), Path("missing.cfg")}).code, 4);
    // A folder that does not exist cannot take the file.
    QCOMPARE(Cli({QStringLiteral("new"), Path("no/such/folder.cfg")}).code, 4);
}

void TestCli::newFile()
{
    const QString path = NewFactoryFile("new.cfg");
    const Loaded loaded = Load(path);
    QVERIFY(loaded.ok);
    QVERIFY(loaded.images.ConfigImage == FactoryImage());
    const HeaderTexts texts = NewFileHeaderTexts();
    QCOMPARE(loaded.header.Description, texts.Description);
    QCOMPARE(loaded.header.DeviceName, texts.DeviceName);
    QCOMPARE(Contents(path).count('\n'), kConfigLines);

    // An existing file is replaced only when asked to.
    const QByteArray first = Contents(path);
    QCOMPARE(Cli({QStringLiteral("new"), path}).code, 4);
    QCOMPARE(Contents(path), first);

    Image defaults = FactoryImage();
    defaults[20] = 0x44;
    defaults[9] = 'Z';
    const QString defaultsFile = Path("defaults");
    Write(defaultsFile, WriteDefaults(defaults));
    QCOMPARE(Cli({QStringLiteral("new"), path, QStringLiteral("--force"),
                  QStringLiteral("--defaults-file"), defaultsFile})
                 .code,
             0);
    QVERIFY(Load(path).images.ConfigImage == defaults);

    Write(defaultsFile, "J30_Defaults\r\n 1 \r\n");
    QCOMPARE(Cli({QStringLiteral("new"), Path("other.cfg"), QStringLiteral("--defaults-file"),
                  defaultsFile})
                 .code,
             4);
    QVERIFY(!QFile::exists(Path("other.cfg")));
}

void TestCli::fileTargets_data()
{
    // "TARGET" in the arguments stands for the file prepared as `target`; "PORT" for a
    // simulated device (a port that does not exist where none is needed).
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, const char *arguments, const char *target,
                        const char *message) {
        QTest::newRow(name) << QString::fromLatin1(arguments).split(QLatin1Char(' '))
                            << QString::fromLatin1(target) << QString::fromLatin1(message);
    };
    // Nothing is read from anything but a file of a sensible size.
    row("show a device", "show TARGET", "zero", "is a device");
    row("show a pipe", "show TARGET", "pipe", "is a named pipe");
    row("show a huge file", "show TARGET", "huge", "is too large");
    row("upload into a device", "upload --port PORT --into TARGET", "zero", "is a device");
    row("defaults from a device", "new new.cfg --defaults-file TARGET", "zero", "is a device");
    // Writing: a pipe or a device is never replaced by a file, a full disk keeps the old one.
    const char *memory = "read-memory --port PORT --clear -o TARGET";
    row("new onto a pipe nobody reads", "new TARGET --force", "pipe", "no program is reading");
    row("new onto a full device", "new TARGET --force", "full", "No space left on device");
    row("memory onto a pipe nobody reads", memory, "pipe", "no program is reading");
    row("memory onto a full device", memory, "full", "No space left on device");
    row("memory onto a full disk", memory, "full disk", "");
}

void TestCli::fileTargets()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, target);
    QFETCH(QString, message);
    const QString path = Path("target");
    const QByteArray name = QFile::encodeName(path);
    const QByteArray previous = WindowFile();
    if (target == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (target == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (target == QLatin1String("huge")) {
        // A valid start, then far more than any configuration file holds.
        Write(path, previous + QByteArray(kConfigFileSizeLimit, '\n'));
    } else if (target == QLatin1String("full")) {
        if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
    } else if (target == QLatin1String("full disk")) {
        Write(path, previous);
    }
    const mode_t kind = Kind(path);

    SimDevice device;
    // More records than fit below the size limit; the port's lock file must still fit.
    for (int i = 0; target == QLatin1String("full disk") && i < 30; ++i)
        device.memory.append(QByteArray::number(4006381333931LL + i));
    SimSerialServer server(device);
    const bool memory = arguments.constFirst() == QLatin1String("read-memory");
    if (memory)
        QVERIFY(server.OpenPseudoTerminal());
    for (QString &argument : arguments) {
        if (argument == QLatin1String("TARGET"))
            argument = path;
        else if (argument == QLatin1String("PORT"))
            argument = memory ? server.Path() : Path("no-such-port");
        else if (argument == QLatin1String("new.cfg"))
            argument = Path("new.cfg");
    }
    const CliRun run = Cli(arguments, {}, target == QLatin1String("full disk") ? 300 : 0);
    // A file error with the reason; whatever stood there is still there, nothing beside it,
    // and the records stay on the device.
    QCOMPARE(run.code, 4);
    QVERIFY2(run.err.contains(path) && run.err.contains(message), qPrintable(run.err));
    QCOMPARE(Kind(path), kind);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("target")});
    if (target == QLatin1String("full disk"))
        QCOMPARE(Contents(path), previous);
    QVERIFY(!device.memory.isEmpty());
}

void TestCli::diffFiles()
{
    const QString a = NewFactoryFile("a.cfg");
    const QString b = Path("b.cfg");
    QVERIFY(QFile::copy(a, b));
    const CliRun same = Cli({QStringLiteral("diff"), a, b});
    QCOMPARE(same.code, 0);
    QVERIFY(same.out.isEmpty());

    QCOMPARE(Cli({QStringLiteral("set"), b, QStringLiteral("reader.comm.parity=Mark"),
                  QStringLiteral("decoder.misc.suffix={CR}")})
                 .code,
             0);
    // A bit that no page shows counts too: it goes to the device all the same.
    Loaded loaded = Load(b);
    loaded.images.ConfigImage[24] |= 0x80;
    Write(b, WriteConfiguration(loaded.header, loaded.link, loaded.images.ConfigImage));
    const CliRun differ = Cli({QStringLiteral("diff"), a, b});
    QCOMPARE(differ.code, 1);
    const QStringList lines = differ.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{QStringLiteral("decoder.misc.suffix\t\"\"\t\"{CR}\""),
                                 QStringLiteral("reader.comm.parity\tNone\tMark"),
                                 QStringLiteral("image.byte24\t0\t128")}));
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")};
    QTest::newRow("show without file") << QStringList{QStringLiteral("show")};
    QTest::newRow("option of another command")
        << QStringList{QStringLiteral("show"), QStringLiteral("x.cfg"), QStringLiteral("--verify")};
    QTest::newRow("set without assignment")
        << QStringList{QStringLiteral("set"), QStringLiteral("x.cfg")};
    QTest::newRow("download without port")
        << QStringList{QStringLiteral("download"), QStringLiteral("x.cfg")};
    QTest::newRow("bad baud") << QStringList{QStringLiteral("version"), QStringLiteral("--port"),
                                             QStringLiteral("1"), QStringLiteral("--baud"),
                                             QStringLiteral("9601")};
    QTest::newRow("bad data bits")
        << QStringList{QStringLiteral("version"), QStringLiteral("--port"), QStringLiteral("1"),
                       QStringLiteral("--data-bits"), QStringLiteral("6")};
    QTest::newRow("upload without file")
        << QStringList{QStringLiteral("upload"), QStringLiteral("--port"), QStringLiteral("1")};
    QTest::newRow("upload from two ports")
        << QStringList{QStringLiteral("upload"), QStringLiteral("--into"), QStringLiteral("x.cfg"),
                       QStringLiteral("--port"), QStringLiteral("1"),      QStringLiteral("--port"),
                       QStringLiteral("2")};
    QTest::newRow("clear without a file")
        << QStringList{QStringLiteral("read-memory"), QStringLiteral("--port"), QStringLiteral("1"),
                       QStringLiteral("--clear")};
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("show"), QStringLiteral("--colour")};
}

void TestCli::usage()
{
    QFETCH(QStringList, arguments);
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, 3);
    QVERIFY(!run.err.isEmpty());
    // A program that asked for JSON gets one line it can read, and nothing else.
    const CliRun json = Cli(arguments + QStringList{QStringLiteral("--json")});
    QCOMPARE(json.code, 3);
    QVERIFY(json.err.isEmpty());
    QCOMPARE(json.out.count(QLatin1Char('\n')), 1);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(object.value(QStringLiteral("outcome")).toString(), QStringLiteral("usage"));
    QVERIFY(!object.value(QStringLiteral("message")).toString().isEmpty());
}

// Three devices at once, one of them silent: the two others are configured, the silent one
// times out, and the exit status says so.
void TestCli::threeDevicesOneSilent()
{
    SimDevice devices[3];
    devices[1].faults.silent = true;
    std::unique_ptr<SimSerialServer> servers[3];
    QStringList arguments{QStringLiteral("download"), Path("fleet.cfg")};
    Write(Path("fleet.cfg"), WindowFile());
    for (int i = 0; i < 3; ++i) {
        servers[i] = std::make_unique<SimSerialServer>(devices[i]);
        QVERIFY(servers[i]->OpenPseudoTerminal());
        arguments << QStringLiteral("--port") << servers[i]->Path();
    }
    Image sent;
    WindowFile(&sent);
    QElapsedTimer clock;
    clock.start();
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, 2);
    // The downloads run side by side: one time-out, not three waits in a row.
    QVERIFY2(clock.elapsed() < 6500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(run.out.contains(servers[0]->Path() + QStringLiteral(": Download OK!")));
    QVERIFY(run.out.contains(servers[2]->Path() + QStringLiteral(": Download OK!")));
    QVERIFY(run.err.contains(servers[1]->Path() + QStringLiteral(": Time Out Error!")));
    QVERIFY(!run.out.contains(servers[1]->Path()));
    for (int i : {0, 2}) {
        QCOMPARE(devices[i].DownloadsSaved(), 1);
        QVERIFY(Image(devices[i].image) == sent);
    }
    QCOMPARE(devices[1].DownloadsSaved(), 0);
}

void TestCli::deviceExchanges()
{
    SimDevice device;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    const QStringList port{QStringLiteral("--port"), server.Path()};

    const CliRun version = Cli(QStringList{QStringLiteral("version")} + port);
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out,
             QStringLiteral("Get Firmware Version OK!\n\n   K30SIM V1.00\n   2024-05-01\n"));

    // Upload: only the section the device sends changes in the file.
    const QString file = Path("backup.cfg");
    Write(file, WindowFile());
    const Loaded before = Load(file);
    device.section = SimDevice::Section::Reader;
    device.image[27] = 0x61;
    device.image[29] = 'Q';
    const CliRun upload =
        Cli(QStringList{QStringLiteral("upload"), QStringLiteral("--into"), file} + port);
    QCOMPARE(upload.code, 0);
    QCOMPARE(upload.out, QStringLiteral("   Upload OK!   \n"));
    const Loaded after = Load(file);
    for (int i = 0; i < kImageSize; ++i)
        QCOMPARE(int(after.images.ConfigImage[std::size_t(i)]),
                 int(i < kReaderFirst ? before.images.ConfigImage[std::size_t(i)]
                                      : device.image[std::size_t(i)]));
    QCOMPARE(after.header.Description, before.header.Description);
    QCOMPARE(after.link.CommPort, before.link.CommPort);

    // The file now matches the device; a changed reader field does not.
    QCOMPARE(Cli(QStringList{QStringLiteral("diff"), file} + port).code, 0);
    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("reader.comm.parity=Even")}).code, 0);
    const CliRun differ = Cli(QStringList{QStringLiteral("diff"), file} + port);
    QCOMPARE(differ.code, 1);
    QCOMPARE(differ.out, QStringLiteral("reader.comm.parity\tEven\tOdd\n"));

    // Download and verify; "Not Save" leaves the device's image as it was, and the
    // verification says which parameters it holds differently.
    const CliRun verified =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--verify")} + port);
    QCOMPARE(verified.code, 0);
    QCOMPARE(verified.out,
             QStringLiteral("Download OK!\nVerify OK! (reader section, bytes 25 to 84)\n"
                            "The decoder section (bytes 0 to 24) could not be read back and is "
                            "not verified.\n"));
    QCOMPARE(
        Cli({QStringLiteral("set"), file, QStringLiteral("reader.misc.track1.prefix={CR}")}).code,
        0);
    const CliRun notSaved =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--not-save"),
                        QStringLiteral("--verify")} +
            port);
    QCOMPARE(notSaved.code, 1);
    QCOMPARE(notSaved.out, QStringLiteral("Download OK!\n"));
    QVERIFY2(notSaved.err.contains(QLatin1String("reader.misc.track1.prefix\t\"{CR}\"\t\"Q\"")),
             qPrintable(notSaved.err));
    QCOMPARE(device.DownloadsSaved(), 1);

    // A device that answers with its decoder section: a difference in the reader section
    // is neither listed nor taken as verified.
    device.section = SimDevice::Section::Decoder;
    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("decoder.comm.parity=Even")}).code,
             0);
    const CliRun decoderOnly =
        Cli(QStringList{QStringLiteral("download"), file, QStringLiteral("--not-save"),
                        QStringLiteral("--verify")} +
            port);
    QCOMPARE(decoderOnly.code, 1);
    const QStringList lines = decoderOnly.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() > 2, qPrintable(decoderOnly.err));
    QVERIFY(lines.front().contains(QLatin1String("decoder section, bytes 0 to 24")));
    QCOMPARE(lines.mid(1, lines.size() - 2),
             QStringList{QStringLiteral("decoder.comm.parity\tEven\tNone")});
    QCOMPARE(lines.back(), QStringLiteral("The reader section (bytes 25 to 84) could not be read "
                                          "back and is not verified."));
}

void TestCli::deviceFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused download") << "download"
                                      << "refuse" << 1 << "Download Failed!\n";
    QTest::newRow("wrong check") << "version"
                                 << "wrong-check" << 1 << "Upload Failed!\n";
    QTest::newRow("short upload answer") << "upload"
                                         << "short" << 2 << "Time Out Error!\n";
    QTest::newRow("no such port") << "download"
                                  << "missing" << 5 << "";
    QTest::newRow("window port") << "version"
                                 << "com" << 5 << "COM 4: not available.\n";
}

void TestCli::deviceFaults()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    SimDevice device;
    device.faults.refuseDownload = fault == QLatin1String("refuse");
    device.faults.wrongCheck = fault == QLatin1String("wrong-check");
    device.faults.shortAnswer = fault == QLatin1String("short") ? 40 : -1;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    QString port = server.Path();
    if (fault == QLatin1String("missing")) {
        port = Path("no-such-tty");
        message = port + QStringLiteral(": not available.\n");
    }
    if (fault == QLatin1String("com")) {
        qputenv("K30CFG_COM4", Path("no-such-tty").toLocal8Bit());
        port = QStringLiteral("COM4");
    }
    const QString file = Path("fault.cfg");
    Write(file, WindowFile());
    const QByteArray original = Contents(file);
    QStringList arguments{command, QStringLiteral("--port"), port};
    if (command == QLatin1String("download"))
        arguments.insert(1, file);
    if (command == QLatin1String("upload"))
        arguments << QStringLiteral("--into") << file;
    const CliRun run = Cli(arguments);
    qunsetenv("K30CFG_COM4");
    QCOMPARE(run.code, code);
    QCOMPARE(run.err, message);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(Contents(file), original);
}

void TestCli::serialOptionsReachTheLine()
{
    SimDevice device;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    const CliRun run = Cli({QStringLiteral("version"), QStringLiteral("--port"), server.Path(),
                            QStringLiteral("--baud"), QStringLiteral("19200"),
                            QStringLiteral("--stop-bits"), QStringLiteral("2")});
    QCOMPARE(run.code, 0);
    QVERIFY2(device.Log().contains(QStringLiteral("line 19200,N,8,2")),
             qPrintable(device.Log().join(QLatin1Char('\n'))));
}

// The simulator's sample records, to standard output, into a file, and cleared once saved.
void TestCli::readMemory()
{
    SimDevice device;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    const QStringList read{QStringLiteral("read-memory"), QStringLiteral("--port"), server.Path()};

    const CliRun shown = Cli(read);
    QCOMPARE(shown.code, 0);
    QCOMPARE(shown.out,
             QStringLiteral("4006381333931\nK30-SAMPLE-0002\nHELLO WORLD\n9780201633610\n"));
    QCOMPARE(shown.err, QStringLiteral("   Read Decoder Memory OK!\n"));

    const QByteArray file =
        "4006381333931\r\nK30-SAMPLE-0002\r\nHELLO WORLD\r\n9780201633610\r\n\r\n";
    const CliRun saved = Cli(read + QStringList{QStringLiteral("-o"), Path("scans.txt")});
    QCOMPARE(saved.code, 0);
    QCOMPARE(saved.out, QStringLiteral("   Read Decoder Memory OK!\n"));
    QCOMPARE(Contents(Path("scans.txt")), file);
    QCOMPARE(device.memory, SimDevice::SampleMemory());

    const CliRun cleared = Cli(read + QStringList{QStringLiteral("--output"), Path("kept.txt"),
                                                  QStringLiteral("--clear")});
    QCOMPARE(cleared.code, 0);
    QCOMPARE(cleared.out, QStringLiteral("   Read Decoder Memory OK!\nClear Decoder Memory OK!\n"));
    QCOMPARE(Contents(Path("kept.txt")), file);
    QVERIFY(device.memory.isEmpty());

    // An empty memory reads as the empty line of its end marker, as the window shows it.
    const CliRun empty = Cli(read + QStringList{QStringLiteral("-o"), Path("scans.txt")});
    QCOMPARE(empty.code, 0);
    QCOMPARE(Contents(Path("scans.txt")), QByteArray("\r\n\r\n"));

    // A thousand records take 282 blocks: all of them are saved before the memory is cleared.
    device.memory = SimDevice::GeneratedMemory(1000);
    QByteArray thousand;
    for (const QByteArray &record : device.memory)
        thousand += record + "\r\n";
    const CliRun many =
        Cli(read + QStringList{QStringLiteral("-o"), Path("many.txt"), QStringLiteral("--clear")});
    QCOMPARE(many.code, 0);
    QCOMPARE(Contents(Path("many.txt")), thousand + "\r\n");
    QVERIFY(device.memory.isEmpty());
}

void TestCli::memoryFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("cleared");
    // The file cannot be written: the records it would hold are still on the device.
    QTest::newRow("clear after a failed save")
        << "read-memory"
        << "no-folder" << QByteArray() << 4 << "The decoder memory was not cleared." << false;
    QTest::newRow("clear with --yes") << "clear-memory"
                                      << "yes" << QByteArray() << 0 << "" << true;
    QTest::newRow("clear refused")
        << "clear-memory"
        << "refuse" << QByteArray() << 1 << "Clear Decoder Memory Failed!" << false;
    QTest::newRow("clear, no input") << "clear-memory"
                                     << "" << QByteArray() << 1 << "Nothing was sent." << false;
    QTest::newRow("clear, answered no")
        << "clear-memory"
        << "" << QByteArray("n\n") << 1 << "Nothing was sent." << false;
    QTest::newRow("clear, answered yes") << "clear-memory"
                                         << "" << QByteArray(" Yes\n") << 0 << "" << true;
    QTest::newRow("silent device") << "read-memory"
                                   << "silent" << QByteArray() << 2 << "Time Out Error!" << false;
    QTest::newRow("silent device, clear")
        << "clear-memory"
        << "silent" << QByteArray() << 2 << "Time Out Error!" << false;
    QTest::newRow("bad block") << "read-memory"
                               << "bad-block" << QByteArray() << 1 << "Read Decoder Memory Failed!"
                               << false;
}

void TestCli::memoryFaults()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(QByteArray, input);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(bool, cleared);
    SimDevice device;
    device.faults.silent = fault == QLatin1String("silent");
    device.faults.refuseClear = fault == QLatin1String("refuse");
    device.faults.badBlock = fault == QLatin1String("bad-block") ? 0 : -1;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    QStringList arguments{command, QStringLiteral("--port"), server.Path()};
    if (fault == QLatin1String("no-folder"))
        arguments << QStringLiteral("-o") << Path("missing/scans.txt") << QStringLiteral("--clear");
    if (fault != QLatin1String("") && command == QLatin1String("clear-memory"))
        arguments << QStringLiteral("--yes");
    const CliRun run = Cli(arguments, input);
    QCOMPARE(run.code, code);
    if (code == 0)
        QCOMPARE(run.out, QStringLiteral("Clear Decoder Memory OK!\n"));
    else
        QVERIFY2(run.err.endsWith(message + QLatin1Char('\n')), qPrintable(run.err));
    QCOMPARE(device.memory.isEmpty(), cleared);
    const QString log = device.Log().join(QLatin1Char('\n'));
    QCOMPARE(log.contains(QLatin1String("memory cleared")), cleared);
    // Without an answer nothing goes out on the line at all.
    if (message == QLatin1String("Nothing was sent."))
        QVERIFY2(!log.contains(QLatin1String("received")), qPrintable(log));
    if (fault == QLatin1String("no-folder"))
        QVERIFY2(log.contains(QLatin1String("memory read")), qPrintable(log));
}

void TestCli::readMemoryFailsLate_data()
{
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Read Decoder Memory Failed!\n");
    QTest::newRow("bad block, to standard output") << false << false << failed;
    QTest::newRow("bad block, into a file, with --clear") << true << false << failed;
    // Stopped after 16384 blocks.
    QTest::newRow("endless memory, into a file, with --clear")
        << true << true
        << QStringLiteral("Read Decoder Memory Incomplete: the data did not end within the "
                          "blocks a read takes. Not all data was read!\n");
}

// The second block is damaged, or the data never ends: the records decoded before are handed
// over all the same, the failure is reported after them, and the memory is not cleared.
void TestCli::readMemoryFailsLate()
{
    QFETCH(bool, toFile);
    QFETCH(bool, endless);
    QFETCH(QString, message);
    SimDevice device;
    const QList<QByteArray> records = {QByteArray(28, 'a'), QByteArray(28, 'b'),
                                       QByteArray(28, 'c'), QByteArray(28, 'd')};
    device.memory = records;
    device.faults.badBlock = endless ? -1 : 1;
    device.faults.endlessMemory = endless;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    QStringList arguments{QStringLiteral("read-memory"), QStringLiteral("--port"), server.Path()};
    if (toFile)
        arguments << QStringLiteral("-o") << Path("part.txt") << QStringLiteral("--clear");
    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, 1);
    // The first block holds the first two records.
    const QByteArray firstTwo = records[0] + "\r\n" + records[1] + "\r\n";
    if (toFile) {
        QVERIFY(run.out.isEmpty());
        const QByteArray saved = Contents(Path("part.txt"));
        QVERIFY(saved.startsWith(firstTwo));
        if (!endless)
            QCOMPARE(saved, firstTwo + "\r\n");
        QCOMPARE(run.err, message + QStringLiteral("The decoder memory was not cleared.\n"));
    } else {
        QCOMPARE(run.out, QString::fromLatin1(records[0] + "\n" + records[1] + "\n"));
        QCOMPARE(run.err, message);
    }
    QCOMPARE(device.memory, records);
    QVERIFY(!device.Log().contains(QStringLiteral("memory cleared")));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
