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

// One run of a program that sends a request on a serial line, with the bench as the device:
// `device` is the controlling side of the pseudo-terminal the program is told to open. Timed
// from just before the spawn to the first byte the program sends; once `request` bytes have
// come, `answer` goes back as the device would answer. The program's output is not kept.
struct DeviceRun
{
    bool started = false;
    int exitCode = -1;
    double msToFirstByte = -1; // -1 when nothing came
    qint64 received = 0;
};

DeviceRun RunChildOnDevice(const QString &program, const QStringList &arguments, int device,
                           qint64 request, const QByteArray &answer = {});
