#pragma once

#include "benchreport.h"

#include <QTextStream>

// A keyboard download through the tool's own exchange against the simulated wedge, every byte
// written to the keyboard controller time-stamped.
void RunKeyboardDownload(BenchReport &report, int repeats, QTextStream &log);
