#include "support/testshell.h"

#include "core/pagetable.h"
#include "shell/pagemanager.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The pages as a user reaches them: through the main window's menus and tool bar, one at a
// time, the menu item of the open one checked, with the section switch "mag" between their
// counterparts.
class TestPagesInShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pageToggle();
    void checkMarksAndSetAllDefault_data();
    void checkMarksAndSetAllDefault();
    void sectionSwitch_data();
    void sectionSwitch();
    void toolBarFollowsSection();
    void sectionSwitchKeepsWhatWasChosen();
    void headerTextsAreSharedByBothInterfacePages();
    void magClosesTheBarCodePage();
    void openingAndClosingChangesNothing_data();
    void openingAndClosingChangesNothing();

private:
    QAction *Action(const char *name) const { return m_shell->Action(name); }
    QWidget *Page() const { return m_shell->Page(); }
    QString PageName() const { return m_shell->PageName(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestShell> m_shell;
};

void TestPagesInShell::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_shell = std::make_unique<TestShell>(m_dir->path());
}

void TestPagesInShell::cleanup()
{
    m_shell.reset();
    m_dir.reset();
}

void TestPagesInShell::pageToggle()
{
    TestShell &shell = *m_shell;
    shell.Trigger("mnuConfigInterface");
    QCOMPARE(shell.PageName(), QStringLiteral("cfg3"));
    QCOMPARE(shell.state.PageType, 1);
    QCOMPARE(shell.window->findChild<QMdiArea *>()->subWindowList().size(), 1);
    shell.Trigger("mnuConfigInterface");
    QVERIFY(!shell.Page());
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.window->findChild<QWidget *>(QStringLiteral("cfg3")));
    shell.Trigger("irm");
    QCOMPARE(shell.PageName(), QStringLiteral("cfg3"));

    // Another page replaces it: one window at a time.
    shell.Trigger("com");
    QCOMPARE(shell.PageName(), QStringLiteral("cfg4"));
    QCOMPARE(shell.state.PageType, 2);
    QCOMPARE(shell.window->findChild<QMdiArea *>()->subWindowList().size(), 1);
    // Closed by its own title bar button.
    shell.window->findChild<QMdiArea *>()->subWindowList().constFirst()->close();
    QTRY_COMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.Page());
    QVERIFY(!shell.Action("mnuConfigInterface")->isChecked());
    QVERIFY(shell.Action("mnuConfigDefault")->isEnabled());
}

void TestPagesInShell::checkMarksAndSetAllDefault_data()
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

