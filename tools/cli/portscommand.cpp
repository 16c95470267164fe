#include "portscommand.h"

#include "exitcodes.h"
#include "jsonreport.h"

#include "link/ports/portmapping.h"

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

QStringList PortFields(const PortDetails &port)
{
    return {port.path, port.description, port.manufacturer, port.serialNumber, UsbIdText(port)};
}

// A field of a text line as a reader and a script see it: an adapter's texts (and a settings
// file's) may hold tabs, line ends and terminal escapes, which would split the line into other
// fields or lines, or drive the terminal. Those and the backslash become escapes ("\t",
// "\x1b", "\\"), so each field is one run of visible text. JSON carries them as they are.
QString Printable(const QString &text)
{
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\\')
            printable += QStringLiteral("\\\\");
        else if (code == u'\t')
            printable += QStringLiteral("\\t");
        else if (code == u'\n')
            printable += QStringLiteral("\\n");
        else if (code == u'\r')
            printable += QStringLiteral("\\r");
        else if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            printable += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable;
}

QString TextLine(const QStringList &fields)
{
    QStringList printable;
    for (const QString &field : fields)
        printable << Printable(field);
    return printable.join(QLatin1Char('\t'));
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
            out << TextLine(PortFields(port)) << Qt::endl;
        if (present.isEmpty())
            out << "(none)" << Qt::endl;
        out << "Com mapping in force:" << Qt::endl;
    }
    for (const PortDetails &port : json ? present : QList<PortDetails>()) {
        JsonReport report;
        report.port = port.path;
        report.outcome = OutcomeOfExitCode(kExitSuccess);
        report.message = PortFields(port).join(QLatin1Char('\t'));
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
        const QStringList fields = {QStringLiteral("Com %1").arg(n), shown.path,
                                    RouteOriginText(route), about};
        if (!json) {
            out << TextLine(fields) << Qt::endl;
            continue;
        }
        JsonReport report;
        report.port = QString::number(n);
        report.outcome = OutcomeOfExitCode(kExitSuccess);
        report.message = fields.join(QLatin1Char('\t'));
        AddPortKeys(report, shown, route.port.has_value());
        report.extra.insert(QStringLiteral("com"), n);
        report.extra.insert(QStringLiteral("origin"), OriginKey(route.origin));
        PrintJsonLine(out, report);
    }
    return kExitSuccess;
}
