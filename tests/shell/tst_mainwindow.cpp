#include "support/boxanswerer.h"
#include "support/files.h"
#include "support/testshell.h"

#include "about/helpwindow.h"
#include "core/configfile.h"
#include "shell/pagemanager.h"
#include "shell/toolicon.h"

#include <QAction>
#include <QDialog>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <memory>

using Box = QMessageBox;

namespace {

// Presses F1 in each message box the moment it is shown, before anybody answers it.
class PressF1WhenShown : public QObject
{
public:
    int pressed = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched)) {
            if (auto *f1 = watched->findChild<QShortcut *>(QStringLiteral("helpShortcut"))) {
                ++pressed;
                Q_EMIT f1->activated();
            }
        }
        return false;
    }
};

} // namespace

// The main window `MDImain`: start-up, its menus and tool bar, help and about, "Set All
// Default", the memory dialog's question on closing, and the file named at start or dropped
// onto the window. The pages it opens are checked in tst_pagesinshell, the file commands in
// tst_filecommands.
class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void startUp();
    void aboutStandsBesideTheOpenPage();
    void helpOpensAtTheOpenPage();
    void keyboardFailureIsReported();
    void fileAtStart_data();
    void fileAtStart();
    void drop_data();
    void drop();
    void menus_data();
    void menus();
    void toolBar();
    void setAllDefault_data();
    void setAllDefault();
    void toolIconEverywhere();
    void closingAsksTheMemoryDialogFirst();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestMainWindow::startUp()
{
    TestShell shell(m_dir->path());
    QCOMPARE(shell.window->objectName(), QStringLiteral("MDImain"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.Page());
    QVERIFY(!shell.state.MagFlag);
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    QCOMPARE(shell.state.header.DeviceName, QStringLiteral("Device Name"));
    QCOMPARE(shell.state.header.UserName, QStringLiteral("User's Name"));
    QCOMPARE(shell.state.header.BuildingDate,
             QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(shell.state.header.Description,
             QStringLiteral("Your description about this configuration file"));
    QCOMPARE(shell.state.link.CommPort, 1);
    QCOMPARE(shell.state.link.LinkMode, 0);
    QCOMPARE(shell.state.link.SerialSettingsText(), QStringLiteral("9600,N,8,1 "));
    QVERIFY(shell.state.link.SaveFlag);
    QCOMPARE(shell.state.images.DefaultImage, FactoryImage());
    QCOMPARE(shell.state.images.ConfigImage, FactoryImage());
    QVERIFY(!shell.state.images.IsChanged());
    QVERIFY(!shell.Action("mag")->isChecked());
    QVERIFY(shell.Action("bar")->isEnabled());
    QVERIFY(shell.Action("mnuHelpContents")->isEnabled());
    QVERIFY(shell.Action("mnuHelpAbout")->isEnabled());
}

void TestMainWindow::aboutStandsBesideTheOpenPage()
{
    TestShell shell(m_dir->path());
    shell.Trigger("mnuConfigComm");
    shell.Trigger("mnuHelpAbout");
    auto *about = shell.window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QTRY_VERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(shell.PageName(), QStringLiteral("cfg4"));
    QCOMPARE(shell.state.PageType, 2);
    // Asking again brings the same box forward instead of a second one.
    shell.Trigger("mnuHelpAbout");
    QCOMPARE(shell.window->findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
    about->close();
}

void TestMainWindow::helpOpensAtTheOpenPage()
{
    TestShell shell(m_dir->path());
    shell.Trigger("mnuMagComm");
    auto *shortcut = shell.window->findChild<QShortcut *>(QStringLiteral("helpShortcut"));
    QVERIFY(shortcut);
    QCOMPARE(shortcut->key(), QKeySequence(Qt::Key_F1));
    Q_EMIT shortcut->activated();
    auto *help = shell.window->findChild<HelpWindow *>(QStringLiteral("HelpWindow"));
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("magcfg4"));
    shell.Trigger("mnuHelpContents");
    QCOMPARE(help->Browser()->source().fileName(), QStringLiteral("index.html"));
    help->close();
}

void TestMainWindow::keyboardFailureIsReported()
{
    // The user presses F1 in the message as soon as it shows, then answers it.
    PressF1WhenShown f1;
    qApp->installEventFilter(&f1);
    BoxAnswerer answerer({Box::Ok});
    TestShell shell(m_dir->path(), {.keyboardAvailable = false});
    qApp->removeEventFilter(&f1);
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].text,
             QStringLiteral("There is an error for keyboard, you can download and upload CFG "
                            "data only by RS232!"));
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    QCOMPARE(answerer.seen()[0].buttons, Box::StandardButtons(Box::Ok));
    // The start-up goes on as usual.
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QCOMPARE(shell.state.images.ConfigImage, FactoryImage());
    // The manual opened where it says what the keyboard path needs.
    QCOMPARE(f1.pressed, 1);
    auto *help = shell.window->findChild<HelpWindow *>(QStringLiteral("HelpWindow"));
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->Browser()->source().fileName(), QStringLiteral("keyboard.html"));
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("raw-io"));
    help->close();
}

