#include "core/fieldcatalogue.h"
#include "core/fieldtext.h"
#include "core/scancheck.h"
#include "sim/simscanoutput.h"

#include <QTest>

#include <optional>

class TestScanCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scans_data();
    void scans();
    void simulatorAgrees_data();
    void simulatorAgrees();
};

namespace {

// The factory image with parameters set as k30cfg-cli set takes them ("name=value").
std::optional<Image> Configured(const QStringList &settings)
{
    ParameterImages images;
    images.ConfigImage = FactoryImage();
    for (const QString &setting : settings) {
        const qsizetype eq = setting.indexOf(QLatin1Char('='));
        const FieldSpec *field = FindField(setting.left(eq).toStdString());
        if (!field || SetFieldFromText(*field, setting.mid(eq + 1), images))
            return std::nullopt;
    }
    return images.ConfigImage;
}

} // namespace

void TestScanCheck::scans_data()
{
    // Parameters set on the factory image ("name=value", as k30cfg-cli set takes them), the
    // path, the bytes received, the parts as shown and the reasons.
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<QByteArray>("scan");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("reasons");

    const QString noTerminator = QStringLiteral("decoder.comm.terminator=None");
    const QString stxPrefix = QStringLiteral("decoder.misc.prefix={STX}");
    const QString crLfSuffix = QStringLiteral("decoder.misc.suffix={CR}{LF}");
    const QString codeId = QStringLiteral("decoder.misc.code-id=On");
    const QString trackTwo = QStringLiteral("reader.card.tracks=Track 2 Only");

    QTest::newRow("factory bar code") << QStringList() << false << QByteArray("AB12345\r\n")
                                      << "data AB12345 | terminator {CR}{LF}"
                                      << "";
    QTest::newRow("prefix and suffix") << QStringList{stxPrefix, crLfSuffix, noTerminator} << false
                                       << QByteArray("\x02"
                                                     "AB12345\r\n")
                                       << "prefix {STX} | data AB12345 | suffix {CR}{LF}"
                                       << "";
    QTest::newRow("suffix short of its LF")
        << QStringList{stxPrefix, crLfSuffix, noTerminator} << false
        << QByteArray("\x02"
                      "AB12345\r")
        << "prefix {STX} | rest AB12345 | suffix {CR} (!)"
        << "expected suffix {CR}{LF}, received {CR}";
    QTest::newRow("suffix missing under a terminator")
        << QStringList{crLfSuffix} << false << QByteArray("AB\r\n")
        << "rest AB | suffix  (!) | terminator {CR}{LF}"
        << "expected suffix {CR}{LF}, received nothing";
    QTest::newRow("prefix of other letters")
        << QStringList{QStringLiteral("decoder.misc.prefix=X:")} << false << QByteArray("Y:12\r\n")
        << "prefix Y: (!) | rest 12 | terminator {CR}{LF}"
        << "expected prefix X:, received Y:";
    QTest::newRow("wrong terminator")
        << QStringList() << false << QByteArray("AB\r") << "rest AB | terminator {CR} (!)"
        << "expected terminator {CR}{LF}, received {CR}";
    QTest::newRow("nothing") << QStringList() << false << QByteArray() << "terminator  (!)"
                             << "expected terminator {CR}{LF}, received nothing";
    QTest::newRow("garbage shown in key notation")
        << QStringList{noTerminator} << false << QByteArray("\xff\x00\x80{a}\x7f", 7)
        << "data \u00FF{NUL}{x80}{a}{x7F}"
        << "";
    QTest::newRow("code ID") << QStringList{codeId} << false << QByteArray("EAB12\r\n")
                             << "code ID (Code 39) E | data AB12 | terminator {CR}{LF}"
                             << "";
    QTest::newRow("code ID of two code types")
        << QStringList{codeId, QStringLiteral("decoder.misc.code-id.upc-a=E")} << false
        << QByteArray("EAB\r\n") << "code ID E (?) | data AB | terminator {CR}{LF}"
        << "E is the code ID of UPC-A and Code 39";
    QTest::newRow("code ID of no code type")
        << QStringList{codeId} << false << QByteArray("zAB\r\n")
        << "code ID z (?) | data AB | terminator {CR}{LF}"
        << "z is no code ID set on the page; a code type without one sends none";
    QTest::newRow("STX-ETX on the serial line")
        << QStringList{QStringLiteral("decoder.comm.terminator=STX-ETX (RS232 Mode Only)")} << false
        << QByteArray("\x02"
                      "AB\x03")
        << "start {STX} | data AB | terminator {ETX}"
        << "";
    QTest::newRow("STX-ETX typed")
        << QStringList{QStringLiteral("decoder.comm.terminator=STX-ETX (RS232 Mode Only)")} << true
        << QByteArray("\x02"
                      "AB\x03")
        << "rest {STX}AB{ETX} (?)"
        << "start: STX-ETX is a terminator of the serial line only";
    QTest::newRow("typed letters in either case")
        << QStringList{QStringLiteral("decoder.misc.prefix=ab")} << true << QByteArray("ABxy\r\n")
        << "prefix AB | data xy | terminator {CR}{LF}"
        << "";
    QTest::newRow("factory card, two tracks")
        << QStringList() << false << QByteArray("%B12^X?\r;12=45?\r\n")
        << "track 1 start % | track 1 data B12^X | track 1 end ? | separator {CR} | "
           "track 2 start ; | track 2 data 12=45 | track 2 end ? | terminator {CR}{LF}"
        << "";
    QTest::newRow("card in fixed order, track left out")
        << QStringList{QStringLiteral("reader.card.tracks=Track 1-2-3")} << false
        << QByteArray(";12?\r+9?\r\n")
        << "track 2 start ; | track 2 data 12 | track 2 end ? | separator {CR} | "
           "track 3 start + | track 3 data 9 | track 3 end ? | terminator {CR}{LF}"
        << "";
    QTest::newRow("card track the selection does not send")
        << QStringList{trackTwo} << false << QByteArray("%B1?\r;12?\r\n")
        << "track 2 start % (!) | rest B1?{CR};12? | terminator {CR}{LF}"
        << "expected track 2 start ;, received %";
    QTest::newRow("card track with prefix, suffix, no end character")
        << QStringList{trackTwo, QStringLiteral("reader.misc.track2.prefix=T2"),
                       QStringLiteral("reader.misc.track2.suffix={HT}"),
                       QStringLiteral("reader.misc.track2.end=!")}
        << false << QByteArray("T2;12?\t\r\n")
        << "track 2 prefix T2 | track 2 start ; | track 2 data 12 | track 2 end ?{HT} (!) | "
           "terminator {CR}{LF}"
        << "expected track 2 end and suffix !{HT}, received ?{HT}";
    QTest::newRow("card without start characters, order open")
        << QStringList{QStringLiteral("reader.card.start-stop=Off")} << false
        << QByteArray("B12\r12\r\n") << "data B12{CR}12 | terminator {CR}{LF}"
        << "";
    QTest::newRow("JIS2 card") << QStringList{QStringLiteral("reader.card.standard=JIS2")} << false
                               << QByteArray("%B12?\r\n") << "data %B12? | terminator {CR}{LF}"
                               << "";
}

