#include "exitcodes.h"

ExitCode ExitCodeOf(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Good:
        return kExitSuccess;
    case ExchangeOutcome::TimeOut:
    case ExchangeOutcome::HandshakeTimeOut:
        return kExitTimeOut;
    case ExchangeOutcome::PortNotAvailable:
        return kExitPortNotAvailable;
    case ExchangeOutcome::Bad:
    case ExchangeOutcome::Incomplete:
        break;
    }
    return kExitRefused;
}
