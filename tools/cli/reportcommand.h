#pragma once

#include <QString>

class QTextStream;
struct DeviceOptions;

// Writes the configuration report of the file at `path` to `output`, HTML or PDF by its
// suffix; with a --port, the device's firmware version and the parameters in which the
// section it sends differs from the file are added. Returns the exit status.
int ReportCommand(const QString &path, const QString &output, const DeviceOptions &devices,
                  QTextStream &out, QTextStream &err);
