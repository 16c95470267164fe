#include "support/pagetest.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QTabWidget>
#include <QTest>

using namespace pagetest;

// The parameter pages of both sections that are built from the field catalogue alone: the
// decoder's communication (cfg4) and bar code (cfg5) pages, the reader's communication
// (magcfg4) and interface (magcfg3) pages. Each is opened through the page table on a shared
// state, as the main window opens it; every case runs over each page's own rows. What the
// pages show is checked here, what they write in tst_parameterwrites.
class TestParameterPages : public QObject
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

private:
    AppState m_state;
};

void TestParameterPages::init()
{
    m_state.images = ParameterImages();
    m_state.header = HeaderTexts{};
}

void TestParameterPages::pagesShowTheirCaptionsAndTabs_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("strip");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QStringList>("tips");
    QTest::addColumn<QString>("frame");
    const QString comm = QStringLiteral("Communication Parameters");
    const QString rs232 = QStringLiteral("RS232 Mode Parameters");
    const QString keyboard = QStringLiteral("Keyboard Wedge Mode Parameters");
    const QString output = QStringLiteral("Output Characters Parameters");
    PageRow(kDecoderCommPage) << "cfg4" << comm << "TabCFG1"
                              << Names({"&RS232", "&Keyboard", "&Output Character"})
                              << QStringList{rs232, keyboard, output} << "fraCfg4";
    PageRow(kBarCodesPage) << "cfg5"
                           << "Bar Codes and Others"
                           << "TabCFG2"
                           << Names({"&Symboligies", "&UPC/EAN/JAN", "Code &39", "Code 12&8",
                                     "&Interleave 25", "Coda&bar"})
                           << Names({"Symboligies Selection", "UPC/EAN/JAN Parameters",
                                     "Code 39 Parameters", "Code 128 Parameters",
                                     "Interleave 25 Parameters", "CodaBar Parameters"})
                           << "fraCfg5";
    PageRow(kReaderCommPage) << "magcfg4" << comm << "TabCFG1"
                             << Names({"&RS232", "&Keyboard", "&Output Characters",
                                       "&Magnetic Reader"})
                             << QStringList{rs232, keyboard, output,
                                            QStringLiteral("Magnetic Reader Parameters")}
                             << "fraCfg4";
    PageRow(kReaderInterfacePage) << "magcfg3"
                                  << "Interface"
                                  << "TabCFG" << Names({"&User Informations", "&Interface"})
                                  << Names({"User's Name,building date and other informations",
                                            "Interface and Code ID Selection"})
                                  << "fraCfg3";
}

void TestParameterPages::pagesShowTheirCaptionsAndTabs()
{
    QFETCH(int, type);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QString, strip);
    QFETCH(QStringList, tabs);
    QFETCH(QStringList, tips);
    QFETCH(QString, frame);
    PageContext context{m_state};
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

