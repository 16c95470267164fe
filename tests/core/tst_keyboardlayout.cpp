#include "support/boxanswerer.h"
#include "support/testshell.h"

#include "core/fieldtext.h"
#include "link/ui/linkdialog.h"
#include "sim/simdevice.h"
#include "sim/simserialserver.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using Box = QMessageBox;

namespace {

const QString kGermanQuestion =
    QStringLiteral("The device will type as US English, but this PC's keyboard layout is "
                   "German (de). Download anyway?");

} // namespace

class TestKeyboardLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutsOfTheSystem_data();
    void layoutsOfTheSystem();
    void question_data();
    void question();
    void downloadAsks_data();
    void downloadAsks();
};

void TestKeyboardLayout::layoutsOfTheSystem_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("name"); // empty: unknown
    QTest::addColumn<int>("language"); // -1: none matches
    QTest::newRow("setxkbmap, first of two") << "query"
                                             << QByteArray("rules:      evdev\nmodel:      pc105\n"
                                                           "layout:     de,us\nvariant:    "
                                                           "nodeadkeys,\n")
                                             << "German (de, nodeadkeys)" << 5;
    QTest::newRow("setxkbmap, UK")
        << "query" << QByteArray("layout:     gb\n") << "English (UK) (gb)" << 1;
    QTest::newRow("setxkbmap, nothing") << "query" << QByteArray("") << "" << -1;
    QTest::newRow("keyboard settings, Swiss French")
        << "settings" << QByteArray("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"ch\"\nXKBVARIANT=\"fr\"\n")
        << "Swiss (ch, fr)" << 7;
    QTest::newRow("keyboard settings, no device language")
        << "settings" << QByteArray("XKBLAYOUT=\"ru,us\"\n") << "ru" << -1;
    QTest::newRow("Windows, German (Switzerland)") << "windows" << QByteArray("0807") << "" << 7;
    QTest::newRow("Windows, Russian") << "windows" << QByteArray("0419") << "" << -1;
}

void TestKeyboardLayout::layoutsOfTheSystem()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    QFETCH(QString, name);
    QFETCH(int, language);
    const std::optional<int> expected = language < 0 ? std::nullopt : std::optional<int>(language);
    if (kind == QLatin1String("windows")) {
        QCOMPARE(WindowsLayoutLanguage(static_cast<std::uint16_t>(input.toUInt(nullptr, 16))),
                 expected);
        return;
    }
    const auto layout =
        kind == QLatin1String("query") ? XkbLayoutFromQuery(input) : XkbLayoutFromSettings(input);
    QCOMPARE(layout.has_value(), !name.isEmpty());
    if (layout) {
        QCOMPARE(layout->name, name);
        QCOMPARE(layout->language, expected);
    }
}

void TestKeyboardLayout::question_data()
{
    QTest::addColumn<std::optional<KeyboardLayout>>("pc");
    QTest::addColumn<QString>("decoder"); // the language each section types in
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("question"); // empty: nothing is asked
    const std::optional<KeyboardLayout> us = KeyboardLayout{QStringLiteral("English (US) (us)"), 0};
    // Whatever the sections type, a layout no device language matches has nothing to compare.
    QTest::newRow("layout no language matches")
        << std::optional<KeyboardLayout>(KeyboardLayout{QStringLiteral("ru"), std::nullopt})
        << "German"
        << "French" << QString();
    QTest::newRow("both sections German: named once")
        << us << "German"
        << "German"
        << "The device will type as German, but this PC's keyboard layout is English (US) (us). "
           "Download anyway?";
    QTest::newRow("two languages")
        << us << "German"
        << "French"
        << "The device will type as German and French, but this PC's keyboard layout is "
           "English (US) (us). Download anyway?";
}

void TestKeyboardLayout::question()
{
    QFETCH(std::optional<KeyboardLayout>, pc);
    QFETCH(QString, decoder);
    QFETCH(QString, reader);
    QFETCH(QString, question);
    ParameterImages images;
    images.ConfigImage = FactoryImage();
    // Both sections type through the keyboard (the decoder's factory interface is RS232).
    for (const char *mode : {"decoder.interface.mode", "reader.interface.mode"})
        QVERIFY(!SetFieldFromText(*FindField(mode), u"Keyboard Mode", images));
    QVERIFY(!SetFieldFromText(*FindField("decoder.misc.language"), decoder, images));
    QVERIFY(!SetFieldFromText(*FindField("reader.misc.language"), reader, images));
    QCOMPARE(LayoutQuestion(images.ConfigImage, pc).value_or(QString()), question);
}

