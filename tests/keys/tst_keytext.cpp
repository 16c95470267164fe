#include "keys/keytext.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

Bytes Encode(const QString &text, bool functionKeys)
{
    Bytes slots(functionKeys ? kReaderKeySlots : kDecoderKeySlots, 0);
    EncodeKeyText(text, slots, functionKeys);
    return slots;
}

Bytes Normalise(const Bytes &field, bool functionKeys)
{
    return Encode(DecodeKeyText(field, functionKeys), functionKeys);
}

QString Latin1(std::initializer_list<int> codes)
{
    QString text;
    for (int code : codes)
        text.append(QChar(static_cast<char16_t>(code)));
    return text;
}

// A text made of pieces that exercise the notation: key names in any case, names the
// section does not know, stray braces and any single character.
QString RandomText(QRandomGenerator &random)
{
    static const QStringList pieces = {
        QStringLiteral("{CR}"),   QStringLiteral("{lf}"),   QStringLiteral("{Esc}"),
        QStringLiteral("{NUL}"),  QStringLiteral("{F1}"),   QStringLiteral("{f12}"),
        QStringLiteral("{^F3}"),  QStringLiteral("{+F12}"), QStringLiteral("{%f10}"),
        QStringLiteral("{^F13}"), QStringLiteral("{ CR}"),  QStringLiteral("{C}"),
        QStringLiteral("{"),      QStringLiteral("}"),      QStringLiteral("{}"),
        QStringLiteral("{^^F1}"), QStringLiteral("{CR }"),  QStringLiteral("{F10"),
    };
    QString text;
    const int count = random.bounded(12);
    for (int i = 0; i < count; ++i) {
        if (random.bounded(2))
            text += pieces[random.bounded(pieces.size())];
        else
            text += QChar(static_cast<char16_t>(random.bounded(0x110)));
    }
    return text;
}

} // namespace

class TestKeyText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void keyNames();
    void encodedFieldsComeBackUnchanged();
    void everyByteInEverySlotHasANormalForm();
    void singleKeysRoundTrip();
};

void TestKeyText::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("functionKeys");
    QTest::addColumn<Bytes>("slots");

    const auto text = [](const char *latin1) { return QString::fromLatin1(latin1); };
    QTest::newRow("empty decoder") << QString() << false << Bytes{255, 255, 255, 255};
    QTest::newRow("empty reader") << QString() << true << Bytes(8, 255);
    QTest::newRow("names and overflow") << text("AB{CR}{LF}XY") << false << Bytes{65, 66, 13, 10};
    QTest::newRow("lower case") << text("{cr}") << false << Bytes{13, 255, 255, 255};
    QTest::newRow("mixed case") << text("{Cr}") << false << Bytes{13, 255, 255, 255};
    QTest::newRow("leading blank") << text("{ CR}") << false << Bytes{'{', ' ', 'C', 'R'};
    QTest::newRow("one character") << text("{C}") << false << Bytes{'{', 'C', '}', 255};
    QTest::newRow("no closing brace") << text("{ab") << false << Bytes{'{', 'a', 'b', 255};
    QTest::newRow("empty braces") << text("{}") << false << Bytes{'{', '}', 255, 255};
    QTest::newRow("unknown name") << text("{X}") << false << Bytes{'{', 'X', '}', 255};
    QTest::newRow("brace before name") << text("{{CR}") << false << Bytes{'{', 13, 255, 255};
    QTest::newRow("first and last control")
        << text("{NUL}{US}{esc}") << false << Bytes{0, 31, 27, 255};
    QTest::newRow("decoder F1 is text") << text("{F1}") << false << Bytes{'{', 'F', '1', '}'};
    QTest::newRow("decoder ^F10 is text") << text("{^F10}") << false << Bytes{'{', '^', 'F', '1'};
    QTest::newRow("F1") << text("{F1}") << true << Bytes{128, 255, 255, 255, 255, 255, 255, 255};
    QTest::newRow("reader keys") << text("{f12}{^F1}{^F10}{+F9}{+F12}{%F1}{%F12}{^F9}") << true
                                 << Bytes{139, 140, 149, 160, 163, 164, 175, 148};
    QTest::newRow("^F13") << text("{^F13}") << true
                          << Bytes{'{', '^', 'F', '1', '3', '}', 255, 255};
    QTest::newRow("two modifiers")
        << text("{^^F1}") << true << Bytes{'{', '^', '^', 'F', '1', '}', 255, 255};
    QTest::newRow("nine keys") << text("{F1}{F2}{F3}{F4}{F5}{F6}{F7}{F8}{F9}") << true
                               << Bytes{128, 129, 130, 131, 132, 133, 134, 135};
    QTest::newRow("decoder high codes")
        << Latin1({0x80, 0xAF, 0xE9, 0xFE}) << false << Bytes{0x80, 0xAF, 0xE9, 0xFE};
    QTest::newRow("reader codes of keys")
        << Latin1({0x80, 0xAF}) << true << Bytes{128, 175, 255, 255, 255, 255, 255, 255};
    // 176 to 254 would be read back as keys on the reader, and 255 is the empty slot:
    // neither can be kept, like a character outside the set.
    QTest::newRow("reader leaves out 176 and up") << Latin1({'a', 0xB0, 0xE9, 0xFF, 'b'}) << true
                                                  << Bytes{'a', 'b', 255, 255, 255, 255, 255, 255};
    QTest::newRow("decoder leaves out 255")
        << Latin1({'a', 0xFF, 'b'}) << false << Bytes{'a', 'b', 255, 255};
    QTest::newRow("outside the set")
        << QStringLiteral("a\u20ACb\u0100") << false << Bytes{'a', 'b', 255, 255};
}

