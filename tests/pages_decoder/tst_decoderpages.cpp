#include "pagetestsupport/pagetest.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>

using namespace pagetest;

constexpr int kComm = kDecoderCommPage;  // cfg4
constexpr int kBarCodes = kBarCodesPage; // cfg5

// The decoder communication page (cfg4) and the bar code symbologies page (cfg5), opened
// through the page table on a shared state as the main window opens them.
class TestDecoderPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void pagesShowTheirCaptionsAndTabs_data();
    void pagesShowTheirCaptionsAndTabs();
    void factoryImageShowsFactoryOptions_data();
    void factoryImageShowsFactoryOptions();
    void everyRowHasItsControl_data();
    void everyRowHasItsControl();
    void openingNeverChangesTheImage_data();
    void openingNeverChangesTheImage();
    void storedCodesWithoutAnOption_data();
    void storedCodesWithoutAnOption();
    void clicksWriteTheirCodes_data();
    void clicksWriteTheirCodes();
    void everyOptionWritesOnlyItsBits_data();
    void everyOptionWritesOnlyItsBits();
    void setDefaultRestoresExactlyItsFields_data();
    void setDefaultRestoresExactlyItsFields();
    void checkDigitDefaultOfZeroShowsTheFirstOption();

private:
    AppState m_state;
};

void TestDecoderPages::init()
{
    m_state.images = ParameterImages();
}

void TestDecoderPages::pagesShowTheirCaptionsAndTabs_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("strip");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QStringList>("tips");
    QTest::addColumn<QString>("frame");
    QTest::newRow("cfg4") << kComm << "cfg4"
                          << "Communication Parameters"
                          << "TabCFG1" << Names({"&RS232", "&Keyboard", "&Output Character"})
                          << Names({"RS232 Mode Parameters", "Keyboard Wedge Mode Parameters",
                                    "Output Characters Parameters"})
                          << "fraCfg4";
    QTest::newRow("cfg5") << kBarCodes << "cfg5"
                          << "Bar Codes and Others"
                          << "TabCFG2"
                          << Names({"&Symboligies", "&UPC/EAN/JAN", "Code &39", "Code 12&8",
                                    "&Interleave 25", "Coda&bar"})
                          << Names({"Symboligies Selection", "UPC/EAN/JAN Parameters",
                                    "Code 39 Parameters", "Code 128 Parameters",
                                    "Interleave 25 Parameters", "CodaBar Parameters"})
                          << "fraCfg5";
}

void TestDecoderPages::pagesShowTheirCaptionsAndTabs()
{
    checks::PagesShowTheirCaptionsAndTabs(m_state);
}

void TestDecoderPages::factoryImageShowsFactoryOptions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("cfg4") << kComm
                          << Names({"optCfg41A", "optCfg41B", "optCfg41C", "optCfg41D", "optRTSCTS",
                                    "optACKNCK", "optXONXOFF", "optCfg42A", "Optcfg42b",
                                    "optCfg42C", "optCfg42D", "optCfg43A", "optCfg43B"})
                          << Names({"9600", "8 Data Bits", "1 Bit", "None", "Disable", "Disable",
                                    "Disable", "IBM PC/AT,PS/2", "Upper Case", "Disable", "OFF",
                                    "CR+LF", "0 ms"});
    QTest::newRow("cfg5") << kBarCodes
                          << Names({"optCfg52B", "Optcheck", "Optcode39", "OptStart_stop", "opt53B",
                                    "opt54A", "opt55A"})
                          << Names({"Not Transmit", "Transmit", "Standard", "Not Optput ",
                                    "Do Not Calculate Check Digit",
                                    "Calculate Check Digit and Not Transmit",
                                    "Do Not Calculate Check Digit"});
}

void TestDecoderPages::factoryImageShowsFactoryOptions()
{
    QFETCH(int, type);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, expected);
    PageContext context{m_state};
    auto page = Open(type, context);
    for (int i = 0; i < groups.size(); ++i)
        QCOMPARE(Selected(page.get(), groups[i]), expected[i]);
    if (type == kBarCodes) {
        for (int i = 0; i < 8; ++i) {
            const QString name = QString::number(i);
            QVERIFY(page->findChild<QCheckBox *>(QStringLiteral("chk51_") + name)->isChecked());
            QVERIFY(page->findChild<QCheckBox *>(QStringLiteral("ChkStart_") + name)->isChecked());
        }
        for (const char *box : {"chkUpcAEan13", "chkIsbn", "chk58A", "ChkBrazil"})
            QVERIFY2(!page->findChild<QCheckBox *>(Text(box))->isChecked(), box);
    }
}