namespace {

const QString kNotConfiguration = QStringLiteral("This File Is Not A Configuration Setup File");
const QString kUnsavedQuestion =
    QStringLiteral("Configuration had been changed,do you want to save your file?");

} // namespace

void TestMainWindow::fileAtStart_data()
{
    // Written as named (nothing: no file at all).
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("opened");
    QTest::newRow("configuration") << WindowFile() << true;
    QTest::newRow("another program's file") << QByteArray("[main]\nyorn\n") << false;
    QTest::newRow("missing") << QByteArray() << false;
}

void TestMainWindow::fileAtStart()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, opened);
    const QString path = m_dir->filePath(QStringLiteral("site.cfg"));
    Image image{};
    if (!contents.isNull())
        WriteFile(path, opened ? WindowFile(&image) : contents);

    BoxAnswerer answerer({Box::Ok});
    TestShell shell(m_dir->path(), {.file = path});
    if (opened) {
        QVERIFY(answerer.seen().isEmpty());
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + path);
        QCOMPARE(shell.state.images.ConfigImage, image);
    } else {
        // Refused as File Open refuses it; the tool goes on with a new configuration.
        QCOMPARE(answerer.texts(), QStringList{kNotConfiguration});
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
        QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
        QCOMPARE(shell.state.images.ConfigImage, FactoryImage());
    }
    QVERIFY(!shell.state.images.IsChanged());
}

void TestMainWindow::drop_data()
{
    // What is dropped: file names in the test's folder, or full addresses.
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QList<Box::StandardButton>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("opened");
    const QList<Box::StandardButton> none;
    QTest::newRow("unsaved changes kept: Cancel")
        << QStringList{QStringLiteral("site.cfg")} << QList{Box::Cancel}
        << QStringList{kUnsavedQuestion} << false;
    QTest::newRow("unsaved changes discarded: No")
        << QStringList{QStringLiteral("site.cfg")} << QList{Box::No}
        << QStringList{kUnsavedQuestion} << true;
    QTest::newRow("not a configuration")
        << QStringList{QStringLiteral("other.cfg")} << QList{Box::No, Box::Ok}
        << QStringList{kUnsavedQuestion, kNotConfiguration} << false;
    // Refused as they are dragged in: nothing asked, nothing changed.
    QTest::newRow("two configurations")
        << QStringList{QStringLiteral("site.cfg"), QStringLiteral("copy.cfg")} << none
        << QStringList() << false;
    QTest::newRow("folder") << QStringList{QStringLiteral("folder")} << none << QStringList()
                            << false;
    QTest::newRow("missing file") << QStringList{QStringLiteral("gone.cfg")} << none
                                  << QStringList() << false;
    QTest::newRow("remote file") << QStringList{QStringLiteral("https://example.com/site.cfg")}
                                 << none << QStringList() << false;
    QTest::newRow("text, no file") << QStringList() << none << QStringList() << false;
}

void TestMainWindow::drop()
{
    QFETCH(QStringList, dropped);
    QFETCH(QList<Box::StandardButton>, answers);
    QFETCH(QStringList, boxes);
    QFETCH(bool, opened);
    Image image{};
    const QString site = m_dir->filePath(QStringLiteral("site.cfg"));
    WriteFile(site, WindowFile(&image));
    WriteFile(m_dir->filePath(QStringLiteral("copy.cfg")), WindowFile());
    WriteFile(m_dir->filePath(QStringLiteral("other.cfg")), "[main]\nyorn\n");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &name : dropped)
        urls << (name.contains(QLatin1Char(':')) ? QUrl(name)
                                                 : QUrl::fromLocalFile(m_dir->filePath(name)));
    if (!urls.isEmpty())
        data.setUrls(urls);
    data.setText(site);

    TestShell shell(m_dir->path());
    shell.state.images.ConfigImage[0] ^= 0x01;
    const Image edited = shell.state.images.ConfigImage;
    BoxAnswerer answerer(answers);
    const QPoint at = shell.window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shell.window.get(), &enter);
    QCOMPARE(enter.isAccepted(), !answers.isEmpty());
    // A drop that was refused as it came in is not handed over; were it, it would do nothing.
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shell.window.get(), &drop);
    QCOMPARE(drop.isAccepted(), !answers.isEmpty());
    QTRY_VERIFY(answerer.allAnswered());
    QCoreApplication::processEvents();
    QCOMPARE(answerer.texts(), boxes);
    if (opened) {
        QCOMPARE(shell.state.CurrentFile, site);
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + site);
        QCOMPARE(shell.state.images.ConfigImage, image);
    } else {
        QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
        QCOMPARE(shell.state.images.ConfigImage, edited);
        QVERIFY(shell.state.images.IsChanged());
    }
}