void TestParameterPages::factoryImageShowsFactoryOptions_data()
{
    // The option shown in each group, the check boxes ticked and not, and "name=text" of a
    // combo box's current text or a frame's title.
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("unticked");
    QTest::addColumn<QStringList>("texts");
    const QStringList commGroups = Names(
        {"optCfg41A", "optCfg41B", "optCfg41C", "optCfg41D", "optRTSCTS", "optACKNCK", "optXONXOFF",
         "optCfg42A", "Optcfg42b", "optCfg42C", "optCfg42D", "optCfg43A", "optCfg43B"});
    const QStringList commShown =
        Names({"9600", "8 Data Bits", "1 Bit", "None", "Disable", "Disable", "Disable",
               "IBM PC/AT,PS/2", "Upper Case", "Disable", "OFF", "CR+LF", "0 ms"});
    QStringList symbologies;
    for (int i = 0; i < 8; ++i)
        symbologies << QStringLiteral("chk51_%1").arg(i) << QStringLiteral("ChkStart_%1").arg(i);
    PageRow(kDecoderCommPage) << commGroups << commShown << QStringList() << QStringList()
                              << QStringList();
    PageRow(kBarCodesPage) << Names({"optCfg52B", "Optcheck", "Optcode39", "OptStart_stop",
                                     "opt53B", "opt54A", "opt55A"})
                           << Names({"Not Transmit", "Transmit", "Standard", "Not Optput ",
                                     "Do Not Calculate Check Digit",
                                     "Calculate Check Digit and Not Transmit",
                                     "Do Not Calculate Check Digit"})
                           << symbologies
                           << Names({"chkUpcAEan13", "chkIsbn", "chk58A", "ChkBrazil"})
                           << QStringList();
    PageRow(kReaderCommPage) << commGroups + Names({"OptISO", "optCfg45A"})
                             << commShown + Names({"ISO", "Any"}) << Names({"chkCfg45B"})
                             << Names({"chkCfg45C"}) << Names({"cbo45D=CR"});
    PageRow(kReaderInterfacePage) << Names({"OptCfg3_1"}) << Names({"Keyboard Mode"})
                                  << QStringList() << Names({"ChkMSRMem", "ChkNotebook"})
                                  << Names({"fraCfg3_1=Interface "});
}

void TestParameterPages::factoryImageShowsFactoryOptions()
{
    QFETCH(int, type);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, unticked);
    QFETCH(QStringList, texts);
    PageContext context{m_state};
    auto page = Open(type, context);
    for (int i = 0; i < groups.size(); ++i)
        QCOMPARE(Selected(page.get(), groups[i]), expected[i]);
    for (const QString &name : ticked + unticked) {
        auto *box = page->findChild<QCheckBox *>(name);
        QVERIFY2(box && box->isChecked() == ticked.contains(name), qPrintable(name));
    }
    for (const QString &nameAndText : texts) {
        const QString name = nameAndText.section(QLatin1Char('='), 0, 0);
        auto *combo = page->findChild<QComboBox *>(name);
        auto *frame = page->findChild<QGroupBox *>(name);
        QVERIFY2(combo || frame, qPrintable(name));
        QCOMPARE(combo ? combo->currentText() : frame->title(), nameAndText.section(u'=', 1));
    }
}

void TestParameterPages::everyRowHasItsControl_data()
{
    QTest::addColumn<int>("type");
    for (int type : {kDecoderCommPage, kBarCodesPage, kReaderCommPage, kReaderInterfacePage,
                     kDecoderMiscPage, kReaderMiscPage})
        PageRow(type);
}

// A catalogue row that the page does not build would be shown and restored nowhere.
void TestParameterPages::everyRowHasItsControl()
{
    QFETCH(int, type);
    PageContext context{m_state};
    auto page = Open(type, context);
    const auto rows = FieldsOfPage(FindPage(type)->window);
    QVERIFY(!rows.empty());
    for (const FieldSpec *row : rows) {
        QVERIFY2(page->findChild<QObject *>(Text(row->control)), row->name);
        if (*row->defaultButton)
            QVERIFY2(page->findChild<QAbstractButton *>(Text(row->defaultButton)), row->name);
        if (row->kind == FieldKind::Choice) {
            auto *group = page->findChild<QButtonGroup *>(Text(row->control));
            QCOMPARE(group->buttons().size(), static_cast<qsizetype>(row->options.size()));
        }
    }
}

void TestParameterPages::openingNeverChangesTheImage_data()
{
    OpeningRows({kDecoderCommPage, kBarCodesPage, kReaderCommPage, kReaderInterfacePage});
}

void TestParameterPages::openingNeverChangesTheImage()
{
    QFETCH(int, type);
    QFETCH(Image, image);
    m_state.images.ConfigImage = image;
    m_state.images.MarkSaved();
    PageContext context{m_state};
    auto page = Open(type, context);
    page->show();
    // Looking through every tab is not a change either.
    auto *tabs = page->findChild<QTabWidget *>();
    for (int i = 0; i < tabs->count(); ++i)
        tabs->setCurrentIndex(i);
    page.reset();
    QCOMPARE(m_state.images.ConfigImage, image);
    QVERIFY(!m_state.images.IsChanged());
}

