#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Memory data files (*.txt): the memory text followed by one more CR LF, in the single-byte
// character set. The file text is either the records as decoded from the device, each ended by
// CR LF and written byte for byte (a record may hold CR, LF or a no-break space), or the text
// of an edited text area, every line ended by CR LF.

// The text of an edited text area as it goes into the file, without the final CR LF: every
// line break (LF, CR LF, paragraph or line separator) becomes CR LF.
QString MemoryFileText(const QString &areaText);

// The bytes of the file that holds the file text: exactly its characters, then CR LF.
QByteArray MemoryFileBytes(const QString &fileText);

// Memory data files are read only up to this size; the device's memory fills a small
// fraction of it.
inline constexpr qint64 kMemoryFileSizeLimit = 16 * 1024 * 1024;

// Writes the file through WriteWholeFile (core/safefile.h): either the whole new text is
// there or the old file stays. Nothing on success, otherwise the reason.
std::optional<QString> WriteMemoryFile(const QString &path, const QString &fileText);