void TestScanCheck::scans()
{
    QFETCH(QStringList, settings);
    QFETCH(bool, keyboard);
    QFETCH(QByteArray, scan);
    QFETCH(QString, marked);
    QFETCH(QString, reasons);

    const auto image = Configured(settings);
    QVERIFY(image);
    const ScanFraming framing =
        ScanFraming::FromImage(*image, keyboard ? ScanPath::Keyboard : ScanPath::Serial);
    const ScanCheck check = CheckScan(scan, framing);
    QCOMPARE(check.MarkedText(), marked);
    QCOMPARE(check.Reasons(), reasons);
    QCOMPARE(check.Mismatches(), int(check.MarkedText().count(QStringLiteral("(!)"))));
}

// The simulator frames its output by its own reading of the parameters: whatever the
// configuration, the tool's check of what it sends finds every part in place.
void TestScanCheck::simulatorAgrees_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<bool>("card");
    QTest::addColumn<QString>("marked");

    QTest::newRow("bar code, everything")
        << QStringList{QStringLiteral("decoder.misc.prefix={STX}<"),
                       QStringLiteral("decoder.misc.suffix=>{ETX}"),
                       QStringLiteral("decoder.misc.code-id=On"),
                       QStringLiteral("decoder.misc.truncate-front=2"),
                       QStringLiteral("decoder.misc.truncate-end=1"),
                       QStringLiteral("decoder.comm.terminator=HT(TAB)")}
        << false
        << "prefix {STX}< | code ID (Code 128) F | data 345678 | suffix >{ETX} | terminator {HT}";
    QTest::newRow("bar code, STX-ETX")
        << QStringList{QStringLiteral("decoder.comm.terminator=STX-ETX (RS232 Mode Only)")} << false
        << "start {STX} | data 123456789 | terminator {ETX}";
    QTest::newRow("card, factory")
        << QStringList() << true
        << "track 1 start % | track 1 data B4111^DOE | track 1 end ? | separator {CR} | "
           "track 2 start ; | track 2 data 4111=25 | track 2 end ? | separator {CR} | "
           "track 3 start + | track 3 data 99 | track 3 end ? | terminator {CR}{LF}";
    QTest::newRow("card, 3-1-2 with prefixes and suffixes")
        << QStringList{QStringLiteral("reader.card.tracks=Track 3-1-2"),
                       QStringLiteral("reader.card.separator=|"),
                       QStringLiteral("reader.misc.track1.prefix=T1:"),
                       QStringLiteral("reader.misc.track3.suffix={ESC}"),
                       QStringLiteral("reader.misc.track2.start=!"),
                       QStringLiteral("reader.comm.terminator=Space")}
        << true
        << "track 3 start + | track 3 data 99 | track 3 end ? | track 3 suffix {ESC} | "
           "separator | | track 1 prefix T1: | track 1 start % | track 1 data B4111^DOE | "
           "track 1 end ? | separator | | track 2 start ! | track 2 data 4111=25 | "
           "track 2 end ? | terminator  ";
    QTest::newRow("card, track 2 only, STX-ETX")
        << QStringList{QStringLiteral("reader.card.tracks=Track 2 Only"),
                       QStringLiteral("reader.comm.terminator=STX-ETX (RS232 Only)")}
        << true
        << "start {STX} | track 2 start ; | track 2 data 4111=25 | track 2 end ? | "
           "terminator {ETX}";
}

void TestScanCheck::simulatorAgrees()
{
    QFETCH(QStringList, settings);
    QFETCH(bool, card);
    QFETCH(QString, marked);
    const auto image = Configured(settings);
    QVERIFY(image);
    const QByteArray sent = card ? SimCardOutput(*image, {"B4111^DOE", "4111=25", "99"}, false)
                                 : SimBarCodeOutput(*image, "123456789", kSimCode128, false);
    const ScanCheck check = CheckScan(sent, ScanFraming::FromImage(*image, ScanPath::Serial));
    QCOMPARE(check.card, card);
    QCOMPARE(check.MarkedText(), marked);
    QCOMPARE(check.Mismatches(), 0);
}

QTEST_APPLESS_MAIN(TestScanCheck)
#include "tst_scancheck.moc"