void TestPagesInShell::checkMarksAndSetAllDefault()
{
    QFETCH(int, type);
    QFETCH(QString, checked);
    QFETCH(QString, disabled);
    const QStringList checkable = {
        QStringLiteral("mnuConfigInterface"), QStringLiteral("mnuConfigComm"),
        QStringLiteral("mnuConfigBar"),       QStringLiteral("mnuConfigMisc"),
        QStringLiteral("mnuMagInterface"),    QStringLiteral("mnuMagComm"),
        QStringLiteral("mnuMagMisc")};
    TestShell &shell = *m_shell;
    for (QMenu *menu : shell.window->menuBar()->findChildren<QMenu *>()) {
        for (QAction *item : menu->actions())
            QCOMPARE(item->isCheckable(), checkable.contains(item->objectName()));
    }
    shell.window->Pages().OpenPage(type);
    QCOMPARE(shell.PageName(), QLatin1String(QTest::currentDataTag()));
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

void TestPagesInShell::sectionSwitch_data()
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

void TestPagesInShell::sectionSwitch()
{
    QFETCH(int, open);
    QFETCH(int, counterpart);
    TestShell &shell = *m_shell;
    shell.window->Pages().OpenPage(open);
    const bool startedInReader = shell.state.MagFlag;
    QCOMPARE(shell.state.PageType, open);
    shell.Trigger("mag");
    QCOMPARE(shell.state.MagFlag, !startedInReader);
    QCOMPARE(shell.Action("mag")->isChecked(), shell.state.MagFlag);
    QCOMPARE(shell.Action("bar")->isEnabled(), !shell.state.MagFlag);
    QCOMPARE(shell.state.PageType, counterpart);
    if (counterpart) {
        QCOMPARE(shell.PageName(), QString::fromLatin1(FindPage(counterpart)->window));
        // And back again, for the pages that have a counterpart.
        shell.Trigger("mag");
        QCOMPARE(shell.state.PageType, open);
        QCOMPARE(shell.PageName(), QString::fromLatin1(FindPage(open)->window));
    } else {
        QVERIFY(!shell.Page());
    }
}

void TestPagesInShell::toolBarFollowsSection()
{
    TestShell &shell = *m_shell;
    // In reader mode "irm" opens the reader page and "bar" is off.
    shell.Trigger("mag");
    QVERIFY(shell.state.MagFlag);
    QVERIFY(!shell.Action("bar")->isEnabled());
    shell.Trigger("bar"); // disabled: nothing happens
    QCOMPARE(shell.state.PageType, 0);
    shell.Trigger("irm");
    QCOMPARE(shell.state.PageType, 8);
    // A decoder page from the menu brings the tool bar back to the decoder.
    shell.Trigger("mnuConfigInterface");
    QCOMPARE(shell.state.PageType, 1);
    QVERIFY(!shell.state.MagFlag);
    QVERIFY(!shell.Action("mag")->isChecked());
    shell.Trigger("mnuMagComm");
    QVERIFY(shell.state.MagFlag);
    QCOMPARE(shell.state.PageType, 6);
    QVERIFY(shell.Action("mag")->isChecked());
}

void TestPagesInShell::sectionSwitchKeepsWhatWasChosen()
{
    Action("com")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg4"));
    QCOMPARE(m_shell->state.PageType, 2);
    QVERIFY(Action("mnuConfigComm")->isChecked());
    QVERIFY(!Action("mnuConfigDefault")->isEnabled());
    Page()->findChild<QAbstractButton *>(QStringLiteral("optCfg41D_3"))->click();
    QCOMPARE(int(m_shell->state.images.ConfigImage[19]), 188);

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("magcfg4"));
    QCOMPARE(m_shell->state.PageType, 6);
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
    QCOMPARE(m_shell->state.PageType, 0);
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
    QCOMPARE(m_shell->state.PageType, 8);
    name = Page()->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    QCOMPARE(name->text(), QStringLiteral("Gate 4"));
    auto *description = Page()->findChild<QLineEdit *>(QStringLiteral("txtDescription"));
    description->selectAll();
    QTest::keyClicks(description, QStringLiteral("reader side"));

    Action("mag")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg3"));
    QCOMPARE(Page()->findChild<QLineEdit *>(QStringLiteral("txtDescription"))->text(),
             QStringLiteral("reader side"));
    QVERIFY(!m_shell->state.images.IsChanged());
}

void TestPagesInShell::magClosesTheBarCodePage()
{
    Action("bar")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg5"));
    QVERIFY(Action("mnuConfigBar")->isChecked());
    Action("mag")->trigger();
    QVERIFY(!Page());
    QCOMPARE(m_shell->state.PageType, 0);
    QVERIFY(m_shell->state.MagFlag);
    QVERIFY(!Action("bar")->isEnabled());
    QVERIFY(!Action("mnuConfigBar")->isChecked());
    Action("bar")->trigger();
    QVERIFY(!Page());
    // The menu item still opens it, and brings the tool bar back to the decoder.
    Action("mnuConfigBar")->trigger();
    QCOMPARE(PageName(), QStringLiteral("cfg5"));
    QVERIFY(!m_shell->state.MagFlag);
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
    m_shell->state.images.ConfigImage[28] = 16 + 6;
    m_shell->state.images.ConfigImage[83] = 13;
    m_shell->state.images.ConfigImage[19] = (252 & ~112) | 5 * 16;
    m_shell->state.images.ConfigImage[23] = 0x02;
    m_shell->state.images.ConfigImage[26] = 0xC0 | 48;
    m_shell->state.images.MarkSaved();
    const Image before = m_shell->state.images.ConfigImage;
    QAction *action = Action(command.toLatin1().constData());
    action->trigger();
    QVERIFY(Page());
    action->trigger();
    QVERIFY(!Page());
    QCOMPARE(m_shell->state.images.ConfigImage, before);
    QVERIFY(!m_shell->state.images.IsChanged());
}

QTEST_MAIN(TestPagesInShell)
#include "tst_pagesinshell.moc"
