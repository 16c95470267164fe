#include "memorycommands.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/memoryfile.h"
#include "core/safefile.h"
#include "link/memorymessages.h"
#include "link/session/devicesession.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QTextStream>

#include <algorithm>

namespace {

struct MemoryRun
{
    MemoryResult result;
    QString text; // the record lines, each followed by CR LF, as the decoder hands them over
    QList<MemoryRecordDecoder::Record> records;
};

MemoryRun RunMemoryExchange(MemoryKind kind, const SerialTarget &target)
{
    MemoryRun run;
    const std::unique_ptr<MemoryExchange> exchange(DeviceSession(target).MakeMemoryExchange(kind));
    QEventLoop loop;
    bool finished = false;
    QObject::connect(
        exchange.get(), &MemoryExchange::RecordsDecoded, &loop,
        [&run](const QString &text, const QList<MemoryRecordDecoder::Record> &records) {
            run.text += text;
            run.records += records;
        });
    // A port that cannot be opened ends the exchange inside Start().
    QObject::connect(exchange.get(), &MemoryExchange::Finished, &loop,
                     [&](const MemoryResult &result) {
                         run.result = result;
                         finished = true;
                         loop.quit();
                     });
    exchange->Start();
    if (!finished)
        loop.exec();
    return run;
}

// A read that reached the end of the data with every record good: the only one after which
// the memory may be cleared.
bool IsCleanRead(const MemoryResult &result)
{
    return result.outcome == ExchangeOutcome::Good && result.failedRecords == 0;
}

// A read that reached the end of the data with records that failed their check is no success:
// those records are whole only in the decoder's memory.
int MemoryExitCode(const MemoryResult &result)
{
    if (result.outcome == ExchangeOutcome::Good && result.failedRecords > 0)
        return kExitRefused;
    return ExitCodeOf(result.outcome);
}

// The memory dialog's message: a good outcome on `good`, anything else on standard error.
int Report(const MemoryResult &result, const DevicePort &port, QTextStream &good, QTextStream &err)
{
    QString text = MemoryMessage(result).value_or(LinkMessage{}).text;
    // A port named by its path has no window number to report.
    if (result.outcome == ExchangeOutcome::PortNotAvailable && port.target.commPort == 0)
        text = port.target.device + QStringLiteral(": not available.");
    text = TerminalText(text);
    // The box's blank lines below its text mean nothing on a terminal.
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const bool ok = result.kind == MemoryKind::Read ? IsCleanRead(result)
                                                    : result.outcome == ExchangeOutcome::Good;
    (ok ? good : err) << text << Qt::endl;
    return MemoryExitCode(result);
}

DevicePort Port(const DeviceOptions &devices)
{
    return DevicePort::FromOption(devices.ports.front(), devices.settingsText, devices.mapping);
}

// The device cannot be reached before anything is opened: why, on standard error.
int ReportUnavailable(const DevicePort &port, QTextStream &err)
{
    for (const QString &line : port.unavailable)
        err << line << Qt::endl;
    return kExitPortNotAvailable;
}

// Written atomically, then read back: the memory may only be cleared once the file holds
// exactly what the device sent. A pipe or a device cannot be read back; there, when no clear
// follows, the write itself reported whether everything went out.
std::optional<QString> SaveRecords(const QString &path, const QString &text, bool readBack)
{
    if (auto reason = WriteMemoryFile(path, text))
        return reason;
    if (!QFileInfo(path).isFile()) {
        if (!readBack)
            return std::nullopt;
        return QStringLiteral("is no longer a regular file and cannot be read back");
    }
    QString error;
    const auto written = ReadWholeFile(path, kMemoryFileSizeLimit, &error);
    if (!written)
        return QStringLiteral("cannot be read back: ") + error;
    if (*written != MemoryFileBytes(text))
        return QStringLiteral("does not read back as written");
    return std::nullopt;
}

// What a read did, beyond its exit status: the records for --json, and what it changed.
struct ReadOutcome
{
    int code = kExitSuccess;
    QList<MemoryRecordDecoder::Record> records;
    bool fileWritten = false;
    bool cleared = false;
};

ReadOutcome ReadMemory(const DeviceOptions &devices, const QString &outputPath, bool clear,
                       QTextStream &out, QTextStream &err)
{
    ReadOutcome outcome;
    const DevicePort port = Port(devices);
    if (!port.unavailable.isEmpty()) {
        outcome.code = ReportUnavailable(port, err);
        return outcome;
    }
    const MemoryRun read = RunMemoryExchange(MemoryKind::Read, port.target);
    outcome.records = read.records;
    const bool complete = read.result.outcome == ExchangeOutcome::Good;
    // Without a file the records are the output: the message must not end up among them.
    QTextStream &good = outputPath.isEmpty() ? err : out;
    // The records decoded before a read failed or stopped are kept as the window keeps them;
    // the exit status tells that they are not all. A read that decoded nothing leaves an
    // existing file alone.
    std::optional<QString> saveError;
    if (outputPath.isEmpty()) {
        QString lines = read.text;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out << lines;
        out.flush();
    } else if (complete || !read.text.isEmpty()) {
        saveError = SaveRecords(outputPath, read.text, clear);
        if (saveError)
            err << outputPath << ": " << *saveError << Qt::endl;
        outcome.fileWritten = !saveError;
    }
    // Only a read that reached the end of the data with every record good, safely saved, may
    // be followed by a clear: a record that failed its check is still whole only in the
    // decoder's memory.
    if (!IsCleanRead(read.result) || saveError) {
        outcome.code = saveError ? int(kExitFileError) : int(kExitSuccess);
        if (!IsCleanRead(read.result))
            outcome.code = std::max(outcome.code, Report(read.result, port, good, err));
        if (clear) {
            err << "The decoder memory was not cleared";
            const int failed = read.result.failedRecords;
            if (failed > 0 && !saveError && complete)
                err << ": " << failed << (failed == 1 ? " record" : " records") << " failed "
                    << (failed == 1 ? "its" : "their") << " check";
            err << "." << Qt::endl;
        }
        return outcome;
    }
    Report(read.result, port, good, err);
    if (!clear)
        return outcome;
    outcome.code = Report(RunMemoryExchange(MemoryKind::Clear, port.target).result, port, out, err);
    outcome.cleared = outcome.code == kExitSuccess;
    return outcome;
}

int ClearMemory(const DeviceOptions &devices, bool yes, QTextStream &in, QTextStream &prompt,
                QTextStream &out, QTextStream &err)
{
    // A device that cannot be named is not asked about.
    const DevicePort port = Port(devices);
    if (!port.unavailable.isEmpty())
        return ReportUnavailable(port, err);
    if (!yes) {
        prompt << MemoryQuestion(MemoryKind::Clear).text
               << " Type y or yes to go on: " << Qt::flush;
        const QString line = in.readLine();
        const QString answer = line.trimmed().toLower();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes")) {
            // No input at all: the prompt's line is still open.
            if (line.isNull())
                prompt << Qt::endl;
            err << "Nothing was sent." << Qt::endl;
            return kExitRefused;
        }
    }
    return Report(RunMemoryExchange(MemoryKind::Clear, port.target).result, port, out, err);
}

