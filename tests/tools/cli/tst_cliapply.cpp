// k30cfg-cli apply and facts, and the JSON Lines every command writes with --json, against
// simulated devices on pseudo-terminals.

#include "support/clirun.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The keys of every line, as the manual documents them. Scripts and the Ansible collection
// read them: a change here is a change of the tool's interface.
const QStringList kCommonKeys = {QStringLiteral("port"),    QStringLiteral("outcome"),
                                 QStringLiteral("message"), QStringLiteral("section"),
                                 QStringLiteral("changed"), QStringLiteral("diff"),
                                 QStringLiteral("versions")};

QList<QJsonObject> JsonLines(const QString &out)
{
    QList<QJsonObject> objects;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        objects.append(error.error == QJsonParseError::NoError && doc.isObject()
                           ? doc.object()
                           : QJsonObject{{QStringLiteral("unparsed"), line}});
    }
    return objects;
}

QStringList DiffNames(const QJsonObject &object)
{
    QStringList names;
    for (const auto entry : object.value(QStringLiteral("diff")).toArray())
        names.append(entry.toObject().value(QStringLiteral("name")).toString());
    return names;
}

// Download frames the simulated device received: "Save" (0x01) or "Not Save" (0x02).
int DownloadFrames(const SimDevice &device)
{
    int frames = 0;
    for (const QString &line : device.Log())
        frames += line.startsWith(QLatin1String("received 02 01")) ||
                  line.startsWith(QLatin1String("received 02 02"));
    return frames;
}

} // namespace

class TestCliApply : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void apply_data();
    void apply();
    void jsonLines_data();
    void jsonLines();
    void sectionNeverReadBack();

private:
    QString Path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    // A factory configuration with Odd parity: a simulated device differs in its decoder
    // section.
    QString SiteFile();

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliApply::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestCliApply::SiteFile()
{
    const QString path = Path("site.cfg");
    if (Cli({QStringLiteral("new"), path}).code != 0 ||
        Cli({QStringLiteral("set"), path, QStringLiteral("decoder.comm.parity=Odd")}).code != 0)
        qWarning("site.cfg could not be made");
    return path;
}

void TestCliApply::apply_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("device"); // differs, matches, refuses, reader (sends that)
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("saved");
    QTest::addColumn<QString>("says");
    const QStringList parity{QStringLiteral("decoder.comm.parity")};
    auto row = [](const char *name, const char *options, const char *device, int code,
                  const char *outcome, bool changed, int frames, int saved, const char *says) {
        QTest::newRow(name) << QString::fromLatin1(options) << QString::fromLatin1(device) << code
                            << QString::fromLatin1(outcome) << changed << frames << saved
                            << QString::fromLatin1(says);
    };
    row("differs", "", "differs", 0, "changed", true, 1, 1,
        "Verify OK! The decoder section (bytes 0 to 24) holds the same values; the reader "
        "section (bytes 25 to 84) could not be read back and was not compared.");
    row("matches", "", "matches", 0, "unchanged", false, 0, 0,
        "reader section (bytes 25 to 84) could not be read back and was not compared");
    row("check: no download", "--check", "differs", 0, "changed", true, 0, 0, "Would change");
    row("force", "--force", "matches", 0, "changed", true, 1, 1, "--force downloads");
    row("check and force", "--check --force", "matches", 0, "changed", true, 0, 0, "Would change");
    row("refused", "", "refuses", 1, "refused", false, 1, 0, "Download Failed!");
    // The simulated device does not keep a "Not Save" download: the verify says so.
    row("not kept", "--not-save", "differs", 1, "refused", true, 1, 0, "Verify failed!");
    row("not kept, not verified", "--not-save --no-verify", "differs", 0, "changed", true, 1, 0,
        "Download OK!");
    // The decoder section differs, but the device sends its reader section: nothing to do,
    // and the answer says which section was compared.
    row("other section", "", "reader", 0, "unchanged", false, 0, 0,
        "decoder section (bytes 0 to 24) could not be read back and was not compared");
}

