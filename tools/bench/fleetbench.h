#pragma once

#include "benchreport.h"

#include <QString>
#include <QTextStream>

struct FleetBenchOptions
{
    QString simProgram; // k30-sim
    QString cliProgram; // k30cfg-cli
    int devices = 16;
    int repeats = 5;
};

// `k30cfg-cli apply --force` (upload, download, verify) against one simulated device and
// against `devices` of them at once, each its own k30-sim at 9600 baud: the many take at
// most 1.3 times as long as the one.
void RunFleetApply(BenchReport &report, const FleetBenchOptions &options, QTextStream &log);
