#pragma once

#include <QString>

#include <optional>

class QCommandLineParser;

// The serial options --baud, --data-bits and --stop-bits: the transmit dialog's option groups,
// taken by the values their options hold (core/linkoptions.h).

// Adds them to the parser, each with the values it takes.
void AddSerialOptions(QCommandLineParser &parser);
// "9600, 8, 1": what they are when not given.
QString SerialDefaults();
// The settings text they choose, "19200,N,7,1 "; nothing, and what is wrong in `problem`,
// when one names no option of its group.
std::optional<QString> SerialSettings(const QCommandLineParser &parser, QString &problem);
