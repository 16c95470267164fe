#pragma once

#include "benchreport.h"

#include <QString>
#include <QTextStream>

struct StartupBenchOptions
{
    QString appProgram;     // k30cfg
    QString minimalProgram; // k30-minimalwidgets
    int repeats = 7;
};

// Process start to main window shown, and peak memory, of k30cfg against a minimal Qt Widgets
// program, both run offscreen the same way, alternately.
void RunStartup(BenchReport &report, const StartupBenchOptions &options, QTextStream &log);
