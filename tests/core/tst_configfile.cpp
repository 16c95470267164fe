#include "core/configfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The factory image as the device documentation lists it, written out independently of
// FactoryImage() so that both are checked against each other.
constexpr int kFactoryBytes[kImageSize] = {
    65,  66,  67,  68,  69,  70,  71,  72,  255, 255, 255, 255, 255, 255, 255, 255, 8,
    0,   255, 252, 2,   255, 34,  102, 0,   0,   48,  226, 23,  255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 37,  63,  59,  63,  43,  63,  15,  13};

HeaderTexts StartTexts()
{
    return {QStringLiteral("Device Name"), QStringLiteral("User's Name"),
            QStringLiteral("07.12.25"),
            QStringLiteral("Your description about this configuration file")};
}

QByteArray ExpectedStartFile()
{
    QByteArray expected = "yorn\r\nDevice Name\r\nUser's Name\r\n07.12.25\r\n"
                          "Your description about this configuration file\r\n 1 \r\n 0 \r\n";
    for (const int byte : kFactoryBytes)
        expected += ' ' + QByteArray::number(byte) + " \r\n";
    return expected;
}

Image RandomishImage()
{
    Image image{};
    for (int i = 0; i < kImageSize; ++i)
        image[i] = static_cast<std::uint8_t>((i * 37 + 11) % 256);
    return image;
}

// A configuration file whose line `line` (1-based) is replaced.
QByteArray WithLine(QByteArray file, int line, const QByteArray &content)
{
    QList<QByteArray> lines = file.split('\n');
    lines[line - 1] = content + '\r';
    return lines.join('\n');
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void factoryFileIsExact();
    void numberLines_data();
    void numberLines();
    void roundTripKeepsTexts_data();
    void roundTripKeepsTexts();
    void lineEndInTextKeepsFileShape();
    void wrongMarkerIsRefused_data();
    void wrongMarkerIsRefused();
    void unreadableValuesKeepPrevious_data();
    void unreadableValuesKeepPrevious();
    void cutFileKeepsRestAndCountsAsSaved();
    void lenientLineEnds();
    void defaultsFile_data();
    void defaultsFile();
    void defaultsLocations();
    void saveNames_data();
    void saveNames();
};

void TestConfigFile::factoryFileIsExact()
{
    LinkSettings link;
    const QByteArray written = WriteConfiguration(StartTexts(), link, FactoryImage());
    QCOMPARE(written, ExpectedStartFile());
    QCOMPARE(written.count("\r\n"), kConfigLines);
    QCOMPARE(written.count('\n'), kConfigLines);
}

void TestConfigFile::numberLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("value"); // -1000: holds no number
    QTest::addColumn<bool>("canonical");
    QTest::newRow("zero") << QByteArray(" 0 ") << 0 << true;
    QTest::newRow("65") << QByteArray(" 65 ") << 65 << true;
    QTest::newRow("255") << QByteArray(" 255 ") << 255 << true;
    QTest::newRow("negative takes the blank") << QByteArray("-1 ") << -1 << true;
    QTest::newRow("no blanks") << QByteArray("65") << 65 << false;
    QTest::newRow("tabs and blanks") << QByteArray("\t 7  ") << 7 << false;
    QTest::newRow("plus sign") << QByteArray("+3") << 3 << false;
    QTest::newRow("empty") << QByteArray("") << -1000 << false;
    QTest::newRow("blanks only") << QByteArray("   ") << -1000 << false;
    QTest::newRow("letters") << QByteArray(" abc ") << -1000 << false;
    QTest::newRow("trailing letters") << QByteArray(" 12abc ") << -1000 << false;
    QTest::newRow("decimal point") << QByteArray(" 1.5 ") << -1000 << false;
    QTest::newRow("blank inside") << QByteArray(" 1 2 ") << -1000 << false;
    QTest::newRow("sign alone") << QByteArray(" - ") << -1000 << false;
    QTest::newRow("beyond int") << QByteArray(" 99999999999 ") << -1000 << false;
}

void TestConfigFile::numberLines()
{
    QFETCH(QByteArray, line);
    QFETCH(int, value);
    QFETCH(bool, canonical);
    const std::optional<int> parsed = ParseNumberLine(line);
    if (value == -1000) {
        QVERIFY(!parsed);
        return;
    }
    QVERIFY(parsed);
    QCOMPARE(*parsed, value);
    if (canonical)
        QCOMPARE(NumberLine(value), line);
}

