#include "portscommand.h"

#include "exitcodes.h"
#include "jsonreport.h"

#include "link/portmapping.h"

#include <QJsonValue>
#include <QStringList>
#include <QTextStream>

namespace {

QJsonValue OrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QString Hex(std::optional<quint16> id)
{
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')) : QString();
}

QString OriginKey(RouteOrigin origin)
{
    switch (origin) {
    case RouteOrigin::Environment:
        return QStringLiteral("environment");
    case RouteOrigin::Choice:
        return QStringLiteral("choice");
    case RouteOrigin::OnlyAdapter:
        return QStringLiteral("adapter");
    case RouteOrigin::Standard:
        break;
    }
    return QStringLiteral("standard");
}

// The keys a port line and a "Com n" line share beyond those of every line.
void AddPortKeys(JsonReport &report, const PortDetails &port, bool present)
{
    report.extra.insert(QStringLiteral("device"), OrNull(port.path));
    report.extra.insert(QStringLiteral("description"), OrNull(port.description));
    report.extra.insert(QStringLiteral("manufacturer"), OrNull(port.manufacturer));
    report.extra.insert(QStringLiteral("serial"), OrNull(port.serialNumber));
    report.extra.insert(QStringLiteral("vendor"), OrNull(Hex(port.vendorId)));
    report.extra.insert(QStringLiteral("product"), OrNull(Hex(port.productId)));
    report.extra.insert(QStringLiteral("present"), present);
}

QString PortLine(const PortDetails &port)
{
    return QStringList{port.path, port.description, port.manufacturer, port.serialNumber,
                       UsbIdText(port)}
        .join(QLatin1Char('\t'));
}

} // namespace

int PortsCommand(const PortMapping &mapping, bool json, QTextStream &out)
{
    const QList<PortDetails> &present = mapping.Present();
    if (!json) {
        out << "Ports present (device, description, manufacturer, serial number, USB "
               "vendor:product):"
            << Qt::endl;
        for (const PortDetails &port : present)
            out << PortLine(port) << Qt::endl;
        if (present.isEmpty())
            out << "(none)" << Qt::endl;
        out << "Com mapping in force:" << Qt::endl;
    }
    for (const PortDetails &port : json ? present : QList<PortDetails>()) {
        JsonReport report;
        report.port = port.path;
        report.outcome = OutcomeOfExitCode(kExitSuccess);
        report.message = PortLine(port);
        AddPortKeys(report, port, true);
        report.extra.insert(QStringLiteral("com"), QJsonValue());
        report.extra.insert(QStringLiteral("origin"), QJsonValue());
        PrintJsonLine(out, report);
    }
    for (int n = 1; n <= kComPortCount; ++n) {
        const ComRoute route = mapping.Route(n);
        // An unplugged adapter is described as it was last seen.
        PortDetails shown =
            route.port.value_or(route.choice ? route.choice->LastSeen() : PortDetails{});
        shown.path = route.ShownDevice();
        QString about = shown.description;
        if (!shown.serialNumber.isEmpty())
            about += (about.isEmpty() ? QString() : QStringLiteral(", ")) +
                     QStringLiteral("serial ") + shown.serialNumber;
        const QString line =
            QStringList{QStringLiteral("Com %1").arg(n), shown.path, RouteOriginText(route), about}
                .join(QLatin1Char('\t'));
        if (!json) {
            out << line << Qt::endl;
            continue;
        }
        JsonReport report;
        report.port = QString::number(n);
        report.outcome = OutcomeOfExitCode(kExitSuccess);
        report.message = line;
        AddPortKeys(report, shown, route.port.has_value());
        report.extra.insert(QStringLiteral("com"), n);
        report.extra.insert(QStringLiteral("origin"), OriginKey(route.origin));
        PrintJsonLine(out, report);
    }
    return kExitSuccess;
}
