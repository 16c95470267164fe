#pragma once

#include <QString>

class QTextStream;
struct DeviceOptions;

// The commands that read and clear the decoder's memory over the serial line, one device at
// a time. Each returns the exit status.

// Without a file the records go to standard output, one a line; with one, into a memory data
// file. A read that fails or stops before the end of the data still hands over the records it
// decoded, then reports its outcome. `clear` (only with a file) clears the device once a read
// that reached the end of the data has been written and read back intact, and never else.
int ReadMemoryCommand(const DeviceOptions &devices, const QString &outputPath, bool clear,
                      QTextStream &out, QTextStream &err);
// Without `yes`, asks on standard error and clears only after "y" or "yes" on `in`.
int ClearMemoryCommand(const DeviceOptions &devices, bool yes, QTextStream &in, QTextStream &out,
                       QTextStream &err);
