#include "link/linkchoices.h"
#include "link/ports/serialdevice.h"
#include "link/serial/serialsettings.h"
#include "link/transmitmessages.h"
#include "link/wire/keyboardtext.h"
#include "link/wire/linkframes.h"

#include <QTest>

namespace {

// An upload answer as a device would send it: N, N bytes, 12 + 10 version characters, check.
QByteArray SerialAnswer(int n, std::uint8_t fill, std::uint8_t checkFlip = 0)
{
    QByteArray answer(1, char(n));
    for (int i = 0; i < n; ++i)
        answer.append(char(fill + i));
    answer += "VERSION-ONE.";
    answer += "2024-05-01";
    answer.append(char(XorOf(answer) ^ checkFlip));
    return answer;
}

Image Filled(std::uint8_t value)
{
    Image image;
    image.fill(value);
    return image;
}

QString HexPairs(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// 145 typed characters: section, bytes with their check, filler, version.
QString KeyboardAnswer(char section, int n, std::uint8_t fill, bool lower = false,
                       std::uint8_t checkFlip = 0)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes.append(char(fill + i));
    bytes.append(char(XorOf(bytes) ^ checkFlip));
    QString text = QLatin1Char(section) + HexPairs(bytes);
    if (lower)
        text = text.toLower();
    text += QString(kKeyboardUploadLength - 22 - text.size(), QLatin1Char('Z'));
    return text + QStringLiteral("VERSION-ONE.2024-05-01");
}

} // namespace

class TestLinkFrames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void downloadFrame_data();
    void downloadFrame();
    void uploadRequest();
    void serialUploadReply_data();
    void serialUploadReply();
    void downloadReply();
    void byteToHex_data();
    void byteToHex();
    void hexDigitValue_data();
    void hexDigitValue();
    void keyboardDownloadText();
    void keyboardUploadText_data();
    void keyboardUploadText();
    void messages_data();
    void messages();
    void serialSettings_data();
    void serialSettings();
    void frameSettingChoices_data();
    void frameSettingChoices();
    void portDevice();
};

void TestLinkFrames::downloadFrame_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<quint8>("fill");
    QTest::addColumn<quint8>("command");
    QTest::addColumn<quint8>("check");
    QTest::newRow("save, zero image") << true << quint8(0) << quint8(0x01) << quint8(0x54);
    QTest::newRow("not save, zero image") << false << quint8(0) << quint8(0x02) << quint8(0x57);
    // 85 bytes of 255 fold to 255: 0x54 ^ 0xFF.
    QTest::newRow("save, all 255") << true << quint8(255) << quint8(0x01) << quint8(0xAB);
}

void TestLinkFrames::downloadFrame()
{
    QFETCH(bool, save);
    QFETCH(quint8, fill);
    QFETCH(quint8, command);
    QFETCH(quint8, check);
    Image image = Filled(fill);
    const QByteArray frame = BuildDownloadFrame(image, save);
    QCOMPARE(frame.size(), 90);
    QCOMPARE(quint8(frame.at(0)), quint8(0x02));
    QCOMPARE(quint8(frame.at(1)), command);
    QCOMPARE(quint8(frame.at(2)), quint8(0x54));
    QCOMPARE(frame.mid(3, 85), QByteArray(85, char(fill)));
    QCOMPARE(quint8(frame.at(88)), quint8(0x03));
    QCOMPARE(quint8(frame.at(89)), check);
    QCOMPARE(XorOf(frame), quint8(0));

    // The image bytes travel in order.
    for (int i = 0; i < kImageSize; ++i)
        image[i] = quint8(i);
    const QByteArray ordered = BuildDownloadFrame(image, save);
    for (int i = 0; i < kImageSize; ++i)
        QCOMPARE(quint8(ordered.at(3 + i)), quint8(i));
    QCOMPARE(XorOf(ordered), quint8(0));
}

void TestLinkFrames::uploadRequest()
{
    QCOMPARE(BuildUploadRequest(), QByteArray("\x02\x80\x03\x81", 4));
}

