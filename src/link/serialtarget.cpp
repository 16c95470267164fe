#include "link/serialtarget.h"

#include "link/portmapping.h"
#include "link/serialdevice.h"

SerialTarget SerialTarget::FromSettings(const LinkSettings &settings, PortMapping *ports)
{
    QString device;
    if (ports) {
        ports->Refresh();
        device = ports->Route(settings.CommPort).device;
    } else {
        device = SerialPortDevice(settings.CommPort);
    }
    return {settings.CommPort, device, settings.SerialSettingsText()};
}
