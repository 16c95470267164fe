// k30-bench: measures the exchanges, the waits, the start-up and the file work of the tool
// side by side in one run, each figure against its target, and fails when one is missed.

#include "benchreport.h"
#include "clistartbench.h"
#include "filebench.h"
#include "fleetbench.h"
#include "keyboardbench.h"
#include "machineinfo.h"
#include "serialbench.h"
#include "startupbench.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

namespace {

// The sections in the order they run; --only picks some of them.
const QStringList kSections = {QStringLiteral("serial"),   QStringLiteral("idle"),
                               QStringLiteral("keyboard"), QStringLiteral("startup"),
                               QStringLiteral("files"),    QStringLiteral("fleet")};

} // namespace

int main(int argc, char *argv[])
{
    // The keyboard wedge types key events: a window system is needed, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k30-bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Benchmarks of the K30 tool: serial and keyboard exchanges against the "
                       "simulated device, the cost of waiting, start-up and file work. Exits 1 "
                       "when a target is missed."));
    parser.addHelpOption();
    const QCommandLineOption relax(
        QStringLiteral("relax"),
        QStringLiteral("Multiply the allowance of every timing target by this factor (default: "
                       "K30_BENCH_RELAX, else 1)."),
        QStringLiteral("factor"));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Fewer repetitions and 100 files (CI)."));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Run only these sections (comma-separated): ") +
                                      kSections.join(QLatin1Char(',')),
                                  QStringLiteral("sections"));
    const QCommandLineOption sim(QStringLiteral("sim"), QStringLiteral("The k30-sim program."),
                                 QStringLiteral("path"), QStringLiteral(K30_BENCH_SIM));
    const QCommandLineOption appProgram(QStringLiteral("app"),
                                        QStringLiteral("The k30cfg program."),
                                        QStringLiteral("path"), QStringLiteral(K30_BENCH_APP));
    const QCommandLineOption minimal(QStringLiteral("minimal"),
                                     QStringLiteral("The minimal Qt Widgets program."),
                                     QStringLiteral("path"), QStringLiteral(K30_BENCH_MINIMAL));
    const QCommandLineOption cli(QStringLiteral("cli"), QStringLiteral("The k30cfg-cli program."),
                                 QStringLiteral("path"), QStringLiteral(K30_BENCH_CLI));
    const QCommandLineOption client(QStringLiteral("client"),
                                    QStringLiteral("The bare serial client k30cfg-cli's first "
                                                   "request byte is compared with."),
                                    QStringLiteral("path"), QStringLiteral(K30_BENCH_CLIENT));
    parser.addOptions({relax, quick, only, sim, appProgram, minimal, cli, client});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool relaxOk = true;
    const QString relaxText =
        parser.isSet(relax) ? parser.value(relax) : qEnvironmentVariable("K30_BENCH_RELAX");
    const double factor = relaxText.isEmpty() ? 1.0 : relaxText.toDouble(&relaxOk);
    if (!relaxOk || factor < 1.0) {
        err << "k30-bench: --relax takes a factor of at least 1" << Qt::endl;
        return 2;
    }
    QStringList sections = kSections;
    if (parser.isSet(only)) {
        sections = parser.value(only).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &section : sections) {
            if (!kSections.contains(section)) {
                err << "k30-bench: unknown section " << section << Qt::endl;
                return 2;
            }
        }
    }
    const bool fast = parser.isSet(quick);

    out << MachineDescription() << Qt::endl;
    BenchReport report(factor);
    SerialBenchOptions serial{parser.value(sim), fast ? 3 : 10};
    if (sections.contains(QLatin1String("serial")))
        RunSerialExchanges(report, serial, err);
    if (sections.contains(QLatin1String("idle")))
        RunIdleWait(report, serial, err);
    if (sections.contains(QLatin1String("keyboard")))
        RunKeyboardDownload(report, fast ? 2 : 5, err);
    if (sections.contains(QLatin1String("startup"))) {
        RunStartup(report, {parser.value(appProgram), parser.value(minimal), fast ? 3 : 9}, err);
        RunCliStart(report, {parser.value(cli), parser.value(client), fast ? 5 : 21}, err);
    }
    if (sections.contains(QLatin1String("files")))
        RunFileWork(report, {parser.value(cli), fast ? 200 : 1000, fast ? 100 : 1000}, err);
    if (sections.contains(QLatin1String("fleet")))
        RunFleetApply(report, {parser.value(sim), parser.value(cli), 16, fast ? 3 : 9}, err);

    out << Qt::endl << report.Table() << Qt::endl;
    int missed = 0;
    for (const BenchFigure &figure : report.Figures())
        missed += report.Met(figure) ? 0 : 1;
    out << "relax factor " << FormatFigure(factor) << ": "
        << (missed
                ? QStringLiteral("%1 of %2 targets missed").arg(missed).arg(report.Figures().size())
                : QStringLiteral("all %1 targets met").arg(report.Figures().size()))
        << Qt::endl;
    return missed ? 1 : 0;
}
