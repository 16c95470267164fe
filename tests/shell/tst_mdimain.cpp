#include "about/helpwindow.h"
#include "boxanswerer.h"

#include "core/configfile.h"
#include "core/pagetable.h"
#include "link/ui/readmemorydialog.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "shell/pagemanager.h"
#include "shell/toolicon.h"

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include <sys/stat.h>

#include <memory>

using Box = QMessageBox;

namespace {

const QString kChanged =
    QStringLiteral("Configuration had been changed,do you want to save your file?");
const QString kExitQuestion = QStringLiteral("Do you want to save your file?");
const QString kNotConfig = QStringLiteral("This File Is Not A Configuration Setup File");

// One main window on its own state, defaults folder and scripted file dialog.
struct Shell
{
    explicit Shell(const QString &root, bool keyboard = true)
    {
        ShellSetup setup;
        setup.initializeKeyboard = [keyboard] { return keyboard; };
        setup.defaults = {root + QStringLiteral("/program"), root + QStringLiteral("/user")};
        QDir().mkpath(setup.defaults.programDir);
        window = std::make_unique<MainWindow>(state, setup);
        window->Files().SetFileNameAsker(
            [this](QWidget *, FileDialogKind kind, const QString &proposed) {
                asked.append({kind, proposed});
                return names.isEmpty() ? QString() : names.takeFirst();
            });
        window->show();
    }

    QAction *Action(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }
    void trigger(const char *name) const { Action(name)->trigger(); }
    QWidget *page() const { return window->Pages().CurrentPage(); }
    QString pageName() const { return page() ? page()->objectName() : QString(); }

    AppState state;
    std::unique_ptr<MainWindow> window;
    QStringList names; // what the file dialog answers next; empty: cancelled
    QList<std::pair<FileDialogKind, QString>> asked;
};

} // namespace

class TestMdiMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void startUp();
    void keyboardFailureIsReported();
    void aboutStandsBesideTheOpenPage();
    void helpOpensAtTheOpenPage();
    void startUpReadsSavedDefaults();
    void menus_data();
    void menus();
    void toolBar();
    void pageToggle();
    void checkMarksAndSetAllDefault_data();
    void checkMarksAndSetAllDefault();
    void sectionSwitch_data();
    void sectionSwitch();
    void toolBarFollowsSection();
    void setAllDefault_data();
    void setAllDefault();
    void exitQuestions_data();
    void exitQuestions();
    void closeControlWithChanges_data();
    void closeControlWithChanges();
    void closingAsksTheMemoryDialogFirst();
    void saveAsWritesFileAndCaption();
    void saveOnUnnamedAsksAndCancelWritesNothing();
    void failedSaveIsReported_data();
    void failedSaveIsReported();
    void openRefusesWrongMarker();
    void openLoadsAndClosesPage();
    void newKeepsLinkAndResetsTexts();
    void newWithChangesAnsweredYesButCancelled();
    void saveAsDefaultAndRestart();
    void saveAsDefaultFailure();
    void saveAsNames_data();
    void saveAsNames();
    void toolIconEverywhere();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMdiMain::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestMdiMain::startUp()
{
    Shell shell(m_dir->path());
    QCOMPARE(shell.window->objectName(), QStringLiteral("MDImain"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.page());
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

void TestMdiMain::aboutStandsBesideTheOpenPage()
{
    Shell shell(m_dir->path());
    shell.trigger("mnuConfigComm");
    shell.trigger("mnuHelpAbout");
    auto *about = shell.window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QTRY_VERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(shell.pageName(), QStringLiteral("cfg4"));
    QCOMPARE(shell.state.PageType, 2);
    // Asking again brings the same box forward instead of a second one.
    shell.trigger("mnuHelpAbout");
    QCOMPARE(shell.window->findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
    about->close();
}

void TestMdiMain::helpOpensAtTheOpenPage()
{
    Shell shell(m_dir->path());
    shell.trigger("mnuMagComm");
    auto *shortcut = shell.window->findChild<QShortcut *>(QStringLiteral("helpShortcut"));
    QVERIFY(shortcut);
    QCOMPARE(shortcut->key(), QKeySequence(Qt::Key_F1));
    Q_EMIT shortcut->activated();
    auto *help = shell.window->findChild<HelpWindow *>(QStringLiteral("HelpWindow"));
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("magcfg4"));
    shell.trigger("mnuHelpContents");
    QCOMPARE(help->Browser()->source().fileName(), QStringLiteral("index.html"));
    help->close();
}

void TestMdiMain::keyboardFailureIsReported()
{
    BoxAnswerer answerer({Box::Ok});
    Shell shell(m_dir->path(), false);
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].text,
             QStringLiteral("There is an error for keyboard, you can download and upload CFG "
                            "data only by RS232!"));
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    QCOMPARE(answerer.seen()[0].buttons, Box::StandardButtons(Box::Ok));
    // The start-up goes on as usual.
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QCOMPARE(shell.state.images.ConfigImage, FactoryImage());
}

