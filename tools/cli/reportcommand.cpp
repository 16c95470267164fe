#include "reportcommand.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/configdocument.h"
#include "link/session/sectioncomparison.h"
#include "report/configreport.h"
#include "report/reportwriter.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int Finish(int code, const QString &message, JsonReport report, const DeviceOptions &devices,
           QTextStream &out, QTextStream &err)
{
    if (!devices.json) {
        if (!message.isEmpty())
            err << message << Qt::endl;
        return code;
    }
    if (report.outcome.isEmpty() || code != kExitSuccess)
        report.outcome = OutcomeOfExitCode(code);
    if (!message.isEmpty())
        report.message = message;
    PrintJsonLine(out, report);
    return code;
}

} // namespace

int ReportCommand(const QString &path, const QString &output, const DeviceOptions &devices,
                  QTextStream &out, QTextStream &err)
{
    JsonReport report;
    report.extra.insert(QStringLiteral("file"), path);
    report.extra.insert(QStringLiteral("output"), output);
    if (!ReportFormatOf(output))
        return Finish(kExitUsage,
                      QStringLiteral("report -o FILE: the name ends in .html or .pdf, not \"%1\"")
                          .arg(PrintableText(output)),
                      report, devices, out, err);

    ReportSource source;
    int incomplete = 0;
    if (const auto error = source.configuration.Load(path, &incomplete))
        return Finish(kExitFileError, *error, report, devices, out, err);
    // A record of a device's set-up must not show factory values the file does not hold.
    if (incomplete > 0)
        return Finish(kExitFileError,
                      QStringLiteral("%1: %2 values could not be read").arg(path).arg(incomplete),
                      report, devices, out, err);

    if (!devices.ports.isEmpty()) {
        const auto job = UploadSection(devices, source.configuration.images.ConfigImage);
        const JsonReport held = job->Report();
        if (job->ExitCode() != kExitSuccess) {
            if (devices.json) {
                PrintJsonLine(out, held);
                return job->ExitCode();
            }
            for (const QString &line : job->Output())
                out << line << Qt::endl;
            for (const QString &line : job->Errors())
                err << line << Qt::endl;
            return job->ExitCode();
        }
        const SectionComparison comparison = CompareSection(source.configuration.images.ConfigImage,
                                                            job->Result(), *job->ComparedSection());
        source.device = ReportDevice{job->Port().label, held.versions, comparison.Sentence(),
                                     comparison.differences};
        report.port = held.port;
        report.versions = held.versions;
        report.section = comparison.compared;
        report.diff = comparison.differences;
        report.message = comparison.Sentence();
    }

    source.program =
        QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();
    source.made = QDateTime::currentDateTime();
    source.file = path;
    if (const auto error = WriteReport(output, ReportHtml(source)))
        return Finish(kExitFileError, *error, report, devices, out, err);
    report.outcome = QStringLiteral("ok");
    report.changed = true;
    return Finish(kExitSuccess, {}, report, devices, out, err);
}
