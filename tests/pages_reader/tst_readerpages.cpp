#include "pagetestsupport/pagetest.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

using namespace pagetest;

constexpr int kComm = kReaderCommPage;           // magcfg4
constexpr int kInterface = kReaderInterfacePage; // magcfg3

// The reader interface page (magcfg3) and the reader communication page (magcfg4), opened
// through the page table on a shared state as the main window opens them.
class TestReaderPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void pagesShowTheirCaptionsAndTabs_data();
    void pagesShowTheirCaptionsAndTabs();
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
    void interfaceDefaultOfThreeIsRestoredAsUsb();
    void jis2SwitchesOffTheTrackFields();
    void separatorListsTheControlNames();
    void separatorTakesPicksAndTypedCharacters();
    void separatorTellsTypedNamesFromPicks_data();
    void separatorTellsTypedNamesFromPicks();
    void separatorShowsStoredCharacters_data();
    void separatorShowsStoredCharacters();
    void headerTextsAreTheSharedOnes();

private:
    AppState m_state;
};

void TestReaderPages::init()
{
    m_state.images = ParameterImages();
    m_state.header = HeaderTexts{};
}

void TestReaderPages::pagesShowTheirCaptionsAndTabs_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("strip");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QStringList>("tips");
    QTest::addColumn<QString>("frame");
    QTest::newRow("magcfg4")
        << kComm << "magcfg4"
        << "Communication Parameters"
        << "TabCFG1" << Names({"&RS232", "&Keyboard", "&Output Characters", "&Magnetic Reader"})
        << Names({"RS232 Mode Parameters", "Keyboard Wedge Mode Parameters",
                  "Output Characters Parameters", "Magnetic Reader Parameters"})
        << "fraCfg4";
    QTest::newRow("magcfg3") << kInterface << "magcfg3"
                             << "Interface"
                             << "TabCFG" << Names({"&User Informations", "&Interface"})
                             << Names({"User's Name,building date and other informations",
                                       "Interface and Code ID Selection"})
                             << "fraCfg3";
}

void TestReaderPages::pagesShowTheirCaptionsAndTabs()
{
    checks::PagesShowTheirCaptionsAndTabs(m_state);
}

void TestReaderPages::factoryImageShowsFactoryOptions()
{
    PageContext context{m_state};
    auto comm = Open(kComm, context);
    const QStringList groups =
        Names({"optCfg41A", "optCfg41B", "optCfg41C", "optCfg41D", "optRTSCTS", "optACKNCK",
               "optXONXOFF", "optCfg42A", "Optcfg42b", "optCfg42C", "optCfg42D", "optCfg43A",
               "optCfg43B", "OptISO", "optCfg45A"});
    const QStringList expected =
        Names({"9600", "8 Data Bits", "1 Bit", "None", "Disable", "Disable", "Disable",
               "IBM PC/AT,PS/2", "Upper Case", "Disable", "OFF", "CR+LF", "0 ms", "ISO", "Any"});
    for (int i = 0; i < groups.size(); ++i)
        QCOMPARE(Selected(comm.get(), groups[i]), expected[i]);
    QVERIFY(comm->findChild<QCheckBox *>(QStringLiteral("chkCfg45B"))->isChecked());
    QVERIFY(!comm->findChild<QCheckBox *>(QStringLiteral("chkCfg45C"))->isChecked());
    QCOMPARE(comm->findChild<QComboBox *>(QStringLiteral("cbo45D"))->currentText(),
             QStringLiteral("CR"));
    comm.reset();

    auto interface = Open(kInterface, context);
    QCOMPARE(Selected(interface.get(), QStringLiteral("OptCfg3_1")),
             QStringLiteral("Keyboard Mode"));
    QVERIFY(!interface->findChild<QCheckBox *>(QStringLiteral("ChkMSRMem"))->isChecked());
    QVERIFY(!interface->findChild<QCheckBox *>(QStringLiteral("ChkNotebook"))->isChecked());
    QCOMPARE(interface->findChild<QGroupBox *>(QStringLiteral("fraCfg3_1"))->title(),
             QStringLiteral("Interface "));
}

void TestReaderPages::everyRowHasItsControl_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("magcfg4") << kComm;
    QTest::newRow("magcfg3") << kInterface;
}

void TestReaderPages::everyRowHasItsControl()
{
    checks::EveryRowHasItsControl(m_state);
}

void TestReaderPages::openingNeverChangesTheImage_data()
{
    OpeningRows({kComm, kInterface});
}

void TestReaderPages::openingNeverChangesTheImage()
{
    checks::OpeningNeverChangesTheImage(m_state);
}