void TestConfigFile::roundTripKeepsTexts_data()
{
    QTest::addColumn<QString>("description");
    QTest::newRow("commas and quotes") << QStringLiteral("Line 3, \"north\" door, 'B'");
    QTest::newRow("empty") << QString();
    QTest::newRow("single-byte letters") << QStringLiteral("Müller Straße ½ ©");
    QTest::newRow("leading and trailing blanks") << QStringLiteral("  spaced  ");
    QTest::newRow("looks like a number") << QStringLiteral(" 42 ");
}

void TestConfigFile::roundTripKeepsTexts()
{
    QFETCH(QString, description);
    HeaderTexts texts = StartTexts();
    texts.Description = description;
    LinkSettings link;
    link.CommPort = 3;
    link.LinkMode = LinkSettings::kByRs232;
    const QByteArray file = WriteConfiguration(texts, link, RandomishImage());

    HeaderTexts readTexts;
    LinkSettings readLink;
    ParameterImages images;
    QVERIFY(ReadConfiguration(file, readTexts, readLink, images));
    QCOMPARE(readTexts.Description, description);
    QCOMPARE(readTexts.DeviceName, texts.DeviceName);
    QCOMPARE(readTexts.BuildingDate, texts.BuildingDate);
    QCOMPARE(readLink.CommPort, 3);
    QCOMPARE(readLink.LinkMode, LinkSettings::kByRs232);
    QCOMPARE(images.ConfigImage, RandomishImage());
    QVERIFY(!images.IsChanged());
}

void TestConfigFile::lineEndInTextKeepsFileShape()
{
    HeaderTexts texts = StartTexts();
    texts.UserName = QStringLiteral("first\r\nsecond\nthird");
    LinkSettings link;
    const QByteArray file = WriteConfiguration(texts, link, FactoryImage());
    QCOMPARE(file.count('\n'), kConfigLines);
    HeaderTexts readTexts;
    ParameterImages images;
    images.ConfigImage.fill(0);
    QVERIFY(ReadConfiguration(file, readTexts, link, images));
    QCOMPARE(readTexts.UserName, QStringLiteral("first  second third"));
    QCOMPARE(images.ConfigImage, FactoryImage());
}

void TestConfigFile::wrongMarkerIsRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray good = ExpectedStartFile();
    QTest::newRow("capital letters") << WithLine(good, 1, "YORN");
    QTest::newRow("blank after the marker") << WithLine(good, 1, "yorn ");
    QTest::newRow("blank before the marker") << WithLine(good, 1, " yorn");
    QTest::newRow("defaults file") << WriteDefaults(FactoryImage());
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\x01yorn", 6);
}

void TestConfigFile::wrongMarkerIsRefused()
{
    QFETCH(QByteArray, file);
    HeaderTexts texts = StartTexts();
    texts.Description = QStringLiteral("kept");
    LinkSettings link;
    link.CommPort = 2;
    ParameterImages images;
    images.ConfigImage[5] = 1; // an unsaved change must survive the refusal
    const ParameterImages before = images;
    QVERIFY(!ReadConfiguration(file, texts, link, images));
    QCOMPARE(texts.Description, QStringLiteral("kept"));
    QCOMPARE(texts.DeviceName, QStringLiteral("Device Name"));
    QCOMPARE(link.CommPort, 2);
    QCOMPARE(images.ConfigImage, before.ConfigImage);
    QCOMPARE(images.SavedImage, before.SavedImage);
}

void TestConfigFile::unreadableValuesKeepPrevious_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("accepted");
    // Lines 6 and 7: the serial port and the link mode.
    QTest::newRow("port 4") << 6 << QByteArray(" 4 ") << true;
    QTest::newRow("port 0") << 6 << QByteArray(" 0 ") << false;
    QTest::newRow("port 5") << 6 << QByteArray(" 5 ") << false;
    QTest::newRow("port 32767") << 6 << QByteArray(" 32767 ") << false;
    QTest::newRow("port 70000") << 6 << QByteArray(" 70000 ") << false;
    QTest::newRow("port text") << 6 << QByteArray("COM2") << false;
    QTest::newRow("mode 1") << 7 << QByteArray(" 1 ") << true;
    QTest::newRow("mode 2") << 7 << QByteArray(" 2 ") << false;
    QTest::newRow("mode -1") << 7 << QByteArray("-1 ") << false;
    QTest::newRow("mode empty") << 7 << QByteArray() << false;
    // Byte lines: line 8 holds byte 0, line 92 byte 84.
    QTest::newRow("byte 0 = 0") << 8 << QByteArray(" 0 ") << true;
    QTest::newRow("byte 0 = 256") << 8 << QByteArray(" 256 ") << false;
    QTest::newRow("byte 22 = -1") << 30 << QByteArray("-1 ") << false;
    QTest::newRow("byte 22 = x") << 30 << QByteArray(" x ") << false;
    QTest::newRow("byte 84 empty") << 92 << QByteArray() << false;
    QTest::newRow("byte 84 = 255") << 92 << QByteArray("255") << true;
}

