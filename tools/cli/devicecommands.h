#pragma once

#include "core/parameterimages.h"

#include <QString>
#include <QStringList>

#include <memory>

class DeviceJob;
class PortMapping;
class QTextStream;
struct JobOptions;

// How to reach the devices: the --port options, the transmit dialog's serial settings and
// the window's port mapping.
struct DeviceOptions
{
    QStringList ports;
    QString settingsText;                 // "9600,N,8,1 "
    bool json = false;                    // JSON Lines on standard output instead of text
    const PortMapping *mapping = nullptr; // null: the environment or the standard devices
};

// The commands that talk to devices over the serial line. Each runs the link layer's
// exchanges in an event loop and returns the exit status. With several ports the devices are
// served at once, each reported on its own, and the status is the largest of theirs.

int DownloadCommand(const QString &path, const DeviceOptions &devices, const JobOptions &options,
                    QTextStream &out, QTextStream &err);
// Downloads `path` only into the devices whose section differs from the file's (all of them
// with `force`, none with `check`), and verifies unless told not to.
int ApplyCommand(const QString &path, const DeviceOptions &devices, const JobOptions &options,
                 QTextStream &out, QTextStream &err);
// Overwrites the section the device sends in `path` (a new configuration when it is missing).
int UploadCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                  QTextStream &err);
int VersionCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err);
// The version fields and the section the device sends, as named parameters.
int FactsCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err);
// Compares a file with the section the device holds.
int DeviceDiffCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                      QTextStream &err);
// Reads the section the device of the one --port sends over a copy of `image`; the job that
// did it, ended (its Result(), ComparedSection() and Report().versions when it succeeded).
std::unique_ptr<DeviceJob> UploadSection(const DeviceOptions &devices, const Image &image);
