#pragma once

#include <QString>
#include <QStringList>

// One run of another program, timed from just before it is spawned. Its standard output is
// read through a pipe: the moment a line starting with `marker` arrives is the moment the
// program reached the point it reports. Peak memory comes from the child's own resource
// usage (wait4), so programs measured one after the other do not mix.
struct ChildRun
{
    bool started = false;
    int exitCode = -1;
    double msToMarker = -1; // -1 when the marker never came
    double msToExit = 0;
    long maxRssKb = 0;
    qint64 outputBytes = 0;
};

// `environment` entries ("NAME=value") are added to this process's environment.
ChildRun RunChild(const QString &program, const QStringList &arguments,
                  const QStringList &environment = {}, const QByteArray &marker = {});
