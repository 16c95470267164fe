#include "core/fieldtext.h"
#include "core/pagetable.h"

#include <QTest>

namespace {

// An image in which every field holds something other than its factory value where it can.
Image Altered()
{
    Image image = FactoryImage();
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(image[i] ^ 0x5A);
    return image;
}

} // namespace

class TestFieldText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void values_data();
    void values();
    void refused_data();
    void refused();
    void everyFieldOnAPage();
    void coveredBits();
};

void TestFieldText::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("altered");
    for (const auto &field : FieldCatalogue()) {
        QTest::addRow("%s factory", field.name) << Text(field.name) << false;
        QTest::addRow("%s altered", field.name) << Text(field.name) << true;
    }
}

// Whatever a field shows, setting that text stores the same value again: show and set
// agree on every row of the catalogue.
void TestFieldText::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(bool, altered);
    const FieldSpec *field = FindField(name.toStdString());
    QVERIFY(field);
    const Image source = altered ? Altered() : FactoryImage();
    const QString text = FieldValueText(*field, source);
    if (text.startsWith(QLatin1String("(no option")))
        QSKIP("the stored code has no option to set");
    // A code ID holding a control character came from elsewhere; no box can type one.
    const auto byte = source[std::size_t(field->byte)];
    if (field->kind == FieldKind::Character && byte > 0 && byte < field->lowestCharacter) {
        ParameterImages images;
        QVERIFY(SetFieldFromText(*field, text, images));
        return;
    }
    ParameterImages images;
    images.ConfigImage.fill(0);
    if (field->kind == FieldKind::KeyText)
        images.ConfigImage.fill(0x41);
    const auto error = SetFieldFromText(*field, text, images);
    QVERIFY2(!error, qPrintable(error.value_or(QString())));
    QCOMPARE(FieldValueText(*field, images.ConfigImage), text);
    // A Choice shown through its fallback option stores that option's code, which is a
    // different byte on purpose; every other field stores exactly what was shown.
    if (OptionIndexForCode(*field, FieldCode(*field, source)) == field->fallbackIndex &&
        field->fallbackIndex >= 0 &&
        field->options[std::size_t(field->fallbackIndex)].code != FieldCode(*field, source))
        return;
    QVERIFY(!FieldDiffers(*field, source, images.ConfigImage));
}

void TestFieldText::values_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QList<int>>("expected"); // bytes from `byte` on

    QTest::newRow("language by caption") << "decoder.misc.language"
                                         << "German" << 16 << QList<int>{0x58};
    QTest::newRow("caption in any case, blanks around") << "decoder.comm.parity"
                                                        << "  odd " << 19 << QList<int>{};
    QTest::newRow("prefix with a key") << "decoder.misc.prefix"
                                       << "{STX}AB" << 8 << QList<int>{2, 'A', 'B', 255};
    QTest::newRow("key name in lower case") << "decoder.misc.suffix"
                                            << "{cr}{lf}" << 12 << QList<int>{13, 10, 255, 255};
    QTest::newRow("function key on the reader") << "reader.misc.track1.prefix"
                                                << "{^F10}x" << 29 << QList<int>{149, 'x', 255};
    QTest::newRow("empty prefix") << "decoder.misc.prefix"
                                  << "" << 8 << QList<int>{255, 255, 255, 255};
    QTest::newRow("lone brace is a character") << "decoder.misc.prefix"
                                               << "{" << 8 << QList<int>{'{', 255};
    QTest::newRow("code ID emptied") << "decoder.misc.code-id.upc-a"
                                     << "" << 0 << QList<int>{0};
    QTest::newRow("sentinel control character") << "reader.misc.track1.start"
                                                << "{STX}" << 77 << QList<int>{2};
    QTest::newRow("sentinel brace") << "reader.misc.track1.start"
                                    << "{" << 77 << QList<int>{'{'};
    QTest::newRow("separator by control name") << "reader.card.separator"
                                               << "ESC" << 84 << QList<int>{27};
    QTest::newRow("separator as itself") << "reader.card.separator"
                                         << "," << 84 << QList<int>{','};
    QTest::newRow("number") << "decoder.misc.truncate-front"
                            << "15" << 17 << QList<int>{0xF0};
    QTest::newRow("flag") << "decoder.barcodes.codabar"
                          << "off" << 21 << QList<int>{0xFE};
}