void TestMdiMain::startUpReadsSavedDefaults()
{
    Image saved = FactoryImage();
    saved[22] = 33;
    saved[80] = 1;
    const DefaultsLocations where{m_dir->filePath(QStringLiteral("program")),
                                  m_dir->filePath(QStringLiteral("user"))};
    QDir().mkpath(where.programDir);
    QVERIFY(!WriteWholeFile(where.ProgramFile(), WriteDefaults(saved)));
    Shell shell(m_dir->path());
    QCOMPARE(shell.state.images.DefaultImage, saved);
    QCOMPARE(shell.state.images.ConfigImage, saved);
    QVERIFY(!shell.state.images.IsChanged());
}

void TestMdiMain::menus_data()
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
    row("mnuHelp", "mnuHelpContents", "&Contents");
    row("mnuHelp", "mnuHelpAbout", "&About");
}

void TestMdiMain::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    Shell shell(m_dir->path());
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
    QStringList config;
    for (QAction *entry : shell.window->findChild<QMenu *>(QStringLiteral("mnuConfig"))->actions())
        config << (entry->isSeparator() ? QStringLiteral("-") : entry->objectName());
    QCOMPARE(config.join(QLatin1Char(' ')),
             QStringLiteral("mnuConfigInterface mnuConfigComm mnuConfigBar mnuConfigMisc - "
                            "mnuConfigDefault - mnuConfigTransmit"));
}

void TestMdiMain::toolBar()
{
    Shell shell(m_dir->path());
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

void TestMdiMain::pageToggle()
{
    Shell shell(m_dir->path());
    shell.trigger("mnuConfigInterface");
    QCOMPARE(shell.pageName(), QStringLiteral("cfg3"));
    QCOMPARE(shell.state.PageType, 1);
    QCOMPARE(shell.window->findChild<QMdiArea *>()->subWindowList().size(), 1);
    shell.trigger("mnuConfigInterface");
    QVERIFY(!shell.page());
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.window->findChild<QWidget *>(QStringLiteral("cfg3")));
    shell.trigger("irm");
    QCOMPARE(shell.pageName(), QStringLiteral("cfg3"));

    // Another page replaces it: one window at a time.
    shell.trigger("com");
    QCOMPARE(shell.pageName(), QStringLiteral("cfg4"));
    QCOMPARE(shell.state.PageType, 2);
    QCOMPARE(shell.window->findChild<QMdiArea *>()->subWindowList().size(), 1);
    // Closed by its own title bar button.
    shell.window->findChild<QMdiArea *>()->subWindowList().constFirst()->close();
    QTRY_COMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.page());
    QVERIFY(!shell.Action("mnuConfigInterface")->isChecked());
    QVERIFY(shell.Action("mnuConfigDefault")->isEnabled());
}

void TestMdiMain::checkMarksAndSetAllDefault_data()
{
    // Each window (the row's name), the menu item checked while it is open and the
    // "&Set All Default" item it disables.
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("disabled");
    const QString config = QStringLiteral("mnuConfigDefault");
    const QString mag = QStringLiteral("mnuMagDefault");
    QTest::newRow("cfg3") << 1 << QStringLiteral("mnuConfigInterface") << config;
    QTest::newRow("cfg4") << 2 << QStringLiteral("mnuConfigComm") << config;
    QTest::newRow("cfg5") << 3 << QStringLiteral("mnuConfigBar") << config;
    QTest::newRow("cfg6") << 4 << QStringLiteral("mnuConfigMisc") << config;
    QTest::newRow("frmTransmit") << 5 << QString() << config;
    QTest::newRow("magcfg4") << 6 << QStringLiteral("mnuMagComm") << mag;
    QTest::newRow("magcfg6") << 7 << QStringLiteral("mnuMagMisc") << mag;
    QTest::newRow("magcfg3") << 8 << QStringLiteral("mnuMagInterface") << mag;
    QTest::newRow("frmReadMemory") << 9 << QString() << QString();
}

