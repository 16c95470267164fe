#include "keyboardbench.h"

#include "benchstats.h"

#include "core/parameterimages.h"
#include "link/keyboard/keyboardexchange.h"
#include "link/keyboard/keyboardport.h"
#include "link/linktimings.h"
#include "link/wire/keyboardtext.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <cmath>

namespace {

using Ms = std::chrono::duration<double, std::milli>;

// Stands between the exchange and the wedge and notes when each byte reached the controller.
class RecordingPort : public KeyboardPort
{
public:
    RecordingPort(KeyboardPort &inner, const QElapsedTimer &clock) : m_inner(inner), m_clock(clock)
    {
    }
    bool InitializeWinIo() override { return m_inner.InitializeWinIo(); }
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override
    {
        if (port == kKeyboardDataPort)
            writes << double(m_clock.nsecsElapsed()) / 1e6;
        return m_inner.SetPortVal(port, value, size);
    }
    QList<double> writes;

private:
    KeyboardPort &m_inner;
    const QElapsedTimer &m_clock;
};

// The capture box without a widget: the wedge's key presses build its text.
class CaptureBox : public QObject
{
    Q_OBJECT
public:
    void Clear() { m_text.clear(); }

Q_SIGNALS:
    void Changed(const QString &text);

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::event(event);
        m_text += static_cast<QKeyEvent *>(event)->text();
        Q_EMIT Changed(m_text);
        return true;
    }

private:
    QString m_text;
};

struct Timeline
{
    bool good = false;
    double total = NAN;
    double firstCommand = NAN; // first command letter written (the first tick)
    double lastCommand = NAN;  // the letter that completes the command
    double handshake = NAN;    // "S" typed
    double firstData = NAN;    // first data character written
    double lastData = NAN;     // last data character written
    double done = NAN;         // "P" typed
    QList<double> dataPauses;  // between consecutive data characters
};

Timeline RunOnce()
{
    SimDevice device;
    SimKeyboardWedge wedge(device);
    CaptureBox capture;
    wedge.SetTarget(&capture);
    QElapsedTimer clock;
    RecordingPort port(wedge, clock);
    Image image = FactoryImage();
    KeyboardExchange exchange(ExchangeKind::Download, &port, image,
                              [] { return QByteArray(kCommandNotSaveText); });
    Timeline line;
    QObject::connect(&capture, &CaptureBox::Changed, &exchange, &KeyboardExchange::CaptureChanged);
    QObject::connect(&exchange, &LinkExchange::CaptureReset, &capture, &CaptureBox::Clear);
    QObject::connect(&wedge, &SimKeyboardWedge::Typed, &capture, [&](QChar c) {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        if (c == QLatin1Char('S'))
            line.handshake = now;
        else if (c == QLatin1Char('P'))
            line.done = now;
    });
    QEventLoop loop;
    QObject::connect(&exchange, &LinkExchange::Finished, &loop, [&](const ExchangeResult &r) {
        line.total = double(clock.nsecsElapsed()) / 1e6;
        line.good = r.outcome == ExchangeOutcome::Good;
        loop.quit();
    });
    QTimer::singleShot(std::chrono::seconds(10), &loop, &QEventLoop::quit);
    clock.start();
    exchange.Start();
    loop.exec();

    const qsizetype command = qsizetype(sizeof kCommandNotSaveText) - 1;
    const QList<double> &w = port.writes;
    if (!line.good || w.size() != command + kKeyboardDownloadLength) {
        line.good = false;
        return line;
    }
    line.firstCommand = w[0];
    line.lastCommand = w[command - 1];
    line.firstData = w[command];
    line.lastData = w.back();
    for (qsizetype i = command + 1; i < w.size(); ++i)
        line.dataPauses << w[i] - w[i - 1];
    return line;
}

} // namespace

void RunKeyboardDownload(BenchReport &report, int repeats, QTextStream &log)
{
    log << "keyboard download" << Qt::endl;
    const double tick = Ms(kRepeaterInterval).count();
    const double pause = Ms(kKeyboardBytePause).count();
    const double toData = Ms(kHandshakeToDataPause).count();
    // What the protocol itself asks for: the first tick, the pause between "S" and the data,
    // a pause after each data character, and the pauses after the command letters that come
    // before the one the device acts on.
    const int commandPauses = int(sizeof kCommandNotSaveText) - 2;
    const double floor = tick + toData + kKeyboardDownloadLength * pause + commandPauses * pause;

    QList<double> totals, devices, added, firstTicks, toDataPauses, pauses;
    for (int i = 0; i < repeats; ++i) {
        const Timeline line = RunOnce();
        if (!line.good) {
            log << "  the keyboard download did not end well" << Qt::endl;
            totals << NAN;
            continue;
        }
        // The device's own time: from the letter it acted on to its "S", from the last data
        // character to its "P".
        const double device = (line.handshake - line.lastCommand) + (line.done - line.lastData);
        totals << line.total;
        devices << device;
        added << line.total - floor - device;
        firstTicks << line.firstCommand;
        toDataPauses << line.firstData - line.handshake;
        pauses << line.dataPauses;
    }
    const double total = Median(totals);
    const double device = Median(devices);
    BenchFigure figure;
    figure.name = QStringLiteral("keyboard download: total / (floor + device)");
    figure.measured = total / (floor + device);
    figure.target = 1.10;
    figure.base = 1.0;
    figure.note =
        QStringLiteral("median total %1 ms; floor %2 ms (tick %3 + %4 + %5 x %6 + "
                       "%7 command pauses), device's answers %8 ms; %9 runs")
            .arg(FormatFigure(total), FormatFigure(floor), FormatFigure(tick), FormatFigure(toData))
            .arg(kKeyboardDownloadLength)
            .arg(FormatFigure(pause))
            .arg(commandPauses)
            .arg(FormatFigure(device))
            .arg(totals.size());
    report.Add(figure);

    BenchFigure tool;
    tool.name = QStringLiteral("keyboard download: time the tool adds");
    tool.unit = QStringLiteral("ms");
    tool.measured = Median(added);
    tool.target = 0.10 * floor;
    tool.note = QStringLiteral("total minus floor minus the device's answers; worst %1 ms")
                    .arg(FormatFigure(Maximum(added)));
    report.Add(tool);

    BenchFigure mean;
    mean.name = QStringLiteral("keyboard download: pause after a data character");
    mean.unit = QStringLiteral("ms");
    mean.measured = Mean(pauses);
    mean.target = 1.10 * pause;
    mean.base = pause;
    std::sort(pauses.begin(), pauses.end());
    mean.note = QStringLiteral("mean of %1 pauses (needed %2); min %3, median %4, max %5; first "
                               "tick at %6 ms (%7), \"S\" to data %8 ms (%9)")
                    .arg(pauses.size())
                    .arg(FormatFigure(pause), FormatFigure(pauses.isEmpty() ? NAN : pauses.front()),
                         FormatFigure(Median(pauses)), FormatFigure(Maximum(pauses)),
                         FormatFigure(Median(firstTicks)), FormatFigure(tick),
                         FormatFigure(Median(toDataPauses)), FormatFigure(toData));
    report.Add(mean);
}

#include "keyboardbench.moc"
