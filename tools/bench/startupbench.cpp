#include "startupbench.h"

#include "benchstats.h"
#include "childrun.h"

#include <cmath>

namespace {

// Both programs print this line once their main window is shown, then quit.
const QByteArray kShownMarker = "shown";

struct Samples
{
    QList<double> ms;
    QList<double> rssKb;
};

void Sample(Samples &samples, const QString &program, const QStringList &arguments,
            QTextStream &log)
{
    const ChildRun run =
        RunChild(program, arguments, {QStringLiteral("QT_QPA_PLATFORM=offscreen")}, kShownMarker);
    const bool good = run.started && run.exitCode == 0 && run.msToMarker >= 0;
    if (!good)
        log << "  " << program << " did not show its window (exit " << run.exitCode << ")"
            << Qt::endl;
    samples.ms << (good ? run.msToMarker : NAN);
    samples.rssKb << (good ? double(run.maxRssKb) : NAN);
}

} // namespace

void RunStartup(BenchReport &report, const StartupBenchOptions &options, QTextStream &log)
{
    log << "start-up" << Qt::endl;
    const QStringList appArguments{QStringLiteral("--simulate"),
                                   QStringLiteral("--quit-after-show")};
    const QStringList bareArguments{QStringLiteral("--bare")};
    Samples app, minimal, bare;
    // One unmeasured run each puts the programs' files in the page cache.
    Samples warm;
    Sample(warm, options.minimalProgram, {}, log);
    Sample(warm, options.minimalProgram, bareArguments, log);
    Sample(warm, options.appProgram, appArguments, log);
    for (int i = 0; i < options.repeats; ++i) {
        Sample(minimal, options.minimalProgram, {}, log);
        Sample(bare, options.minimalProgram, bareArguments, log);
        Sample(app, options.appProgram, appArguments, log);
    }
    const double appMs = Median(app.ms);
    const double minimalMs = Median(minimal.ms);
    const double appRss = Median(app.rssKb) / 1024.0;
    const double minimalRss = Median(minimal.rssKb) / 1024.0;
    const double bareMs = Median(bare.ms);
    const double bareRss = Median(bare.rssKb) / 1024.0;

    BenchFigure time;
    time.name = QStringLiteral("start-up: time to main window shown, k30cfg / minimal");
    time.measured = appMs / minimalMs;
    time.target = 1.3;
    time.base = 1.0;
    time.note = QStringLiteral("medians of %1 runs: k30cfg %2 ms, minimal main window with a "
                               "menu %3 ms (an empty one, no text: %4 ms, k30cfg / empty %5)")
                    .arg(options.repeats)
                    .arg(FormatFigure(appMs), FormatFigure(minimalMs), FormatFigure(bareMs),
                         FormatFigure(appMs / bareMs));
    report.Add(time);

    BenchFigure memory;
    memory.name = QStringLiteral("start-up: peak memory, k30cfg / minimal");
    memory.measured = appRss / minimalRss;
    memory.target = 1.3;
    memory.timing = false;
    memory.note = QStringLiteral("medians of ru_maxrss: k30cfg %1 MiB, minimal %2 MiB (empty "
                                 "window %3 MiB, k30cfg / empty %4)")
                      .arg(FormatFigure(appRss), FormatFigure(minimalRss), FormatFigure(bareRss),
                           FormatFigure(appRss / bareRss));
    report.Add(memory);
}
