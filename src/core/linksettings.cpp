#include "core/linksettings.h"

int LinkSettings::DataBits() const
{
    return FrameSetting.size() > 2 && FrameSetting.at(2) == QLatin1Char('7') ? 7 : 8;
}

int LinkSettings::StopBits() const
{
    return FrameSetting.size() > 4 && FrameSetting.at(4) == QLatin1Char('2') ? 2 : 1;
}
