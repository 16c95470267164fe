#include "fleetbench.h"

#include "benchstats.h"
#include "childrun.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kFleetRatioTarget = 1.3;

// One apply run's wall time in ms, or NaN when it did not end well.
double TimeApply(const QString &cli, const QString &file, const QStringList &ports)
{
    QStringList arguments{QStringLiteral("apply"), file, QStringLiteral("--force")};
    for (const QString &port : ports)
        arguments << QStringLiteral("--port") << port;
    const ChildRun run = RunChild(cli, arguments);
    // The simulators' logs are drained between runs.
    QCoreApplication::processEvents();
    return run.started && run.exitCode == 0 ? run.msToExit : NAN;
}

} // namespace

void RunFleetApply(BenchReport &report, const FleetBenchOptions &options, QTextStream &log)
{
    BenchFigure figure{
        QStringLiteral("k30cfg-cli apply: %1 devices at once / one").arg(options.devices),
        NAN,
        kFleetRatioTarget,
        QString(),
        true,
        {},
        1.0};
    log << "apply to " << options.devices << " devices" << Qt::endl;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("site.cfg"));
    if (RunChild(options.cliProgram, {QStringLiteral("new"), file}).exitCode != 0) {
        figure.note = QStringLiteral("k30cfg-cli new failed");
        report.Add(figure);
        return;
    }
    // Paced as a real line and answering after 10 ms, as in the serial figures.
    std::vector<std::unique_ptr<SimProcess>> sims;
    QStringList ports;
    for (int i = 0; i < options.devices; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        if (!sims.back()->Start(options.simProgram,
                                {QStringLiteral("--baud"), QStringLiteral("9600"),
                                 QStringLiteral("--delay"), QStringLiteral("10")},
                                log)) {
            figure.note = QStringLiteral("k30-sim did not start");
            report.Add(figure);
            return;
        }
        ports << sims.back()->Path();
    }
    // One unmeasured run of each, then alternating runs.
    TimeApply(options.cliProgram, file, ports.mid(0, 1));
    TimeApply(options.cliProgram, file, ports);
    QList<double> one;
    QList<double> many;
    for (int i = 0; i < options.repeats; ++i) {
        one << TimeApply(options.cliProgram, file, ports.mid(0, 1));
        many << TimeApply(options.cliProgram, file, ports);
    }
    const double oneMs = Median(one);
    const double manyMs = Median(many);
    figure.measured = manyMs / oneMs;
    figure.note = QStringLiteral("medians of %1 runs of `apply --force` (upload, download, "
                                 "verify; a process each): one device %2 ms, %3 devices %4 ms "
                                 "(worst %5 ms)")
                      .arg(options.repeats)
                      .arg(FormatFigure(oneMs))
                      .arg(options.devices)
                      .arg(FormatFigure(manyMs), FormatFigure(Maximum(many)));
    report.Add(figure);
}
