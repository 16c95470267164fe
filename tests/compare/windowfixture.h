#pragma once

#include "../shell/boxanswerer.h"

#include "core/keyboardlayout.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "shell/pagemanager.h"

#include <QAction>
#include <QDir>
#include <QTest>

#include <memory>

// The PC's keyboard layout as a test sets it; nothing: unknown.
class FixedLayout : public KeyboardLayoutSource
{
public:
    std::optional<KeyboardLayout> layout;
    std::optional<KeyboardLayout> Current() const override { return layout; }
};

// One main window on its own state and defaults folder, shown and active, with a scripted
// file dialog. `keyboard` is the keyboard path (the simulated wedge), if any.
struct WindowFixture
{
    WindowFixture(const QString &root, KeyboardPort *keyboard = nullptr,
                  const KeyboardLayoutSource *layout = nullptr)
    {
        ShellSetup setup;
        setup.keyboard = keyboard;
        setup.initializeKeyboard = [] { return true; };
        setup.defaults = {root + QStringLiteral("/program"), root + QStringLiteral("/user")};
        setup.keyboardLayout = layout;
        QDir().mkpath(setup.defaults.programDir);
        window = std::make_unique<MainWindow>(state, setup);
        window->Files().SetFileNameAsker([this](QWidget *, FileDialogKind, const QString &) {
            return names.isEmpty() ? QString() : names.takeFirst();
        });
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    QAction *Action(const QString &name) const { return window->findChild<QAction *>(name); }
    void Trigger(const char *name) const { Action(QString::fromLatin1(name))->trigger(); }
    QWidget *Page() const { return window->Pages().CurrentPage(); }

    AppState state;
    std::unique_ptr<MainWindow> window;
    QStringList names; // what the file dialog answers next; empty: cancelled
};