void TestCliApply::apply()
{
    QFETCH(QString, options);
    QFETCH(QString, device);
    QFETCH(int, code);
    QFETCH(QString, outcome);
    QFETCH(bool, changed);
    QFETCH(int, frames);
    QFETCH(int, saved);
    QFETCH(QString, says);
    const QString file = SiteFile();
    SimulatedK30 k30;
    SimDevice &sim = k30.device;
    if (device == QLatin1String("matches"))
        sim.image = LoadConfiguration(file).images.ConfigImage;
    sim.faults.refuseDownload = device == QLatin1String("refuses");
    if (device == QLatin1String("reader"))
        sim.section = SimDevice::Section::Reader;
    QVERIFY(k30.IsOpen());
    const QStringList arguments =
        QStringList{QStringLiteral("apply"), file, QStringLiteral("--port"), k30.Path(),
                    QStringLiteral("--json")} +
        options.split(QLatin1Char(' '), Qt::SkipEmptyParts);

    const CliRun run = Cli(arguments);
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const auto lines = JsonLines(run.out);
    QCOMPARE(lines.size(), 1);
    const QJsonObject result = lines.front();
    QCOMPARE(result.value(QStringLiteral("outcome")).toString(), outcome);
    QCOMPARE(result.value(QStringLiteral("changed")).toBool(), changed);
    QCOMPARE(result.value(QStringLiteral("port")).toString(), k30.Path());
    const QString message = result.value(QStringLiteral("message")).toString();
    QVERIFY2(message.contains(says), qPrintable(message));
    QCOMPARE(DownloadFrames(sim), frames);
    QCOMPARE(sim.DownloadsSaved(), saved);
    const bool differs = device == QLatin1String("differs") || device == QLatin1String("refuses");
    QCOMPARE(DiffNames(result),
             differs ? QStringList{QStringLiteral("decoder.comm.parity")} : QStringList{});
    if (differs) {
        const QJsonObject entry = result.value(QStringLiteral("diff")).toArray()[0].toObject();
        QCOMPARE(entry.value(QStringLiteral("here")).toString(), QStringLiteral("Odd"));
        QCOMPARE(entry.value(QStringLiteral("device")).toString(), QStringLiteral("None"));
    }
    QCOMPARE(result.value(QStringLiteral("section")).toString(), device == QLatin1String("reader")
                                                                     ? QStringLiteral("reader")
                                                                     : QStringLiteral("decoder"));

    // Once the device keeps the file's values, applying it again changes nothing.
    if (saved > 0) {
        const CliRun again = Cli(arguments.mid(0, 5));
        QCOMPARE(again.code, 0);
        QCOMPARE(JsonLines(again.out).value(0).value(QStringLiteral("outcome")).toString(),
                 QStringLiteral("unchanged"));
        QCOMPARE(DownloadFrames(sim), frames);
    }
}

void TestCliApply::jsonLines_data()
{
    // FILE is the site configuration, OTHER another file, PORT and PORT2 two simulated
    // devices, MISSING a file that does not exist.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("extra");
    const QStringList file{QStringLiteral("file")};
    auto row = [](const char *name, const char *arguments, int lines, const char *outcome,
                  const QStringList &extra) {
        QTest::newRow(name) << QString::fromLatin1(arguments) << lines
                            << QString::fromLatin1(outcome) << extra;
    };
    row("show", "show FILE", 1, "ok", {QStringLiteral("file"), QStringLiteral("groups")});
    row("diff files", "diff FILE OTHER", 1, "changed",
        {QStringLiteral("file"), QStringLiteral("other")});
    row("set", "set FILE decoder.comm.parity=Even", 1, "ok", file);
    row("set refused", "set FILE decoder.comm.parity=Oddly", 1, "refused", file);
    row("new", "new MISSING", 1, "ok", file);
    row("file error", "apply MISSING --port PORT", 1, "file", file);
    row("usage", "frobnicate", 1, "usage", {});
    row("apply, two ports", "apply FILE --port PORT --port PORT2", 2, "changed", {});
    row("download", "download FILE --port PORT --verify", 1, "ok", {});
    row("upload", "upload --port PORT --into OTHER", 1, "ok", file);
    row("version, two ports", "version --port PORT --port PORT2", 2, "ok", {});
    row("facts", "facts --port PORT", 1, "ok", {QStringLiteral("parameters")});
    row("diff device", "diff FILE --port PORT", 1, "changed", {});
    row("port not available", "version --port MISSING", 1, "port", {});
    row("read memory", "read-memory --port PORT", 1, "ok",
        {QStringLiteral("records"), QStringLiteral("failed")});
    row("read memory into a file", "read-memory --port PORT -o OTHER", 1, "ok",
        file + QStringList{QStringLiteral("failed")});
    row("clear memory", "clear-memory --port PORT --yes", 1, "ok", {});
}

