#include "watchcommand.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/configdocument.h"
#include "core/scancheck.h"
#include "link/linkmessage.h"
#include "link/session/devicesession.h"
#include "link/session/scanlistener.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QTextStream>
#include <QTimer>

namespace {

QJsonObject ScanJson(const QDateTime &at, const QByteArray &scan, const ScanCheck &check)
{
    QJsonArray parts;
    for (const ScanPart &part : check.parts) {
        parts.append(QJsonObject{{QStringLiteral("name"), part.name},
                                 {QStringLiteral("bytes"), ScanKeyText(part.bytes)},
                                 {QStringLiteral("verdict"), VerdictName(part.verdict)},
                                 {QStringLiteral("reason"), part.reason}});
    }
    return {
        {QStringLiteral("time"), at.toString(Qt::ISODateWithMs)},
        {QStringLiteral("length"), scan.size()},
        {QStringLiteral("bytes"), ScanKeyText(scan)},
        {QStringLiteral("hex"), QString::fromLatin1(scan.toHex())},
        {QStringLiteral("kind"), check.card ? QStringLiteral("card") : QStringLiteral("bar code")},
        {QStringLiteral("mismatches"), check.Mismatches()},
        {QStringLiteral("parts"), parts}};
}

int Fail(const DeviceOptions &devices, const QString &port, int code, const QStringList &lines,
         QTextStream &out, QTextStream &err)
{
    if (devices.json) {
        JsonReport report;
        report.port = port;
        report.outcome = OutcomeOfExitCode(code);
        report.message = lines.join(QLatin1Char('\n'));
        PrintJsonLine(out, report);
    } else {
        for (const QString &line : lines)
            err << line << Qt::endl;
    }
    return code;
}

} // namespace

int WatchCommand(const DeviceOptions &devices, const WatchOptions &options, QTextStream &out,
                 QTextStream &err)
{
    const QString label = devices.ports.value(0);
    Image image = FactoryImage();
    if (!options.config.isEmpty()) {
        ConfigDocument doc;
        int incomplete = 0;
        if (const auto error = doc.Load(options.config, &incomplete))
            return Fail(devices, label, kExitFileError, {*error}, out, err);
        // Factory values in place of the unread ones would mark scans wrongly.
        if (incomplete > 0)
            return Fail(devices, label, kExitFileError,
                        {QStringLiteral("%1: %2 values could not be read")
                             .arg(options.config)
                             .arg(incomplete)},
                        out, err);
        image = doc.images.ConfigImage;
    }
    const DevicePort port = DevicePort::FromOption(label, devices.settingsText, devices.mapping);
    const QString unavailable = port.target.commPort > 0
                                    ? PortNotAvailableText(port.target.commPort)
                                    : port.target.device + QStringLiteral(": not available.");
    if (!port.unavailable.isEmpty())
        return Fail(devices, label, kExitPortNotAvailable, port.unavailable, out, err);
    const DeviceSession session(port.target);
    std::unique_ptr<ScanListener> listener(session.MakeScanListener());
    if (!listener->Start())
        return Fail(devices, label, kExitPortNotAvailable, {unavailable}, out, err);

    const ScanFraming framing = ScanFraming::FromImage(image, ScanPath::Serial);
    QEventLoop loop;
    int scans = 0;
    bool mismatch = false;
    bool broken = false;
    QObject::connect(listener.get(), &ScanListener::Scanned, &loop,
                     [&](const QByteArray &scan, const QDateTime &at) {
                         if (options.count > 0 && scans >= options.count)
                             return;
                         const ScanCheck check = CheckScan(scan, framing);
                         mismatch = mismatch || check.Mismatches() > 0;
                         const QString row = ScanRowText(at, scan, check);
                         if (devices.json) {
                             JsonReport report;
                             report.port = label;
                             report.outcome = check.Mismatches() > 0 ? QStringLiteral("refused")
                                                                     : QStringLiteral("ok");
                             report.message = row;
                             report.extra = ScanJson(at, scan, check);
                             PrintJsonLine(out, report);
                         } else {
                             out << row << Qt::endl;
                         }
                         out.flush();
                         if (++scans == options.count)
                             loop.quit();
                     });
    QObject::connect(listener.get(), &ScanListener::Broken, &loop, [&] {
        broken = true;
        loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (options.seconds > 0)
        limit.start(std::chrono::seconds(options.seconds));
    loop.exec();
    // A scan cut short by the end of the watch is still shown.
    listener->Stop();
    if (broken)
        return Fail(devices, label, kExitPortNotAvailable,
                    {label + QStringLiteral(": the line broke while watching (a cable pulled, "
                                            "the device gone).")},
                    out, err);
    if (options.count > 0 && scans < options.count)
        return Fail(devices, label, kExitTimeOut,
                    {QStringLiteral("%1 of %2 scans in %3 s.")
                         .arg(scans)
                         .arg(options.count)
                         .arg(options.seconds)},
                    out, err);
    return mismatch ? kExitRefused : kExitSuccess;
}
