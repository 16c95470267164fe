#include "support/pagetest.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

#include <QCheckBox>
#include <QTest>

using namespace pagetest;

// What the parameter pages of tst_parameterpages write: each click its code, each option only
// its bits, each "Set Default" button exactly its fields.
class TestParameterWrites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void clicksWriteTheirCodes_data();
    void clicksWriteTheirCodes();
    void everyOptionWritesOnlyItsBits_data();
    void everyOptionWritesOnlyItsBits();
    void setDefaultRestoresExactlyItsFields_data();
    void setDefaultRestoresExactlyItsFields();
    void setDefaultOfACodeWithoutAnOption_data();
    void setDefaultOfACodeWithoutAnOption();

private:
    AppState m_state;
};

void TestParameterWrites::init()
{
    m_state.images = ParameterImages();
    m_state.header = HeaderTexts{};
}

void TestParameterWrites::clicksWriteTheirCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");
    const auto row = [](int type, const char *name, std::initializer_list<const char *> clicks,
                        int byte,
                        int expected) { PageRow(type, name) << Names(clicks) << byte << expected; };
    row(kDecoderCommPage, "parity Odd", {"optCfg41D_3"}, 19, 188);
    row(kDecoderCommPage, "parity None again", {"optCfg41D_3", "optCfg41D_4"}, 19, 252);
    row(kDecoderCommPage, "19200", {"optCfg41A_3"}, 16, 12);
    row(kDecoderCommPage, "19200, IBM PC/XT", {"optCfg41A_3", "optCfg42A_1"}, 16, 13);
    row(kDecoderCommPage, "2400", {"optCfg41A_0"}, 16, 0);
    row(kDecoderCommPage, "2 stop bits", {"optCfg41C_0"}, 19, 124);
    row(kDecoderCommPage, "7 data bits", {"optCfg41B_0"}, 19, 244);
    row(kDecoderCommPage, "lower case clears", {"Optcfg42b_0"}, 19, 248);
    row(kDecoderCommPage, "terminator None", {"optCfg43A_6"}, 20, 6);
    row(kDecoderCommPage, "15 ms", {"optCfg43B_1"}, 19, 254);
    row(kDecoderCommPage, "ALT, pad, XON", {"optCfg42C_1", "optCfg42D_1", "optXONXOFF_1"}, 20,
        2 + 64 + 128 + 32);
    row(kBarCodesPage, "code 39 check and transmit", {"opt53B_2"}, 23, 0xC0 + (102 & 0x3F));
    row(kBarCodesPage, "code 128 no check", {"opt54A_0"}, 23, 86);
    row(kBarCodesPage, "i25 check transmit", {"opt55A_2"}, 23, 110);
    row(kBarCodesPage, "full ascii", {"Optcode39_0"}, 23, 100);
    row(kBarCodesPage, "start/stop output", {"OptStart_stop_1"}, 23, 103);
    row(kBarCodesPage, "code 39 off", {"chk51_3"}, 21, 247);
    row(kBarCodesPage, "clear all", {"Command1"}, 21, 0);
    row(kBarCodesPage, "clear all, set default", {"Command1", "cmdSetAll"}, 21, 255);
    row(kBarCodesPage, "start A off", {"ChkStart_4"}, 18, 239);
    row(kBarCodesPage, "stop D off", {"ChkStart_3"}, 18, 247);
    row(kBarCodesPage, "isbn", {"chkIsbn"}, 22, 50);
    row(kBarCodesPage, "upc-a as ean-13", {"chkUpcAEan13"}, 22, 162);
    row(kBarCodesPage, "codabar start/stop", {"chk58A"}, 22, 42);
    row(kBarCodesPage, "supplemental", {"optCfg52B_1"}, 22, 98);
    row(kBarCodesPage, "upc check digit off", {"Optcheck_0"}, 22, 2);
    row(kBarCodesPage, "brazil 25", {"ChkBrazil"}, 19, 253);
    row(kReaderCommPage, "600", {"optCfg41A_0"}, 28, 16);
    row(kReaderCommPage, "600, 9600", {"optCfg41A_0", "optCfg41A_5"}, 28, 23);
    row(kReaderCommPage, "19200", {"optCfg41A_4"}, 28, 20);
    row(kReaderCommPage, "lower case sets", {"Optcfg42b_1"}, 28, 151);
    row(kReaderCommPage, "parity Odd", {"optCfg41D_3"}, 27, 98);
    row(kReaderCommPage, "parity None", {"optCfg41D_0", "optCfg41D_4"}, 27, 226);
    row(kReaderCommPage, "terminator CR", {"optCfg43A_0"}, 27, 224);
    row(kReaderCommPage, "terminator None", {"optCfg43A_6"}, 27, 231);
    row(kReaderCommPage, "RTS, ACK", {"optRTSCTS_1", "optACKNCK_1"}, 27, 226 + 16 + 8);
    row(kReaderCommPage, "7 bits, 2 stop, XON", {"optCfg41B_0", "optCfg41C_0", "optXONXOFF_1"}, 26,
        8);
    row(kReaderCommPage, "NEC, 15 ms", {"optCfg42A_3", "optCfg43B_1"}, 26, 48 + 3 + 4);
    row(kReaderCommPage, "ALT, pad", {"optCfg42C_1", "optCfg42D_1"}, 28, 23 + 32 + 64);
    row(kReaderCommPage, "JIS2", {"OptISO_1"}, 25, 1);
    row(kReaderCommPage, "Auto", {"optCfg45A_12"}, 83, 12);
    row(kReaderCommPage, "Auto, Any", {"optCfg45A_12", "optCfg45A_15"}, 83, 15);
    row(kReaderCommPage, "Track 1 Only", {"optCfg45A_1"}, 83, 1);
    row(kReaderCommPage, "no start/stop", {"chkCfg45B"}, 28, 7);
    row(kReaderCommPage, "account only", {"chkCfg45C"}, 28, 31);
    row(kReaderInterfacePage, "RS232", {"OptCfg3_1_2"}, 26, 176);
    row(kReaderInterfacePage, "RS232, USB", {"OptCfg3_1_2", "OptCfg3_1_1"}, 26, 112);
    row(kReaderInterfacePage, "no keyboard", {"ChkNotebook"}, 25, 8);
    row(kReaderInterfacePage, "no keyboard, memory", {"ChkNotebook", "ChkMSRMem"}, 25, 10);
}

