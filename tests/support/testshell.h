#pragma once

#include "core/keyboardlayout.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"

#include <memory>
#include <utility>

class QAction;

// The PC's keyboard layout as a test sets it; nothing: unknown.
class FixedLayout : public KeyboardLayoutSource
{
public:
    std::optional<KeyboardLayout> layout;
    std::optional<KeyboardLayout> Current() const override { return layout; }
};

// One main window on its own state, its defaults in "program" and "user" below `root`, shown
// and active, with a scripted file dialog: it answers with `names` in turn (none left:
// cancelled) and records what it was asked. Goes without the questions about unsaved changes.
class TestShell
{
public:
    struct Options
    {
        bool keyboardAvailable = true;
        KeyboardPort *keyboard = nullptr; // the keyboard path (the simulated wedge), if any
        const KeyboardLayoutSource *keyboardLayout = nullptr;
        QString file{}; // opened at start, as the command line names it
    };

    explicit TestShell(const QString &root) : TestShell(root, Options{}) {}
    TestShell(const QString &root, Options options);
    ~TestShell();

    QAction *Action(const char *name) const;
    QAction *Action(const QString &name) const;
    void Trigger(const char *name) const;
    // The open page or dialog, and its object name ("" when none is open).
    QWidget *Page() const;
    QString PageName() const;

    AppState state;
    std::unique_ptr<MainWindow> window;
    QStringList names;
    QList<std::pair<FileDialogKind, QString>> asked;
};
