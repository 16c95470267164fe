#include "support/pagetest.h"
#include "support/testshell.h"

#include "core/pagetable.h"
#include "pages/headertextsframe.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<QWidget> OpenCfg3(PageContext &context)
{
    return pagetest::Open(kDecoderInterfacePage, context);
}

template <typename T> T *Find(QWidget *page, const char *name)
{
    return page->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

// The interface pages: the decoder's (cfg3) in full, and the header texts both sections'
// interface pages (cfg3, magcfg3) share; the reader's choices are rows of tst_parameterpages.
class TestInterfacePages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutAndCaptions();
    void opensOnFactoryImage();
    void interfaceOptionsWriteOnlyTheirBits_data();
    void interfaceOptionsWriteOnlyTheirBits();
    void readMemoryWritesBitZero();
    void unlistedInterfaceShowsNoOption();
    void openingChangesNothing();
    void headerTextsWriteAtOnce();
    void headerTextsRefuseWhatFilesCannotHold();
    void headerTextsAreTheSharedOnes();
    void setDefaultAfterSaveAsDefault();
};

void TestInterfacePages::layoutAndCaptions()
{
    AppState state;
    PageContext context{state};
    auto page = OpenCfg3(context);
    QVERIFY(page);
    QCOMPARE(page->objectName(), QStringLiteral("cfg3"));
    QCOMPARE(page->windowTitle(), QStringLiteral("Interface"));
    auto *tabs = Find<QTabWidget>(page.get(), "TabCFG");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("&User Information"));
    QCOMPARE(tabs->tabToolTip(0),
             QStringLiteral("User's Name,building date and other informations"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("&Interface"));
    QCOMPARE(tabs->tabToolTip(1),
             QStringLiteral("Interface Selection and 2nd Port Input Device Selection"));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->widget(0)->objectName(), QStringLiteral("fraCfg3_0"));
    QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("fraCfg3_1"));

    // The labels of the four texts, each the buddy of its box.
    const std::pair<const char *, const char *> labels[] = {{"txtDeviceName", "Device Name: "},
                                                            {"txtUserName", "User's Name: "},
                                                            {"txtDate", "Building Date:"},
                                                            {"txtDescription", "Description:"}};
    for (const auto &[box, caption] : labels) {
        auto *edit = Find<QLineEdit>(tabs->widget(0), box);
        QVERIFY2(edit, box);
        bool found = false;
        for (QLabel *label : tabs->widget(0)->findChildren<QLabel *>())
            found = found || (label->buddy() == edit && label->text() == QLatin1String(caption));
        QVERIFY2(found, caption);
    }

    auto *frame = Find<QGroupBox>(tabs->widget(1), "fraCfg3_1");
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("Interface"));
    const char *options[] = {"Keyboard Mode", "USB Mode", "RS232 Mode"};
    for (int i = 0; i < 3; ++i) {
        auto *radio = frame->findChild<QRadioButton *>(QStringLiteral("OptCfg3_1_%1").arg(i));
        QVERIFY(radio);
        QCOMPARE(radio->text(), QLatin1String(options[i]));
    }
    QCOMPARE(Find<QCheckBox>(tabs->widget(1), "ChkRead")->text(),
             QStringLiteral("Read Memory Enable"));
    QCOMPARE(Find<QAbstractButton>(tabs->widget(1), "cmdDefault31_2")->text(),
             QStringLiteral("Set Default"));
}

void TestInterfacePages::opensOnFactoryImage()
{
    AppState state;
    PageContext context{state};
    auto page = OpenCfg3(context);
    QVERIFY(Find<QRadioButton>(page.get(), "OptCfg3_1_2")->isChecked());
    QVERIFY(!Find<QCheckBox>(page.get(), "ChkRead")->isChecked());
}

void TestInterfacePages::interfaceOptionsWriteOnlyTheirBits_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("expected");
    QTest::newRow("factory, USB") << 34 << 1 << 33;
    QTest::newRow("factory, keyboard") << 34 << 0 << 32;
    QTest::newRow("factory, RS232") << 34 << 2 << 34;
    QTest::newRow("high bits set, USB") << 0xFC << 1 << 0xFD;
    QTest::newRow("all set, keyboard") << 0xFF << 0 << 0xFC;
}

void TestInterfacePages::interfaceOptionsWriteOnlyTheirBits()
{
    QFETCH(int, start);
    QFETCH(int, option);
    QFETCH(int, expected);
    AppState state;
    state.images.ConfigImage[22] = static_cast<std::uint8_t>(start);
    // Start from another option so that the click is a change.
    if ((start & 3) == option)
        state.images.ConfigImage[22] = static_cast<std::uint8_t>((start & ~3) | ((option + 1) % 3));
    const Image before = state.images.ConfigImage;
    PageContext context{state};
    auto page = OpenCfg3(context);
    Find<QRadioButton>(page.get(), qPrintable(QStringLiteral("OptCfg3_1_%1").arg(option)))->click();
    QCOMPARE(int(state.images.ConfigImage[22]), expected);
    Image others = state.images.ConfigImage;
    others[22] = before[22];
    QCOMPARE(others, before);
}

void TestInterfacePages::readMemoryWritesBitZero()
{
    AppState state;
    state.images.ConfigImage[24] = 0xF0;
    PageContext context{state};
    auto page = OpenCfg3(context);
    auto *box = Find<QCheckBox>(page.get(), "ChkRead");
    box->click();
    QCOMPARE(int(state.images.ConfigImage[24]), 0xF1);
    box->click();
    QCOMPARE(int(state.images.ConfigImage[24]), 0xF0);
}

