#pragma once

#include "shell/filecommands.h"
#include "shell/mainwindow.h"

#include <memory>
#include <utility>

class QAction;

// One main window on its own state, its defaults in "program" and "user" below `root`, with a
// scripted file dialog: it answers with `names` in turn (none left: cancelled) and records
// what it was asked. Goes without the questions about unsaved changes.
class TestShell
{
public:
    struct Options
    {
        bool keyboardAvailable = true;
        KeyboardPort *keyboard = nullptr;
    };

    explicit TestShell(const QString &root) : TestShell(root, Options{}) {}
    TestShell(const QString &root, Options options);
    ~TestShell();

    QAction *Action(const char *name) const;
    void Trigger(const char *name) const;
    // The open page or dialog, and its object name ("" when none is open).
    QWidget *Page() const;
    QString PageName() const;

    AppState state;
    std::unique_ptr<MainWindow> window;
    QStringList names;
    QList<std::pair<FileDialogKind, QString>> asked;
};
