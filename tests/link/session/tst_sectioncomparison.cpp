#include "core/fieldcatalogue.h"
#include "core/fieldtext.h"
#include "link/session/sectioncomparison.h"

#include <QTest>

namespace {

// The factory image with each of `values` (parameter name, text) set as a page would set it.
Image Changed(const QStringList &values)
{
    ParameterImages images;
    images.ConfigImage = FactoryImage();
    for (const QString &value : values) {
        const QString name = value.section(QLatin1Char('='), 0, 0);
        const FieldSpec *field = FindField(name.toStdString());
        if (!field || SetFieldFromText(*field, value.section(QLatin1Char('='), 1), images))
            qFatal("cannot set %s", qPrintable(value));
    }
    return images.ConfigImage;
}

} // namespace

class TestSectionComparison : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compare_data();
    void compare();
};

void TestSectionComparison::compare_data()
{
    QTest::addColumn<bool>("reader");      // the section the device sent
    QTest::addColumn<QStringList>("held"); // what the device holds apart from the factory values
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("sentence");
    const QString parity = QStringLiteral("decoder.comm.parity=Odd");
    const QString suffix = QStringLiteral("decoder.misc.suffix={CR}");
    const QString language = QStringLiteral("reader.misc.language=German");
    const QString decoderSent = QStringLiteral("The decoder section (bytes 0 to 24) %1; the reader "
                                               "section (bytes 25 to 84) could not be read back "
                                               "and was not compared.");
    // What the device holds in the section it did not send is never compared.
    QTest::newRow("decoder, same values")
        << false << QStringList{language} << QStringList{}
        << decoderSent.arg(QStringLiteral("holds the same values"));
    QTest::newRow("decoder, one differs")
        << false << QStringList{parity, language}
        << QStringList{QStringLiteral("decoder.comm.parity")}
        << decoderSent.arg(QStringLiteral("differs in 1 parameter"));
    QTest::newRow("decoder, two differ")
        << false << QStringList{parity, suffix}
        << QStringList{QStringLiteral("decoder.comm.parity"), QStringLiteral("decoder.misc.suffix")}
        << decoderSent.arg(QStringLiteral("differs in 2 parameters"));
    QTest::newRow("reader, one differs")
        << true << QStringList{parity, language}
        << QStringList{QStringLiteral("reader.misc.language")}
        << QStringLiteral("The reader section (bytes 25 to 84) differs in 1 parameter; the decoder "
                          "section (bytes 0 to 24) could not be read back and was not compared.");
}

void TestSectionComparison::compare()
{
    QFETCH(bool, reader);
    QFETCH(QStringList, held);
    QFETCH(QStringList, names);
    QFETCH(QString, sentence);
    const Section sent = reader ? Section::Reader : Section::Decoder;
    const SectionComparison comparison = CompareSection(FactoryImage(), Changed(held), sent);
    QCOMPARE(comparison.compared, sent);
    QStringList differ;
    for (const auto &[here, device] : comparison.differences) {
        differ << here.name;
        QVERIFY(here.value != device.value);
    }
    QCOMPARE(differ, names);
    QCOMPARE(comparison.Differs(), !names.isEmpty());
    QCOMPARE(comparison.Sentence(), sentence);
}

QTEST_GUILESS_MAIN(TestSectionComparison)
#include "tst_sectioncomparison.moc"