// What the text commands would print, as one JSON line: their messages.
struct Captured
{
    QString out;
    QString err;
    QTextStream outStream{&out};
    QTextStream errStream{&err};

    int Print(int code, const DeviceOptions &devices, bool recordsOnOut, JsonReport report,
              QTextStream &out)
    {
        outStream.flush();
        errStream.flush();
        report.port = devices.ports.front();
        report.outcome = OutcomeOfExitCode(code);
        QString message = recordsOnOut ? err : this->out + err;
        while (message.endsWith(QLatin1Char('\n')))
            message.chop(1);
        report.message = message;
        PrintJsonLine(out, report);
        return code;
    }
};

} // namespace

int ReadMemoryCommand(const DeviceOptions &devices, const QString &outputPath, bool clear,
                      QTextStream &out, QTextStream &err)
{
    if (!devices.json)
        return ReadMemory(devices, outputPath, clear, out, err).code;
    Captured captured;
    const ReadOutcome read =
        ReadMemory(devices, outputPath, clear, captured.outStream, captured.errStream);
    JsonReport report;
    report.changed = read.fileWritten || read.cleared;
    if (!outputPath.isEmpty())
        report.extra.insert(QStringLiteral("file"), outputPath);
    // The records as the decoder cut them, one entry each whatever bytes they hold, and the
    // positions of those that failed their check.
    QJsonArray records;
    QJsonArray failed;
    for (qsizetype i = 0; i < read.records.size(); ++i) {
        records.append(MemoryRecordDecoder::RecordLine(read.records[i]));
        if (read.records[i].failed)
            failed.append(int(i));
    }
    if (outputPath.isEmpty())
        report.extra.insert(QStringLiteral("records"), records);
    report.extra.insert(QStringLiteral("failed"), failed);
    return captured.Print(read.code, devices, outputPath.isEmpty(), report, out);
}

int ClearMemoryCommand(const DeviceOptions &devices, bool yes, QTextStream &in, QTextStream &out,
                       QTextStream &err)
{
    if (!devices.json)
        return ClearMemory(devices, yes, in, err, out, err);
    Captured captured;
    const int code = ClearMemory(devices, yes, in, err, captured.outStream, captured.errStream);
    JsonReport report;
    report.changed = code == kExitSuccess;
    return captured.Print(code, devices, false, report, out);
}