void TestReaderPages::storedCodesWithoutAnOption_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shown");
    QTest::newRow("baud 6") << kComm << 28 << 16 + 6 << "optCfg41A"
                            << "";
    QTest::newRow("baud 5") << kComm << 28 << 16 + 5 << "optCfg41A"
                            << "";
    QTest::newRow("baud 7") << kComm << 28 << 16 + 7 << "optCfg41A"
                            << "9600";
    QTest::newRow("baud 4") << kComm << 28 << 16 + 4 << "optCfg41A"
                            << "19200";
    QTest::newRow("parity 4") << kComm << 27 << 4 * 32 + 2 << "optCfg41D"
                              << "";
    QTest::newRow("parity 6") << kComm << 27 << 6 * 32 + 2 << "optCfg41D"
                              << "";
    QTest::newRow("terminator 6") << kComm << 27 << 224 + 6 << "optCfg43A"
                                  << "";
    QTest::newRow("terminator 7") << kComm << 27 << 224 + 7 << "optCfg43A"
                                  << "None";
    QTest::newRow("tracks 13") << kComm << 83 << 13 << "optCfg45A"
                               << "";
    QTest::newRow("tracks 14") << kComm << 83 << 14 << "optCfg45A"
                               << "";
    QTest::newRow("tracks 12") << kComm << 83 << 12 << "optCfg45A"
                               << "Auto";
    QTest::newRow("interface 3") << kInterface << 26 << 240 << "OptCfg3_1"
                                 << "USB Mode";
    QTest::newRow("interface 2") << kInterface << 26 << 176 << "OptCfg3_1"
                                 << "RS232 Mode";
}

void TestReaderPages::storedCodesWithoutAnOption()
{
    checks::StoredCodesWithoutAnOption(m_state);
}

void TestReaderPages::clicksWriteTheirCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");
    QTest::newRow("600") << kComm << Names({"optCfg41A_0"}) << 28 << 16;
    QTest::newRow("600, 9600") << kComm << Names({"optCfg41A_0", "optCfg41A_5"}) << 28 << 23;
    QTest::newRow("19200") << kComm << Names({"optCfg41A_4"}) << 28 << 20;
    QTest::newRow("lower case sets") << kComm << Names({"Optcfg42b_1"}) << 28 << 151;
    QTest::newRow("parity Odd") << kComm << Names({"optCfg41D_3"}) << 27 << 98;
    QTest::newRow("parity None") << kComm << Names({"optCfg41D_0", "optCfg41D_4"}) << 27 << 226;
    QTest::newRow("terminator CR") << kComm << Names({"optCfg43A_0"}) << 27 << 224;
    QTest::newRow("terminator None") << kComm << Names({"optCfg43A_6"}) << 27 << 231;
    QTest::newRow("RTS, ACK") << kComm << Names({"optRTSCTS_1", "optACKNCK_1"}) << 27
                              << 226 + 16 + 8;
    QTest::newRow("7 bits, 2 stop, XON")
        << kComm << Names({"optCfg41B_0", "optCfg41C_0", "optXONXOFF_1"}) << 26 << 8;
    QTest::newRow("NEC, 15 ms") << kComm << Names({"optCfg42A_3", "optCfg43B_1"}) << 26
                                << 48 + 3 + 4;
    QTest::newRow("ALT, pad") << kComm << Names({"optCfg42C_1", "optCfg42D_1"}) << 28
                              << 23 + 32 + 64;
    QTest::newRow("JIS2") << kComm << Names({"OptISO_1"}) << 25 << 1;
    QTest::newRow("Auto") << kComm << Names({"optCfg45A_12"}) << 83 << 12;
    QTest::newRow("Auto, Any") << kComm << Names({"optCfg45A_12", "optCfg45A_15"}) << 83 << 15;
    QTest::newRow("Track 1 Only") << kComm << Names({"optCfg45A_1"}) << 83 << 1;
    QTest::newRow("no start/stop") << kComm << Names({"chkCfg45B"}) << 28 << 7;
    QTest::newRow("account only") << kComm << Names({"chkCfg45C"}) << 28 << 31;
    QTest::newRow("RS232") << kInterface << Names({"OptCfg3_1_2"}) << 26 << 176;
    QTest::newRow("RS232, USB") << kInterface << Names({"OptCfg3_1_2", "OptCfg3_1_1"}) << 26 << 112;
    QTest::newRow("no keyboard") << kInterface << Names({"ChkNotebook"}) << 25 << 8;
    QTest::newRow("no keyboard, memory")
        << kInterface << Names({"ChkNotebook", "ChkMSRMem"}) << 25 << 10;
}

void TestReaderPages::clicksWriteTheirCodes()
{
    checks::ClicksWriteTheirCodes(m_state);
}

