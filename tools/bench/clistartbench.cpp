#include "clistartbench.h"

#include "benchstats.h"
#include "childrun.h"

#include <QTemporaryDir>

#include <cmath>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A download frame is 90 bytes; the device accepts it with 0x07.
constexpr qint64 kDownloadFrame = 90;
const QByteArray kAccepted("\x07", 1);

// A fresh pseudo-terminal for each run. The bench keeps its program side open as well, so the
// controlling side reports no hang-up before the program has opened it.
class Pty
{
    Q_DISABLE_COPY_MOVE(Pty)

public:
    Pty()
    {
        m_device = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128];
        if (m_device < 0 || grantpt(m_device) != 0 || unlockpt(m_device) != 0 ||
            ptsname_r(m_device, name, sizeof name) != 0)
            return;
        m_program = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        if (m_program < 0 || tcgetattr(m_program, &raw) != 0)
            return;
        cfmakeraw(&raw);
        tcsetattr(m_program, TCSANOW, &raw);
        m_path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        for (int fd : {m_program, m_device}) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    int Device() const { return m_device; }
    // Empty when the pseudo-terminal could not be made.
    const QString &Path() const { return m_path; }

private:
    int m_device = -1;
    int m_program = -1;
    QString m_path;
};

// The time to the first byte in ms, or NaN when the run did not end well.
double Sample(const QString &program, const QStringList &arguments, qint64 request,
              const QByteArray &answer, QTextStream &log)
{
    const Pty pty;
    if (pty.Path().isEmpty()) {
        log << "  no pseudo-terminal" << Qt::endl;
        return NAN;
    }
    const DeviceRun run = RunChildOnDevice(program, QStringList(arguments) << pty.Path(),
                                           pty.Device(), request, answer);
    const bool good = run.started && run.exitCode == 0 && run.received >= request;
    if (!good)
        log << "  " << program << " did not send its request (exit " << run.exitCode << ", "
            << run.received << " bytes)" << Qt::endl;
    return good ? run.msToFirstByte : NAN;
}

} // namespace

void RunCliStart(BenchReport &report, const CliStartBenchOptions &options, QTextStream &log)
{
    log << "k30cfg-cli to its first request byte" << Qt::endl;
    BenchFigure figure{
        QStringLiteral("start-up: k30cfg-cli download to first request byte / bare client"),
        NAN,
        1.3,
        QString(),
        true,
        {},
        1.0};
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("site.cfg"));
    if (RunChild(options.cliProgram, {QStringLiteral("new"), file}).exitCode != 0) {
        figure.note = QStringLiteral("k30cfg-cli new failed");
        report.Add(figure);
        return;
    }
    const QStringList download{QStringLiteral("download"), file, QStringLiteral("--port")};
    QList<double> cli, client;
    // One unmeasured run each puts the programs' files in the page cache.
    Sample(options.clientProgram, {}, 1, {}, log);
    Sample(options.cliProgram, download, kDownloadFrame, kAccepted, log);
    for (int i = 0; i < options.repeats; ++i) {
        client << Sample(options.clientProgram, {}, 1, {}, log);
        cli << Sample(options.cliProgram, download, kDownloadFrame, kAccepted, log);
    }
    const double cliMs = Median(cli);
    const double clientMs = Median(client);
    figure.measured = cliMs / clientMs;
    figure.note = QStringLiteral("medians of %1 runs, spawn to the first byte on the line: "
                                 "`k30cfg-cli download FILE --port PTY` %2 ms (worst %3 ms), a "
                                 "Qt program that opens the port and writes a byte %4 ms")
                      .arg(options.repeats)
                      .arg(FormatFigure(cliMs), FormatFigure(Maximum(cli)), FormatFigure(clientMs));
    report.Add(figure);
}
