#include "support/pagetest.h"

#include "keys/keytext.h"
#include "pages/reader/readermiscpage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

using namespace pagetest;
using Bytes = std::vector<std::uint8_t>;

namespace {

void SelectTrack(QWidget *page, const char *selector, int track)
{
    page->findChild<QRadioButton *>(QLatin1String(selector) + QLatin1Char('_') +
                                    QString::number(track))
        ->click();
}

} // namespace

class TestReaderMiscPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensOnTheDefaults();
    void openingNormalisesOnlyTheShownFields();
    void trackSelectorsAreIndependent();
    void track2PrefixTouchesOnlyItsBytes();
    void clearAllInsetionClearsTheSelectedTrack();
    void startAndEndCharacters();
    void setDefaultsRestoreOnlyTheirGroup_data();
    void setDefaultsRestoreOnlyTheirGroup();
    void controlKeysOfferFunctionKeys();
    void everyByteSurvivesTheBoxes();
    void trackBoxNamesEachDefault();
};

void TestReaderMiscPage::opensOnTheDefaults()
{
    AppState state;
    PageContext context{state};
    ReaderMiscPage page(context);
    QCOMPARE(page.objectName(), QStringLiteral("magcfg6"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Miscellaneous Parameters"));
    QCOMPARE(page.findChild<QButtonGroup *>(QStringLiteral("opt61"))->checkedButton()->text(),
             QStringLiteral("US English"));
    QCOMPARE(page.findChild<QButtonGroup *>(QStringLiteral("Opt1Track"))->checkedId(), 0);
    QCOMPARE(page.findChild<QButtonGroup *>(QStringLiteral("Opt2Track"))->checkedId(), 0);
    QVERIFY(Box(&page, QStringLiteral("txt694"))->text().isEmpty());
    QVERIFY(Box(&page, QStringLiteral("txt693"))->text().isEmpty());
    const QString sentinels = QStringLiteral("%?;?+?");
    for (int i = 0; i < 6; ++i)
        QCOMPARE(Box(&page, QStringLiteral("txtChar_%1").arg(i))->text(), QString(sentinels[i]));
    QVERIFY(!state.images.IsChanged());
}

void TestReaderMiscPage::openingNormalisesOnlyTheShownFields()
{
    QRandomGenerator random(31);
    for (int round = 0; round < 50; ++round) {
        AppState state;
        for (auto &byte : state.images.ConfigImage)
            byte = static_cast<std::uint8_t>(random.bounded(256));
        Image expected = state.images.ConfigImage;
        PageContext context{state};
        {
            ReaderMiscPage page(context);
        }
        // Only Track 1's prefix and suffix are shown on opening.
        for (int first : {29, 37}) {
            const auto field = std::span(expected).subspan(first, 8);
            EncodeKeyText(DecodeKeyText(field, true), field, true);
        }
        QCOMPARE(state.images.ConfigImage, expected);
        {
            ReaderMiscPage page(context);
        }
        QCOMPARE(state.images.ConfigImage, expected);
    }
}

void TestReaderMiscPage::trackSelectorsAreIndependent()
{
    AppState state;
    PageContext context{state};
    ReaderMiscPage page(context);
    QLineEdit *prefix = Box(&page, QStringLiteral("txt694"));
    QLineEdit *suffix = Box(&page, QStringLiteral("txt693"));
    SelectTrack(&page, "Opt1Track", 2);
    QCOMPARE(page.findChild<QButtonGroup *>(QStringLiteral("Opt2Track"))->checkedId(), 0);
    QTest::keyClicks(prefix, QStringLiteral("P3"));
    QTest::keyClicks(suffix, QStringLiteral("S1{CR}"));
    QCOMPARE(Slots(state, 61, 8), (Bytes{'P', '3', 255, 255, 255, 255, 255, 255}));
    QCOMPARE(Slots(state, 37, 8), (Bytes{'S', '1', 13, 255, 255, 255, 255, 255}));
    QCOMPARE(Slots(state, 29, 8), Bytes(8, 255));
    // Going back to Track 1 shows its own (empty) prefix; Track 3 keeps what it holds.
    SelectTrack(&page, "Opt1Track", 0);
    QVERIFY(prefix->text().isEmpty());
    QCOMPARE(Slots(state, 61, 8), (Bytes{'P', '3', 255, 255, 255, 255, 255, 255}));
    SelectTrack(&page, "Opt2Track", 1);
    QVERIFY(suffix->text().isEmpty());
    SelectTrack(&page, "Opt2Track", 0);
    QCOMPARE(suffix->text(), QStringLiteral("S1{CR}"));
    SelectTrack(&page, "Opt1Track", 2);
    QCOMPARE(prefix->text(), QStringLiteral("P3"));
}

void TestReaderMiscPage::track2PrefixTouchesOnlyItsBytes()
{
    AppState state;
    PageContext context{state};
    ReaderMiscPage page(context);
    const Image before = state.images.ConfigImage;
    SelectTrack(&page, "Opt1Track", 1);
    QTest::keyClicks(Box(&page, QStringLiteral("txt694")), QStringLiteral("{STX}"));
    Image expected = before;
    expected[45] = 2;
    QCOMPARE(state.images.ConfigImage, expected);
}

void TestReaderMiscPage::clearAllInsetionClearsTheSelectedTrack()
{
    AppState state;
    PageContext context{state};
    ReaderMiscPage page(context);
    QLineEdit *prefix = Box(&page, QStringLiteral("txt694"));
    prefix->setText(QStringLiteral("one"));
    SelectTrack(&page, "Opt1Track", 1);
    prefix->setText(QStringLiteral("{F1}two"));
    Box(&page, QStringLiteral("txt693"))->setText(QStringLiteral("s"));
    page.findChild<QPushButton *>(QStringLiteral("cmd68_69"))->click();
    QVERIFY(prefix->text().isEmpty());
    QCOMPARE(Slots(state, 45, 8), Bytes(8, 255));
    QCOMPARE(Slots(state, 29, 8), (Bytes{'o', 'n', 'e', 255, 255, 255, 255, 255}));
    QCOMPARE(Slots(state, 37, 8), (Bytes{'s', 255, 255, 255, 255, 255, 255, 255}));
    page.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
    QCOMPARE(Slots(state, 37, 8), Bytes(8, 255));
    QCOMPARE(Slots(state, 29, 8), (Bytes{'o', 'n', 'e', 255, 255, 255, 255, 255}));
}

void TestReaderMiscPage::startAndEndCharacters()
{
    AppState state;
    PageContext context{state};
    {
        ReaderMiscPage page(context);
        QLineEdit *box = Box(&page, QStringLiteral("txtChar_0"));
        box->clear(); // emptied: the byte stays
        QCOMPARE(state.images.ConfigImage[77], std::uint8_t{'%'});
        QTest::keyClicks(box, QStringLiteral("A"));
        QCOMPARE(state.images.ConfigImage[77], std::uint8_t{'A'});
        QTest::keyClicks(box, QStringLiteral("B"));
        QCOMPARE(box->text(), QStringLiteral("A"));
        QCOMPARE(state.images.ConfigImage[77], std::uint8_t{'A'});
        box->clear();
        QCOMPARE(state.images.ConfigImage[77], std::uint8_t{'A'});
        // Control characters are sentinels like any other.
        Box(&page, QStringLiteral("txtChar_3"))->setText(QString(QChar(2)));
        QCOMPARE(state.images.ConfigImage[80], std::uint8_t{2});
    }
    ReaderMiscPage page(context);
    QCOMPARE(Box(&page, QStringLiteral("txtChar_0"))->text(), QStringLiteral("A"));
    QCOMPARE(Box(&page, QStringLiteral("txtChar_3"))->text(), QString(QChar(2)));
}

void TestReaderMiscPage::setDefaultsRestoreOnlyTheirGroup_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("mask");
    QTest::newRow("language") << "cmdDefault61" << 83 << 83 << 0xF0;
    QTest::newRow("start and end") << "CmdDefault" << 77 << 82 << 0xFF;
}

void TestReaderMiscPage::setDefaultsRestoreOnlyTheirGroup()
{
    QFETCH(QString, button);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, mask);
    QRandomGenerator random(5);
    for (int round = 0; round < 20; ++round) {
        AppState state;
        for (std::size_t i = 0; i < kImageSize; ++i) {
            state.images.ConfigImage[i] = static_cast<std::uint8_t>(random.bounded(256));
            state.images.DefaultImage[i] = static_cast<std::uint8_t>(random.bounded(256));
        }
        PageContext context{state};
        ReaderMiscPage page(context);
        Image expected = state.images.ConfigImage;
        page.findChild<QPushButton *>(button)->click();
        for (int i = first; i <= last; ++i) {
            auto &byte = expected[static_cast<std::size_t>(i)];
            byte = static_cast<std::uint8_t>(
                (byte & ~mask) | (state.images.DefaultImage[static_cast<std::size_t>(i)] & mask));
        }
        QCOMPARE(state.images.ConfigImage, expected);
    }
}

