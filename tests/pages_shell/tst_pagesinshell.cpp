#include "core/configfile.h"
#include "shell/mainwindow.h"
#include "shell/pagemanager.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The communication, bar code and interface pages as a user reaches them: through the main
// window's menus and tool bar, with the section switch "mag" between their counterparts.
class TestPagesInShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sectionSwitchKeepsWhatWasChosen();
    void headerTextsAreSharedByBothInterfacePages();
    void magClosesTheBarCodePage();
    void openingAndClosingChangesNothing_data();
    void openingAndClosingChangesNothing();

private:
    QAction *Action(const char *name) const
    {
        return m_window->findChild<QAction *>(QString::fromLatin1(name));
    }
    QWidget *Page() const { return m_window->Pages().CurrentPage(); }
    QString PageName() const { return Page() ? Page()->objectName() : QString(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    std::unique_ptr<MainWindow> m_window;
};

void TestPagesInShell::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = AppState{};
    ShellSetup setup;
    setup.initializeKeyboard = [] { return true; };
    setup.defaults = {m_dir->path() + QStringLiteral("/program"),
                      m_dir->path() + QStringLiteral("/user")};
    QDir().mkpath(setup.defaults.programDir);
    m_window = std::make_unique<MainWindow>(m_state, setup);
    m_window->show();
}

void TestPagesInShell::cleanup()
{
    // Leave without the questions: nothing is unsaved that a test cares about.
    m_state.images.MarkSaved();
    m_window.reset();
    m_dir.reset();
}

void TestPagesInShell::sectionSwitchKeepsWhatWasChosen()
{
    Action("com")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg4"));
    QCOMPARE(m_state.PageType, 2);
    QVERIFY(Action("mnuConfigComm")->isChecked());
    QVERIFY(!Action("mnuConfigDefault")->isEnabled());
    Page()->findChild<QAbstractButton *>(QStringLiteral("optCfg41D_3"))->click();
    QCOMPARE(int(m_state.images.ConfigImage[19]), 188);

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("magcfg4"));
    QCOMPARE(m_state.PageType, 6);
    QVERIFY(Action("mnuMagComm")->isChecked());
    QVERIFY(!Action("mnuConfigComm")->isChecked());
    QVERIFY(!Action("mnuMagDefault")->isEnabled());
    QVERIFY(Action("mnuConfigDefault")->isEnabled());
    Page()->findChild<QAbstractButton *>(QStringLiteral("OptISO_1"))->click();

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg4"));
    auto *parity = Page()->findChild<QButtonGroup *>(QStringLiteral("optCfg41D"));
    QCOMPARE(parity->checkedButton()->text(), QStringLiteral("Odd"));

    // Back in the reader section the card standard chosen before is shown, and so is the
    // state of the fields it switches off.
    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("magcfg4"));
    QVERIFY(!Page()->findChild<QWidget *>(QStringLiteral("fraCfg45A"))->isEnabled());
    Action("mnuMagComm")->trigger();
    QCOMPARE(m_state.PageType, 0);
    QVERIFY(!Action("mnuMagComm")->isChecked());
    QVERIFY(Action("mnuMagDefault")->isEnabled());
}

void TestPagesInShell::headerTextsAreSharedByBothInterfacePages()
{
    Action("irm")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg3"));
    auto *name = Page()->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Gate 4"));

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("magcfg3"));
    QCOMPARE(m_state.PageType, 8);
    name = Page()->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    QCOMPARE(name->text(), QStringLiteral("Gate 4"));
    auto *description = Page()->findChild<QLineEdit *>(QStringLiteral("txtDescription"));
    description->selectAll();
    QTest::keyClicks(description, QStringLiteral("reader side"));

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg3"));
    QCOMPARE(Page()->findChild<QLineEdit *>(QStringLiteral("txtDescription"))->text(),
             QStringLiteral("reader side"));
    QVERIFY(!m_state.images.IsChanged());
}

void TestPagesInShell::magClosesTheBarCodePage()
{
    Action("bar")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg5"));
    QVERIFY(Action("mnuConfigBar")->isChecked());
    Action("mag")->trigger();
    QVERIFY(!Page());
    QCOMPARE(m_state.PageType, 0);
    QVERIFY(m_state.MagFlag);
    QVERIFY(!Action("bar")->isEnabled());
    QVERIFY(!Action("mnuConfigBar")->isChecked());
    Action("bar")->trigger();
    QVERIFY(!Page());
    // The menu item still opens it, and brings the tool bar back to the decoder.
    Action("mnuConfigBar")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg5"));
    QVERIFY(!m_state.MagFlag);
    QVERIFY(Action("bar")->isEnabled());
}

void TestPagesInShell::openingAndClosingChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("cfg4") << QStringLiteral("mnuConfigComm");
    QTest::newRow("cfg5") << QStringLiteral("mnuConfigBar");
    QTest::newRow("magcfg3") << QStringLiteral("mnuMagInterface");
    QTest::newRow("magcfg4") << QStringLiteral("mnuMagComm");
}

void TestPagesInShell::openingAndClosingChangesNothing()
{
    QFETCH(QString, command);
    // An image with values no option stands for: reader baud 6, track selection 13,
    // decoder parity 5, check digits 0, reader interface 3.
    m_state.images.ConfigImage[28] = 16 + 6;
    m_state.images.ConfigImage[83] = 13;
    m_state.images.ConfigImage[19] = (252 & ~112) | 5 * 16;
    m_state.images.ConfigImage[23] = 0x02;
    m_state.images.ConfigImage[26] = 0xC0 | 48;
    m_state.images.MarkSaved();
    const Image before = m_state.images.ConfigImage;
    QAction *action = Action(command.toLatin1().constData());
    action->trigger();
    QVERIFY(Page());
    action->trigger();
    QVERIFY(!Page());
    QCOMPARE(m_state.images.ConfigImage, before);
    QVERIFY(!m_state.images.IsChanged());
}

QTEST_MAIN(TestPagesInShell)
#include "tst_pagesinshell.moc"