void TestKeyboardLayout::downloadAsks_data()
{
    QTest::addColumn<std::optional<KeyboardLayout>>("pc");
    QTest::addColumn<bool>("rs232Mode"); // both sections send over RS232, not as a keyboard
    QTest::addColumn<QList<Box::StandardButton>>("answers");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("note");
    const std::optional<KeyboardLayout> german = KeyboardLayout{QStringLiteral("German (de)"), 5};
    const QString germanNote = QStringLiteral("This PC: German (de)");
    const QString ok = QStringLiteral("Download OK!");
    QTest::newRow("German PC, No sends nothing")
        << german << false << QList<Box::StandardButton>{Box::No} << QStringList{kGermanQuestion}
        << germanNote;
    QTest::newRow("German PC, Yes downloads")
        << german << false << QList<Box::StandardButton>{Box::Yes, Box::Ok}
        << QStringList{kGermanQuestion, ok} << germanNote;
    QTest::newRow("matching layout")
        << std::optional<KeyboardLayout>(KeyboardLayout{QStringLiteral("English (US) (us)"), 0})
        << false << QList<Box::StandardButton>{Box::Ok} << QStringList{ok}
        << QStringLiteral("This PC: English (US) (us)");
    QTest::newRow("unknown layout")
        << std::optional<KeyboardLayout>() << false << QList<Box::StandardButton>{Box::Ok}
        << QStringList{ok} << QString();
    QTest::newRow("layout no language matches")
        << std::optional<KeyboardLayout>(KeyboardLayout{QStringLiteral("ru"), std::nullopt})
        << false << QList<Box::StandardButton>{Box::Ok} << QStringList{ok}
        << QStringLiteral("This PC: ru");
    QTest::newRow("sections in RS232 Mode")
        << german << true << QList<Box::StandardButton>{Box::Ok} << QStringList{ok} << germanNote;
}

void TestKeyboardLayout::downloadAsks()
{
    QFETCH(std::optional<KeyboardLayout>, pc);
    QFETCH(bool, rs232Mode);
    QFETCH(QList<Box::StandardButton>, answers);
    QFETCH(QStringList, texts);
    QFETCH(QString, note);
    SimDevice device;
    SimSerialServer server(device);
    QVERIFY(server.OpenPseudoTerminal());
    qputenv("K30CFG_COM1", server.Path().toLocal8Bit());
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM1"); });
    QTemporaryDir dir;
    FixedLayout layout;
    layout.layout = pc;
    TestShell shell(dir.path(), {.keyboardLayout = &layout});
    shell.state.link.LinkMode = LinkSettings::kByRs232;
    ParameterImages &images = shell.state.images;
    for (const char *mode : {"decoder.interface.mode", "reader.interface.mode"}) {
        if (rs232Mode)
            QVERIFY(!SetFieldFromText(*FindField(mode), u"RS232 Mode", images));
    }

    // The language tab shows the PC's layout where it is known.
    shell.Trigger("mnuConfigMisc");
    const auto *label = shell.Page()->findChild<QLabel *>(QStringLiteral("lblPcLayout"));
    QCOMPARE(label ? label->text() : QString(), note);

    shell.Trigger("mnuConfigTransmit");
    auto *transmit = qobject_cast<LinkDialog *>(shell.Page());
    QVERIFY(transmit);
    BoxAnswerer answerer(answers);
    transmit->findChild<QPushButton *>(QStringLiteral("cmdTransmit"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(answerer.allAnswered(), 10000);
    QCOMPARE(answerer.texts(), texts);
    if (texts.first() == kGermanQuestion) {
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("CFG Message"));
        QCOMPARE(answerer.seen()[0].buttons, Box::Yes | Box::No);
    }
    if (answers.first() == Box::No) {
        // No: nothing goes out, and the dialog is ready for the next command.
        QVERIFY(!transmit->IsExchangeRunning());
        QVERIFY(transmit->findChild<QPushButton *>(QStringLiteral("cmdTransmit"))->isEnabled());
        QCOMPARE(device.DownloadsSaved(), 0);
        QCOMPARE(device.image, FactoryImage());
    } else {
        QCOMPARE(device.DownloadsSaved(), 1);
        QCOMPARE(device.image, images.ConfigImage);
    }
}

QTEST_MAIN(TestKeyboardLayout)
#include "tst_keyboardlayout.moc"