void TestReaderPages::everyOptionWritesOnlyItsBits_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("control");
    for (int type : {kComm, kInterface}) {
        for (const FieldSpec *row : FieldsOfPage(FindPage(type)->window)) {
            if (row->kind == FieldKind::Choice || row->kind == FieldKind::Flag)
                QTest::newRow(row->name) << type << Text(row->control);
        }
    }
}

void TestReaderPages::everyOptionWritesOnlyItsBits()
{
    checks::EveryOptionWritesOnlyItsBits(m_state);
}

void TestReaderPages::setDefaultRestoresExactlyItsFields_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Masks>("restored");
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {11u, 12u, 13u}) {
        const QByteArray s = " " + QByteArray::number(seed);
        QTest::newRow("cmdDefault41" + s)
            << kComm << "cmdDefault41" << Masks{{28, 7}, {26, 32 | 16 | 8}, {27, 224 | 16 | 8}}
            << seed;
        QTest::newRow("cmdDefault42" + s)
            << kComm << "cmdDefault42" << Masks{{26, 3}, {28, 128 | 32 | 64}} << seed;
        QTest::newRow("cmdDefault43" + s)
            << kComm << "cmdDefault43" << Masks{{27, 7}, {26, 4}} << seed;
        QTest::newRow("cmdDefault45" + s)
            << kComm << "cmdDefault45" << Masks{{83, 15}, {28, 16 | 8}, {84, 0xFF}, {25, 1}}
            << seed;
        QTest::newRow("cmdDefault31_2" + s)
            << kInterface << "cmdDefault31_2" << Masks{{26, 192}, {25, 2 | 8}} << seed;
    }
}

void TestReaderPages::setDefaultRestoresExactlyItsFields()
{
    checks::SetDefaultRestoresExactlyItsFields(m_state);
}

void TestReaderPages::interfaceDefaultOfThreeIsRestoredAsUsb()
{
    m_state.images.DefaultImage[26] = 240;
    m_state.images.ConfigImage[26] = 0x80 | 0x15;
    PageContext context{m_state};
    auto page = Open(kInterface, context);
    QVERIFY(Click(page.get(), QStringLiteral("cmdDefault31_2")));
    QCOMPARE(Selected(page.get(), QStringLiteral("OptCfg3_1")), QStringLiteral("USB Mode"));
    QCOMPARE(int(m_state.images.ConfigImage[26]), 0x40 | 0x15);
}

void TestReaderPages::jis2SwitchesOffTheTrackFields()
{
    const QStringList switchedOff = Names({"fraCfg45A", "chkCfg45C", "cbo45D", "Label5", "Label6"});
    const QStringList stayOn = Names({"chkCfg45B", "Label4", "OptISO_0", "OptISO_1", "Label1"});
    auto enabled = [](QWidget *page, const QString &name) {
        auto *widget = page->findChild<QWidget *>(name);
        return widget && widget->isEnabled();
    };
    PageContext context{m_state};
    {
        auto page = Open(kComm, context);
        page->show();
        for (const QString &name : switchedOff + stayOn)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_1")));
        for (const QString &name : switchedOff)
            QVERIFY2(!enabled(page.get(), name), qPrintable(name));
        for (const QString &name : stayOn)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_0")));
        for (const QString &name : switchedOff)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        // Set Default of the card tab brings back the default standard and its state.
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_1")));
        QVERIFY(Click(page.get(), QStringLiteral("cmdDefault45")));
        QVERIFY(enabled(page.get(), QStringLiteral("cbo45D")));
    }
    m_state.images.ConfigImage[25] |= 1;
    auto page = Open(kComm, context);
    page->show();
    QCOMPARE(Selected(page.get(), QStringLiteral("OptISO")), QStringLiteral("JIS2"));
    for (const QString &name : switchedOff)
        QVERIFY2(!enabled(page.get(), name), qPrintable(name));
    for (const QString &name : stayOn)
        QVERIFY2(enabled(page.get(), name), qPrintable(name));
}

