#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "core/parametersearch.h"

#include <QSet>
#include <QTest>

// Checks every row of the catalogue, so a row added with a typo fails here.
class TestFieldCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowsFitTheirBytes();
    void namesAndControlsAreUnique();
    void optionCodesFitTheMaskAndDoNotRepeat();
    void factoryValuesHaveAnOption();
    void shiftingFollowsTheMask();
    void pagesHoldTheRowsOfTheirSection();
    void searchFindsCaptionsOptionsAndNames_data();
    void searchFindsCaptionsOptionsAndNames();
};

void TestFieldCatalogue::rowsFitTheirBytes()
{
    QVERIFY(!FieldCatalogue().empty());
    for (const auto &field : FieldCatalogue()) {
        QVERIFY2(field.byte >= 0 && field.byte < kImageSize, field.name);
        QVERIFY2(field.mask > 0 && field.mask <= 0xFF, field.name);
        if (field.kind == FieldKind::KeyText)
            QVERIFY2(field.slots > 0 && field.byte + field.slots <= kImageSize, field.name);
    }
}

void TestFieldCatalogue::namesAndControlsAreUnique()
{
    QSet<QString> names;
    QSet<QString> controls;
    for (const auto &field : FieldCatalogue()) {
        const QString name = Text(field.name);
        QVERIFY2(!names.contains(name), field.name);
        names.insert(name);
        // Fields that share one box through a selector differ by the option that shows them.
        const QString control = Text(field.page) + QLatin1Char('.') + Text(field.control) +
                                QLatin1Char('.') + Text(field.selector) +
                                QString::number(field.selectorIndex);
        QVERIFY2(!controls.contains(control), field.control);
        controls.insert(control);
        QCOMPARE(FindField(field.name), &field);
    }
}

void TestFieldCatalogue::optionCodesFitTheMaskAndDoNotRepeat()
{
    for (const auto &field : FieldCatalogue()) {
        if (field.kind != FieldKind::Choice && field.kind != FieldKind::Flag)
            continue;
        QVERIFY2(field.options.size() >= 2, field.name);
        QSet<int> codes;
        for (const auto &option : field.options) {
            QVERIFY2(!codes.contains(option.code), field.name);
            codes.insert(option.code);
            QCOMPARE(ShiftedValue(field, option.code) / LowestBit(field.mask), option.code);
        }
        QVERIFY2(field.fallbackIndex < static_cast<int>(field.options.size()), field.name);
    }
}

void TestFieldCatalogue::factoryValuesHaveAnOption()
{
    const Image factory = FactoryImage();
    for (const auto &field : FieldCatalogue()) {
        if (field.kind == FieldKind::Choice || field.kind == FieldKind::Flag)
            QVERIFY2(OptionIndex(field, factory) >= 0, field.name);
    }
}

void TestFieldCatalogue::shiftingFollowsTheMask()
{
    const FieldSpec field{
        .name = "x", .page = "p", .control = "c", .caption = "", .byte = 26, .mask = 192};
    Image image{};
    image[26] = 176;
    QCOMPARE(FieldCode(field, image), 2);
    QCOMPARE(ShiftedValue(field, 3), 192);
    QCOMPARE(LowestBit(112), 16);
}

// The page table hands each parameter page its rows: they name that page and lie in the
// bytes of its section, which its "&Set All Default" item restores.
void TestFieldCatalogue::pagesHoldTheRowsOfTheirSection()
{
    std::size_t rows = 0;
    for (const PageInfo &page : ParameterPages()) {
        const bool reader = page.section == Section::Reader;
        QVERIFY2(!page.fields().empty(), page.window);
        for (const FieldSpec &field : page.fields()) {
            QCOMPARE(field.page, page.window);
            const int last = field.byte + std::max(field.slots, 1) - 1;
            QVERIFY2(reader ? field.byte >= kReaderFirst && last <= kReaderLast
                            : field.byte >= kDecoderFirst && last <= kDecoderLast,
                     field.name);
        }
        rows += page.fields().size();
    }
    QCOMPARE(rows, FieldCatalogue().size());
    // The parameter pages lead the table: no row after them has catalogue rows.
    QCOMPARE(std::ranges::count_if(kPageTable, IsParameterPage),
             static_cast<std::ptrdiff_t>(ParameterPages().size()));
}

QTEST_APPLESS_MAIN(TestFieldCatalogue)
void TestFieldCatalogue::searchFindsCaptionsOptionsAndNames_data()
{
    // Each match as "name" or "name=option".
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("caption, any case")
        << QStringLiteral("  PARITY ")
        << QStringList{QStringLiteral("decoder.comm.parity"), QStringLiteral("reader.comm.parity")};
    QTest::newRow("option") << QStringLiteral("9600")
                            << QStringList{QStringLiteral("decoder.comm.baud=9600"),
                                           QStringLiteral("reader.comm.baud=9600")};
    QTest::newRow("name") << QStringLiteral("reader.card.tracks")
                          << QStringList{QStringLiteral("reader.card.tracks")};
    QTest::newRow("option of a field whose caption matches too")
        << QStringLiteral("track 1-2-3")
        << QStringList{QStringLiteral("reader.card.tracks=Track 1-2-3")};
    // Every check box has an "Off" option; an option group's "OFF" is found.
    QTest::newRow("a check box's Off is no option")
        << QStringLiteral("Off")
        << QStringList{QStringLiteral("decoder.comm.xon-xoff"),
                       QStringLiteral("decoder.comm.numeric-pad=OFF"),
                       QStringLiteral("reader.comm.xon-xoff"),
                       QStringLiteral("reader.comm.numeric-pad=OFF")};
    QTest::newRow("empty") << QStringLiteral(" ") << QStringList{};
}

void TestFieldCatalogue::searchFindsCaptionsOptionsAndNames()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QStringList got;
    for (const ParameterMatch &match : FindParameters(query)) {
        QString entry = Text(match.field->name);
        if (match.option >= 0)
            entry += QLatin1Char('=') +
                     Text(match.field->options[static_cast<std::size_t>(match.option)].caption);
        got.append(entry);
    }
    QCOMPARE(got, found);
}

#include "tst_fieldcatalogue.moc"