void TestLinkFrames::serialUploadReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("good");
    QTest::addColumn<bool>("reader");
    QTest::addColumn<quint8>("firstByte"); // first section byte taken

    QTest::newRow("N 60: reader") << SerialAnswer(60, 1) << true << true << quint8(1);
    QTest::newRow("N 25: decoder") << SerialAnswer(25, 7) << true << false << quint8(7);
    QTest::newRow("N 30: decoder, version at 31")
        << SerialAnswer(30, 9) << true << false << quint8(9);
    // Bytes 1 to 25 are the decoder's whatever N says, even when N is below 25.
    QTest::newRow("N 10: decoder bytes 1 to 25")
        << SerialAnswer(10, 3) << true << false << quint8(3);
    QTest::newRow("N 9: too small") << SerialAnswer(9, 1) << false << false << quint8(0);
    QTest::newRow("wrong check") << SerialAnswer(60, 1, 0x10) << false << false << quint8(0);
    QTest::newRow("short of N + 24") << SerialAnswer(60, 1).left(80) << false << false << quint8(0);
    QTest::newRow("N 70 announced, 84 sent")
        << SerialAnswer(70, 1).left(84) << false << false << quint8(0);
    QTest::newRow("empty") << QByteArray() << false << false << quint8(0);
    QTest::newRow("bytes after the check")
        << SerialAnswer(25, 7) + QByteArray(35, '\x5A') << true << false << quint8(7);
}

void TestLinkFrames::serialUploadReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, good);
    QFETCH(bool, reader);
    QFETCH(quint8, firstByte);
    const auto answer = CheckSerialUploadReply(reply);
    QCOMPARE(answer.has_value(), good);
    if (!good)
        return;
    QCOMPARE(answer->section == Section::Reader, reader);
    QCOMPARE(answer->sectionBytes.size(), reader ? 60 : 25);
    QCOMPARE(quint8(answer->sectionBytes.at(0)), firstByte);
    QCOMPARE(answer->version1, QStringLiteral("VERSION-ONE."));
    QCOMPARE(answer->version2, QStringLiteral("2024-05-01"));
    QCOMPARE(VersionText(*answer), QStringLiteral("   VERSION-ONE.\n\r   2024-05-01"));

    // Exactly one section of the image changes.
    Image image = Filled(0xEE);
    ApplyUploadAnswer(*answer, image);
    for (int i = 0; i < kImageSize; ++i) {
        const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
        if (inSection && i == (reader ? kReaderFirst : 0))
            QCOMPARE(image[i], firstByte);
        else if (inSection)
            QCOMPARE(image[i], quint8(answer->sectionBytes.at(reader ? i - kReaderFirst : i)));
        else
            QCOMPARE(image[i], quint8(0xEE));
    }
}

void TestLinkFrames::downloadReply()
{
    QVERIFY(IsDownloadAccepted(QByteArray("\x07", 1)));
    QVERIFY(IsDownloadAccepted(QByteArray("\x07\x15\x00", 3)));
    QVERIFY(!IsDownloadAccepted(QByteArray("\x15\x07", 2)));
    QVERIFY(!IsDownloadAccepted(QByteArray()));
}

void TestLinkFrames::byteToHex_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("hex");
    QTest::newRow("0") << 0 << QStringLiteral("00");
    QTest::newRow("9") << 9 << QStringLiteral("09");
    QTest::newRow("171") << 171 << QStringLiteral("AB");
    QTest::newRow("16") << 16 << QStringLiteral("10");
    QTest::newRow("255") << 255 << QStringLiteral("FF");
}

void TestLinkFrames::byteToHex()
{
    QFETCH(int, byte);
    QFETCH(QString, hex);
    QCOMPARE(ByteToHex(quint8(byte)), hex);
}

void TestLinkFrames::hexDigitValue_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << QChar(u'0') << 0;
    QTest::newRow("9") << QChar(u'9') << 9;
    QTest::newRow("A") << QChar(u'A') << 10;
    QTest::newRow("f") << QChar(u'f') << 15;
    // Characters the device never types as digits are no digits.
    for (char16_t c : {u' ', u':', u'?', u'@', u'G', u'g', u'/', u'\u00e9'})
        QTest::newRow(QByteArray(1, char(c)).constData()) << QChar(c) << 16;
}

void TestLinkFrames::hexDigitValue()
{
    QFETCH(QChar, c);
    QFETCH(int, value);
    QCOMPARE(HexDigitValue(c), value);
}

