#include "devicecommands.h"

#include "configdocument.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "link/transmitmessages.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Jobs = std::vector<std::unique_ptr<DeviceJob>>;

Jobs MakeJobs(DeviceJob::Task task, const DeviceOptions &devices, const Image &image,
              bool save = true, bool verify = false)
{
    Jobs jobs;
    for (const QString &port : devices.ports)
        jobs.push_back(std::make_unique<DeviceJob>(
            task, DevicePort::FromOption(port, devices.settingsText), image, save, verify));
    return jobs;
}

// Runs the jobs at once and prints each one's lines, prefixed by its port when there are
// several. Returns the largest exit status.
int RunJobs(const Jobs &jobs, QTextStream &out, QTextStream &err)
{
    QEventLoop loop;
    std::size_t running = jobs.size();
    for (const auto &job : jobs) {
        QObject::connect(job.get(), &DeviceJob::Done, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
    }
    for (const auto &job : jobs)
        job->Start();
    if (running > 0)
        loop.exec();

    int status = kExitSuccess;
    for (const auto &job : jobs) {
        const QString prefix =
            jobs.size() > 1 ? job->Port().label + QStringLiteral(": ") : QString();
        // A port named by its path is already named in its "not available." line.
        auto print = [&prefix](QTextStream &stream, const QString &line) {
            stream << (line.startsWith(prefix) ? QString() : prefix) << line << Qt::endl;
        };
        for (const QString &line : job->Output())
            print(out, line);
        for (const QString &line : job->Errors())
            print(err, line);
        status = std::max(status, job->ExitCode());
    }
    return status;
}

std::optional<ConfigDocument> LoadComplete(const QString &path, QTextStream &err)
{
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        err << *error << Qt::endl;
        return std::nullopt;
    }
    // The device would otherwise be given factory values that the file does not hold.
    if (incomplete > 0) {
        err << QStringLiteral("%1: %2 values could not be read").arg(path).arg(incomplete)
            << Qt::endl;
        return std::nullopt;
    }
    return doc;
}

} // namespace

int DownloadCommand(const QString &path, const DeviceOptions &devices, bool save, bool verify,
                    QTextStream &out, QTextStream &err)
{
    const auto doc = LoadComplete(path, err);
    if (!doc)
        return kExitFileError;
    return RunJobs(
        MakeJobs(DeviceJob::Task::Download, devices, doc->images.ConfigImage, save, verify), out,
        err);
}

int UploadCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                  QTextStream &err)
{
    std::optional<ConfigDocument> doc;
    if (QFileInfo::exists(path))
        doc = LoadComplete(path, err);
    else
        doc = ConfigDocument::New();
    if (!doc)
        return kExitFileError;
    const Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, doc->images.ConfigImage);
    const int status = RunJobs(jobs, out, err);
    if (status != kExitSuccess)
        return status;
    doc->images.ConfigImage = jobs.front()->Result();
    if (const auto error = doc->Save(path)) {
        err << *error << Qt::endl;
        return kExitFileError;
    }
    out << TerminalText(TransmitMessage(jobs.front()->LastResult()).text) << Qt::endl;
    return kExitSuccess;
}

int VersionCommand(const DeviceOptions &devices, QTextStream &out, QTextStream &err)
{
    return RunJobs(MakeJobs(DeviceJob::Task::Version, devices, FactoryImage()), out, err);
}

int DeviceDiffCommand(const QString &path, const DeviceOptions &devices, QTextStream &out,
                      QTextStream &err)
{
    const auto doc = LoadComplete(path, err);
    if (!doc)
        return kExitFileError;
    const Jobs jobs = MakeJobs(DeviceJob::Task::Upload, devices, doc->images.ConfigImage);
    const int status = RunJobs(jobs, out, err);
    if (status != kExitSuccess)
        return status;
    // The device overwrote only the section it holds; the other one is the file's own.
    ConfigDocument held = *doc;
    held.images.ConfigImage = jobs.front()->Result();
    const auto differences = Differences(*doc, held);
    for (const auto &[inFile, inDevice] : differences)
        out << inFile.name << '\t' << ShownValue(inFile) << '\t' << ShownValue(inDevice) << '\n';
    out.flush();
    return differences.empty() ? kExitSuccess : kExitRefused;
}
