#pragma once

#include "core/linksettings.h"

#include <QString>

// The serial port an exchange uses, fixed when it starts.
struct SerialTarget
{
    int commPort = 1;
    QString device;
    QString settingsText;

    static SerialTarget FromSettings(const LinkSettings &settings);
};
