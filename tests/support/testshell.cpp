#include "testshell.h"

#include "shell/pagemanager.h"

#include <QAction>
#include <QDir>
#include <QTest>

TestShell::TestShell(const QString &root, Options options)
{
    ShellSetup setup;
    setup.keyboard = options.keyboard;
    setup.initializeKeyboard = [available = options.keyboardAvailable] { return available; };
    setup.keyboardLayout = options.keyboardLayout;
    setup.file = options.file;
    setup.defaults = {root + QStringLiteral("/program"), root + QStringLiteral("/user")};
    QDir().mkpath(setup.defaults.programDir);
    window = std::make_unique<MainWindow>(state, setup);
    window->Files().SetFileNameAsker(
        [this](QWidget *, FileDialogKind kind, const QString &proposed) {
            asked.append({kind, proposed});
            return names.isEmpty() ? QString() : names.takeFirst();
        });
    window->show();
    // The device types into the active window.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

TestShell::~TestShell()
{
    state.images.MarkSaved();
}

QAction *TestShell::Action(const char *name) const
{
    return Action(QString::fromLatin1(name));
}

QAction *TestShell::Action(const QString &name) const
{
    return window->findChild<QAction *>(name);
}

void TestShell::Trigger(const char *name) const
{
    Action(name)->trigger();
}

QWidget *TestShell::Page() const
{
    return window->Pages().CurrentPage();
}

QString TestShell::PageName() const
{
    return Page() ? Page()->objectName() : QString();
}
