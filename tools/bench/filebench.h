#pragma once

#include "benchreport.h"

#include <QString>
#include <QTextStream>

struct FileBenchOptions
{
    QString cliProgram; // k30cfg-cli
    int iterations = 1000;
    int cliFiles = 1000;
};

// Opening and saving a configuration file with the functions the window uses, and
// `k30cfg-cli show` on many files.
void RunFileWork(BenchReport &report, const FileBenchOptions &options, QTextStream &log);
