#pragma once

#include <QStringView>

#include <optional>

// The serial settings text "9600,N,8,1 " taken apart. The device link never uses parity.
struct SerialLineSettings
{
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const SerialLineSettings &) const = default;
};

// Nothing when the text does not describe a line without parity; blanks around the parts
// do not count.
std::optional<SerialLineSettings> ParseSerialSettings(QStringView text);
