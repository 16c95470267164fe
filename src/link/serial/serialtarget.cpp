#include "link/serial/serialtarget.h"

#include "link/ports/portmapping.h"
#include "link/ports/serialdevice.h"

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
