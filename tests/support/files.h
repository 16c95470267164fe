#pragma once

// Files for the tests that write, read or refuse them.

#include "core/configfile.h"

#include <QByteArray>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/types.h>
#endif

// Writes `contents` to `path` (a failed check when it cannot).
void WriteFile(const QString &path, const QByteArray &contents);
// What the file holds; "<unreadable>" when it cannot be read.
QByteArray Contents(const QString &path);
#ifdef Q_OS_UNIX
// The kind of what stands at `path`, a link not followed: file, link, pipe, device, folder;
// 0 when nothing does.
mode_t Kind(const QString &path);
// A full device (as /dev/full is) made at `path`, so that no fault can replace the real one;
// false when device nodes cannot be made (not root).
bool MakeFullDevice(const QString &path);
#endif

// A configuration file as the tool reads it.
struct LoadedConfiguration
{
    bool ok = false;
    HeaderTexts header;
    LinkSettings link;
    ParameterImages images;
};
LoadedConfiguration LoadConfiguration(const QString &path);

// A configuration as the window's Save writes it, with texts a file must keep intact and bits
// no page shows; `image` receives its image.
QByteArray WindowFile(Image *image = nullptr);