void TestMdiMain::checkMarksAndSetAllDefault()
{
    QFETCH(int, type);
    QFETCH(QString, checked);
    QFETCH(QString, disabled);
    const QStringList checkable = {
        QStringLiteral("mnuConfigInterface"), QStringLiteral("mnuConfigComm"),
        QStringLiteral("mnuConfigBar"),       QStringLiteral("mnuConfigMisc"),
        QStringLiteral("mnuMagInterface"),    QStringLiteral("mnuMagComm"),
        QStringLiteral("mnuMagMisc")};
    Shell shell(m_dir->path());
    for (QMenu *menu : shell.window->menuBar()->findChildren<QMenu *>()) {
        for (QAction *item : menu->actions())
            QCOMPARE(item->isCheckable(), checkable.contains(item->objectName()));
    }
    shell.window->Pages().OpenPage(type);
    QCOMPARE(shell.pageName(), QLatin1String(QTest::currentDataTag()));
    for (const QString &name : checkable)
        QCOMPARE(shell.window->findChild<QAction *>(name)->isChecked(), name == checked);
    for (const char *item : {"mnuConfigDefault", "mnuMagDefault"})
        QCOMPARE(shell.Action(item)->isEnabled(), disabled != QLatin1String(item));
    for (const char *item : {"mnuConfigTransmit", "mnuMagTransmit", "transmit", "mnuToolsRDM"})
        QVERIFY(shell.Action(item)->isEnabled());
    QCOMPARE(shell.window->Pages().ClosePage(), type);
    QVERIFY(shell.Action("mnuConfigDefault")->isEnabled());
    QVERIFY(shell.Action("mnuMagDefault")->isEnabled());
    for (const QString &name : checkable)
        QVERIFY(!shell.window->findChild<QAction *>(name)->isChecked());
}

void TestMdiMain::sectionSwitch_data()
{
    QTest::addColumn<int>("open");
    QTest::addColumn<int>("counterpart"); // 0: nothing opens
    QTest::newRow("interface") << 1 << 8;
    QTest::newRow("communication") << 2 << 6;
    QTest::newRow("bar codes") << 3 << 0;
    QTest::newRow("miscellaneous") << 4 << 7;
    QTest::newRow("transmit") << 5 << 5;
    QTest::newRow("reader communication") << 6 << 2;
    QTest::newRow("reader miscellaneous") << 7 << 4;
    QTest::newRow("reader interface") << 8 << 1;
    QTest::newRow("memory") << 9 << 0;
}

void TestMdiMain::sectionSwitch()
{
    QFETCH(int, open);
    QFETCH(int, counterpart);
    Shell shell(m_dir->path());
    shell.window->Pages().OpenPage(open);
    const bool startedInReader = shell.state.MagFlag;
    QCOMPARE(shell.state.PageType, open);
    shell.trigger("mag");
    QCOMPARE(shell.state.MagFlag, !startedInReader);
    QCOMPARE(shell.Action("mag")->isChecked(), shell.state.MagFlag);
    QCOMPARE(shell.Action("bar")->isEnabled(), !shell.state.MagFlag);
    QCOMPARE(shell.state.PageType, counterpart);
    if (counterpart) {
        QCOMPARE(shell.pageName(), QString::fromLatin1(FindPage(counterpart)->window));
        // And back again, for the pages that have a counterpart.
        shell.trigger("mag");
        QCOMPARE(shell.state.PageType, open);
        QCOMPARE(shell.pageName(), QString::fromLatin1(FindPage(open)->window));
    } else {
        QVERIFY(!shell.page());
    }
}