void TestCliApply::jsonLines()
{
    QFETCH(QString, arguments);
    QFETCH(int, lines);
    QFETCH(QString, outcome);
    QFETCH(QStringList, extra);
    SimulatedK30 k30s[2];
    QVERIFY(k30s[0].IsOpen() && k30s[1].IsOpen());
    const QString file = SiteFile();
    QVERIFY(Cli({QStringLiteral("new"), Path("other.cfg")}).code == 0);
    QStringList args = arguments.split(QLatin1Char(' '));
    for (QString &arg : args) {
        const std::pair<const char *, QString> placeholders[] = {{"FILE", file},
                                                                 {"OTHER", Path("other.cfg")},
                                                                 {"MISSING", Path("missing")},
                                                                 {"PORT", k30s[0].Path()},
                                                                 {"PORT2", k30s[1].Path()}};
        for (const auto &[placeholder, value] : placeholders) {
            if (arg == QLatin1String(placeholder))
                arg = value;
        }
    }
    const CliRun run = Cli(args << QStringLiteral("--json"));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const auto objects = JsonLines(run.out);
    QCOMPARE(objects.size(), lines);
    QStringList keys = kCommonKeys + extra;
    keys.sort();
    for (const QJsonObject &object : objects) {
        QCOMPARE(object.keys(), keys);
        QCOMPARE(object.value(QStringLiteral("outcome")).toString(), outcome);
        QVERIFY(object.value(QStringLiteral("message")).isString());
        QVERIFY(object.value(QStringLiteral("changed")).isBool());
        QVERIFY(object.value(QStringLiteral("diff")).isArray());
    }
    // Only a file written or a memory cleared is a change.
    if (arguments.startsWith(QLatin1String("read-memory")))
        QCOMPARE(objects.front().value(QStringLiteral("changed")).toBool(),
                 arguments.contains(QLatin1String(" -o ")));
    if (arguments.startsWith(QLatin1String("facts"))) {
        // The section the device sends, by name, and nothing of the other one.
        const QJsonObject facts = objects.front();
        QCOMPARE(facts.value(QStringLiteral("versions")).toArray(),
                 QJsonArray({QStringLiteral("K30SIM V1.00"), QStringLiteral("2024-05-01")}));
        QCOMPARE(facts.value(QStringLiteral("section")).toString(), QStringLiteral("decoder"));
        const QJsonObject parameters = facts.value(QStringLiteral("parameters")).toObject();
        QCOMPARE(parameters.value(QStringLiteral("decoder.comm.parity")).toString(),
                 QStringLiteral("None"));
        for (const QString &name : parameters.keys())
            QVERIFY2(name.startsWith(QLatin1String("decoder.")), qPrintable(name));
    }
}

// The device takes the download but its upload answers are bad: nothing was read back, so no
// section may be reported as verified or compared.
void TestCliApply::sectionNeverReadBack()
{
    SimulatedK30 k30;
    SimDevice &sim = k30.device;
    sim.faults.wrongCheck = true;
    QVERIFY(k30.IsOpen());
    const QString file = SiteFile();
    const QString port = k30.Path();
    const QList<QStringList> runs = {
        {QStringLiteral("download"), file, QStringLiteral("--port"), port,
         QStringLiteral("--verify"), QStringLiteral("--json")},
        {QStringLiteral("apply"), file, QStringLiteral("--port"), port, QStringLiteral("--json")}};
    for (const QStringList &arguments : runs) {
        const CliRun run = Cli(arguments);
        QCOMPARE(run.code, 1);
        const QJsonObject result = JsonLines(run.out).value(0);
        QCOMPARE(result.value(QStringLiteral("outcome")).toString(), QStringLiteral("refused"));
        QVERIFY2(result.value(QStringLiteral("section")).isNull(), qPrintable(arguments[0]));
        // The download was taken; the apply never got as far as downloading.
        QCOMPARE(result.value(QStringLiteral("changed")).toBool(),
                 arguments[0] == QLatin1String("download"));
    }
}

QTEST_GUILESS_MAIN(TestCliApply)
#include "tst_cliapply.moc"
