#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Every file the tool reads or writes, whatever its kind (configuration, defaults, memory
// data), goes through these functions, so that a device, a pipe or a full disk is met the
// same way by the window and the command line tool. The reason of a refusal reads after the
// file's name: "<path>: is a folder".

// Whether a save may take the place of a file that is already there.
enum class Replace
{
    Allowed,
    Never
};

// Writes `contents` as the whole file at `path`. Nothing when it was written, otherwise the
// reason, and then:
// - a regular file (or a new one) is as it was before: the new contents are written to a
//   file beside it, forced to the disk, and replace the old file only once they are all
//   there; the replaced file's owner, group and mode stay (see core/replacefile.h);
// - symbolic links are followed as the system follows them (a link's target is taken in the
//   folder the link really is in, after the folder links on the way): the file they lead to
//   is replaced, the links stay;
// - a named pipe or a character device, also one reached through /dev/stdout or /dev/fd/N,
//   is written directly, never replaced; a pipe that nobody reads from is refused at once
//   instead of waiting for one;
// - a folder and any other kind of file are refused, and with Replace::Never anything that
//   is already there.
std::optional<QString> WriteWholeFile(const QString &path, const QByteArray &contents,
                                      Replace replace = Replace::Allowed);

// The file a save to `path` replaces or creates, links followed as WriteWholeFile follows
// them; empty where a save replaces no file (a pipe or a device is written in place, a folder
// or a link in a circle is refused).
QString SavedFileName(const QString &path);

// Nothing when a save to `path` leaves a regular file that can be read back: `path` names a
// regular file, or a new file in a folder that exists (links followed as WriteWholeFile
// follows them); otherwise why not ("is a named pipe, not a file", "is a device, not a file",
// ...). What is only written to a pipe or a device is never known to be kept.
std::optional<QString> ReadBackRefusal(const QString &path);

// Why ReadWholeFile would refuse `path` before opening it, or nothing: it cannot be looked
// at, is not a regular file, or is larger than `sizeLimit` bytes.
std::optional<QString> ReadRefusal(const QString &path, qint64 sizeLimit);

// The whole contents of the regular file at `path` (symbolic links followed), or nothing and
// the reason in `error`: the file cannot be opened, is not a regular file (a device such as
// /dev/zero never ends, a named pipe waits for a writer, a /proc file has no size to check),
// or is larger than `sizeLimit` bytes. Nothing is read from a refused file.
std::optional<QByteArray> ReadWholeFile(const QString &path, qint64 sizeLimit,
                                        QString *error = nullptr);

// The file a save dialog's answer names: trailing dots dropped ("name." is "name" to a user,
// not a file ending in a dot) and ".<suffix>" added to a name without an extension, so
// "scan." and "scan" both give "scan.txt" for the suffix "txt".
QString WithDefaultSuffix(const QString &path, const QString &suffix);