void TestFieldText::values()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, byte);
    QFETCH(QList<int>, expected);
    const FieldSpec *field = FindField(name.toStdString());
    QVERIFY(field);
    ParameterImages images;
    const auto error = SetFieldFromText(*field, text, images);
    QVERIFY2(!error, qPrintable(error.value_or(QString())));
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(int(images.ConfigImage[std::size_t(byte + i)]), expected[i]);
    if (name == QLatin1String("decoder.comm.parity"))
        QCOMPARE(FieldValueText(*field, images.ConfigImage), QStringLiteral("Odd"));
}

void TestFieldText::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown option") << "decoder.comm.parity"
                                    << "Oddish";
    QTest::newRow("number too large") << "decoder.misc.truncate-end"
                                      << "16";
    QTest::newRow("number negative") << "decoder.misc.truncate-end"
                                     << "-1";
    QTest::newRow("number text") << "decoder.misc.truncate-end"
                                 << "ten";
    QTest::newRow("five keys in four slots") << "decoder.misc.prefix"
                                             << "{STX}ABCD";
    QTest::newRow("nine keys in eight slots") << "reader.misc.track2.suffix"
                                              << "123456789";
    QTest::newRow("function key on the decoder") << "decoder.misc.prefix"
                                                 << "{F1}";
    QTest::newRow("mistyped key name") << "reader.misc.track1.prefix"
                                       << "{STZ}";
    QTest::newRow("empty slot code") << "decoder.misc.prefix" << QString(QChar(0xFF));
    QTest::newRow("outside the character set") << "decoder.misc.suffix" << QStringLiteral("\u20AC");
    QTest::newRow("reader key-range character")
        << "reader.misc.track1.prefix" << QString(QChar(0xB0));
    QTest::newRow("code ID control character") << "decoder.misc.code-id.ean-8"
                                               << "{STX}";
    QTest::newRow("code ID raw control") << "decoder.misc.code-id.ean-8" << QString(QChar(1));
    QTest::newRow("code ID two characters") << "decoder.misc.code-id.ean-8"
                                            << "AB";
    QTest::newRow("sentinel emptied") << "reader.misc.track3.end"
                                      << "";
    QTest::newRow("sentinel unknown name") << "reader.misc.track3.end"
                                           << "{XYZ}";
    QTest::newRow("separator two characters") << "reader.card.separator"
                                              << ",,";
}

// A refused text says why and leaves every byte as it was.
void TestFieldText::refused()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    const FieldSpec *field = FindField(name.toStdString());
    QVERIFY(field);
    ParameterImages images;
    const Image before = images.ConfigImage;
    const auto error = SetFieldFromText(*field, text, images);
    QVERIFY(error);
    QVERIFY(error->startsWith(name));
    QVERIFY(images.ConfigImage == before);
}

// The listing groups by the parameter pages: a row on no page would be lost.
void TestFieldText::everyFieldOnAPage()
{
    std::size_t listed = 0;
    for (const auto &page : ParameterPages())
        listed += FieldsOfPage(page.window).size();
    QCOMPARE(listed, FieldCatalogue().size());
    QCOMPARE(SectionCaption(*FindPageByWindow("magcfg4")->section),
             QStringLiteral("Magnic_Reader"));
}

void TestFieldText::coveredBits()
{
    QCOMPARE(int(CoveredBits(8)), 0xFF);  // decoder prefix slot
    QCOMPARE(int(CoveredBits(24)), 0x01); // only the read-memory bit
    QCOMPARE(int(CoveredBits(17)), 0xFF); // two truncation counts
    QCOMPARE(int(CoveredBits(16)), 0xFF);
}

QTEST_APPLESS_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
