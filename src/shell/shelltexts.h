#pragma once

#include <QString>

// The title of every message box the main window and its File menu show.
inline QString ShellTitle()
{
    return QStringLiteral("Configuration Setup");
}

// The main window's caption once New, Open or Save As has named the configuration; from
// start-up until then it reads "K30 Configuration: " and the name.
inline QString FileCaption(const QString &currentFile)
{
    return QStringLiteral("Configuration Setup: ") + currentFile;
}
