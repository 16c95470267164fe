#include "memorycommands.h"

#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"

#include "core/memoryfile.h"
#include "core/safefile.h"
#include "link/memorymessages.h"
#include "link/serialmemoryexchange.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QTextStream>

namespace {

struct MemoryRun
{
    MemoryResult result;
    QString records; // each followed by CR LF, as the decoder hands them over
};

MemoryRun RunMemoryExchange(MemoryKind kind, const SerialTarget &target)
{
    MemoryRun run;
    SerialMemoryExchange exchange(kind, target);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&exchange, &MemoryExchange::RecordsDecoded, &loop,
                     [&run](const QString &text) { run.records += text; });
    // A port that cannot be opened ends the exchange inside Start().
    QObject::connect(&exchange, &MemoryExchange::Finished, &loop, [&](const MemoryResult &result) {
        run.result = result;
        finished = true;
        loop.quit();
    });
    exchange.Start();
    if (!finished)
        loop.exec();
    return run;
}

int ExitCodeOf(MemoryOutcome outcome)
{
    switch (outcome) {
    case MemoryOutcome::Good:
        return kExitSuccess;
    case MemoryOutcome::TimeOut:
    case MemoryOutcome::HandshakeTimeOut:
        return kExitTimeOut;
    case MemoryOutcome::PortNotAvailable:
        return kExitPortNotAvailable;
    case MemoryOutcome::Bad:
    case MemoryOutcome::Incomplete:
        break;
    }
    return kExitRefused;
}

// The memory dialog's message: a good outcome on `good`, anything else on standard error.
int Report(const MemoryResult &result, const DevicePort &port, QTextStream &good, QTextStream &err)
{
    QString text = MemoryMessage(result).value_or(LinkMessage{}).text;
    // A port named by its path has no window number to report.
    if (result.outcome == MemoryOutcome::PortNotAvailable && port.target.commPort == 0)
        text = port.target.device + QStringLiteral(": not available.");
    text = TerminalText(text);
    // The box's blank lines below its text mean nothing on a terminal.
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    (result.outcome == MemoryOutcome::Good ? good : err) << text << Qt::endl;
    return ExitCodeOf(result.outcome);
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
// exactly what the device sent. A pipe or a device cannot be read back; there the write
// itself reported whether everything went out.
std::optional<QString> SaveRecords(const QString &path, const QString &records)
{
    if (auto reason = WriteMemoryFile(path, records))
        return reason;
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QString error;
    const auto written = ReadWholeFile(path, kMemoryFileSizeLimit, &error);
    if (!written)
        return QStringLiteral("cannot be read back: ") + error;
    if (*written != MemoryFileBytes(records))
        return QStringLiteral("does not read back as written");
    return std::nullopt;
}

int ReadMemory(const DeviceOptions &devices, const QString &outputPath, bool clear,
               QTextStream &out, QTextStream &err)
{
    const DevicePort port = Port(devices);
    if (!port.unavailable.isEmpty())
        return ReportUnavailable(port, err);
    const MemoryRun read = RunMemoryExchange(MemoryKind::Read, port.target);
    const bool complete = read.result.outcome == MemoryOutcome::Good;
    // Without a file the records are the output: the message must not end up among them.
    QTextStream &good = outputPath.isEmpty() ? err : out;
    // The records decoded before a read failed or stopped are kept as the window keeps them;
    // the exit status tells that they are not all. A read that decoded nothing leaves an
    // existing file alone.
    std::optional<QString> saveError;
    if (outputPath.isEmpty()) {
        QString lines = read.records;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out << lines;
        out.flush();
    } else if (complete || !read.records.isEmpty()) {
        saveError = SaveRecords(outputPath, read.records);
        if (saveError)
            err << outputPath << ": " << *saveError << Qt::endl;
    }
    // Only a read that reached the end of the data, safely saved, may be followed by a clear.
    if (!complete || saveError) {
        const int code = complete ? int(kExitFileError) : Report(read.result, port, good, err);
        if (clear)
            err << "The decoder memory was not cleared." << Qt::endl;
        return code;
    }
    Report(read.result, port, good, err);
    if (!clear)
        return kExitSuccess;
    return Report(RunMemoryExchange(MemoryKind::Clear, port.target).result, port, out, err);
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

// What the text commands would print, as one JSON line: their messages, and the records when
// they would have gone to standard output.
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
        if (recordsOnOut)
            report.extra.insert(
                QStringLiteral("records"),
                QJsonArray::fromStringList(this->out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)));
        PrintJsonLine(out, report);
        return code;
    }
};

} // namespace

int ReadMemoryCommand(const DeviceOptions &devices, const QString &outputPath, bool clear,
                      QTextStream &out, QTextStream &err)
{
    if (!devices.json)
        return ReadMemory(devices, outputPath, clear, out, err);
    Captured captured;
    const int code = ReadMemory(devices, outputPath, clear, captured.outStream, captured.errStream);
    JsonReport report;
    // A file was written, and with --clear the memory emptied, only on success.
    report.changed = code == kExitSuccess && !outputPath.isEmpty();
    if (!outputPath.isEmpty())
        report.extra.insert(QStringLiteral("file"), outputPath);
    return captured.Print(code, devices, outputPath.isEmpty(), report, out);
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
