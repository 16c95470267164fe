#include "devicecommands.h"

#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/filelock.h"
#include "link/session/sectioncomparison.h"
#include "link/transmitmessages.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonObject>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Jobs = std::vector<std::unique_ptr<DeviceJob>>;
// Adds a command's own lines (text) or keys (JSON) for a job that ended well.
using Extras = std::function<void(const DeviceJob &, QStringList &, JsonReport &)>;

Jobs MakeJobs(DeviceJob::Task task, const DeviceOptions &devices, const Image &image,
              const JobOptions &options = {})
{
    Jobs jobs;
    for (const QString &port : devices.ports)
        jobs.push_back(std::make_unique<DeviceJob>(
            task, DevicePort::FromOption(port, devices.settingsText, devices.mapping), image,
            options));
    return jobs;
}

// Runs the jobs at once, each in a thread of its own: opening and closing a serial port
// blocks (QSerialPort takes a lock file and syncs it to disk), and one device must not wait
// for another's. Returns the largest exit status.
int RunJobs(const Jobs &jobs)
{
    QEventLoop loop;
    std::size_t running = jobs.size();
    std::vector<std::unique_ptr<QThread>> threads;
    for (const auto &job : jobs) {
        auto thread = std::make_unique<QThread>();
        job->moveToThread(thread.get());
        QObject::connect(thread.get(), &QThread::started, job.get(), &DeviceJob::Start);
        QObject::connect(job.get(), &DeviceJob::Done, thread.get(), &QThread::quit,
                         Qt::DirectConnection);
        QObject::connect(thread.get(), &QThread::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        threads.push_back(std::move(thread));
    }
    for (const auto &thread : threads)
        thread->start();
    if (running > 0)
        loop.exec();
    int status = kExitSuccess;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        threads[i]->wait();
        status = std::max(status, jobs[i]->ExitCode());
    }
    return status;
}

// Prints each job's lines, prefixed by its port when there are several, or one JSON line per
// job.
void PrintJobs(const Jobs &jobs, const DeviceOptions &devices, QTextStream &out, QTextStream &err,
               const Extras &extras = {})
{
    for (const auto &job : jobs) {
        JsonReport report = job->Report();
        QStringList lines = job->Output();
        if (extras && job->ExitCode() == kExitSuccess)
            extras(*job, lines, report);
        if (devices.json) {
            PrintJsonLine(out, report);
            continue;
        }
        const QString prefix =
            jobs.size() > 1 ? job->Port().label + QStringLiteral(": ") : QString();
        // A port named by its path is already named in its "not available." line.
        auto print = [&prefix](QTextStream &stream, const QString &line) {
            stream << (line.startsWith(prefix) ? QString() : prefix) << line << Qt::endl;
        };
        for (const QString &line : lines)
            print(out, line);
        for (const QString &line : job->Errors())
            print(err, line);
    }
}

// A failure before any device was asked: the reason on standard error, or one JSON line.
int Fail(int code, const QString &reason, const QString &path, const DeviceOptions &devices,
         QTextStream &out, QTextStream &err)
{
    if (!devices.json) {
        err << reason << Qt::endl;
        return code;
    }
    JsonReport report;
    report.outcome = OutcomeOfExitCode(code);
    report.message = reason;
    report.extra.insert(QStringLiteral("file"), path);
    PrintJsonLine(out, report);
    return code;
}

std::optional<ConfigDocument> LoadComplete(const QString &path, QString &reason)
{
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        reason = *error;
        return std::nullopt;
    }
    // The device would otherwise be given factory values that the file does not hold.
    if (incomplete > 0) {
        reason = QStringLiteral("%1: %2 values could not be read").arg(path).arg(incomplete);
        return std::nullopt;
    }
    return doc;
}

QString ShownLine(const ConfigEntry &entry)
{
    return entry.name + QLatin1Char('\t') + ShownValue(entry);
}

} // namespace

int DownloadCommand(const QString &path, const DeviceOptions &devices, const JobOptions &options,
                    QTextStream &out, QTextStream &err)
{
    QString reason;
    const auto doc = LoadComplete(path, reason);
    if (!doc)
        return Fail(kExitFileError, reason, path, devices, out, err);
    const Jobs jobs =
        MakeJobs(DeviceJob::Task::Download, devices, doc->images.ConfigImage, options);
    const int status = RunJobs(jobs);
    PrintJobs(jobs, devices, out, err);
    return status;
}