void TestMdiMain::toolBarFollowsSection()
{
    Shell shell(m_dir->path());
    // In reader mode "irm" opens the reader page and "bar" is off.
    shell.trigger("mag");
    QVERIFY(shell.state.MagFlag);
    QVERIFY(!shell.Action("bar")->isEnabled());
    shell.trigger("bar"); // disabled: nothing happens
    QCOMPARE(shell.state.PageType, 0);
    shell.trigger("irm");
    QCOMPARE(shell.state.PageType, 8);
    // A decoder page from the menu brings the tool bar back to the decoder.
    shell.trigger("mnuConfigInterface");
    QCOMPARE(shell.state.PageType, 1);
    QVERIFY(!shell.state.MagFlag);
    QVERIFY(!shell.Action("mag")->isChecked());
    shell.trigger("mnuMagComm");
    QVERIFY(shell.state.MagFlag);
    QCOMPARE(shell.state.PageType, 6);
    QVERIFY(shell.Action("mag")->isChecked());
}

void TestMdiMain::setAllDefault_data()
{
    QTest::addColumn<bool>("reader");
    QTest::addColumn<Box::StandardButton>("answer");
    QTest::newRow("decoder yes") << false << Box::Yes;
    QTest::newRow("decoder no") << false << Box::No;
    QTest::newRow("reader yes") << true << Box::Yes;
    QTest::newRow("reader no") << true << Box::No;
}

void TestMdiMain::setAllDefault()
{
    QFETCH(bool, reader);
    QFETCH(Box::StandardButton, answer);
    Shell shell(m_dir->path());
    Image defaults{};
    defaults.fill(0x11);
    shell.state.images.DefaultImage = defaults;
    Image changed{};
    changed.fill(0x22);
    shell.state.images.ConfigImage = changed;

    BoxAnswerer answerer({answer});
    shell.trigger(reader ? "mnuMagDefault" : "mnuConfigDefault");
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

void TestMdiMain::exitQuestions_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<Box::StandardButton>>("answers");
    QTest::addColumn<QStringList>("fileNames"); // what the save dialog answers
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    const QString file = QStringLiteral("exit.cfg");
    QTest::newRow("unchanged, no: no second question")
        << false << QList{Box::No} << QStringList() << QStringList{kExitQuestion} << true << false;
    QTest::newRow("unchanged, cancel") << false << QList{Box::Cancel} << QStringList()
                                       << QStringList{kExitQuestion} << false << false;
    QTest::newRow("changed, no, then no") << true << QList{Box::No, Box::No} << QStringList()
                                          << QStringList{kExitQuestion, kChanged} << true << false;
    QTest::newRow("changed, no, then cancel")
        << true << QList{Box::No, Box::Cancel} << QStringList()
        << QStringList{kExitQuestion, kChanged} << false << false;
    QTest::newRow("changed, yes and saved: no second question")
        << true << QList{Box::Yes} << QStringList{file} << QStringList{kExitQuestion} << true
        << true;
    QTest::newRow("changed, yes but save dialog cancelled: stays")
        << true << QList{Box::Yes} << QStringList() << QStringList{kExitQuestion} << false << false;
    QTest::newRow("changed, no, then yes and saved")
        << true << QList{Box::No, Box::Yes} << QStringList{file}
        << QStringList{kExitQuestion, kChanged} << true << true;
}

void TestMdiMain::exitQuestions()
{
    QFETCH(bool, changed);
    QFETCH(QList<Box::StandardButton>, answers);
    QFETCH(QStringList, fileNames);
    QFETCH(QStringList, questions);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    Shell shell(m_dir->path());
    for (const QString &name : fileNames)
        shell.names << m_dir->filePath(name);
    if (changed)
        shell.state.images.SetBits(24, 1, 1);
    const Image before = shell.state.images.ConfigImage;

    BoxAnswerer answerer(answers);
    shell.trigger("mnuFileExit");
    QCOMPARE(answerer.texts(), questions);
    QVERIFY(answerer.allAnswered());
    QCOMPARE(shell.window->isVisible(), !closed);
    QCOMPARE(shell.state.images.ConfigImage, before);
    QCOMPARE(QFile::exists(m_dir->filePath(QStringLiteral("exit.cfg"))), saved);
    if (saved)
        QVERIFY(!shell.state.images.IsChanged());
}

