#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

// Runs k30cfg-cli to its end, with `input` and then the end of file on its standard input.
// The wait keeps the event loop going, so the simulated devices of the test answer meanwhile.
// `fileSizeLimit` > 0: files the tool writes may not grow past it, as on a full disk (a
// resource limit: UNIX only).
CliRun Cli(const QStringList &arguments, const QByteArray &input = {}, qint64 fileSizeLimit = 0);
// A factory configuration made by `k30cfg-cli new` at `path`, which it returns; a warning when
// the program fails.
QString CliNewFile(const QString &path);
