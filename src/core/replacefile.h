#pragma once

#include "core/safefile.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/stat.h>

// How WriteWholeFile puts a regular file in place (UNIX). `file` is the file's absolute name
// with no symbolic link in it; `previous` the file that is there now, or null for a new one.
//
// The contents go to a file without a name in the same folder (or, where the file system
// has no such files, to one with a hidden name), are forced to the disk, and then take the
// file's name in one step: a program killed in the middle, a full disk or a failing write
// leaves the previous file whole and nothing beside it. The new file keeps the previous
// one's owner, group and mode: root saving over another user's file must not take it over,
// nor open up a read-only one. Where the owner cannot be kept (a user is not root), the file
// becomes the saver's; a group that cannot be kept is given up only where that gives nobody
// more access than before.
//
// K30_TEST_FAIL_SAVE=open, write, fsync, close or rename makes that step fail as a failing
// disk would (EIO), so that the tests can show for every save that the previous file stays
// and the user is told; "alter" changes the file after it was written, as another program
// could before the tool reads it back.
std::optional<QString> ReplaceFile(const QByteArray &file, const struct stat *previous,
                                   const QByteArray &contents, Replace replace);

// Writes all of `contents` to the open descriptor; the reason when it could not.
std::optional<QString> WriteAll(int fd, const QByteArray &contents);

QString SystemError(int error);