void TestMdiMain::closeControlWithChanges_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Box::StandardButton>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("unchanged: nothing asked") << false << Box::NoButton << true;
    QTest::newRow("changed, cancel") << true << Box::Cancel << false;
    QTest::newRow("changed, no") << true << Box::No << true;
    QTest::newRow("changed, yes, save dialog cancelled") << true << Box::Yes << false;
}

void TestMdiMain::closeControlWithChanges()
{
    QFETCH(bool, changed);
    QFETCH(Box::StandardButton, answer);
    QFETCH(bool, closed);
    Shell shell(m_dir->path());
    if (changed)
        shell.state.images.SetBits(22, 3, 1);
    const Image before = shell.state.images.ConfigImage;
    BoxAnswerer answerer(answer == Box::NoButton ? QList<Box::StandardButton>{}
                                                 : QList<Box::StandardButton>{answer});
    QCOMPARE(shell.window->close(), closed);
    QCOMPARE(answerer.texts(), changed ? QStringList{kChanged} : QStringList{});
    QCOMPARE(shell.window->isVisible(), !closed);
    QCOMPARE(shell.state.images.ConfigImage, before);
    QCOMPARE(shell.state.images.IsChanged(), changed);
}

void TestMdiMain::closingAsksTheMemoryDialogFirst()
{
    Shell shell(m_dir->path());
    shell.trigger("mnuToolsRDM");
    auto *text = shell.page()->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"));
    QVERIFY(text);
    text->setPlainText(QStringLiteral("4711"));
    {
        // Cancel at the memory dialog's question keeps the dialog and the program.
        BoxAnswerer answerer({Box::Cancel});
        QVERIFY(!shell.window->close());
        QCOMPARE(answerer.texts(),
                 QStringList{QStringLiteral(
                     "Memory Data had been changed,do you want to save your file?")});
        QCOMPARE(shell.pageName(), QStringLiteral("frmReadMemory"));
        QVERIFY(shell.window->isVisible());
    }
    BoxAnswerer answerer({Box::No});
    QVERIFY(shell.window->close());
    QCOMPARE(shell.state.PageType, 0);
}

void TestMdiMain::saveAsWritesFileAndCaption()
{
    Shell shell(m_dir->path());
    shell.names << m_dir->filePath(QStringLiteral("typed"));
    shell.trigger("mnuFileSaveAs");
    QCOMPARE(shell.asked.size(), 1);
    QCOMPARE(shell.asked[0].first, FileDialogKind::Save);
    QCOMPARE(shell.asked[0].second, QStringLiteral("New File"));
    const QString path = m_dir->filePath(QStringLiteral("typed.cfg"));
    QCOMPARE(shell.state.CurrentFile, path);
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + path);
    const QByteArray written = ReadWholeFile(path, kConfigFileSizeLimit).value();
    QCOMPARE(written, WriteConfiguration(shell.state.header, shell.state.link, FactoryImage()));
    QCOMPARE(written.count("\r\n"), 92);

    // Save then writes to the same file without asking.
    shell.state.images.SetBits(24, 1, 1);
    QVERIFY(shell.state.images.IsChanged());
    shell.trigger("save");
    QCOMPARE(shell.asked.size(), 1);
    QVERIFY(!shell.state.images.IsChanged());
    const QList<QByteArray> lines = ReadWholeFile(path, kConfigFileSizeLimit).value().split('\n');
    QCOMPARE(lines.value(7 + 24), QByteArray(" 1 \r")); // byte 24 on line 32
    QCOMPARE(lines.value(7 + 22), QByteArray(" 34 \r"));
}

void TestMdiMain::saveOnUnnamedAsksAndCancelWritesNothing()
{
    Shell shell(m_dir->path());
    shell.state.images.SetBits(22, 3, 0);
    shell.trigger("mnuFileSave");
    QCOMPARE(shell.asked.size(), 1);
    QCOMPARE(shell.asked[0].second, QStringLiteral("New File"));
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestMdiMain::failedSaveIsReported_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("no/such/folder/x.cfg");
    QTest::newRow("under /proc") << QStringLiteral("/proc/k30cfg-test.cfg");
}

