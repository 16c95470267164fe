#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

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
#include "tst_fieldcatalogue.moc"
