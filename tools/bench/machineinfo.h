#pragma once

#include <QString>

// The machine a run was taken on: processor model, cores, memory, kernel, load average.
QString MachineDescription();