void TestLinkFrames::keyboardDownloadText()
{
    QCOMPARE(KeyboardDownloadText(Filled(255)), QByteArray(172, 'F'));
    QCOMPARE(KeyboardDownloadText(Filled(0)), QByteArray(172, '0'));
    Image image = Filled(0);
    image[0] = 0xAB;
    image[84] = 0x01;
    const QByteArray text = KeyboardDownloadText(image);
    QCOMPARE(text.size(), 172);
    QCOMPARE(text.left(2), QByteArray("AB"));
    QCOMPARE(text.mid(168, 2), QByteArray("01"));
    QCOMPARE(text.right(2), QByteArray("AA"));
}

void TestLinkFrames::keyboardUploadText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("good");
    QTest::addColumn<bool>("reader");

    QTest::newRow("reader") << KeyboardAnswer('0', 60, 0x10) << true << true;
    QTest::newRow("decoder, 54-123 not read") << KeyboardAnswer('1', 25, 0x80) << true << false;
    QTest::newRow("lower-case digits") << KeyboardAnswer('0', 60, 0xA0, true) << true << true;
    QTest::newRow("wrong check") << KeyboardAnswer('0', 60, 0x10, false, 1) << false << false;
    QTest::newRow("section 2") << KeyboardAnswer('2', 60, 0x10) << false << false;
    QTest::newRow("144 characters") << KeyboardAnswer('0', 60, 0x10).left(144) << false << false;
    QTest::newRow("146 characters")
        << KeyboardAnswer('0', 60, 0x10) + QLatin1Char('0') << false << false;
    QString colon = KeyboardAnswer('1', 25, 0x00);
    colon[2] = QLatin1Char(':'); // byte 0 would be 0x0A under a looser digit rule
    QTest::newRow("colon as a digit") << colon << false << false;
    QString blank = KeyboardAnswer('0', 60, 0x00);
    blank[5] = QLatin1Char(' ');
    QTest::newRow("blank") << blank << false << false;
}

void TestLinkFrames::keyboardUploadText()
{
    QFETCH(QString, text);
    QFETCH(bool, good);
    QFETCH(bool, reader);
    const auto answer = CheckKeyboardUploadText(text);
    QCOMPARE(answer.has_value(), good);
    if (!good)
        return;
    QCOMPARE(answer->section == Section::Reader, reader);
    const QByteArray expected = QByteArray::fromHex(text.mid(1, reader ? 120 : 50).toLatin1());
    QCOMPARE(answer->sectionBytes, expected);
    QCOMPARE(VersionText(*answer), QStringLiteral("   VERSION-ONE.\n\r   2024-05-01"));
}

void TestLinkFrames::messages_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    using K = ExchangeKind;
    using O = ExchangeOutcome;
    const QString cfg = QStringLiteral("CFG Message");
    const QString upload = QStringLiteral("Upload Message");
    auto row = [](const char *name, K k, O o, const QString &text, const QString &title) {
        QTest::newRow(name) << int(k) << int(o) << text << title;
    };
    row("download ok", K::Download, O::Good, QStringLiteral("Download OK!"), cfg);
    row("download refused", K::Download, O::Bad, QStringLiteral("Download Failed!"), cfg);
    row("download time-out", K::Download, O::TimeOut, QStringLiteral("Time Out Error!"), cfg);
    row("download no S", K::Download, O::HandshakeTimeOut, QStringLiteral("Times Out Error"), cfg);
    row("upload ok", K::Upload, O::Good, QStringLiteral("   Upload OK!   "), upload);
    row("upload bad", K::Upload, O::Bad, QStringLiteral("Upload Failed!"), upload);
    row("upload time-out", K::Upload, O::TimeOut, QStringLiteral("Time Out Error!"), upload);
    row("upload no S", K::Upload, O::HandshakeTimeOut, QStringLiteral("Times Out Error"), upload);
    row("version ok", K::Version, O::Good,
        QStringLiteral("Get Firmware Version OK!\r\r   V1\n\r   V2"), upload);
    row("version bad", K::Version, O::Bad, QStringLiteral("Upload Failed!"), upload);
    row("version no S", K::Version, O::HandshakeTimeOut, QStringLiteral("Times Out Error"), upload);
    row("no port", K::Upload, O::PortNotAvailable, QStringLiteral("COM 4: not available."),
        QString());
}

