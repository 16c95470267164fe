#include "link/serialtarget.h"

#include "link/serialdevice.h"

SerialTarget SerialTarget::FromSettings(const LinkSettings &settings)
{
    return {settings.CommPort, SerialPortDevice(settings.CommPort), settings.SerialSettingsText()};
}