void TestDecoderPages::everyRowHasItsControl_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("cfg4") << kComm;
    QTest::newRow("cfg5") << kBarCodes;
}

void TestDecoderPages::everyRowHasItsControl()
{
    checks::EveryRowHasItsControl(m_state);
}

void TestDecoderPages::openingNeverChangesTheImage_data()
{
    OpeningRows({kComm, kBarCodes});
}

void TestDecoderPages::openingNeverChangesTheImage()
{
    checks::OpeningNeverChangesTheImage(m_state);
}

void TestDecoderPages::storedCodesWithoutAnOption_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shown");
    // Parity 4 to 6 and terminator 7 have no option on the decoder.
    QTest::newRow("parity 4") << kComm << 19 << (252 & ~112) + 4 * 16 << "optCfg41D"
                              << "";
    QTest::newRow("parity 5") << kComm << 19 << (252 & ~112) + 5 * 16 << "optCfg41D"
                              << "";
    QTest::newRow("parity 6") << kComm << 19 << (252 & ~112) + 6 * 16 << "optCfg41D"
                              << "";
    QTest::newRow("terminator 7") << kComm << 20 << 7 << "optCfg43A"
                                  << "";
    QTest::newRow("terminator 6") << kComm << 20 << 6 << "optCfg43A"
                                  << "None";
    // A check digit field of 0 is shown as the first option.
    QTest::newRow("code 39 check 0") << kBarCodes << 23 << 0x26 << "opt53B"
                                     << "Do Not Calculate Check Digit";
    QTest::newRow("code 128 check 0") << kBarCodes << 23 << 0x46 << "opt54A"
                                      << "Do Not Calculate Check Digit";
    QTest::newRow("i25 check 0") << kBarCodes << 23 << 0x62 << "opt55A"
                                 << "Do Not Calculate Check Digit";
    QTest::newRow("i25 check 3") << kBarCodes << 23 << 0x6E << "opt55A"
                                 << "Calculate Check Digit and Transmit";
}

void TestDecoderPages::storedCodesWithoutAnOption()
{
    checks::StoredCodesWithoutAnOption(m_state);
}

void TestDecoderPages::clicksWriteTheirCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");
    QTest::newRow("parity Odd") << kComm << Names({"optCfg41D_3"}) << 19 << 188;
    QTest::newRow("parity None again")
        << kComm << Names({"optCfg41D_3", "optCfg41D_4"}) << 19 << 252;
    QTest::newRow("19200") << kComm << Names({"optCfg41A_3"}) << 16 << 12;
    QTest::newRow("19200, IBM PC/XT") << kComm << Names({"optCfg41A_3", "optCfg42A_1"}) << 16 << 13;
    QTest::newRow("2400") << kComm << Names({"optCfg41A_0"}) << 16 << 0;
    QTest::newRow("2 stop bits") << kComm << Names({"optCfg41C_0"}) << 19 << 124;
    QTest::newRow("7 data bits") << kComm << Names({"optCfg41B_0"}) << 19 << 244;
    QTest::newRow("lower case clears") << kComm << Names({"Optcfg42b_0"}) << 19 << 248;
    QTest::newRow("terminator None") << kComm << Names({"optCfg43A_6"}) << 20 << 6;
    QTest::newRow("15 ms") << kComm << Names({"optCfg43B_1"}) << 19 << 254;
    QTest::newRow("ALT, pad, XON") << kComm << Names({"optCfg42C_1", "optCfg42D_1", "optXONXOFF_1"})
                                   << 20 << 2 + 64 + 128 + 32;
    QTest::newRow("code 39 check and transmit")
        << kBarCodes << Names({"opt53B_2"}) << 23 << 0xC0 + (102 & 0x3F);
    QTest::newRow("code 128 no check") << kBarCodes << Names({"opt54A_0"}) << 23 << 86;
    QTest::newRow("i25 check transmit") << kBarCodes << Names({"opt55A_2"}) << 23 << 110;
    QTest::newRow("full ascii") << kBarCodes << Names({"Optcode39_0"}) << 23 << 100;
    QTest::newRow("start/stop output") << kBarCodes << Names({"OptStart_stop_1"}) << 23 << 103;
    QTest::newRow("code 39 off") << kBarCodes << Names({"chk51_3"}) << 21 << 247;
    QTest::newRow("clear all") << kBarCodes << Names({"Command1"}) << 21 << 0;
    QTest::newRow("clear all, set default")
        << kBarCodes << Names({"Command1", "cmdSetAll"}) << 21 << 255;
    QTest::newRow("start A off") << kBarCodes << Names({"ChkStart_4"}) << 18 << 239;
    QTest::newRow("stop D off") << kBarCodes << Names({"ChkStart_3"}) << 18 << 247;
    QTest::newRow("isbn") << kBarCodes << Names({"chkIsbn"}) << 22 << 50;
    QTest::newRow("upc-a as ean-13") << kBarCodes << Names({"chkUpcAEan13"}) << 22 << 162;
    QTest::newRow("codabar start/stop") << kBarCodes << Names({"chk58A"}) << 22 << 42;
    QTest::newRow("supplemental") << kBarCodes << Names({"optCfg52B_1"}) << 22 << 98;
    QTest::newRow("upc check digit off") << kBarCodes << Names({"Optcheck_0"}) << 22 << 2;
    QTest::newRow("brazil 25") << kBarCodes << Names({"ChkBrazil"}) << 19 << 253;
}