void TestLinkFrames::messages()
{
    QFETCH(int, kind);
    QFETCH(int, outcome);
    QFETCH(QString, text);
    QFETCH(QString, title);
    const ExchangeResult result{
        ExchangeKind(kind), ExchangeOutcome(outcome), 4, QStringLiteral("   V1\n\r   V2"), {}};
    const LinkMessage message = TransmitMessage(result);
    QCOMPARE(message.text, text);
    QCOMPARE(message.title, title);
    QCOMPARE(PortNotAvailableText(1), QStringLiteral("COM 1: not available."));
    QCOMPARE(UploadQuestion().text,
             QStringLiteral("This will replace your current data with reader's data!"));
}

void TestLinkFrames::serialSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("defaults") << QStringLiteral("9600,N,8,1 ") << true << 9600 << 8 << 1;
    QTest::newRow("19200 7 2") << QStringLiteral("19200,N,7,2 ") << true << 19200 << 7 << 2;
    QTest::newRow("parity") << QStringLiteral("9600,E,8,1 ") << false << 0 << 0 << 0;
    QTest::newRow("no baud") << QStringLiteral(",N,8,1 ") << false << 0 << 0 << 0;
    QTest::newRow("3 stop bits") << QStringLiteral("9600,N,8,3") << false << 0 << 0 << 0;
    QTest::newRow("short") << QStringLiteral("9600,N,8") << false << 0 << 0 << 0;
}

void TestLinkFrames::serialSettings()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const auto settings = ParseSerialSettings(text);
    QCOMPARE(settings.has_value(), valid);
    if (!valid)
        return;
    QTEST(settings->baud, "baud");
    QTEST(settings->dataBits, "dataBits");
    QTEST(settings->stopBits, "stopBits");
}

void TestLinkFrames::frameSettingChoices_data()
{
    // Steps as "d<i>" (data bits option), "s<i>" (stop bits option), "b<i>" (baud option).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("settingsText");
    QTest::newRow("defaults") << QStringList{} << QStringLiteral("N,8,1 ")
                              << QStringLiteral("9600,N,8,1 ");
    QTest::newRow("2 stop bits") << QStringList{QStringLiteral("s1")} << QStringLiteral("N,8,2 ")
                                 << QStringLiteral("9600,N,8,2 ");
    QTest::newRow("2 stop, then 7 data: stop digit stays")
        << QStringList{QStringLiteral("s1"), QStringLiteral("d0")} << QStringLiteral("N,7,2 ")
        << QStringLiteral("9600,N,7,2 ");
    QTest::newRow("7 data, 1 stop, 8 data, 19200")
        << QStringList{QStringLiteral("d0"), QStringLiteral("s0"), QStringLiteral("d1"),
                       QStringLiteral("b4")}
        << QStringLiteral("N,8,1 ") << QStringLiteral("19200,N,8,1 ");
    QTest::newRow("baud index out of range is 9600")
        << QStringList{QStringLiteral("b0"), QStringLiteral("b7")} << QStringLiteral("N,8,1 ")
        << QStringLiteral("9600,N,8,1 ");
}

void TestLinkFrames::frameSettingChoices()
{
    QFETCH(QStringList, steps);
    LinkSettings settings;
    for (const QString &step : steps) {
        const int index = step.mid(1).toInt();
        if (step.startsWith(QLatin1Char('d')))
            ChooseDataBits(settings, index);
        else if (step.startsWith(QLatin1Char('s')))
            ChooseStopBits(settings, index);
        else
            ChooseBaud(settings, index);
        QCOMPARE(settings.FrameSetting.size(), 6);
    }
    QTEST(settings.FrameSetting, "frame");
    QTEST(settings.SerialSettingsText(), "settingsText");
}

void TestLinkFrames::portDevice()
{
    qunsetenv("K30CFG_COM3");
#ifdef Q_OS_WIN
    QCOMPARE(SerialPortDevice(3), QStringLiteral("COM3"));
#else
    QCOMPARE(SerialPortDevice(3), QStringLiteral("/dev/ttyS2"));
#endif
    qputenv("K30CFG_COM3", "/dev/ttyUSB0");
    QCOMPARE(SerialPortDevice(3), QStringLiteral("/dev/ttyUSB0"));
    qunsetenv("K30CFG_COM3");
}

QTEST_APPLESS_MAIN(TestLinkFrames)
#include "tst_linkframes.moc"