int ApplyCommand(const QString &path, const DeviceOptions &devices, const JobOptions &options,
                 QTextStream &out, QTextStream &err)
{
    QString reason;
    const auto doc = LoadComplete(path, reason);
    if (!doc)
        return Fail(kExitFileError, reason, path, devices, out, err);
    const Jobs jobs = MakeJobs(DeviceJob::Task::Apply, devices, doc->images.ConfigImage, options);
    const int status = RunJobs(jobs);
    PrintJobs(jobs, devices, out, err);
    return status;
}

int UploadCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                  QTextStream &err)
{
    QString reason;
    // The file is loaded, given the device's section and saved as one step: a change another
    // program saves meanwhile would otherwise be lost.
    FileLock lock(path);
    if (const auto error = lock.Lock())
        return Fail(kExitFileError, path + QStringLiteral(": ") + *error, path, devices, out, err);
    std::optional<ConfigDocument> doc;
    if (QFileInfo::exists(path))
        doc = LoadComplete(path, reason);
    else
        doc = ConfigDocument::New();
    if (!doc)
        return Fail(kExitFileError, reason, path, devices, out, err);
    const Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, doc->images.ConfigImage);
    int status = RunJobs(jobs);
    const DeviceJob &job = *jobs.front();
    JsonReport report = job.Report();
    if (status == kExitSuccess) {
        doc->images.ConfigImage = job.Result();
        if (const auto error = doc->Save(path))
            return Fail(kExitFileError, *error, path, devices, out, err);
        report.message = TerminalText(TransmitMessage(job.LastResult()).text);
        report.changed = true;
    }
    if (!devices.json) {
        if (status == kExitSuccess)
            out << report.message << Qt::endl;
        PrintJobs(jobs, devices, out, err);
        return status;
    }
    report.extra.insert(QStringLiteral("file"), path);
    PrintJsonLine(out, report);
    return status;
}

int VersionCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err)
{
    const Jobs jobs = MakeJobs(DeviceJob::Task::Version, devices, FactoryImage());
    const int status = RunJobs(jobs);
    PrintJobs(jobs, devices, out, err);
    return status;
}

int FactsCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err)
{
    const Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, FactoryImage());
    const int status = RunJobs(jobs);
    PrintJobs(jobs, devices, out, err,
              [](const DeviceJob &job, QStringList &lines, JsonReport &report) {
                  ConfigDocument held;
                  held.images.ConfigImage = job.Result();
                  QStringList versions = report.versions;
                  for (QString &field : versions)
                      field = PrintableText(field);
                  lines.append(QStringLiteral("version\t") + versions.join(QLatin1Char('\t')));
                  lines.append(QStringLiteral("section\t") + SectionName(*job.ComparedSection()));
                  QJsonObject parameters;
                  for (const ConfigEntry &entry : held.Entries()) {
                      if (!entry.field || !InSection(entry.field->byte, *job.ComparedSection()))
                          continue;
                      lines.append(ShownLine(entry));
                      parameters.insert(entry.name, entry.value);
                  }
                  report.extra.insert(QStringLiteral("parameters"), parameters);
              });
    return status;
}

int DeviceDiffCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                      QTextStream &err)
{
    QString reason;
    const auto doc = LoadComplete(path, reason);
    if (!doc)
        return Fail(kExitFileError, reason, path, devices, out, err);
    const Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, doc->images.ConfigImage);
    int status = RunJobs(jobs);
    PrintJobs(jobs, devices, out, err,
              [&](const DeviceJob &job, QStringList &lines, JsonReport &report) {
                  const SectionComparison comparison =
                      CompareSection(doc->images.ConfigImage, job.Result(), *job.ComparedSection());
                  report.diff = comparison.differences;
                  report.changed = comparison.Differs();
                  report.message = comparison.Sentence();
                  lines.append(report.message);
                  for (const auto &[inFile, inDevice] : report.diff)
                      lines.append(DifferenceLine(inFile, inDevice));
                  report.outcome =
                      report.changed ? QStringLiteral("changed") : QStringLiteral("unchanged");
                  if (report.changed)
                      status = kExitRefused;
              });
    return status;
}

std::unique_ptr<DeviceJob> UploadSection(const DeviceOptions &devices, const Image &image)
{
    Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, image);
    RunJobs(jobs);
    return std::move(jobs.front());
}