void TestParameterWrites::clicksWriteTheirCodes()
{
    QFETCH(int, type);
    QFETCH(QStringList, clicks);
    QFETCH(int, byte);
    QFETCH(int, expected);
    Image want = m_state.images.ConfigImage;
    want[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(expected);
    PageContext context{m_state};
    auto page = Open(type, context);
    for (const QString &name : clicks)
        QVERIFY2(Click(page.get(), name), qPrintable(name));
    QCOMPARE(m_state.images.ConfigImage, want);
}

void TestParameterWrites::everyOptionWritesOnlyItsBits_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("control");
    for (int type : {kDecoderCommPage, kBarCodesPage, kReaderCommPage, kReaderInterfacePage}) {
        for (const FieldSpec *row : FieldsOfPage(FindPage(type)->window)) {
            if (row->kind == FieldKind::Choice || row->kind == FieldKind::Flag)
                QTest::newRow(row->name) << type << Text(row->control);
        }
    }
}

void TestParameterWrites::everyOptionWritesOnlyItsBits()
{
    QFETCH(int, type);
    QFETCH(QString, control);
    const FieldSpec *row = FindControl(FindPage(type)->window, control.toLatin1().constData());
    m_state.images.ConfigImage = RandomImage(7);
    m_state.images.ConfigImage[25] &= 0xFE; // ISO: every control of the card tab is enabled
    PageContext context{m_state};
    auto page = Open(type, context);
    for (std::size_t i = 0; i < row->options.size(); ++i) {
        const Image before = m_state.images.ConfigImage;
        if (row->kind == FieldKind::Flag) {
            auto *box = page->findChild<QCheckBox *>(control);
            if (box->isChecked() != (i == 1))
                box->click();
        } else {
            const int arrayIndex =
                row->buttonsNamedByCode ? row->options[i].code : static_cast<int>(i);
            QVERIFY(Click(page.get(), control + QLatin1Char('_') + QString::number(arrayIndex)));
        }
        const Image &after = m_state.images.ConfigImage;
        QCOMPARE(FieldCode(*row, after), row->options[i].code);
        for (int b = 0; b < kImageSize; ++b) {
            const int untouched = b == row->byte ? ~row->mask & 0xFF : 0xFF;
            QCOMPARE(after[static_cast<std::size_t>(b)] & untouched,
                     before[static_cast<std::size_t>(b)] & untouched);
        }
    }
}