void TestConfigFile::unreadableValuesKeepPrevious()
{
    QFETCH(int, line);
    QFETCH(QByteArray, content);
    QFETCH(bool, accepted);

    // A file holding 200 in every byte, port 2 and RS232, read over a state holding 9 in
    // every byte, port 3 and keyboard: only the damaged line keeps the state's value.
    Image fileImage{};
    fileImage.fill(200);
    LinkSettings fileLink;
    fileLink.CommPort = 2;
    fileLink.LinkMode = LinkSettings::kByRs232;
    const QByteArray file =
        WithLine(WriteConfiguration(StartTexts(), fileLink, fileImage), line, content);

    HeaderTexts texts;
    LinkSettings link;
    link.CommPort = 3;
    link.LinkMode = LinkSettings::kByKeyboard;
    ParameterImages images;
    images.ConfigImage.fill(9);
    QVERIFY(ReadConfiguration(file, texts, link, images));

    const int value = accepted ? ParseNumberLine(content).value() : -1;
    QCOMPARE(link.CommPort, line == 6 ? (accepted ? value : 3) : 2);
    QCOMPARE(link.LinkMode,
             line == 7 ? (accepted ? value : LinkSettings::kByKeyboard) : LinkSettings::kByRs232);
    for (int i = 0; i < kImageSize; ++i) {
        const int expected = (line == 8 + i) ? (accepted ? value : 9) : 200;
        QCOMPARE(int(images.ConfigImage[i]), expected);
    }
    QCOMPARE(texts.Description, StartTexts().Description);
    QVERIFY(!images.IsChanged());
}

void TestConfigFile::cutFileKeepsRestAndCountsAsSaved()
{
    const QByteArray whole = WriteConfiguration(StartTexts(), LinkSettings{}, RandomishImage());
    const QList<QByteArray> lines = whole.split('\n');
    const QByteArray cut = lines.mid(0, 50).join('\n') + '\n';

    ParameterImages images;
    images.ConfigImage.fill(7);
    images.SavedImage.fill(1);
    HeaderTexts texts;
    LinkSettings link;
    QVERIFY(ReadConfiguration(cut, texts, link, images));
    for (int i = 0; i < kImageSize; ++i)
        QCOMPARE(int(images.ConfigImage[i]), i <= 42 ? int(RandomishImage()[i]) : 7);
    QVERIFY(!images.IsChanged());

    // Cut inside the header: the texts that are there are read, the rest is kept.
    HeaderTexts shortTexts;
    shortTexts.Description = QStringLiteral("before");
    QVERIFY(ReadConfiguration(lines.mid(0, 3).join('\n'), shortTexts, link, images));
    QCOMPARE(shortTexts.UserName, QStringLiteral("User's Name"));
    QCOMPARE(shortTexts.Description, QStringLiteral("before"));
}

void TestConfigFile::lenientLineEnds()
{
    // LF-only line ends and lines after line 92 do not matter.
    QByteArray file = ExpectedStartFile();
    file.replace("\r\n", "\n");
    file += " 17 \nextra\n";
    ParameterImages images;
    images.ConfigImage.fill(0);
    HeaderTexts texts;
    LinkSettings link;
    QVERIFY(ReadConfiguration(file, texts, link, images));
    QCOMPARE(images.ConfigImage, FactoryImage());
    QCOMPARE(texts.UserName, QStringLiteral("User's Name"));
}

