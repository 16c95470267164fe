#include "support/pagetest.h"

#include "keys/keytext.h"
#include "pages/decoder/decodermiscpage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

using namespace pagetest;

class TestDecoderMiscPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensOnTheDefaults();
    void openingNormalisesOnlyItsFields();
    void secondCodeIdCharacterIsRefused();
    void controlCharacterCodeIdIsStoredAsZero();
    void languageGoesInTheHighNibble_data();
    void languageGoesInTheHighNibble();
    void truncateCounts_data();
    void truncateCounts();
    void setDefaultRestoresOnlyItsGroup_data();
    void setDefaultRestoresOnlyItsGroup();
    void clearAllInsetionClearsOneField();
    void controlKeysInsertOverTheSelection();
    void everyByteSurvivesTheBoxes();
};

void TestDecoderMiscPage::opensOnTheDefaults()
{
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    QCOMPARE(page.objectName(), QStringLiteral("cfg6"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Miscellaneous Parameters"));
    QCOMPARE(page.findChild<QButtonGroup *>(QStringLiteral("opt61"))->checkedButton()->text(),
             QStringLiteral("US English"));
    QVERIFY(!page.findChild<QCheckBox *>(QStringLiteral("chk62"))->isChecked());
    for (int i = 0; i < 8; ++i)
        QCOMPARE(Box(&page, QStringLiteral("txt62_%1").arg(i))->text(), QString(QChar('A' + i)));
    QVERIFY(Box(&page, QStringLiteral("txt694"))->text().isEmpty());
    QVERIFY(Box(&page, QStringLiteral("txt693"))->text().isEmpty());
    QCOMPARE(page.findChild<QComboBox *>(QStringLiteral("cboTruncate1"))->currentText(),
             QStringLiteral("0"));
    QCOMPARE(page.findChild<QComboBox *>(QStringLiteral("CboTruncate2"))->currentText(),
             QStringLiteral("0"));
    QVERIFY(!state.images.IsChanged());
}

void TestDecoderMiscPage::openingNormalisesOnlyItsFields()
{
    QRandomGenerator random(99);
    for (int round = 0; round < 50; ++round) {
        AppState state;
        for (auto &byte : state.images.ConfigImage)
            byte = static_cast<std::uint8_t>(random.bounded(256));
        const Image before = state.images.ConfigImage;
        PageContext context{state};
        {
            DecoderMiscPage page(context);
        }
        Image expected = before;
        for (int i = 0; i < 8; ++i) {
            if (expected[i] < 32)
                expected[i] = 0;
        }
        for (int first : {8, 12}) {
            const auto field = std::span(expected).subspan(first, 4);
            EncodeKeyText(DecodeKeyText(field, false), field, false);
        }
        QCOMPARE(state.images.ConfigImage, expected);
        // A normalised image comes through opening and closing unchanged.
        {
            DecoderMiscPage page(context);
        }
        QCOMPARE(state.images.ConfigImage, expected);
    }
}

void TestDecoderMiscPage::secondCodeIdCharacterIsRefused()
{
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    QLineEdit *box = Box(&page, QStringLiteral("txt62_3"));
    QString title;
    QString text;
    WhileModal(
        [&text](QWidget *modal) {
            auto *message = qobject_cast<QMessageBox *>(modal);
            text = message->text();
            message->button(QMessageBox::Ok)->click();
        },
        &title);
    box->end(false);
    QTest::keyClicks(box, QStringLiteral("Z"));
    QCOMPARE(title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(text, QStringLiteral("Allow only one character."));
    QVERIFY(box->text().isEmpty());
    QCOMPARE(state.images.ConfigImage[3], std::uint8_t{0});
    QCOMPARE(state.images.ConfigImage[2], std::uint8_t{'C'});
    QCOMPARE(state.images.ConfigImage[4], std::uint8_t{'E'});
}

void TestDecoderMiscPage::controlCharacterCodeIdIsStoredAsZero()
{
    AppState state;
    state.images.ConfigImage[5] = 7; // from a file
    PageContext context{state};
    {
        DecoderMiscPage page(context);
        QCOMPARE(Box(&page, QStringLiteral("txt62_5"))->text(), QString(QChar(7)));
        QCOMPARE(state.images.ConfigImage[5], std::uint8_t{0});
        QLineEdit *box = Box(&page, QStringLiteral("txt62_1"));
        box->clear();
        box->insert(QString(QChar(31)));
        QCOMPARE(state.images.ConfigImage[1], std::uint8_t{0});
        box->setText(QStringLiteral(" "));
        QCOMPARE(state.images.ConfigImage[1], std::uint8_t{32});
        box->setText(QString(QChar(1)));
    }
    DecoderMiscPage page(context);
    QVERIFY(Box(&page, QStringLiteral("txt62_1"))->text().isEmpty());
    QVERIFY(Box(&page, QStringLiteral("txt62_5"))->text().isEmpty());
}

void TestDecoderMiscPage::languageGoesInTheHighNibble_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("UK English") << 1;
    QTest::newRow("Netherlands") << 13;
    QTest::newRow("Reserved 2") << 15;
    QTest::newRow("US English") << 0;
}

void TestDecoderMiscPage::languageGoesInTheHighNibble()
{
    QFETCH(int, index);
    AppState state;
    state.images.ConfigImage[16] = 0x7B;
    PageContext context{state};
    DecoderMiscPage page(context);
    page.findChild<QRadioButton *>(QStringLiteral("opt61_%1").arg(index))->click();
    QCOMPARE(state.images.ConfigImage[16], std::uint8_t(index * 16 + 0x0B));
}

void TestDecoderMiscPage::truncateCounts_data()
{
    QTest::addColumn<QString>("front");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("frontShown");
    QTest::addColumn<QString>("endShown");
    QTest::newRow("3 and 9") << "3"
                             << "9" << 0x39 << "3"
                             << "9";
    QTest::newRow("typed 15 and 12") << "15"
                                     << "12" << 0xFC << "15"
                                     << "12";
    QTest::newRow("above 15") << "20"
                              << "99999999999" << 0xFF << "15"
                              << "15";
    QTest::newRow("negative") << "-2"
                              << "4" << 0x04 << "0"
                              << "4";
    QTest::newRow("fraction") << "2.5"
                              << "7.0" << 0x27 << "2"
                              << "7.0";
    QTest::newRow("not a number") << "abc"
                                  << " 6x" << 0x06 << "abc"
                                  << " 6x";
}

void TestDecoderMiscPage::truncateCounts()
{
    QFETCH(QString, front);
    QFETCH(QString, end);
    QFETCH(int, byte);
    QFETCH(QString, frontShown);
    QFETCH(QString, endShown);
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    auto *frontBox = page.findChild<QComboBox *>(QStringLiteral("cboTruncate1"));
    auto *endBox = page.findChild<QComboBox *>(QStringLiteral("CboTruncate2"));
    endBox->setCurrentText(QStringLiteral("5"));
    frontBox->setCurrentText(front);
    QCOMPARE(state.images.ConfigImage[17] & 0x0F, 5); // the other half is left alone
    endBox->setCurrentText(end);
    QCOMPARE(int(state.images.ConfigImage[17]), byte);
    QCOMPARE(frontBox->currentText(), frontShown);
    QCOMPARE(endBox->currentText(), endShown);
    page.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QCOMPARE(state.images.ConfigImage[17], std::uint8_t{0});
    QCOMPARE(frontBox->currentText(), QStringLiteral("0"));
}

void TestDecoderMiscPage::setDefaultRestoresOnlyItsGroup_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("bytes");
    QTest::addColumn<QList<int>>("masks");
    QTest::newRow("language") << "cmdDefault61" << QList<int>{16} << QList<int>{0xF0};
    QTest::newRow("code ID") << "cmdDefault62" << QList<int>{22, 0, 1, 2, 3, 4, 5, 6, 7}
                             << QList<int>{0x04, 255, 255, 255, 255, 255, 255, 255, 255};
}

void TestDecoderMiscPage::setDefaultRestoresOnlyItsGroup()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, bytes);
    QFETCH(QList<int>, masks);
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        AppState state;
        for (std::size_t i = 0; i < kImageSize; ++i) {
            state.images.ConfigImage[i] = static_cast<std::uint8_t>(random.bounded(256));
            state.images.DefaultImage[i] = static_cast<std::uint8_t>(random.bounded(256));
        }
        // Defaults a page can have saved: no control character as a code ID.
        for (std::size_t i = 0; i < 8; ++i)
            state.images.DefaultImage[i] = static_cast<std::uint8_t>(32 + random.bounded(224));
        PageContext context{state};
        DecoderMiscPage page(context);
        const Image before = state.images.ConfigImage;
        page.findChild<QPushButton *>(button)->click();
        Image expected = before;
        for (int k = 0; k < bytes.size(); ++k) {
            auto &byte = expected[static_cast<std::size_t>(bytes[k])];
            byte = static_cast<std::uint8_t>(
                (byte & ~masks[k]) |
                (state.images.DefaultImage[static_cast<std::size_t>(bytes[k])] & masks[k]));
        }
        QCOMPARE(state.images.ConfigImage, expected);
    }
}