void TestMainWindow::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    auto row = [](const char *menu, const char *item, const char *caption,
                  const QKeySequence &key = {}) {
        QTest::newRow(item) << QString::fromLatin1(menu) << QString::fromLatin1(item)
                            << QString::fromLatin1(caption) << key;
    };
    row("mnuFile", "mnuFileNew", "&New", QKeySequence(QStringLiteral("Ctrl+N")));
    row("mnuFile", "mnuFileOpen", "&Open...", QKeySequence(QStringLiteral("Ctrl+O")));
    row("mnuFile", "mnuFileSave", "&Save", QKeySequence(QStringLiteral("Ctrl+S")));
    row("mnuFile", "mnuFileSaveAs", "Save &As...", QKeySequence(QStringLiteral("Ctrl+A")));
    row("mnuFile", "mnuFileDefault", "Save As &Default");
    row("mnuFile", "mnuFilePrintReport", "&Print Report...",
        QKeySequence(QStringLiteral("Ctrl+P")));
    row("mnuFile", "mnuFileExportReport", "E&xport Report...");
    row("mnuFile", "mnuFileExit", "E&xit", QKeySequence(QStringLiteral("Ctrl+X")));
    row("mnuConfig", "mnuConfigInterface", "&Interface", QKeySequence(Qt::Key_F5));
    row("mnuConfig", "mnuConfigComm", "&Communication", QKeySequence(Qt::Key_F6));
    row("mnuConfig", "mnuConfigBar", "&Bar Codes and Others", QKeySequence(Qt::Key_F7));
    row("mnuConfig", "mnuConfigMisc", "&Miscellaneous", QKeySequence(Qt::Key_F8));
    row("mnuConfig", "mnuConfigDefault", "&Set All Default");
    row("mnuConfig", "mnuConfigTransmit", "Transmit");
    row("mnuMag", "mnuMagInterface", "&Interface");
    row("mnuMag", "mnuMagComm", "&Communication");
    row("mnuMag", "mnuMagMisc", "&Miscellaneous");
    row("mnuMag", "mnuMagDefault", "&Set All Default");
    row("mnuMag", "mnuMagTransmit", "Transmit");
    row("mnuTools", "mnuToolsRDM", "&Read Decoder Memory");
    row("mnuTools", "mnuToolsPorts", "&Port Mapping...");
    row("mnuTools", "mnuToolsScan", "&Test Scan...");
    row("mnuHelp", "mnuHelpContents", "&Contents");
    row("mnuHelp", "mnuHelpAbout", "&About");
}

void TestMainWindow::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    TestShell shell(m_dir->path());
    auto *drop = shell.window->menuBar()->findChild<QMenu *>(menu);
    QVERIFY(drop);
    QAction *action = nullptr;
    for (QAction *candidate : drop->actions()) {
        if (candidate->objectName() == item)
            action = candidate;
    }
    QVERIFY2(action, "the item is not in its menu");
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);

    // Menu captions and their order, separators where the menus have them.
    QStringList bar;
    for (QAction *top : shell.window->menuBar()->actions())
        bar << top->text();
    QCOMPARE(bar, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"),
                               QStringLiteral("&Bar_Decoder"), QStringLiteral("&Magnic_Reader"),
                               QStringLiteral("&Tools"), QStringLiteral("&Help")}));
    auto items = [&shell](const char *menu) {
        QStringList names;
        for (QAction *entry : shell.window->findChild<QMenu *>(QLatin1String(menu))->actions())
            names << (entry->isSeparator() ? QStringLiteral("-") : entry->objectName());
        return names.join(QLatin1Char(' '));
    };
    QCOMPARE(items("mnuConfig"),
             QStringLiteral("mnuConfigInterface mnuConfigComm mnuConfigBar mnuConfigMisc - "
                            "mnuConfigDefault - mnuConfigTransmit"));
    QCOMPARE(items("mnuMag"), QStringLiteral("mnuMagInterface mnuMagComm mnuMagMisc - "
                                             "mnuMagDefault - mnuMagTransmit"));
    QCOMPARE(items("mnuTools"),
             QStringLiteral("mnuToolsRDM - mnuToolsPorts mnuToolsFind mnuToolsScan"));
}

