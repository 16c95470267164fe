#pragma once

#include "link/exchangeoutcome.h"

// The exit status of k30cfg-cli, documented in the manual; scripts depend on these numbers.
enum ExitCode : int
{
    kExitSuccess = 0,
    kExitRefused = 1, // refused value or device answer, or the compared sides differ
    kExitTimeOut = 2,
    kExitUsage = 3,
    kExitFileError = 4,
    kExitPortNotAvailable = 5,
};

// The exit status an exchange's outcome stands for, whichever exchange it was.
ExitCode ExitCodeOf(ExchangeOutcome outcome);