void TestDecoderMiscPage::clearAllInsetionClearsOneField()
{
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    Box(&page, QStringLiteral("txt694"))->setText(QStringLiteral("AB"));
    Box(&page, QStringLiteral("txt693"))->setText(QStringLiteral("{CR}{LF}"));
    using Bytes = std::vector<std::uint8_t>;
    page.findChild<QPushButton *>(QStringLiteral("cmd68_69"))->click();
    QCOMPARE(Slots(state, 8, 4), (Bytes{255, 255, 255, 255}));
    QCOMPARE(Slots(state, 12, 4), (Bytes{13, 10, 255, 255}));
    QVERIFY(Box(&page, QStringLiteral("txt694"))->text().isEmpty());
    Box(&page, QStringLiteral("txt694"))->setText(QStringLiteral("AB"));
    page.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
    QCOMPARE(Slots(state, 8, 4), (Bytes{'A', 'B', 255, 255}));
    QCOMPARE(Slots(state, 12, 4), (Bytes{255, 255, 255, 255}));
}

void TestDecoderMiscPage::controlKeysInsertOverTheSelection()
{
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    QLineEdit *prefix = Box(&page, QStringLiteral("txt694"));
    QLineEdit *suffix = Box(&page, QStringLiteral("txt693"));
    prefix->setText(QStringLiteral("xaby"));
    prefix->setSelection(1, 2);
    bool functionKeys = true;
    WhileModal([&functionKeys](QWidget *dialog) {
        InsertWithDialog(dialog, QStringLiteral("CR"), &functionKeys);
    });
    page.findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QVERIFY(!functionKeys);
    // The prefix button fills the prefix, not the suffix.
    QVERIFY(suffix->text().isEmpty());
    QCOMPARE(prefix->text(), QStringLiteral("x{CR}y"));
    using Bytes = std::vector<std::uint8_t>;
    QCOMPARE(Slots(state, 8, 4), (Bytes{'x', 13, 'y', 255}));

    // The suffix button fills the suffix; an F-key name typed by hand is plain text here.
    WhileModal([&functionKeys](QWidget *dialog) {
        InsertWithDialog(dialog, QStringLiteral("F1"), &functionKeys);
    });
    page.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    QCOMPARE(suffix->text(), QStringLiteral("{F1}"));
    QCOMPARE(Slots(state, 12, 4), (Bytes{'{', 'F', '1', '}'}));
    QCOMPARE(prefix->text(), QStringLiteral("x{CR}y"));
}