void TestReaderMiscPage::controlKeysOfferFunctionKeys()
{
    AppState state;
    PageContext context{state};
    ReaderMiscPage page(context);
    SelectTrack(&page, "Opt2Track", 2);
    QLineEdit *suffix = Box(&page, QStringLiteral("txt693"));
    QLineEdit *prefix = Box(&page, QStringLiteral("txt694"));
    suffix->setText(QStringLiteral("xaby"));
    suffix->setSelection(1, 2);
    const QString prefixBefore = prefix->text();
    bool functionKeys = false;
    WhileModal([&functionKeys](QWidget *dialog) {
        InsertWithDialog(dialog, QStringLiteral("^F3"), &functionKeys);
    });
    page.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    QVERIFY(functionKeys);
    // The suffix button fills the suffix, not the prefix.
    QCOMPARE(prefix->text(), prefixBefore);
    QCOMPARE(suffix->text(), QStringLiteral("x{^F3}y"));
    QCOMPARE(Slots(state, 69, 8), (Bytes{'x', 142, 'y', 255, 255, 255, 255, 255}));
    QCOMPARE(Slots(state, 29, 8), Bytes(8, 255));
}

void TestReaderMiscPage::everyByteSurvivesTheBoxes()
{
    for (int byte = 0; byte < 256; ++byte) {
        AppState state;
        state.images.ConfigImage[29] = static_cast<std::uint8_t>(byte);
        state.images.ConfigImage[82] = static_cast<std::uint8_t>(byte);
        PageContext context{state};
        ReaderMiscPage page(context);
        // Sentinels: every byte is shown and kept, 0 and 255 included.
        QCOMPARE(int(state.images.ConfigImage[82]), byte);
        QLineEdit *sentinel = Box(&page, QStringLiteral("txtChar_4"));
        sentinel->setText(QString(QChar(char16_t(byte))));
        QCOMPARE(int(state.images.ConfigImage[81]), byte);
        // Prefix slots: what the encoder can write comes back unchanged.
        if (byte < 176) {
            QCOMPARE(int(state.images.ConfigImage[29]), byte);
            Box(&page, QStringLiteral("txt694"))->setText(QString(QChar(char16_t(byte))));
            QCOMPARE(int(state.images.ConfigImage[29]), byte);
        }
    }
}

// One box edits the prefix of each track: where the tracks' defaults differ, its tool tip names
// the default of each track that differs from it.
void TestReaderMiscPage::trackBoxNamesEachDefault()
{
    AppState state;
    state.images.DefaultImage[29] = 2;   // track 1: {STX}
    state.images.DefaultImage[45] = 'A'; // track 2: A
    PageContext context{state};
    ReaderMiscPage page(context);
    auto *frame = page.findChild<QGroupBox *>(QStringLiteral("fra69"));
    QVERIFY(frame);
    QVERIFY(frame->font().bold());
    QCOMPARE(frame->toolTip(), QStringLiteral("Default of reader.misc.track1.prefix: {STX}\n"
                                              "Default of reader.misc.track2.prefix: A"));
}

QTEST_MAIN(TestReaderMiscPage)
#include "tst_readermiscpage.moc"
