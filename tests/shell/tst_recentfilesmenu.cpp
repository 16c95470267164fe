#include "support/boxanswerer.h"
#include "support/testshell.h"

#include "core/configfile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Box = QMessageBox;

class TestRecentFilesMenu : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
#ifdef Q_OS_WIN
    void initTestCase();
    void cleanupTestCase();
#endif
    void lastFourNewestFirst();
    void missingFileLeavesTheList();

private:
    // A configuration file of the window's own configuration.
    QString MakeFile(const TestShell &shell, const QString &name) const;
    void Open(TestShell &shell, const QString &path) const;
    // The visible recent items: caption and status tip.
    static QList<QStringList> Items(const TestShell &shell);

    std::unique_ptr<QTemporaryDir> m_dir;
#ifdef Q_OS_WIN
    static inline const QString kRecentKey = QStringLiteral("RecentFiles");
    QVariant m_userList;
#endif
};

#ifdef Q_OS_WIN
void TestRecentFilesMenu::initTestCase()
{
    m_userList = QSettings(QStringLiteral("k30cfg"), QStringLiteral("k30cfg")).value(kRecentKey);
}

void TestRecentFilesMenu::cleanupTestCase()
{
    QSettings settings(QStringLiteral("k30cfg"), QStringLiteral("k30cfg"));
    if (m_userList.isValid())
        settings.setValue(kRecentKey, m_userList);
    else
        settings.remove(kRecentKey);
}
#endif

void TestRecentFilesMenu::init()
{
    // The list is kept in the user's settings: here a folder of this test's own.
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
#ifdef Q_OS_WIN
    // Windows keeps them in the registry, which no path moves: the list starts empty there
    // (and is given back to the user at the end).
    QSettings(QStringLiteral("k30cfg"), QStringLiteral("k30cfg")).remove(kRecentKey);
#endif
}

QString TestRecentFilesMenu::MakeFile(const TestShell &shell, const QString &name) const
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(WriteConfiguration(shell.state.header, shell.state.link,
                                      shell.state.images.ConfigImage));
    return path;
}

void TestRecentFilesMenu::Open(TestShell &shell, const QString &path) const
{
    shell.names = {path};
    shell.Trigger("mnuFileOpen");
    QCOMPARE(shell.state.CurrentFile, path);
}

QList<QStringList> TestRecentFilesMenu::Items(const TestShell &shell)
{
    QList<QStringList> items;
    for (int i = 1; i <= 4; ++i) {
        QAction *item = shell.Action(QStringLiteral("mnuFileRecent%1").arg(i));
        if (item && item->isVisible())
            items.append({item->text(), item->statusTip()});
    }
    return items;
}

void TestRecentFilesMenu::lastFourNewestFirst()
{
    TestShell shell(m_dir->path());
    QVERIFY(Items(shell).isEmpty());
    QStringList paths;
    for (const char *name : {"a.cfg", "b.cfg", "c.cfg", "d.cfg", "e.cfg"}) {
        paths << MakeFile(shell, QString::fromLatin1(name));
        Open(shell, paths.last());
    }
    auto item = [&](int number, const QString &path) {
        return QStringList{QStringLiteral("&%1 %2").arg(number).arg(QFileInfo(path).fileName()),
                           QDir::toNativeSeparators(path)};
    };
    const QList<QStringList> opened = {item(1, paths[4]), item(2, paths[3]), item(3, paths[2]),
                                       item(4, paths[1])};
    QCOMPARE(Items(shell), opened);

    // At the end of the File menu, before its last separator and "E&xit".
    const QList<QAction *> actions =
        shell.window->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions();
    const qsizetype exit = actions.indexOf(shell.Action(QStringLiteral("mnuFileExit")));
    QCOMPARE(exit, actions.size() - 1);
    QVERIFY(actions[exit - 1]->isSeparator());
    QCOMPARE(actions[exit - 2], shell.Action(QStringLiteral("mnuFileRecent4")));

    // Saving counts too; saving the newest again changes nothing.
    const QString saved = m_dir->filePath(QStringLiteral("f.cfg"));
    shell.names = {saved};
    shell.Trigger("mnuFileSaveAs");
    shell.Trigger("mnuFileSave");
    const QList<QStringList> afterSave = {item(1, saved), item(2, paths[4]), item(3, paths[3]),
                                          item(4, paths[2])};
    QCOMPARE(Items(shell), afterSave);

    // The next start shows the same list.
    TestShell restarted(m_dir->path());
    QCOMPARE(Items(restarted), afterSave);
}

void TestRecentFilesMenu::missingFileLeavesTheList()
{
    TestShell shell(m_dir->path());
    const QString a = MakeFile(shell, QStringLiteral("a.cfg"));
    const QString b = MakeFile(shell, QStringLiteral("b.cfg"));
    const QString c = MakeFile(shell, QStringLiteral("c.cfg"));
    for (const QString &path : {a, b, c})
        Open(shell, path);
    QVERIFY(QFile::remove(b));
    // An unsaved change: a file that is not opened does not ask about it.
    shell.state.images.SetBits(19, 0x70, 0x30);
    {
        BoxAnswerer answerer({Box::Ok});
        shell.Trigger("mnuFileRecent2");
        QTRY_VERIFY(answerer.allAnswered());
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Configuration Setup"));
        QCOMPARE(answerer.seen()[0].text,
                 QStringLiteral("The file %1 does not exist any more. It has been removed from "
                                "the recent files.")
                     .arg(QDir::toNativeSeparators(b)));
    }
    QCOMPARE(shell.state.CurrentFile, c);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(Items(shell).size(), 2);
    QCOMPARE(shell.Action(QStringLiteral("mnuFileRecent2"))->statusTip(),
             QDir::toNativeSeparators(a));

    // A file that exists opens as Open opens it, after the question about the changes.
    BoxAnswerer answerer({Box::No});
    shell.Trigger("mnuFileRecent2");
    QCOMPARE(answerer.texts(),
             QStringList{
                 QStringLiteral("Configuration had been changed,do you want to save your file?")});
    QCOMPARE(shell.state.CurrentFile, a);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.Action(QStringLiteral("mnuFileRecent1"))->statusTip(),
             QDir::toNativeSeparators(a));
}

QTEST_MAIN(TestRecentFilesMenu)
#include "tst_recentfilesmenu.moc"