void TestMdiMain::failedSaveIsReported()
{
    QFETCH(QString, target);
    Shell shell(m_dir->path());
    const QString path = QDir(m_dir->path()).filePath(target);
    shell.state.images.SetBits(24, 1, 1);
    shell.names << path;
    BoxAnswerer answerer({Box::Ok});
    shell.trigger("mnuFileSaveAs");
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    QVERIFY2(answerer.seen()[0].text.contains(QDir::toNativeSeparators(path)),
             qPrintable(answerer.seen()[0].text));
    QCOMPARE(answerer.seen()[0].icon, Box::Critical);
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
    QVERIFY(shell.state.images.IsChanged());

    // Save to a named file that became unwritable: reported, still changed.
    const QString good = m_dir->filePath(QStringLiteral("good.cfg"));
    shell.names << good;
    shell.trigger("mnuFileSaveAs");
    QVERIFY(!shell.state.images.IsChanged());
    shell.state.images.SetBits(24, 1, 0);
    QVERIFY(QFile::remove(good));
    QVERIFY(QDir().mkpath(good)); // a folder now stands where the file was
    BoxAnswerer second({Box::Ok});
    shell.trigger("save");
    QCOMPARE(second.seen().size(), 1);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(shell.state.CurrentFile, good);
}

void TestMdiMain::openRefusesWrongMarker()
{
    Shell shell(m_dir->path());
    const QString first = m_dir->filePath(QStringLiteral("first.cfg"));
    shell.names << first;
    shell.trigger("mnuFileSaveAs");
    QByteArray upper = ReadWholeFile(first, kConfigFileSizeLimit).value();
    upper.replace(0, 4, "YORN");
    const QString bad = m_dir->filePath(QStringLiteral("upper.cfg"));
    QVERIFY(!WriteWholeFile(bad, upper));

    // Files that cannot be read are refused before anything is read from them: a pipe would
    // wait for a writer, a device never end, and a file far larger than any configuration
    // is none, even with a valid start. The box then tells why.
    const QString pipe = m_dir->filePath(QStringLiteral("pipe.cfg"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString large = m_dir->filePath(QStringLiteral("large.cfg"));
    QVERIFY(!WriteWholeFile(large, ReadWholeFile(first, kConfigFileSizeLimit).value() +
                                       QByteArray(kConfigFileSizeLimit, '\n')));
    const std::pair<QString, QString> refused[] = {
        {bad, QString()},
        {m_dir->filePath(QStringLiteral("missing.cfg")), QStringLiteral("No such file")},
        {pipe, QStringLiteral("pipe")},
        {QStringLiteral("/dev/zero"), QStringLiteral("device")},
        {large, QStringLiteral("too large")},
        {m_dir->path(), QStringLiteral("folder")}};
    for (const auto &[name, reason] : refused) {
        shell.names << name;
        BoxAnswerer answerer({Box::Ok});
        shell.trigger("open");
        QCOMPARE(answerer.texts(), QStringList{kNotConfig});
        QCOMPARE(answerer.seen()[0].buttons, Box::StandardButtons(Box::Ok));
        QCOMPARE(answerer.seen()[0].informativeText.isEmpty(), reason.isEmpty());
        QVERIFY2(answerer.seen()[0].informativeText.contains(reason),
                 qPrintable(answerer.seen()[0].informativeText));
        QCOMPARE(shell.state.CurrentFile, first);
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + first);
    }
    // A later Save still writes to the previous file.
    shell.state.images.SetBits(24, 1, 1);
    shell.trigger("mnuFileSave");
    QVERIFY(!shell.state.images.IsChanged());
    QVERIFY(ReadWholeFile(first, kConfigFileSizeLimit).value().startsWith("yorn\r\n"));
}

void TestMdiMain::openLoadsAndClosesPage()
{
    Shell shell(m_dir->path());
    Image image = FactoryImage();
    image[22] = 32;
    HeaderTexts texts{QStringLiteral("K30 #7"), QStringLiteral("Ann"), QStringLiteral("1.1.24"),
                      QStringLiteral("store, \"front\"")};
    LinkSettings link;
    link.CommPort = 4;
    link.LinkMode = 1;
    const QString path = m_dir->filePath(QStringLiteral("load.cfg"));
    QVERIFY(!WriteWholeFile(path, WriteConfiguration(texts, link, image)));

    shell.trigger("mnuConfigInterface");
    QCOMPARE(shell.state.PageType, 1);
    shell.state.images.SetBits(24, 1, 1); // unsaved: the question comes first
    shell.names << path;
    BoxAnswerer answerer({Box::No});
    shell.trigger("mnuFileOpen");
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.asked.constLast().first, FileDialogKind::Open);
    QCOMPARE(shell.state.images.ConfigImage, image);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.state.header.Description, texts.Description);
    QCOMPARE(shell.state.link.CommPort, 4);
    QCOMPARE(shell.state.link.LinkMode, 1);
    QCOMPARE(shell.state.CurrentFile, path);
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + path);
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.page());
}