void TestMainWindow::toolBar()
{
    TestShell shell(m_dir->path());
    auto *bar = shell.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(bar);
    QStringList shown;
    for (QAction *button : bar->actions()) {
        if (button->isSeparator()) {
            shown << QStringLiteral("-");
            continue;
        }
        shown << button->objectName() + QLatin1Char('=') + button->toolTip();
        // Every button has a drawn icon that loads.
        QVERIFY2(!button->icon().pixmap(24, 24).isNull(), qPrintable(button->objectName()));
    }
    QCOMPARE(shown, QStringList({QStringLiteral("new=New File"), QStringLiteral("open=Open File"),
                                 QStringLiteral("save=Save File"), QStringLiteral("-"),
                                 QStringLiteral("irm=Interface and Reading Mode"),
                                 QStringLiteral("com=Communication Parameters"),
                                 QStringLiteral("bar=Bar Codes and Others"),
                                 QStringLiteral("mis=Miscellaneous Parameters"),
                                 QStringLiteral("transmit=Transmit"), QStringLiteral("-"),
                                 QStringLiteral("mag=Magnet Reader")}));
    QVERIFY(shell.Action("mag")->isCheckable());
    QVERIFY(!shell.Action("irm")->isCheckable());
}

void TestMainWindow::setAllDefault_data()
{
    QTest::addColumn<bool>("reader");
    QTest::addColumn<Box::StandardButton>("answer");
    QTest::newRow("decoder yes") << false << Box::Yes;
    QTest::newRow("decoder no") << false << Box::No;
    QTest::newRow("reader yes") << true << Box::Yes;
    QTest::newRow("reader no") << true << Box::No;
}

void TestMainWindow::setAllDefault()
{
    QFETCH(bool, reader);
    QFETCH(Box::StandardButton, answer);
    TestShell shell(m_dir->path());
    Image defaults{};
    defaults.fill(0x11);
    shell.state.images.DefaultImage = defaults;
    Image changed{};
    changed.fill(0x22);
    shell.state.images.ConfigImage = changed;

    BoxAnswerer answerer({answer});
    shell.Trigger(reader ? "mnuMagDefault" : "mnuConfigDefault");
    QCOMPARE(answerer.seen().size(), 1);
    const BoxAnswerer::Seen box = answerer.seen()[0];
    QCOMPARE(box.text,
             reader ? QStringLiteral("Are you sure to set all to default values for Magnet Reader?")
                    : QStringLiteral("Are you sure to set all to default values for Bar Decoder?"));
    QCOMPARE(box.title, QStringLiteral("Configuration Setup"));
    QCOMPARE(box.icon, Box::Warning);
    QCOMPARE(box.buttons, Box::Yes | Box::No);
    QCOMPARE(box.defaultButton, Box::No);
    for (int i = 0; i < kImageSize; ++i) {
        const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
        const int expected = (answer == Box::Yes && inSection) ? 0x11 : 0x22;
        QCOMPARE(int(shell.state.images.ConfigImage[i]), expected);
    }
}

void TestMainWindow::toolIconEverywhere()
{
    UseToolIcon();
    // The drawing the desktop entry installs.
    const QString drawing =
        qEnvironmentVariable("K30_TEST_DATA") + QStringLiteral("/../../packaging/k30cfg.svg");
    QVERIFY(QFile::exists(drawing));
    const QImage expected = QIcon(drawing).pixmap(32).toImage();
    QVERIFY(!expected.isNull());
    const auto isToolIcon = [&expected](const QIcon &icon) {
        return !icon.isNull() && icon.pixmap(32).toImage() == expected;
    };

    TestShell shell(m_dir->path());
    QVERIFY(isToolIcon(shell.window->windowIcon()));
    shell.Trigger("mnuConfigComm");
    auto *sub = qobject_cast<QMdiSubWindow *>(shell.Page()->parentWidget());
    QVERIFY(sub);
    QVERIFY(isToolIcon(sub->windowIcon()));
    shell.Trigger("mnuHelpAbout");
    auto *about = shell.window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QVERIFY(isToolIcon(about->windowIcon()));
    about->close();
    BoxAnswerer answerer({Box::No});
    shell.Trigger("mnuMagDefault");
    QCOMPARE(answerer.seen().size(), 1);
    QVERIFY(isToolIcon(answerer.seen()[0].windowIcon));
}

void TestMainWindow::closingAsksTheMemoryDialogFirst()
{
    TestShell shell(m_dir->path());
    shell.Trigger("mnuToolsRDM");
    auto *text = shell.Page()->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"));
    QVERIFY(text);
    text->setPlainText(QStringLiteral("4711"));
    {
        // Cancel at the memory dialog's question keeps the dialog and the program.
        BoxAnswerer answerer({Box::Cancel});
        QVERIFY(!shell.window->close());
        QCOMPARE(answerer.texts(),
                 QStringList{QStringLiteral(
                     "Memory Data had been changed,do you want to save your file?")});
        QCOMPARE(shell.PageName(), QStringLiteral("frmReadMemory"));
        QVERIFY(shell.window->isVisible());
    }
    BoxAnswerer answerer({Box::No});
    QVERIFY(shell.window->close());
    QCOMPARE(shell.state.PageType, 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
