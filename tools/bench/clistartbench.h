#pragma once

#include "benchreport.h"

#include <QString>
#include <QTextStream>

struct CliStartBenchOptions
{
    QString cliProgram;    // k30cfg-cli
    QString clientProgram; // k30-minimalclient
    int repeats = 9;
};

// Process start to the first request byte on the line: `k30cfg-cli download FILE --port PTY`
// against a bare Qt program that opens the same kind of port and writes one byte, alternately,
// with the bench holding the other side of each pseudo-terminal.
void RunCliStart(BenchReport &report, const CliStartBenchOptions &options, QTextStream &log);
