#include "link/ports/comroute.h"

#include "link/ports/serialdevice.h"

PortChoice PortChoice::Of(const PortDetails &port)
{
    return {port.serialNumber, port.path, port.description};
}

bool PortChoice::Matches(const PortDetails &port) const
{
    if (!serialNumber.isEmpty())
        return port.serialNumber == serialNumber;
    return port.path == path;
}

PortDetails PortChoice::LastSeen() const
{
    PortDetails port;
    port.path = path;
    port.description = description;
    port.serialNumber = serialNumber;
    return port;
}

QString ComRoute::ShownDevice() const
{
    if (!device.isEmpty())
        return device;
    return choice ? choice->path : QString();
}

std::optional<PortDetails> FindChosenPort(const PortChoice &choice,
                                          const QList<PortDetails> &present)
{
    if (choice.serialNumber.isEmpty())
        return FindPortByPath(present, choice.path);
    const QList<PortDetails> found = FindPortsBySerial(present, choice.serialNumber);
    for (const PortDetails &port : found) {
        if (port.path == choice.path)
            return port;
    }
    if (found.isEmpty())
        return std::nullopt;
    return found.front();
}

bool NoteWhereChosenAre(PortChoices &choices, const QList<PortDetails> &present)
{
    bool moved = false;
    for (auto &choice : choices) {
        if (!choice || choice->serialNumber.isEmpty())
            continue;
        const auto port = FindChosenPort(*choice, present);
        if (port && port->path != choice->path) {
            choice->path = port->path;
            choice->description = port->description;
            moved = true;
        }
    }
    return moved;
}

namespace {

// Another "Com n" reaches this adapter by a choice or by the environment.
bool ClaimedElsewhere(const PortDetails &adapter, int commPort, const PortChoices &choices,
                      const QList<PortDetails> &present)
{
    for (int other = 1; other <= kComPortCount; ++other) {
        if (other == commPort)
            continue;
        const QString fixed = ComVariableValue(other);
        if (!fixed.isEmpty()) {
            const auto port = FindPortByPath(present, fixed);
            if (port && port->path == adapter.path)
                return true;
            continue;
        }
        const auto &choice = choices[other - 1];
        if (choice && choice->Matches(adapter))
            return true;
    }
    return false;
}

} // namespace

bool MayTakeOnlyAdapter(int commPort, const PortChoices &choices)
{
    return commPort == 1 && ComVariableValue(commPort).isEmpty() && !choices[0];
}

ComRoute RouteComPort(int commPort, const PortChoices &choices, const QList<PortDetails> &present)
{
    ComRoute route;
    route.commPort = commPort;
    const bool numbered = commPort >= 1 && commPort <= kComPortCount;
    if (numbered)
        route.choice = choices[commPort - 1];
    const QString fixed = ComVariableValue(commPort);
    if (!fixed.isEmpty()) {
        route.device = fixed;
        route.origin = RouteOrigin::Environment;
        route.port = FindPortByPath(present, fixed);
        return route;
    }
    if (route.choice) {
        route.origin = RouteOrigin::Choice;
        route.port = FindChosenPort(*route.choice, present);
        if (route.port)
            route.device = route.port->path;
        else if (route.choice->serialNumber.isEmpty())
            route.device = route.choice->path;
        return route;
    }
    const QString standard = StandardSerialDevice(commPort);
    route.port = FindPortByPath(present, standard);
    if (MayTakeOnlyAdapter(commPort, choices) && !route.port) {
        QList<PortDetails> free;
        for (const PortDetails &port : present) {
            if (port.IsUsbAdapter() && !ClaimedElsewhere(port, commPort, choices, present))
                free << port;
        }
        if (free.size() == 1) {
            route.device = free.front().path;
            route.origin = RouteOrigin::OnlyAdapter;
            route.port = free.front();
            return route;
        }
    }
    route.device = standard;
    route.origin = RouteOrigin::Standard;
    return route;
}

QString RouteOriginText(const ComRoute &route)
{
    QString text;
    switch (route.origin) {
    case RouteOrigin::Environment:
        text = QStringLiteral("set by ") + ComVariableName(route.commPort);
        break;
    case RouteOrigin::Choice:
        text = QStringLiteral("chosen in Port Mapping");
        break;
    case RouteOrigin::OnlyAdapter:
        text = QStringLiteral("the only USB adapter");
        break;
    case RouteOrigin::Standard:
        text = QStringLiteral("standard device");
        break;
    }
    if (!route.port)
        text += QStringLiteral(", not present");
    return text;
}

QString ComRouteText(const ComRoute &route)
{
    const QString lead = QStringLiteral("Com %1: ").arg(route.commPort);
    if (route.port) {
        QString text = lead + PortShortText(*route.port);
        if (route.origin == RouteOrigin::Environment || route.origin == RouteOrigin::OnlyAdapter)
            text += QStringLiteral(" (") + RouteOriginText(route) + QLatin1Char(')');
        return text;
    }
    switch (route.origin) {
    case RouteOrigin::Environment:
        return lead + route.device + QStringLiteral(" (set by ") + ComVariableName(route.commPort) +
               QLatin1Char(')');
    case RouteOrigin::Choice:
        // An unplugged adapter is named as it was last seen.
        return lead + PortShortText(route.choice->LastSeen()) + QStringLiteral(" (not present)");
    default:
        return lead + route.device;
    }
}

QString SerialPortToolTip(const ComRoute &route)
{
    const QString first = ComRouteText(route);
#ifdef Q_OS_LINUX
    QString device = route.ShownDevice();
    if (device.isEmpty())
        device = StandardSerialDevice(route.commPort);
    return first + QStringLiteral("\n\n"
                                  "\"COM %1: not available.\" means the tool could not open it:\n"
                                  "- the device does not exist: plug the adapter in, or choose\n"
                                  "  its device in Tools > Port Mapping (an environment\n"
                                  "  variable K30CFG_COM%1 wins over that choice);\n"
                                  "- another program holds it: close that program\n"
                                  "  (fuser -v %2 names it);\n"
                                  "- you are not in the dialout group: sudo usermod -aG dialout\n"
                                  "  $USER, then log out and in again.")
                       .arg(route.commPort)
                       .arg(device);
#else
    return first;
#endif
}
