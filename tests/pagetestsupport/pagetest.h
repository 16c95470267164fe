#pragma once

// Helpers shared by the page family tests: images to open pages on, opening a page through
// the page table as the main window does, and clicking controls by object name.

#include "core/appstate.h"
#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "pages/pagecontext.h"
#include "shell/pagefactory.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <initializer_list>
#include <memory>
#include <utility>

// Declared before the first test column of this type is instantiated below. (A list of pairs
// of ints needs no declaration: Qt 6 knows it, and declaring it again clashes in some builds.)
Q_DECLARE_METATYPE(Image)

namespace pagetest {

inline QStringList Names(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QString::fromLatin1(name));
    return list;
}

inline Image RandomImage(quint32 seed)
{
    QRandomGenerator random(seed);
    Image image{};
    for (auto &byte : image)
        byte = static_cast<std::uint8_t>(random.bounded(256));
    return image;
}

inline Image FilledImage(std::uint8_t value)
{
    Image image{};
    image.fill(value);
    return image;
}

inline std::unique_ptr<QWidget> Open(int type, PageContext &context)
{
    return std::unique_ptr<QWidget>(CreatePage(type, context));
}

// Clicks the button of that name as a user would.
inline bool Click(QWidget *page, const QString &name)
{
    auto *button = page->findChild<QAbstractButton *>(name);
    if (!button)
        return false;
    button->click();
    return true;
}

// The caption of the option an option group shows selected, "" when none is.
inline QString Selected(QWidget *page, const QString &group)
{
    auto *buttons = page->findChild<QButtonGroup *>(group);
    if (!buttons || !buttons->checkedButton())
        return {};
    return buttons->checkedButton()->text();
}

// Bits of each byte a "Set Default" button is expected to restore.
using Masks = QList<std::pair<int, int>>;

inline Image MaskImage(const Masks &masks)
{
    Image mask{};
    for (const auto &[byte, bits] : masks)
        mask[static_cast<std::size_t>(byte)] |= static_cast<std::uint8_t>(bits);
    return mask;
}

// A defaults image as Save As Default could leave it: random, except that a field whose
// stored code is shown through a fallback option holds that option's code, since such a
// default is restored through the option it shows.
inline Image RandomDefaults(quint32 seed)
{
    Image image = RandomImage(seed);
    for (const auto &field : FieldCatalogue()) {
        if (field.fallbackIndex < 0)
            continue;
        const int code = FieldCode(field, image);
        bool hasOption = false;
        for (const auto &option : field.options)
            hasOption = hasOption || option.code == code;
        if (!hasOption) {
            auto &byte = image[static_cast<std::size_t>(field.byte)];
            byte = static_cast<std::uint8_t>(
                (byte & ~field.mask) |
                ShiftedValue(field,
                             field.options[static_cast<std::size_t>(field.fallbackIndex)].code));
        }
    }
    return image;
}

// The images every page is opened and closed on: the factory image, all 0, all 255, random.
inline void OpeningRows(std::initializer_list<int> types)
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Image>("image");
    for (int type : types) {
        const QByteArray page = FindPage(type)->window;
        QTest::newRow(page + " factory") << type << FactoryImage();
        QTest::newRow(page + " all 0") << type << FilledImage(0);
        QTest::newRow(page + " all 255") << type << FilledImage(255);
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::newRow(page + " random " + QByteArray::number(seed))
                << type << RandomImage(seed);
    }
}

// Test bodies the page families share; each reads the columns of its _data() rows.
namespace checks {

inline void PagesShowTheirCaptionsAndTabs(AppState &state)
{
    QFETCH(int, type);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QString, strip);
    QFETCH(QStringList, tabs);
    QFETCH(QStringList, tips);
    QFETCH(QString, frame);
    PageContext context{state};
    auto page = Open(type, context);
    QVERIFY(page);
    QCOMPARE(page->objectName(), window);
    QCOMPARE(page->windowTitle(), title);
    auto *strip_ = page->findChild<QTabWidget *>(strip);
    QVERIFY(strip_);
    QCOMPARE(strip_->count(), tabs.size());
    QCOMPARE(strip_->currentIndex(), 0);
    for (int i = 0; i < tabs.size(); ++i) {
        QCOMPARE(strip_->tabText(i), tabs[i]);
        QCOMPARE(strip_->tabToolTip(i), tips[i]);
        QCOMPARE(strip_->widget(i)->objectName(), frame + QLatin1Char('_') + QString::number(i));
    }
}

inline void EveryRowHasItsControl(AppState &state)
{
    QFETCH(int, type);
    PageContext context{state};
    auto page = Open(type, context);
    const auto rows = FieldsOfPage(FindPage(type)->window);
    QVERIFY(!rows.empty());
    for (const FieldSpec *row : rows) {
        QVERIFY2(page->findChild<QObject *>(Text(row->control)), row->control);
        if (*row->defaultButton)
            QVERIFY2(page->findChild<QAbstractButton *>(Text(row->defaultButton)),
                     row->defaultButton);
        if (row->kind == FieldKind::Choice) {
            auto *group = page->findChild<QButtonGroup *>(Text(row->control));
            QCOMPARE(group->buttons().size(), static_cast<qsizetype>(row->options.size()));
        }
    }
}

