#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Memory data files (*.txt): the text of the memory text area, every line ended by CR LF,
// followed by one more CR LF, in the single-byte character set.

// The text area's text as it goes into the file, without the final CR LF: lines end in CR LF.
QString MemoryFileText(const QString &areaText);

// The bytes of the file that holds the text area's text.
QByteArray MemoryFileBytes(const QString &areaText);

// Replaces the file atomically: either the whole new text is there or the old file stays.
// Nothing on success, otherwise the reason.
std::optional<QString> WriteMemoryFile(const QString &path, const QString &areaText);

// The name a save dialog returned, with ".txt" added when it has no extension.
QString WithMemoryFileSuffix(const QString &path);
