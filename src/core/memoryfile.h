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

// Memory data files are read only up to this size; the device's memory fills a small
// fraction of it.
inline constexpr qint64 kMemoryFileSizeLimit = 16 * 1024 * 1024;

// Writes the file through WriteWholeFile (core/safefile.h): either the whole new text is
// there or the old file stays. Nothing on success, otherwise the reason.
std::optional<QString> WriteMemoryFile(const QString &path, const QString &areaText);
