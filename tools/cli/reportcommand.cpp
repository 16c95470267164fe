#include "reportcommand.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/configdocument.h"
#include "core/configreport.h"
#include "core/safefile.h"
#include "link/session/sectioncomparison.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
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

// k30cfg-pdf beside this program (the build, a Windows installation), else in the package's
// folder of programs, found from this program's folder.
QString PdfProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString &name : {QStringLiteral("k30cfg-pdf"), QStringLiteral("k30cfg-pdf.exe")}) {
        if (QFileInfo(here.filePath(name)).isExecutable())
            return here.filePath(name);
    }
    return QDir::cleanPath(here.filePath(QStringLiteral(K30_PDF_DIR "/k30cfg-pdf")));
}

// The report's PDF, drawn by k30cfg-pdf, which loads Qt Gui so that this program need not;
// the reason when it could not be drawn.
std::optional<QByteArray> DrawPdf(const QString &html, QString &reason)
{
    constexpr int kDrawTimeoutMs = 120'000;
    QProcess drawer;
    drawer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    drawer.start(PdfProgram(), {});
    if (!drawer.waitForStarted()) {
        reason = QStringLiteral("%1: %2").arg(PdfProgram(), drawer.errorString());
        return std::nullopt;
    }
    drawer.write(html.toUtf8());
    drawer.closeWriteChannel();
    if (!drawer.waitForFinished(kDrawTimeoutMs) || drawer.exitStatus() != QProcess::NormalExit ||
        drawer.exitCode() != 0) {
        drawer.kill();
        drawer.waitForFinished();
        reason = QStringLiteral("%1: the PDF could not be drawn").arg(PdfProgram());
        return std::nullopt;
    }
    QByteArray pdf = drawer.readAllStandardOutput();
    // A helper that ended well but sent no PDF would leave an empty report in its place.
    if (!pdf.startsWith("%PDF-")) {
        reason = QStringLiteral("%1: the PDF could not be drawn").arg(PdfProgram());
        return std::nullopt;
    }
    return pdf;
}

} // namespace

int ReportCommand(const QString &path, const QString &output, const DeviceOptions &devices,
                  QTextStream &out, QTextStream &err)
{
    JsonReport report;
    report.extra.insert(QStringLiteral("file"), path);
    report.extra.insert(QStringLiteral("output"), output);
    if (!ReportFormatOf(output))
        return Finish(
            kExitUsage,
            QStringLiteral("report -o \"%1\": %2").arg(PrintableText(output), kReportSuffixes),
            report, devices, out, err);

    // A configuration file named "site.pdf" is not to be replaced by its own report.
    const QString replaced = QFileInfo(SavedFileName(output)).canonicalFilePath();
    if (!replaced.isEmpty() && replaced == QFileInfo(path).canonicalFilePath())
        return Finish(kExitUsage,
                      QStringLiteral("report -o \"%1\": that is the configuration file itself")
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
    const QString html = ReportHtml(source);
    QByteArray contents = html.toUtf8();
    if (ReportFormatOf(output) == ReportFormat::Pdf) {
        QString reason;
        const auto pdf = DrawPdf(html, reason);
        if (!pdf)
            return Finish(kExitFileError, reason, report, devices, out, err);
        contents = *pdf;
    }
    if (const auto error = WriteWholeFile(output, contents))
        return Finish(kExitFileError, QStringLiteral("%1: %2").arg(output, *error), report, devices,
                      out, err);
    report.outcome = QStringLiteral("ok");
    report.changed = true;
    return Finish(kExitSuccess, {}, report, devices, out, err);
}
