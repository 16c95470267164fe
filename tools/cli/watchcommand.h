#pragma once

#include <QString>

class QTextStream;
struct DeviceOptions;

inline constexpr int kMaxWatchSeconds = 20 * 24 * 3600;

struct WatchOptions
{
    int count = 0;   // stop after this many scans; 0: no limit
    int seconds = 0; // stop after this long; 0: no limit
    QString config;  // the configuration the scans are checked against; empty: factory
};

// Prints each scan the device sends as one line (or JSON object), its parts checked against
// the configuration, until the count or the time is reached. Status 0 when every scan came
// out as configured, 1 when one differed, 2 when the time ran out before the count was
// reached, 4 when the configuration cannot be read, 5 when the port cannot be had or breaks.
int WatchCommand(const DeviceOptions &devices, const WatchOptions &options, QTextStream &out,
                 QTextStream &err);