void TestKeyText::encode()
{
    QFETCH(QString, text);
    QFETCH(bool, functionKeys);
    QFETCH(Bytes, slots);
    QCOMPARE(Encode(text, functionKeys), slots);
}

void TestKeyText::decode_data()
{
    QTest::addColumn<Bytes>("slots");
    QTest::addColumn<bool>("functionKeys");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << Bytes(8, 255) << true << QString();
    QTest::newRow("first 255 ends") << Bytes{65, 255, 66, 67} << false << QStringLiteral("A");
    QTest::newRow("controls") << Bytes{0, 13, 31, 'x'} << false << QStringLiteral("{NUL}{CR}{US}x");
    QTest::newRow("decoder high codes")
        << Bytes{128, 200, 254, 127} << false << Latin1({128, 200, 254, 127});
    QTest::newRow("reader keys") << Bytes{128, 139, 140, 149, 152, 163, 164, 175} << true
                                 << QStringLiteral("{F1}{F12}{^F1}{^F10}{+F1}{+F12}{%F1}{%F12}");
    QTest::newRow("reader bytes no encoder writes")
        << Bytes{233, 200, 255, 255, 255, 255, 255, 255} << true << QStringLiteral("{F4}{}");
}

void TestKeyText::decode()
{
    QFETCH(Bytes, slots);
    QFETCH(bool, functionKeys);
    QFETCH(QString, text);
    QCOMPARE(DecodeKeyText(slots, functionKeys), text);
}

void TestKeyText::keyNames()
{
    QCOMPARE(strCtrl.size(), std::size_t{213});
    QCOMPARE(KeyNameTable(false).size(), std::size_t{96});
    QCOMPARE(KeyName(13, false), QStringLiteral("CR"));
    QCOMPARE(KeyName(8, false), QStringLiteral("BS"));
    QCOMPARE(KeyName(32, false), QString());
    QCOMPARE(KeyName(41, true), QStringLiteral("F10"));
    QCOMPARE(KeyName(70, true), QStringLiteral("%F9"));
    QCOMPARE(KeyName(71, true), QString());
    QCOMPARE(KeyName(-1, true), QString());
}

void TestKeyText::encodedFieldsComeBackUnchanged()
{
    QRandomGenerator random(4711);
    for (int round = 0; round < 20000; ++round) {
        const bool functionKeys = round % 2;
        const QString text = RandomText(random);
        const Bytes field = Encode(text, functionKeys);
        const QString shown = DecodeKeyText(field, functionKeys);
        QVERIFY2(Encode(shown, functionKeys) == field, qPrintable(text));
        // The text shown is what the box would keep: encoding it again is a no-op.
        QCOMPARE(DecodeKeyText(Encode(shown, functionKeys), functionKeys), shown);
    }
}

void TestKeyText::everyByteInEverySlotHasANormalForm()
{
    QRandomGenerator random(815);
    for (const bool functionKeys : {false, true}) {
        const std::size_t count = functionKeys ? kReaderKeySlots : kDecoderKeySlots;
        for (std::size_t slot = 0; slot < count; ++slot) {
            for (int byte = 0; byte < 256; ++byte) {
                for (int fill = 0; fill < 8; ++fill) {
                    Bytes field(count);
                    for (auto &other : field)
                        other = static_cast<std::uint8_t>(random.bounded(256));
                    field[slot] = static_cast<std::uint8_t>(byte);
                    const Bytes normal = Normalise(field, functionKeys);
                    QCOMPARE(Normalise(normal, functionKeys), normal);
                    // Nothing but empty slots after the first empty one.
                    const auto end = std::find(normal.begin(), normal.end(), kEmptySlot);
                    QVERIFY(std::all_of(end, normal.end(),
                                        [](std::uint8_t b) { return b == kEmptySlot; }));
                    // A field without an empty slot before this one keeps what comes first.
                    const auto firstEmpty = std::find(field.begin(), field.end(), kEmptySlot);
                    if (firstEmpty == field.end())
                        QVERIFY(normal.front() != kEmptySlot ||
                                (functionKeys && field.front() >= 176));
                }
            }
        }
    }
}

void TestKeyText::singleKeysRoundTrip()
{
    // Every byte the encoder can write comes back unchanged, alone in any slot after other
    // keys; the reader's 176 to 254 come back as the key the device reads them as.
    for (const bool functionKeys : {false, true}) {
        const std::size_t count = functionKeys ? kReaderKeySlots : kDecoderKeySlots;
        for (int byte = 0; byte < 255; ++byte) {
            for (std::size_t slot = 0; slot < count; ++slot) {
                Bytes field(count, kEmptySlot);
                std::fill(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(slot),
                          std::uint8_t{'k'});
                field[slot] = static_cast<std::uint8_t>(byte);
                const Bytes normal = Normalise(field, functionKeys);
                if (!functionKeys || byte < 176)
                    QCOMPARE(normal, field);
                else
                    QVERIFY(normal != field);
            }
        }
    }
    Bytes field(8, kEmptySlot);
    field[0] = 233;
    QCOMPARE(Normalise(field, true)[0], std::uint8_t{131});
    field[0] = 200;
    QCOMPARE(Normalise(field, true), (Bytes{'{', '}', 255, 255, 255, 255, 255, 255}));
}

QTEST_APPLESS_MAIN(TestKeyText)
#include "tst_keytext.moc"
