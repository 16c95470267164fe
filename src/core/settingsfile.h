#pragma once

#include <QString>

#include <memory>

class QSettings;

// The tool's own settings files (the port mapping "ports", the recent files "k30cfg"), in the
// user's configuration folder: k30cfg/<name>.conf under ~/.config on Linux. QSettings reads
// its file as soon as it is made, so the file is checked first as every file the tool reads
// is: a named pipe there would stop every start and every --port command, a device or a
// huge file would be read without end. Such a file is not used (null is returned, and its
// settings last for this run only) and a warning names it on standard error, once a run.
std::unique_ptr<QSettings> OpenSettings(const QString &name);

// Where OpenSettings looks for the settings called `name`.
QString SettingsFileName(const QString &name);
