#pragma once

#include "benchreport.h"

#include <QString>
#include <QTextStream>

struct SerialBenchOptions
{
    QString simProgram; // k30-sim
    int repeats = 10;
    int baud = 9600;
    int deviceDelayMs = 10;
};

// Download, upload, version and a 31-block memory read through the tool's own exchange
// classes, against k30-sim pacing its answers at the baud rate on a pseudo-terminal.
void RunSerialExchanges(BenchReport &report, const SerialBenchOptions &options, QTextStream &log);
// The CPU time the tool spends during a whole upload time-out against a silent device.
void RunIdleWait(BenchReport &report, const SerialBenchOptions &options, QTextStream &log);