void TestDecoderMiscPage::everyByteSurvivesTheBoxes()
{
    using Bytes = std::vector<std::uint8_t>;
    for (int byte = 0; byte < 255; ++byte) {
        AppState state;
        state.images.ConfigImage[12] = static_cast<std::uint8_t>(byte);
        state.images.ConfigImage[6] = static_cast<std::uint8_t>(byte);
        PageContext context{state};
        DecoderMiscPage page(context);
        QCOMPARE(Slots(state, 12, 4), (Bytes{std::uint8_t(byte), 255, 255, 255}));
        QCOMPARE(int(state.images.ConfigImage[6]), byte < 32 ? 0 : byte);
        // Typed into a box, every character of the set is stored as its own code.
        Box(&page, QStringLiteral("txt694"))->setText(QString(QChar(char16_t(byte))));
        QCOMPARE(Slots(state, 8, 4), (Bytes{std::uint8_t(byte), 255, 255, 255}));
        QLineEdit *codeId = Box(&page, QStringLiteral("txt62_0"));
        codeId->clear();
        codeId->insert(QString(QChar(char16_t(byte))));
        QCOMPARE(int(state.images.ConfigImage[0]), byte < 32 ? 0 : byte);
    }
    // A character outside the set is not stored and leaves the box.
    AppState state;
    PageContext context{state};
    DecoderMiscPage page(context);
    QLineEdit *prefix = Box(&page, QStringLiteral("txt694"));
    TypeText(prefix, QStringLiteral("a\u20ACb"));
    QCOMPARE(prefix->text(), QStringLiteral("ab"));
    QCOMPARE(Slots(state, 8, 4), (Bytes{'a', 'b', 255, 255}));
    QLineEdit *codeId = Box(&page, QStringLiteral("txt62_0"));
    codeId->selectAll();
    TypeText(codeId, QStringLiteral("\u20AC"));
    QVERIFY(codeId->text().isEmpty());
    QCOMPARE(state.images.ConfigImage[0], std::uint8_t{0});
}

QTEST_MAIN(TestDecoderMiscPage)
#include "tst_decodermiscpage.moc"