void TestReaderPages::separatorListsTheControlNames()
{
    PageContext context{m_state};
    auto page = Open(kComm, context);
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    const QStringList names =
        Names({"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
               "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
               "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"});
    QCOMPARE(box->count(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(box->itemText(i), names[i]);
    QVERIFY(box->isEditable());
    QCOMPARE(page->findChild<QLabel *>(QStringLiteral("Label6"))->text(),
             QStringLiteral("Separator Character (For Dual Or Triple Tracks)"));
}

void TestReaderPages::separatorTakesPicksAndTypedCharacters()
{
    m_state.images.ConfigImage[84] = 26; // SUB
    PageContext context{m_state};
    auto page = Open(kComm, context);
    page->show();
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    QLineEdit *edit = box->lineEdit();
    QCOMPARE(box->currentText(), QStringLiteral("SUB"));

    // Picking the next name of the list, as the arrow key does.
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentText(), QStringLiteral("ESC"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 27);

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("/"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 47);

    // A letter stays a letter: it is not completed into a name from the list.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("c"));
    QCOMPARE(edit->text(), QStringLiteral("c"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');

    // An emptied box and a character the device cannot store leave the byte as it was.
    edit->clear();
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');
    // (keyClicks knows only ASCII keys: the text goes in as an input method would put it)
    edit->insert(QStringLiteral("\u20AC"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');

    // A character of the upper half is its own byte.
    edit->selectAll();
    edit->insert(QStringLiteral("\u00E9"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 0xE9);

    // Picking the name that was current before typing stores it again.
    box->setCurrentIndex(13);
    QCOMPARE(int(m_state.images.ConfigImage[84]), 13);
}

void TestReaderPages::separatorTellsTypedNamesFromPicks_data()
{
    // Steps: "type:<text>" over the whole box, "enter", "leave" (the focus goes elsewhere),
    // "down" (arrow key), "list:<row>" (a click in the open list), "current:<row>" (the
    // current entry set directly, as a selection by assistive technology may set it).
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("expected");
    QTest::newRow("typed name") << 26 << Names({"type:LF"}) << int('L');
    QTest::newRow("typed name, Enter") << 26 << Names({"type:LF", "enter"}) << int('L');
    QTest::newRow("typed name, box left") << 26 << Names({"type:LF", "leave"}) << int('L');
    QTest::newRow("typed over the same name") << 10 << Names({"type:LF", "enter"}) << int('L');
    QTest::newRow("arrow key") << 10 << Names({"down"}) << 11;
    QTest::newRow("list click") << 13 << Names({"list:27"}) << 27;
    QTest::newRow("typed name, then picked") << 26 << Names({"type:LF", "enter", "list:10"}) << 10;
    QTest::newRow("selection") << 13 << Names({"type:x", "current:9"}) << 9;
}

void TestReaderPages::separatorTellsTypedNamesFromPicks()
{
    QFETCH(int, start);
    QFETCH(QStringList, steps);
    m_state.images.ConfigImage[84] = static_cast<std::uint8_t>(start);
    PageContext context{m_state};
    auto page = Open(kComm, context);
    page->show();
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page.get()));
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    // The box is on the fourth tab.
    page->findChild<QTabWidget *>()->setCurrentIndex(3);
    box->setFocus();
    QTRY_VERIFY(box->lineEdit()->hasFocus());
    for (const QString &step : steps) {
        const QString argument = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("type:"))) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), argument);
        } else if (step == QLatin1String("enter")) {
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        } else if (step == QLatin1String("leave")) {
            page->findChild<QAbstractButton *>(QStringLiteral("cmdDefault45"))->setFocus();
            QTRY_VERIFY(!box->lineEdit()->hasFocus());
        } else if (step == QLatin1String("down")) {
            QTest::keyClick(box, Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("list:"))) {
            box->showPopup();
            QAbstractItemView *list = box->view();
            QTRY_VERIFY(list->isVisible());
            const QModelIndex row = list->model()->index(argument.toInt(), 0);
            list->scrollTo(row);
            const QRect item = list->visualRect(row);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QTRY_VERIFY(!list->isVisible());
        } else if (step.startsWith(QLatin1String("current:"))) {
            box->setCurrentIndex(argument.toInt());
        }
    }
    QTEST(int(m_state.images.ConfigImage[84]), "expected");
}

void TestReaderPages::separatorShowsStoredCharacters_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("NUL") << 0 << 0 << "NUL";
    QTest::newRow("US") << 31 << 31 << "US";
    QTest::newRow("blank") << 32 << -1 << " ";
    QTest::newRow("comma") << 44 << -1 << ",";
    QTest::newRow("255") << 255 << -1 << QString(QChar(0xFF));
}

void TestReaderPages::separatorShowsStoredCharacters()
{
    QFETCH(int, value);
    QFETCH(int, index);
    QFETCH(QString, text);
    m_state.images.ConfigImage[84] = static_cast<std::uint8_t>(value);
    PageContext context{m_state};
    auto page = Open(kComm, context);
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), text);
    QCOMPARE(int(m_state.images.ConfigImage[84]), value);
}

void TestReaderPages::headerTextsAreTheSharedOnes()
{
    m_state.header.DeviceName = QStringLiteral("Device Name");
    m_state.header.Description = QStringLiteral("Your description about this configuration file");
    PageContext context{m_state};
    auto page = Open(kInterface, context);
    auto *name = page->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("Device Name"));
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtDescription"))->text(),
             m_state.header.Description);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("K30 at the door"));
    QCOMPARE(m_state.header.DeviceName, QStringLiteral("K30 at the door"));
    QVERIFY(!m_state.images.IsChanged());
}

QTEST_MAIN(TestReaderPages)
#include "tst_readerpages.moc"