void TestDecoderPages::clicksWriteTheirCodes()
{
    checks::ClicksWriteTheirCodes(m_state);
}

void TestDecoderPages::everyOptionWritesOnlyItsBits_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("control");
    for (int type : {kComm, kBarCodes}) {
        for (const FieldSpec *row : FieldsOfPage(FindPage(type)->window))
            QTest::newRow(row->name) << type << Text(row->control);
    }
}

void TestDecoderPages::everyOptionWritesOnlyItsBits()
{
    checks::EveryOptionWritesOnlyItsBits(m_state);
}

void TestDecoderPages::setDefaultRestoresExactlyItsFields_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Masks>("restored");
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {11u, 12u, 13u}) {
        const QByteArray s = " " + QByteArray::number(seed);
        QTest::newRow("cmdDefault41" + s)
            << kComm << "cmdDefault41" << Masks{{16, 12}, {19, 8 | 128 | 112}, {20, 8 | 16 | 32}}
            << seed;
        QTest::newRow("cmdDefault42" + s)
            << kComm << "cmdDefault42" << Masks{{16, 3}, {19, 4}, {20, 64 | 128}} << seed;
        QTest::newRow("cmdDefault43" + s)
            << kComm << "cmdDefault43" << Masks{{20, 7}, {19, 2}} << seed;
        QTest::newRow("cmdSetAll" + s) << kBarCodes << "cmdSetAll" << Masks{{21, 0xFF}} << seed;
        QTest::newRow("cmdDefault52C" + s)
            << kBarCodes << "cmdDefault52C" << Masks{{22, 0x80 | 0x40 | 0x20 | 0x10}} << seed;
        QTest::newRow("cmdDefault53" + s)
            << kBarCodes << "cmdDefault53" << Masks{{23, 0xC0 | 0x02 | 0x01}} << seed;
        QTest::newRow("cmdDefault54" + s)
            << kBarCodes << "cmdDefault54" << Masks{{23, 0x30}} << seed;
        QTest::newRow("cmdDefault55" + s)
            << kBarCodes << "cmdDefault55" << Masks{{23, 0x0C}, {19, 0x01}} << seed;
        QTest::newRow("cmdDefault58" + s)
            << kBarCodes << "cmdDefault58" << Masks{{18, 0xFF}, {22, 0x08}} << seed;
    }
}

void TestDecoderPages::setDefaultRestoresExactlyItsFields()
{
    checks::SetDefaultRestoresExactlyItsFields(m_state);
}

void TestDecoderPages::checkDigitDefaultOfZeroShowsTheFirstOption()
{
    // A defaults file may hold a check digit field of 0: it is restored as the first option.
    m_state.images.DefaultImage[23] = 0x26; // Code 39 check digit 0
    m_state.images.ConfigImage[23] = 0xE6;  // Code 39 check digit 3
    PageContext context{m_state};
    auto page = Open(kBarCodes, context);
    QVERIFY(Click(page.get(), QStringLiteral("cmdDefault53")));
    QCOMPARE(Selected(page.get(), QStringLiteral("opt53B")),
             QStringLiteral("Do Not Calculate Check Digit"));
    QCOMPARE(m_state.images.ConfigImage[23] & 0xC0, 0x40);
    QCOMPARE(m_state.images.ConfigImage[23] & 0x3F, 0x26);
}

QTEST_MAIN(TestDecoderPages)
#include "tst_decoderpages.moc"
