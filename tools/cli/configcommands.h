#pragma once

#include "core/parameterimages.h"

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// The commands that work on configuration files only. Each returns the exit status; results
// go to `out`, refusals and errors to `err`; with `json`, one JSON line goes to `out` instead.

int ShowCommand(const QString &path, bool json, QTextStream &out, QTextStream &err);
int DiffCommand(const QString &pathA, const QString &pathB, bool json, QTextStream &out,
                QTextStream &err);
// NAME=VALUE assignments; the file is rewritten only when every one of them is accepted.
int SetCommand(const QString &path, const QStringList &assignments, bool json, QTextStream &out,
               QTextStream &err);
// Writes a new configuration from `defaults` (the factory values when nothing); an existing
// file is replaced only when `replace` is set.
int NewCommand(const QString &path, const std::optional<Image> &defaults, bool replace, bool json,
               QTextStream &out, QTextStream &err);
