#include "support/clirun.h"
#include "support/files.h"
#ifdef Q_OS_UNIX
#include "support/simulatedk30.h"
#endif

#include "core/fieldtext.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <algorithm>
#include <memory>

namespace {

// Whether a terminal gets only text from it: no control character but line ends and the tabs
// between the columns of a table.
bool OnlyText(const QString &output)
{
    return std::ranges::none_of(output, [](QChar c) {
        return c.category() == QChar::Other_Control && c != QLatin1Char('\n') &&
               c != QLatin1Char('\t');
    });
}

} // namespace

// k30cfg-cli on configuration files: show, set, new and diff, the files it refuses to read or
// write, and a wrong command line. The device commands are in tst_clidevices.
class TestCliFiles : public QObject
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
#ifdef Q_OS_UNIX
    // Devices, named pipes and a full disk, against a simulated device on a pseudo-terminal.
    void fileTargets_data();
    void fileTargets();
#endif
    void diffFiles();
    void hostileHeaderTexts();
    void usage_data();
    void usage();

private:
    QString Path(const char *name) const
    {
        return m_dir->filePath(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCliFiles::showFactory()
{
    const QString path = CliNewFile(Path("factory.cfg"));
    const CliRun run = Cli({QStringLiteral("show"), path});
    QCOMPARE(run.code, 0);
    for (const char *line :
         {"  Device Name: \"Device Name\"  [header.device-name]",
          "  Interface: By Keyboard  [link.mode]", "  Port: Com 1  [link.port]",
          "Bar_Decoder / Communication Parameters",
          "  Select Terminator: CR+LF  [decoder.comm.terminator]",
          "  Language Selection: US English  [decoder.misc.language]",
          "  Prefix: \"\"  [decoder.misc.prefix]", "Magnic_Reader / Miscellaneous Parameters",
          "  Track 1 Start Char: \"%\"  [reader.misc.track1.start]",
          "  Separator Character (For Dual Or Triple Tracks): CR  [reader.card.separator]"})
        QVERIFY2(run.out.contains(QLatin1String(line)), line);
    QVERIFY(run.err.isEmpty());
}

void TestCliFiles::showJson()
{
    const QString path = Path("window.cfg");
    WriteFile(path, WindowFile());
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

void TestCliFiles::setAndShow()
{
    const QString path = CliNewFile(Path("set.cfg"));
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

    const auto loaded = LoadConfiguration(path);
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

void TestCliFiles::setRoundTrip_data()
{
    QTest::addColumn<bool>("windowFile");
    QTest::newRow("factory file") << false;
    QTest::newRow("file of the window's Save") << true;
}

// Setting parameters and setting them back gives the same file, byte for byte: nothing else
// in it moves, not the header, not the bits no page shows.
void TestCliFiles::setRoundTrip()
{
    QFETCH(bool, windowFile);
    QString path = Path("trip.cfg");
    if (windowFile)
        WriteFile(path, WindowFile());
    else
        path = CliNewFile(Path("trip.cfg"));
    const QByteArray original = Contents(path);
    const auto before = LoadConfiguration(path);

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

void TestCliFiles::setRefused_data()
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
    QTest::newRow("header carriage return")
        << QStringList{QStringLiteral("header.user-name=a\rb\x1b[2J")} << 1 << "line end";
    QTest::newRow("header outside the set")
        << QStringList{QStringLiteral("header.device-name=\u20AC")} << 1 << "character set";
    QTest::newRow("no equals sign")
        << QStringList{QStringLiteral("decoder.comm.parity")} << 3 << "NAME=VALUE";
}

// A refused set names the reason and leaves the file byte for byte as it was.
void TestCliFiles::setRefused()
{
    QFETCH(QStringList, assignments);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString path = Path("refuse.cfg");
    WriteFile(path, WindowFile());
    const QByteArray original = Contents(path);
    const CliRun run = Cli(QStringList{QStringLiteral("set"), path} + assignments);
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(OnlyText(run.err), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(Contents(path), original);
}

void TestCliFiles::damagedFiles()
{
    // Cut after line 50: show warns and shows, set refuses to fill in factory values.
    const QString cut = Path("cut.cfg");
    const QByteArray whole = WindowFile();
    qsizetype end = 0;
    for (int line = 0; line < 50; ++line)
        end = whole.indexOf('\n', end) + 1;
    WriteFile(cut, whole.left(end));
    const CliRun show = Cli({QStringLiteral("show"), cut});
    QCOMPARE(show.code, 0);
    QVERIFY2(show.err.contains(QLatin1String("42 values could not be read")), qPrintable(show.err));
    const CliRun set = Cli({QStringLiteral("set"), cut, QStringLiteral("decoder.comm.parity=Odd")});
    QCOMPARE(set.code, 4);
    QCOMPARE(Contents(cut), whole.left(end));

    const QString wrong = Path("wrong.cfg");
    WriteFile(wrong, "YORN\r\n");
    const CliRun refused = Cli({QStringLiteral("show"), wrong});
    QCOMPARE(refused.code, 4);
    QVERIFY(refused.err.contains(QLatin1String("This File Is Not A Configuration Setup File")));
    QCOMPARE(Cli({QStringLiteral("show"), Path("missing.cfg")}).code, 4);
    // A folder that does not exist cannot take the file.
    QCOMPARE(Cli({QStringLiteral("new"), Path("no/such/folder.cfg")}).code, 4);
}

void TestCliFiles::newFile()
{
    const QString path = CliNewFile(Path("new.cfg"));
    const auto loaded = LoadConfiguration(path);
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
    WriteFile(defaultsFile, WriteDefaults(defaults));
    QCOMPARE(Cli({QStringLiteral("new"), path, QStringLiteral("--force"),
                  QStringLiteral("--defaults-file"), defaultsFile})
                 .code,
             0);
    QVERIFY(LoadConfiguration(path).images.ConfigImage == defaults);

    WriteFile(defaultsFile, "J30_Defaults\r\n 1 \r\n");
    QCOMPARE(Cli({QStringLiteral("new"), Path("other.cfg"), QStringLiteral("--defaults-file"),
                  defaultsFile})
                 .code,
             4);
    QVERIFY(!QFile::exists(Path("other.cfg")));
}

#ifdef Q_OS_UNIX

void TestCliFiles::fileTargets_data()
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
    // (--clear takes only a regular file, which can be read back: tst_clidevices.)
    const char *memory = "read-memory --port PORT -o TARGET";
    row("new onto a pipe nobody reads", "new TARGET --force", "pipe", "no program is reading");
    row("new onto a full device", "new TARGET --force", "full", "No space left on device");
    row("memory onto a pipe nobody reads", memory, "pipe", "no program is reading");
    row("memory onto a full device", memory, "full", "No space left on device");
    row("memory onto a full disk", "read-memory --port PORT --clear -o TARGET", "full disk", "");
}

void TestCliFiles::fileTargets()
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
        WriteFile(path, previous + QByteArray(kConfigFileSizeLimit, '\n'));
    } else if (target == QLatin1String("full")) {
        if (!MakeFullDevice(path))
            QSKIP("making a device node needs root");
    } else if (target == QLatin1String("full disk")) {
        WriteFile(path, previous);
    }
    const mode_t kind = Kind(path);

    SimulatedK30 k30;
    SimDevice &device = k30.device;
    // More records than fit below the size limit; the port's lock file must still fit.
    for (int i = 0; target == QLatin1String("full disk") && i < 30; ++i)
        device.memory.append(QByteArray::number(4006381333931LL + i));
    const bool memory = arguments.constFirst() == QLatin1String("read-memory");
    QVERIFY(k30.IsOpen());
    for (QString &argument : arguments) {
        if (argument == QLatin1String("TARGET"))
            argument = path;
        else if (argument == QLatin1String("PORT"))
            argument = memory ? k30.Path() : Path("no-such-port");
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

#endif

void TestCliFiles::diffFiles()
{
    const QString a = CliNewFile(Path("a.cfg"));
    const QString b = Path("b.cfg");
    QVERIFY(QFile::copy(a, b));
    const CliRun same = Cli({QStringLiteral("diff"), a, b});
    QCOMPARE(same.code, 0);
    QVERIFY(same.out.isEmpty());

    // The header texts and the link settings count as much as the image.
    QCOMPARE(Cli({QStringLiteral("set"), b, QStringLiteral("reader.comm.parity=Mark"),
                  QStringLiteral("decoder.misc.suffix={CR}"),
                  QStringLiteral("header.description=Lane 3"), QStringLiteral("link.mode=By RS232"),
                  QStringLiteral("link.port=Com 2")})
                 .code,
             0);
    // A bit that no page shows counts too: it goes to the device all the same.
    auto loaded = LoadConfiguration(b);
    loaded.images.ConfigImage[24] |= 0x80;
    WriteFile(b, WriteConfiguration(loaded.header, loaded.link, loaded.images.ConfigImage));
    const CliRun differ = Cli({QStringLiteral("diff"), a, b});
    QCOMPARE(differ.code, 1);
    const QStringList lines = differ.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{QStringLiteral("header.description\t\"Your Description about this "
                                                "Setup\"\t\"Lane 3\""),
                                 QStringLiteral("link.mode\tBy Keyboard\tBy RS232"),
                                 QStringLiteral("link.port\tCom 1\tCom 2"),
                                 QStringLiteral("decoder.misc.suffix\t\"\"\t\"{CR}\""),
                                 QStringLiteral("reader.comm.parity\tNone\tMark"),
                                 QStringLiteral("image.byte24\t0\t128")}));
}

// A file's header text may hold any byte but a line end. The listings show control
// characters by their names, so that a file cannot drive the terminal (ESC [2J clears it) nor
// add a column to a table; --json carries the text exactly.
void TestCliFiles::hostileHeaderTexts()
{
    const QString plain = CliNewFile(Path("plain.cfg"));
    QList<QByteArray> lines = Contents(plain).split('\n');
    lines[1] = "Dev\x1b[2J\tname \"q\" \\ \x9b\xe9\r";
    const QString hostile = Path("hostile.cfg");
    WriteFile(hostile, lines.join('\n'));
    const QString shown = QStringLiteral("\"Dev{ESC}[2J{HT}name \"q\" \\ {x9B}\u00e9\"");

    const CliRun show = Cli({QStringLiteral("show"), hostile});
    QCOMPARE(show.code, 0);
    QVERIFY2(show.out.contains(QStringLiteral("  Device Name: ") + shown), qPrintable(show.out));
    QVERIFY(OnlyText(show.out));
    const CliRun diff = Cli({QStringLiteral("diff"), plain, hostile});
    QCOMPARE(diff.code, 1);
    QCOMPARE(diff.out,
             QStringLiteral("header.device-name\t\"Device Name\"\t") + shown + QLatin1Char('\n'));

    const CliRun json = Cli({QStringLiteral("diff"), plain, hostile, QStringLiteral("--json")});
    const QJsonArray differences =
        QJsonDocument::fromJson(json.out.toUtf8()).object().value(QStringLiteral("diff")).toArray();
    QCOMPARE(differences.size(), 1);
    QCOMPARE(differences[0].toObject().value(QStringLiteral("device")).toString(),
             QStringLiteral("Dev\x1b[2J\tname \"q\" \\ \u009b\u00e9"));
}

void TestCliFiles::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    const auto row = [](const char *name, const char *arguments) {
        QTest::newRow(name) << QString::fromLatin1(arguments).split(QLatin1Char(' '),
                                                                    Qt::SkipEmptyParts);
    };
    row("no command", "");
    row("unknown command", "frobnicate");
    row("show without file", "show");
    row("option of another command", "show x.cfg --verify");
    row("set without assignment", "set x.cfg");
    row("download without port", "download x.cfg");
    row("bad baud", "version --port 1 --baud 9601");
    row("bad data bits", "version --port 1 --data-bits 6");
    row("upload without file", "upload --port 1");
    row("upload from two ports", "upload --into x.cfg --port 1 --port 2");
    row("clear without a file", "read-memory --port 1 --clear");
    row("unknown option", "show --colour");
    row("diff of two files and a port", "diff x.cfg y.cfg --port 1");
    row("diff from two ports", "diff x.cfg --port 1 --port 2");
    row("new from both defaults", "new x.cfg --defaults --defaults-file y.cfg");
    row("version given a file", "version x.cfg --port 1");
}

void TestCliFiles::usage()
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

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_clifiles.moc"