void TestParameterWrites::setDefaultRestoresExactlyItsFields_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Masks>("restored");
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {11u, 12u, 13u}) {
        const auto row = [seed](int type, const char *button, const Masks &masks) {
            PageRow(type, qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(button)).arg(seed)))
                << QString::fromLatin1(button) << masks << seed;
        };
        row(kDecoderCommPage, "cmdDefault41", {{16, 12}, {19, 8 | 128 | 112}, {20, 8 | 16 | 32}});
        row(kDecoderCommPage, "cmdDefault42", {{16, 3}, {19, 4}, {20, 64 | 128}});
        row(kDecoderCommPage, "cmdDefault43", {{20, 7}, {19, 2}});
        row(kBarCodesPage, "cmdSetAll", {{21, 0xFF}});
        row(kBarCodesPage, "cmdDefault52C", {{22, 0x80 | 0x40 | 0x20 | 0x10}});
        row(kBarCodesPage, "cmdDefault53", {{23, 0xC0 | 0x02 | 0x01}});
        row(kBarCodesPage, "cmdDefault54", {{23, 0x30}});
        row(kBarCodesPage, "cmdDefault55", {{23, 0x0C}, {19, 0x01}});
        row(kBarCodesPage, "cmdDefault58", {{18, 0xFF}, {22, 0x08}});
        row(kReaderCommPage, "cmdDefault41", {{28, 7}, {26, 32 | 16 | 8}, {27, 224 | 16 | 8}});
        row(kReaderCommPage, "cmdDefault42", {{26, 3}, {28, 128 | 32 | 64}});
        row(kReaderCommPage, "cmdDefault43", {{27, 7}, {26, 4}});
        row(kReaderCommPage, "cmdDefault45", {{83, 15}, {28, 16 | 8}, {84, 0xFF}, {25, 1}});
        row(kReaderInterfacePage, "cmdDefault31_2", {{26, 192}, {25, 2 | 8}});
    }
}

void TestParameterWrites::setDefaultRestoresExactlyItsFields()
{
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(Masks, restored);
    QFETCH(quint32, seed);
    // Save As Default has left other defaults than the factory's.
    m_state.images.DefaultImage = RandomDefaults(seed);
    const Image scrambled = RandomImage(seed + 100);
    m_state.images.ConfigImage = scrambled;
    PageContext context{m_state};
    auto page = Open(type, context);
    QVERIFY(Click(page.get(), button));
    const Image mask = MaskImage(restored);
    for (std::size_t b = 0; b < mask.size(); ++b) {
        const int m = mask[b];
        QCOMPARE(m_state.images.ConfigImage[b] & m, m_state.images.DefaultImage[b] & m);
        QCOMPARE(m_state.images.ConfigImage[b] & ~m & 0xFF, scrambled[b] & ~m & 0xFF);
    }
    // Every restored field shows what it now holds.
    for (const FieldSpec *row :
         FieldsRestoredBy(FindPage(type)->window, button.toLatin1().toStdString())) {
        if (row->kind != FieldKind::Choice && row->kind != FieldKind::Flag)
            continue;
        const int index = OptionIndex(*row, m_state.images.ConfigImage);
        if (row->kind == FieldKind::Flag)
            QCOMPARE(page->findChild<QCheckBox *>(Text(row->control))->isChecked(), index == 1);
        else if (index >= 0)
            QCOMPARE(Selected(page.get(), Text(row->control)),
                     Text(row->options[static_cast<std::size_t>(index)].caption));
        else
            QCOMPARE(Selected(page.get(), Text(row->control)), QString());
    }
}

void TestParameterWrites::setDefaultOfACodeWithoutAnOption_data()
{
    // A defaults file may hold a code that no option stands for (a check digit field of 0,
    // reader interface 3): it is restored as the option it is shown as.
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("defaultValue");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("restored");
    PageRow(kBarCodesPage, "code 39 check 0") << "cmdDefault53" << 23 << 0x26 << 0xE6 << "opt53B"
                                              << "Do Not Calculate Check Digit" << 0x40 + 0x26;
    PageRow(kReaderInterfacePage, "interface 3")
        << "cmdDefault31_2" << 26 << 240 << 0x80 + 0x15 << "OptCfg3_1"
        << "USB Mode" << 0x40 + 0x15;
}

void TestParameterWrites::setDefaultOfACodeWithoutAnOption()
{
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(int, byte);
    QFETCH(int, defaultValue);
    QFETCH(int, value);
    QFETCH(QString, group);
    QFETCH(QString, shown);
    m_state.images.DefaultImage[static_cast<std::size_t>(byte)] = std::uint8_t(defaultValue);
    m_state.images.ConfigImage[static_cast<std::size_t>(byte)] = std::uint8_t(value);
    PageContext context{m_state};
    auto page = Open(type, context);
    QVERIFY(Click(page.get(), button));
    QCOMPARE(Selected(page.get(), group), shown);
    QTEST(int(m_state.images.ConfigImage[static_cast<std::size_t>(byte)]), "restored");
}

QTEST_MAIN(TestParameterWrites)
#include "tst_parameterwrites.moc"