void TestMdiMain::newKeepsLinkAndResetsTexts()
{
    Shell shell(m_dir->path());
    shell.state.link.CommPort = 3;
    shell.state.link.LinkMode = 1;
    shell.state.header.UserName = QStringLiteral("someone");
    shell.trigger("mag");
    shell.state.images.SetBits(26, 192, 64);
    shell.state.images.DefaultImage[0] = 90;
    BoxAnswerer answerer({Box::No});
    shell.trigger("new");
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.state.link.CommPort, 3);
    QCOMPARE(shell.state.link.LinkMode, 1);
    QVERIFY(shell.state.MagFlag);
    QCOMPARE(shell.state.header.UserName, QStringLiteral("User's Name"));
    QCOMPARE(shell.state.header.Description, QStringLiteral("Your Description about this Setup"));
    QCOMPARE(shell.state.images.ConfigImage, shell.state.images.DefaultImage);
    QCOMPARE(int(shell.state.images.ConfigImage[0]), 90);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: New File"));
}

void TestMdiMain::newWithChangesAnsweredYesButCancelled()
{
    Shell shell(m_dir->path());
    shell.state.images.SetBits(24, 1, 1);
    shell.state.header.Description = QStringLiteral("mine");
    BoxAnswerer answerer({Box::Yes});
    shell.trigger("mnuFileNew"); // the save dialog is cancelled
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.asked.size(), 1);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(int(shell.state.images.ConfigImage[24]), 1);
    QCOMPARE(shell.state.header.Description, QStringLiteral("mine"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
}

void TestMdiMain::saveAsDefaultAndRestart()
{
    Image saved{};
    {
        Shell shell(m_dir->path());
        shell.state.images.SetBits(22, 3, 1);
        shell.state.images.SetBits(83, 15, 3);
        saved = shell.state.images.ConfigImage;
        shell.trigger("mnuFileDefault");
        QCOMPARE(shell.state.images.DefaultImage, saved);
        // Nothing else moves: still changed, still unnamed.
        QVERIFY(shell.state.images.IsChanged());
        QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
        // Set All Default now restores the saved defaults.
        shell.state.images.SetBits(22, 3, 2);
        BoxAnswerer answerer({Box::Yes});
        shell.trigger("mnuConfigDefault");
        QCOMPARE(int(shell.state.images.ConfigImage[22]), int(saved[22]));
        shell.state.images.MarkSaved();
    }
    Shell restarted(m_dir->path());
    QCOMPARE(restarted.state.images.DefaultImage, saved);
    QCOMPARE(restarted.state.images.ConfigImage, saved);
}

void TestMdiMain::saveAsDefaultFailure()
{
    // Neither the program directory (missing) nor the user's folder (a folder stands where
    // the file would go) can be written: each file is named with its own reason.
    ShellSetup setup;
    setup.initializeKeyboard = [] { return true; };
    setup.defaults = {m_dir->filePath(QStringLiteral("missing")),
                      m_dir->filePath(QStringLiteral("user"))};
    QVERIFY(QDir().mkpath(setup.defaults.UserFile()));
    AppState state;
    MainWindow window(state, setup);
    state.images.SetBits(22, 3, 0);
    BoxAnswerer answerer({Box::Ok});
    window.findChild<QAction *>(QStringLiteral("mnuFileDefault"))->trigger();
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
    const QStringList lines = answerer.seen()[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains(setup.defaults.ProgramFile()) &&
                 !lines[0].contains(QLatin1String("folder")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].contains(setup.defaults.UserFile()) &&
                 lines[1].endsWith(QLatin1String("is a folder")),
             qPrintable(lines[1]));
    QCOMPARE(state.images.DefaultImage, FactoryImage());
}

void TestMdiMain::saveAsNames_data()
{
    QTest::addColumn<bool>("memory");    // the memory dialog's "Save &As", else File > Save As
    QTest::addColumn<QString>("chosen"); // what the file dialog returned
    QTest::addColumn<bool>("exists");    // the file with the suffix exists already
    QTest::addColumn<int>("answer");     // to the replace question; 0: none asked
    for (const bool memory : {false, true}) {
        const QString suffix = memory ? QStringLiteral(".txt") : QStringLiteral(".cfg");
        const auto row = [&](const char *name, const QString &chosen, bool exists, int answer) {
            QTest::newRow(qPrintable(suffix + QLatin1String(", ") + QLatin1String(name)))
                << memory << chosen << exists << answer;
        };
        row("dot, new file", QStringLiteral("typed."), false, 0);
        row("dot, replaced", QStringLiteral("typed."), true, Box::Yes);
        row("dot, kept", QStringLiteral("typed."), true, Box::No);
        row("dots, kept", QStringLiteral("typed..."), true, Box::No);
        row("no extension, kept", QStringLiteral("typed"), true, Box::No);
        // The file dialog asked about the very name written.
        row("full name", QStringLiteral("typed") + suffix, true, 0);
    }
}

void TestMdiMain::saveAsNames()
{
    QFETCH(bool, memory);
    QFETCH(QString, chosen);
    QFETCH(bool, exists);
    QFETCH(int, answer);
    const QString file = memory ? QStringLiteral("typed.txt") : QStringLiteral("typed.cfg");
    const QString path = m_dir->filePath(file);
    const QByteArray previous = "not to be lost\r\n";
    if (exists)
        QVERIFY(!WriteWholeFile(path, previous));
    Shell shell(m_dir->path());
    BoxAnswerer answerer({Box::StandardButton(answer)});
    if (memory) {
        shell.trigger("mnuToolsRDM");
        auto *dialog = qobject_cast<ReadMemoryDialog *>(shell.page());
        QVERIFY(dialog);
        dialog->SetFileNameAsker(
            [&](QWidget *, const QString &) { return m_dir->filePath(chosen); });
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))
            ->setPlainText(QStringLiteral("4006381333931"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdSaveAs"))->click();
    } else {
        shell.state.images.SetBits(24, 1, 1);
        shell.names << m_dir->filePath(chosen);
        shell.trigger("mnuFileSaveAs");
    }
    QCOMPARE(answerer.seen().size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(answerer.seen()[0].title, memory ? QStringLiteral("Memory Data Read")
                                                  : QStringLiteral("Configuration Setup"));
        QVERIFY(answerer.seen()[0].text.contains(path));
        QCOMPARE(answerer.seen()[0].buttons, Box::Yes | Box::No);
    }
    const bool written = answer != int(Box::No);
    QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value_or(QByteArray()) == previous,
             !written);
    QCOMPARE(memory ? !shell.state.SavedMemoryText.isEmpty() : !shell.state.images.IsChanged(),
             written);
    // Only the one file, under the name asked about.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{file});
    shell.state.images.MarkSaved();
}

void TestMdiMain::toolIconEverywhere()
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

    Shell shell(m_dir->path());
    QVERIFY(isToolIcon(shell.window->windowIcon()));
    shell.trigger("mnuConfigComm");
    auto *sub = qobject_cast<QMdiSubWindow *>(shell.page()->parentWidget());
    QVERIFY(sub);
    QVERIFY(isToolIcon(sub->windowIcon()));
    shell.trigger("mnuHelpAbout");
    auto *about = shell.window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QVERIFY(isToolIcon(about->windowIcon()));
    about->close();
    BoxAnswerer answerer({Box::No});
    shell.trigger("mnuMagDefault");
    QCOMPARE(answerer.seen().size(), 1);
    QVERIFY(isToolIcon(answerer.seen()[0].windowIcon));
}

QTEST_MAIN(TestMdiMain)
#include "tst_mdimain.moc"
