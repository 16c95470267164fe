#include "discovercommand.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/configdocument.h"
#include "link/ports/systemportlist.h"
#include "link/serial/serialsettings.h"
#include "link/session/devicefinder.h"

#include <QEventLoop>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace {

struct Named
{
    QString label; // as given to --port, or the path for a port found by --all
    QString path;
    bool asked = false; // named by --port: a port not to be had fails the command
};

QString ResultKey(ProbeResult::Outcome outcome)
{
    switch (outcome) {
    case ProbeResult::Outcome::Found:
        return QStringLiteral("found");
    case ProbeResult::Outcome::Busy:
        return QStringLiteral("busy");
    case ProbeResult::Outcome::Missing:
        return QStringLiteral("missing");
    case ProbeResult::Outcome::NotFound:
        break;
    }
    return QStringLiteral("not found");
}

int ExitCodeOf(ProbeResult::Outcome outcome)
{
    switch (outcome) {
    case ProbeResult::Outcome::Found:
        return kExitSuccess;
    case ProbeResult::Outcome::Busy:
    case ProbeResult::Outcome::Missing:
        return kExitPortNotAvailable;
    case ProbeResult::Outcome::NotFound:
        break;
    }
    return kExitTimeOut;
}

// "found at 9600 8 1: "K30SIM V1.00" "2024-05-01"": the version fields as a terminal may
// show them, control bytes by name.
QString Sentence(const ProbeResult &result)
{
    switch (result.outcome) {
    case ProbeResult::Outcome::Found:
        return QStringLiteral("found at %1: \"%2\" \"%3\"")
            .arg(ProbeSettingsText(result.settings), PrintableText(result.version1),
                 PrintableText(result.version2));
    case ProbeResult::Outcome::Busy:
        return QStringLiteral("busy (held by another program, or no serial port), not probed");
    case ProbeResult::Outcome::Missing:
        return QStringLiteral("not present");
    case ProbeResult::Outcome::NotFound:
        break;
    }
    return QStringLiteral("not found (no answer at %1 line settings)").arg(result.tried);
}

void Print(const Named &named, const ProbeResult &result, const QStringList &why, bool json,
           QTextStream &out)
{
    const QString label = PrintableText(named.label);
    const QString sentence = why.isEmpty() ? Sentence(result) : why.join(QLatin1Char(' '));
    if (!json) {
        out << label << ": " << sentence << Qt::endl;
        return;
    }
    JsonReport report;
    report.port = named.label;
    report.outcome = OutcomeOfExitCode(ExitCodeOf(result.outcome));
    report.message = sentence;
    report.extra.insert(QStringLiteral("device"), named.path);
    report.extra.insert(QStringLiteral("result"), ResultKey(result.outcome));
    if (result.outcome == ProbeResult::Outcome::Found) {
        report.versions = {result.version1, result.version2};
        report.extra.insert(QStringLiteral("settings"),
                            QJsonObject{{QStringLiteral("baud"), result.settings.baud},
                                        {QStringLiteral("dataBits"), result.settings.dataBits},
                                        {QStringLiteral("stopBits"), result.settings.stopBits}});
    } else {
        report.extra.insert(QStringLiteral("settings"), QJsonValue());
    }
    report.extra.insert(QStringLiteral("tried"), result.tried);
    PrintJsonLine(out, report);
}

} // namespace

int DiscoverCommand(const DeviceOptions &devices, bool all, QTextStream &out, QTextStream &)
{
    QList<Named> named;
    int status = kExitRefused;
    bool portMissing = false;
    for (const QString &option : devices.ports) {
        const DevicePort port =
            DevicePort::FromOption(option, devices.settingsText, devices.mapping);
        if (!port.unavailable.isEmpty()) {
            // A "Com n" whose adapter is unplugged, an unknown serial number: nothing to open.
            ProbeResult nowhere;
            nowhere.outcome = ProbeResult::Outcome::Missing;
            Print({option, {}, true}, nowhere, port.unavailable, devices.json, out);
            portMissing = true;
            continue;
        }
        named.append({option, port.target.device, true});
    }
    if (all) {
        SystemPortList system;
        for (const PortDetails &present : system.Ports())
            named.append({present.path, present.path, false});
    }

    QStringList paths;
    for (const Named &each : named)
        paths.append(each.path);
    const QStringList distinct = DistinctPorts(paths);
    const auto first = ParseSerialSettings(devices.settingsText).value_or(SerialLineSettings{});
    DeviceFinder finder;
    QEventLoop loop;
    QObject::connect(&finder, &DeviceFinder::Finished, &loop, &QEventLoop::quit);
    finder.Start(distinct, first);
    if (finder.IsRunning())
        loop.exec();

    for (const ProbeResult &result : finder.Results()) {
        // Reported under the first name it was given.
        const auto port = std::ranges::find(std::as_const(named), result.path, &Named::path);
        Print(*port, result, {}, devices.json, out);
        if (result.outcome == ProbeResult::Outcome::Found)
            status = kExitSuccess;
        else if (port->asked && result.outcome != ProbeResult::Outcome::NotFound)
            portMissing = true;
    }
    return portMissing ? kExitPortNotAvailable : status;
}