void TestConfigFile::defaultsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("valid");
    const QByteArray good = WriteDefaults(RandomishImage());
    QList<QByteArray> lines = good.split('\n');
    QTest::newRow("as written") << good << true;
    QTest::newRow("extra lines") << good + "junk\r\n" << true;
    QTest::newRow("only 40 byte lines") << lines.mid(0, 41).join('\n') << false;
    QTest::newRow("84 byte lines") << lines.mid(0, 85).join('\n') << false;
    QTest::newRow("marker in capitals") << QByteArray("J30_DEFAULTS") + good.mid(12) << false;
    QTest::newRow("configuration file") << ExpectedStartFile() << false;
    QByteArray damaged = lines.join('\n');
    damaged.replace("\n 11 \r", "\n 300 \r");
    QTest::newRow("byte out of range") << damaged << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestConfigFile::defaultsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, valid);
    QCOMPARE(WriteDefaults(RandomishImage()).count("\r\n"), kDefaultsLines);
    QVERIFY(WriteDefaults(RandomishImage()).startsWith("J30_Defaults\r\n 11 \r\n 48 \r\n"));
    const std::optional<Image> read = ReadDefaults(file);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(*read, RandomishImage());
}

void TestConfigFile::defaultsLocations()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    DefaultsLocations where{root.filePath(QStringLiteral("program")),
                            root.filePath(QStringLiteral("user/k30cfg"))};
    QVERIFY(QDir().mkpath(where.programDir));

    // Nothing saved yet: the factory values.
    QCOMPARE(LoadDefaults(where), FactoryImage());

    // The program directory can be written: the file goes there.
    QString writtenTo;
    QVERIFY(SaveDefaults(where, RandomishImage(), &writtenTo).isEmpty());
    QCOMPARE(writtenTo, where.ProgramFile());
    QCOMPARE(LoadDefaults(where), RandomishImage());

    // An installation whose program directory cannot be written: the user's folder.
    DefaultsLocations installed{root.filePath(QStringLiteral("missing")), where.userDir};
    Image other = FactoryImage();
    other[22] = 33;
    QVERIFY(SaveDefaults(installed, other, &writtenTo).isEmpty());
    QCOMPARE(writtenTo, installed.UserFile());
    // The user's copy is read first.
    QCOMPARE(LoadDefaults(where), other);
    // A damaged one, or a pipe in its place, does not hide the program directory's.
    QFile damagedCopy(where.UserFile());
    QVERIFY(damagedCopy.open(QIODevice::WriteOnly));
    damagedCopy.write("J30_Defaults\r\n 1 \r\n");
    damagedCopy.close();
    QCOMPARE(LoadDefaults(where), RandomishImage());
    QVERIFY(QFile::remove(where.UserFile()));
#ifdef Q_OS_UNIX
    QCOMPARE(::mkfifo(QFile::encodeName(where.UserFile()).constData(), 0600), 0);
    QCOMPARE(LoadDefaults(where), RandomishImage());
    QVERIFY(QFile::remove(where.UserFile()));
#endif
    QVERIFY(SaveDefaults(installed, other).isEmpty());

    // Saving into the program directory again retires the user's copy, so the file saved
    // last is the one the next start reads.
    QVERIFY(SaveDefaults(where, RandomishImage()).isEmpty());
    QVERIFY(!QFile::exists(where.UserFile()));
    QCOMPARE(LoadDefaults(where), RandomishImage());

    // A damaged file, and no other, yields the factory values.
    QFile damaged(where.ProgramFile());
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("J30_Defaults\r\n 1 \r\n");
    damaged.close();
    QCOMPARE(LoadDefaults(where), FactoryImage());

    // Neither place can be written: both files are reported.
    DefaultsLocations nowhere{root.filePath(QStringLiteral("missing")),
                              QStringLiteral("/proc/k30cfg-test")};
    QCOMPARE(SaveDefaults(nowhere, other).size(), 2);
}

void TestConfigFile::saveNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "/data/scan"
                                  << "/data/scan.cfg";
    QTest::newRow("ends in a dot") << "/data/scan."
                                   << "/data/scan.cfg";
    QTest::newRow("ends in dots") << "scan..."
                                  << "scan.cfg";
    QTest::newRow("own extension, then a dot") << "scan.bak."
                                               << "scan.bak";
    QTest::newRow("dot in the folder") << "/data.d/scan"
                                       << "/data.d/scan.cfg";
    QTest::newRow("cancelled") << ""
                               << "";
}

void TestConfigFile::saveNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(WithDefaultSuffix(chosen, QStringLiteral("cfg")), written);
}

QTEST_APPLESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
