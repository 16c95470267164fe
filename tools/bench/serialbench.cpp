#include "serialbench.h"

#include "benchstats.h"
#include "simprocess.h"

#include "core/memoryrecorddecoder.h"
#include "core/parameterimages.h"
#include "link/linktimings.h"
#include "link/session/devicesession.h"
#include "link/wire/linkframes.h"
#include "link/wire/memoryframes.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int kBitsPerCharacter = 10; // start bit, eight data bits, stop bit
constexpr int kOverheadTargetMs = 5;
// The simulator's generated records take 18 bytes each: 110 of them and the end marker fill
// 31 blocks, the last answered "P".
constexpr int kBenchMemoryRecords = 110;
constexpr int kBenchMemoryBlocks = 31;

// Runs one exchange to its end in a local event loop; its wall time in ms, or NaN when it
// did not end well (`good` decides from the outcome).
template <typename Exchange, typename Result>
double TimeExchange(Exchange &exchange, bool (*good)(const Result &), QTextStream &log)
{
    QEventLoop loop;
    bool finished = false;
    bool ok = false;
    QElapsedTimer clock;
    double ms = 0;
    QObject::connect(&exchange, &Exchange::Finished, &loop, [&](const Result &result) {
        ms = double(clock.nsecsElapsed()) / 1e6;
        finished = true;
        ok = good(result);
        loop.quit();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        exchange.Abort();
        loop.quit();
    });
    guard.start(std::chrono::seconds(30));
    clock.start();
    exchange.Start();
    if (!finished)
        loop.exec();
    if (!ok)
        log << "  an exchange did not end well" << Qt::endl;
    return ok ? ms : NAN;
}

bool LinkGood(const ExchangeResult &result)
{
    return result.outcome == ExchangeOutcome::Good;
}

bool MemoryGood(const MemoryResult &result)
{
    return result.outcome == ExchangeOutcome::Good;
}

double CharactersMs(double characters, int baud)
{
    return characters * kBitsPerCharacter * 1000.0 / baud;
}

// One exchange kind: `answers` answers of `answerBytes` each, `requestBytes` in total from
// the tool. The simulator puts each answer byte on the line at the start of its character
// time, so an answer of n bytes is complete after n - 1 character times, not n: that is the
// floor the tool is measured against, the device's delay before each answer added.
struct Shape
{
    const char *name;
    int requestBytes;
    int answers;
    int answerBytes;
};

void Report(BenchReport &report, const SerialBenchOptions &options, const Shape &shape,
            const QList<double> &walls)
{
    const double wire =
        CharactersMs(shape.requestBytes + double(shape.answers) * shape.answerBytes, options.baud);
    const double floor =
        shape.answers * (options.deviceDelayMs + CharactersMs(shape.answerBytes - 1, options.baud));
    const double wall = Median(walls);
    const double perAnswer = (wall - floor) / shape.answers;
    const double worst = (Maximum(walls) - floor) / shape.answers;
    BenchFigure figure;
    figure.name = QStringLiteral("serial %1: overhead%2")
                      .arg(QLatin1String(shape.name),
                           shape.answers > 1 ? QStringLiteral(" per block") : QString());
    figure.unit = QStringLiteral("ms");
    figure.target = kOverheadTargetMs;
    figure.measured = perAnswer;
    figure.note = QStringLiteral("median wall %1 ms, wire %2 ms (%3 + %4x%5 bytes), device "
                                 "floor %6 ms; %7 runs, worst overhead %8 ms")
                      .arg(FormatFigure(wall), FormatFigure(wire))
                      .arg(shape.requestBytes)
                      .arg(shape.answers)
                      .arg(shape.answerBytes)
                      .arg(FormatFigure(floor))
                      .arg(walls.size())
                      .arg(FormatFigure(worst));
    if (shape.answers > 1)
        figure.note +=
            QStringLiteral("; the whole read %1 ms over its floor").arg(FormatFigure(wall - floor));
    report.Add(figure);
}

} // namespace

void RunSerialExchanges(BenchReport &report, const SerialBenchOptions &options, QTextStream &log)
{
    SimProcess sim;
    if (!sim.Start(options.simProgram,
                   {QStringLiteral("--baud"), QString::number(options.baud),
                    QStringLiteral("--delay"), QString::number(options.deviceDelayMs),
                    QStringLiteral("--memory-records"), QString::number(kBenchMemoryRecords)},
                   log)) {
        report.Add({QStringLiteral("serial exchanges"), NAN, kOverheadTargetMs,
                    QStringLiteral("ms"), true, QStringLiteral("k30-sim did not start")});
        return;
    }
    const SerialTarget target = sim.Target();
    Image image = FactoryImage();

    const struct
    {
        Shape shape;
        ExchangeKind kind;
    } linkKinds[] = {
        {{"download", kDownloadFrameSize, 1, 1}, ExchangeKind::Download},
        {{"upload", int(BuildUploadRequest().size()), 1, kUploadReplyThreshold},
         ExchangeKind::Upload},
        {{"version", int(BuildUploadRequest().size()), 1, kUploadReplyThreshold},
         ExchangeKind::Version},
    };
    for (const auto &kind : linkKinds) {
        log << "serial " << kind.shape.name << Qt::endl;
        QList<double> walls;
        for (int i = 0; i < options.repeats; ++i) {
            const std::unique_ptr<LinkExchange> exchange(
                DeviceSession(target, false).MakeExchange(kind.kind, image));
            walls << TimeExchange(*exchange, &LinkGood, log);
        }
        Report(report, options, kind.shape, walls);
    }

    log << "serial memory read" << Qt::endl;
    const Shape memory{"memory read (31 blocks)",
                       int(BuildMemoryReadFrame().size()) + kBenchMemoryBlocks, kBenchMemoryBlocks,
                       MemoryRecordDecoder::kBlockSize};
    QList<double> walls;
    for (int i = 0; i < qMax(1, options.repeats / 3); ++i) {
        const std::unique_ptr<MemoryExchange> exchange(
            DeviceSession(target).MakeMemoryExchange(MemoryKind::Read));
        int blocks = 0;
        QObject::connect(exchange.get(), &MemoryExchange::BlocksReceived, exchange.get(),
                         [&blocks](int good, int) { blocks = good; });
        const double ms = TimeExchange(*exchange, &MemoryGood, log);
        walls << (blocks == kBenchMemoryBlocks ? ms : NAN);
    }
    Report(report, options, memory, walls);
}

void RunIdleWait(BenchReport &report, const SerialBenchOptions &options, QTextStream &log)
{
    BenchFigure figure{QStringLiteral("waiting: CPU during a 7000 ms upload time-out"),
                       NAN,
                       1.0,
                       QStringLiteral("% of a core"),
                       true,
                       {}};
    SimProcess sim;
    if (!sim.Start(options.simProgram, {QStringLiteral("--silent")}, log)) {
        report.Add(figure);
        return;
    }
    log << "waiting for a silent device" << Qt::endl;
    Image image = FactoryImage();
    const std::unique_ptr<LinkExchange> exchange(
        DeviceSession(sim.Target(), false).MakeExchange(ExchangeKind::Upload, image));
    const auto cpuMs = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    };
    const double before = cpuMs();
    const double wall = TimeExchange(
        *exchange, +[](const ExchangeResult &r) { return r.outcome == ExchangeOutcome::TimeOut; },
        log);
    const double cpu = cpuMs() - before;
    figure.measured = cpu / wall * 100.0;
    figure.note = QStringLiteral("%1 ms CPU (user + system, whole process) in %2 ms")
                      .arg(FormatFigure(cpu), FormatFigure(wall));
    report.Add(figure);
}