void TestParameterPages::storedCodesWithoutAnOption_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shown");
    // Parity 4 to 6 and terminator 7 have no option on the decoder.
    for (int parity : {4, 5, 6})
        PageRow(kDecoderCommPage, qPrintable(QStringLiteral("parity %1").arg(parity)))
            << 19 << (252 & ~112) + parity * 16 << "optCfg41D"
            << "";
    PageRow(kDecoderCommPage, "terminator 7") << 20 << 7 << "optCfg43A"
                                              << "";
    PageRow(kDecoderCommPage, "terminator 6") << 20 << 6 << "optCfg43A"
                                              << "None";
    // A check digit field of 0 is shown as the first option.
    const QString noCheck = QStringLiteral("Do Not Calculate Check Digit");
    PageRow(kBarCodesPage, "code 39 check 0") << 23 << 0x26 << "opt53B" << noCheck;
    PageRow(kBarCodesPage, "code 128 check 0") << 23 << 0x46 << "opt54A" << noCheck;
    PageRow(kBarCodesPage, "i25 check 0") << 23 << 0x62 << "opt55A" << noCheck;
    PageRow(kBarCodesPage, "i25 check 3") << 23 << 0x6E << "opt55A"
                                          << "Calculate Check Digit and Transmit";
    PageRow(kReaderCommPage, "baud 6") << 28 << 16 + 6 << "optCfg41A"
                                       << "";
    PageRow(kReaderCommPage, "baud 5") << 28 << 16 + 5 << "optCfg41A"
                                       << "";
    PageRow(kReaderCommPage, "baud 7") << 28 << 16 + 7 << "optCfg41A"
                                       << "9600";
    PageRow(kReaderCommPage, "baud 4") << 28 << 16 + 4 << "optCfg41A"
                                       << "19200";
    PageRow(kReaderCommPage, "parity 4") << 27 << 4 * 32 + 2 << "optCfg41D"
                                         << "";
    PageRow(kReaderCommPage, "parity 6") << 27 << 6 * 32 + 2 << "optCfg41D"
                                         << "";
    PageRow(kReaderCommPage, "terminator 6") << 27 << 224 + 6 << "optCfg43A"
                                             << "";
    PageRow(kReaderCommPage, "terminator 7") << 27 << 224 + 7 << "optCfg43A"
                                             << "None";
    PageRow(kReaderCommPage, "tracks 13") << 83 << 13 << "optCfg45A"
                                          << "";
    PageRow(kReaderCommPage, "tracks 14") << 83 << 14 << "optCfg45A"
                                          << "";
    PageRow(kReaderCommPage, "tracks 12") << 83 << 12 << "optCfg45A"
                                          << "Auto";
    PageRow(kReaderInterfacePage, "interface 3") << 26 << 240 << "OptCfg3_1"
                                                 << "USB Mode";
    PageRow(kReaderInterfacePage, "interface 2") << 26 << 176 << "OptCfg3_1"
                                                 << "RS232 Mode";
}

void TestParameterPages::storedCodesWithoutAnOption()
{
    QFETCH(int, type);
    QFETCH(int, byte);
    QFETCH(int, value);
    QFETCH(QString, group);
    QFETCH(QString, shown);
    m_state.images.ConfigImage[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(value);
    const Image before = m_state.images.ConfigImage;
    PageContext context{m_state};
    auto page = Open(type, context);
    QCOMPARE(Selected(page.get(), group), shown);
    page.reset();
    QCOMPARE(m_state.images.ConfigImage, before);
}

QTEST_MAIN(TestParameterPages)
#include "tst_parameterpages.moc"
