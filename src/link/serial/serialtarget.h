#pragma once

#include "core/linksettings.h"

#include <QString>

class PortMapping;

// The serial port an exchange uses, fixed when it starts.
struct SerialTarget
{
    int commPort = 1;
    QString device; // empty: the chosen adapter is not plugged in, and opening fails
    QString settingsText;

    // "Com n" as the port mapping has it, its port list read again first (an adapter plugged
    // in a moment ago counts); without a mapping, as the environment or the standard device
    // has it.
    static SerialTarget FromSettings(const LinkSettings &settings, PortMapping *ports);
};