void TestInterfacePages::unlistedInterfaceShowsNoOption()
{
    AppState state;
    state.images.ConfigImage[22] = 35; // bits 0 and 1 hold 3: no option stands for it
    state.images.MarkSaved();
    PageContext context{state};
    auto page = OpenCfg3(context);
    QVERIFY(!Find<QButtonGroup>(page.get(), "OptCfg3_1")->checkedButton());
    QCOMPARE(int(state.images.ConfigImage[22]), 35);
    Find<QRadioButton>(page.get(), "OptCfg3_1_1")->click();
    QCOMPARE(int(state.images.ConfigImage[22]), 33);
}

void TestInterfacePages::openingChangesNothing()
{
    AppState state;
    for (int i = 0; i < kImageSize; ++i)
        state.images.ConfigImage[i] = static_cast<std::uint8_t>(i * 7 + 1);
    state.images.ConfigImage[24] = 0xFF;
    state.images.MarkSaved();
    state.header.Description = QStringLiteral("as it was");
    PageContext context{state};
    {
        auto page = OpenCfg3(context);
        QVERIFY(Find<QCheckBox>(page.get(), "ChkRead")->isChecked());
    }
    QVERIFY(!state.images.IsChanged());
    QCOMPARE(state.header.Description, QStringLiteral("as it was"));
}

void TestInterfacePages::headerTextsWriteAtOnce()
{
    AppState state;
    state.header = {QStringLiteral("dev"), QStringLiteral("user"), QStringLiteral("date"),
                    QStringLiteral("desc")};
    PageContext context{state};
    auto page = OpenCfg3(context);
    QCOMPARE(Find<QLineEdit>(page.get(), "txtDeviceName")->text(), QStringLiteral("dev"));
    QCOMPARE(Find<QLineEdit>(page.get(), "txtUserName")->text(), QStringLiteral("user"));
    QCOMPARE(Find<QLineEdit>(page.get(), "txtDate")->text(), QStringLiteral("date"));
    QCOMPARE(Find<QLineEdit>(page.get(), "txtDescription")->text(), QStringLiteral("desc"));
    auto *description = Find<QLineEdit>(page.get(), "txtDescription");
    description->selectAll();
    QTest::keyClicks(description, QStringLiteral("Hall 2, \"east\""));
    QCOMPARE(state.header.Description, QStringLiteral("Hall 2, \"east\""));
    Find<QLineEdit>(page.get(), "txtDate")->setText(QStringLiteral("today"));
    QCOMPARE(state.header.BuildingDate, QStringLiteral("today"));
    // Header texts are not part of the image: no change is counted.
    QVERIFY(!state.images.IsChanged());

    // The reader interface page shows the same texts the next time it opens.
    page.reset();
    auto other = pagetest::Open(kReaderInterfacePage, context);
    QCOMPARE(Find<QLineEdit>(other.get(), "txtDescription")->text(),
             QStringLiteral("Hall 2, \"east\""));
}

void TestInterfacePages::headerTextsRefuseWhatFilesCannotHold()
{
    HeaderTexts texts;
    HeaderTextsFrame frame(texts);
    auto *box = frame.findChild<QLineEdit *>(QStringLiteral("txtUserName"));
    box->clear();
    // Typed and pasted text goes through insert(), which the box validates.
    for (const QChar c : QStringLiteral("Zoë €\nX"))
        box->insert(QString(c));
    // The euro sign has no byte in the files' character set, and a line end would split the
    // file's line: neither can be typed.
    QCOMPARE(texts.UserName, QStringLiteral("Zoë X"));
}

void TestInterfacePages::setDefaultAfterSaveAsDefault()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TestShell shell(dir.path());
    AppState &state = shell.state;
    shell.Trigger("mnuConfigInterface");
    QWidget *page = shell.Page();
    QVERIFY(page);
    Find<QRadioButton>(page, "OptCfg3_1_0")->click();
    Find<QCheckBox>(page, "ChkRead")->click();
    QCOMPARE(int(state.images.ConfigImage[22]), 32);
    QCOMPARE(int(state.images.ConfigImage[24]), 1);
    shell.Trigger("mnuFileDefault");

    Find<QRadioButton>(page, "OptCfg3_1_2")->click();
    Find<QCheckBox>(page, "ChkRead")->click();
    state.images.ConfigImage[22] |= 0x80; // a bit of another page: not restored here
    Find<QAbstractButton>(page, "cmdDefault31_2")->click();
    QVERIFY(Find<QRadioButton>(page, "OptCfg3_1_0")->isChecked());
    QVERIFY(Find<QCheckBox>(page, "ChkRead")->isChecked());
    QCOMPARE(int(state.images.ConfigImage[22]), 32 | 0x80);
    QCOMPARE(int(state.images.ConfigImage[24]), 1);
    // The header texts are not defaults.
    state.header.UserName = QStringLiteral("kept");
    Find<QAbstractButton>(page, "cmdDefault31_2")->click();
    QCOMPARE(state.header.UserName, QStringLiteral("kept"));
}

void TestInterfacePages::headerTextsAreTheSharedOnes()
{
    AppState state;
    state.header.DeviceName = QStringLiteral("Device Name");
    state.header.Description = QStringLiteral("Your description about this configuration file");
    PageContext context{state};
    auto page = pagetest::Open(kReaderInterfacePage, context);
    auto *name = page->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("Device Name"));
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtDescription"))->text(),
             state.header.Description);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("K30 at the door"));
    QCOMPARE(state.header.DeviceName, QStringLiteral("K30 at the door"));
    QVERIFY(!state.images.IsChanged());
}

QTEST_MAIN(TestInterfacePages)
#include "tst_interfacepages.moc"
