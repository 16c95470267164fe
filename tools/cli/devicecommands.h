#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// How to reach the devices: the --port options and the transmit dialog's serial settings.
struct DeviceOptions
{
    QStringList ports;
    QString settingsText; // "9600,N,8,1 "
};

// The commands that talk to devices over the serial line. Each runs the link layer's
// exchanges in an event loop and returns the exit status.

// Downloads to every port at once and reports each; the status is the largest of theirs.
int DownloadCommand(const QString &path, const DeviceOptions &devices, bool save, bool verify,
                    QTextStream &out, QTextStream &err);
// Overwrites the section the device sends in `path` (a new configuration when it is missing).
int UploadCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                  QTextStream &err);
int VersionCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err);
// Compares a file with the section the device holds.
int DeviceDiffCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                      QTextStream &err);