inline void OpeningNeverChangesTheImage(AppState &state)
{
    QFETCH(int, type);
    QFETCH(Image, image);
    state.images.ConfigImage = image;
    state.images.MarkSaved();
    PageContext context{state};
    auto page = Open(type, context);
    page->show();
    // Looking through every tab is not a change either.
    auto *tabs = page->findChild<QTabWidget *>();
    for (int i = 0; i < tabs->count(); ++i)
        tabs->setCurrentIndex(i);
    page.reset();
    QCOMPARE(state.images.ConfigImage, image);
    QVERIFY(!state.images.IsChanged());
}

inline void StoredCodesWithoutAnOption(AppState &state)
{
    QFETCH(int, type);
    QFETCH(int, byte);
    QFETCH(int, value);
    QFETCH(QString, group);
    QFETCH(QString, shown);
    state.images.ConfigImage[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(value);
    const Image before = state.images.ConfigImage;
    PageContext context{state};
    auto page = Open(type, context);
    QCOMPARE(Selected(page.get(), group), shown);
    page.reset();
    QCOMPARE(state.images.ConfigImage, before);
}

inline void ClicksWriteTheirCodes(AppState &state)
{
    QFETCH(int, type);
    QFETCH(QStringList, clicks);
    QFETCH(int, byte);
    QFETCH(int, expected);
    Image want = state.images.ConfigImage;
    want[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(expected);
    PageContext context{state};
    auto page = Open(type, context);
    for (const QString &name : clicks)
        QVERIFY2(Click(page.get(), name), qPrintable(name));
    QCOMPARE(state.images.ConfigImage, want);
}

inline void EveryOptionWritesOnlyItsBits(AppState &state)
{
    QFETCH(int, type);
    QFETCH(QString, control);
    const FieldSpec *row = FindControl(FindPage(type)->window, control.toLatin1().constData());
    state.images.ConfigImage = RandomImage(7);
    state.images.ConfigImage[25] &= 0xFE; // ISO: every control of the card tab is enabled
    PageContext context{state};
    auto page = Open(type, context);
    for (std::size_t i = 0; i < row->options.size(); ++i) {
        const Image before = state.images.ConfigImage;
        if (row->kind == FieldKind::Flag) {
            auto *box = page->findChild<QCheckBox *>(control);
            if (box->isChecked() != (i == 1))
                box->click();
        } else {
            const int arrayIndex =
                row->buttonsNamedByCode ? row->options[i].code : static_cast<int>(i);
            QVERIFY(Click(page.get(), control + QLatin1Char('_') + QString::number(arrayIndex)));
        }
        const Image &after = state.images.ConfigImage;
        QCOMPARE(FieldCode(*row, after), row->options[i].code);
        for (int b = 0; b < kImageSize; ++b) {
            const int untouched = b == row->byte ? ~row->mask & 0xFF : 0xFF;
            QCOMPARE(after[static_cast<std::size_t>(b)] & untouched,
                     before[static_cast<std::size_t>(b)] & untouched);
        }
    }
}

inline void SetDefaultRestoresExactlyItsFields(AppState &state)
{
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(Masks, restored);
    QFETCH(quint32, seed);
    // Save As Default has left other defaults than the factory's.
    state.images.DefaultImage = RandomDefaults(seed);
    const Image scrambled = RandomImage(seed + 100);
    state.images.ConfigImage = scrambled;
    PageContext context{state};
    auto page = Open(type, context);
    QVERIFY(Click(page.get(), button));
    const Image mask = MaskImage(restored);
    for (std::size_t b = 0; b < mask.size(); ++b) {
        const int m = mask[b];
        QCOMPARE(state.images.ConfigImage[b] & m, state.images.DefaultImage[b] & m);
        QCOMPARE(state.images.ConfigImage[b] & ~m & 0xFF, scrambled[b] & ~m & 0xFF);
    }
    // Every restored field shows what it now holds.
    for (const FieldSpec *row :
         FieldsRestoredBy(FindPage(type)->window, button.toLatin1().toStdString())) {
        if (row->kind != FieldKind::Choice && row->kind != FieldKind::Flag)
            continue;
        const int index = OptionIndex(*row, state.images.ConfigImage);
        if (row->kind == FieldKind::Flag)
            QCOMPARE(page->findChild<QCheckBox *>(Text(row->control))->isChecked(), index == 1);
        else if (index >= 0)
            QCOMPARE(Selected(page.get(), Text(row->control)),
                     Text(row->options[static_cast<std::size_t>(index)].caption));
        else
            QCOMPARE(Selected(page.get(), Text(row->control)), QString());
    }
}

} // namespace checks

} // namespace pagetest
