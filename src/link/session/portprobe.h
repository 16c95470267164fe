#pragma once

#include "link/linktimings.h"
#include "link/serial/serialsettings.h"
#include "link/serial/serialtransport.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

// What probing one port found.
struct ProbeResult
{
    enum class Outcome
    {
        Found,    // a K30 answered the version request twice at `settings`
        NotFound, // no line setting brought a good answer
        Busy,     // the port exists but cannot be opened: another program holds it, or it is
                  // no serial port (/dev/null), or the user may not open it
        Missing,  // there is no such port
    };

    QString path;
    Outcome outcome = Outcome::NotFound;
    SerialLineSettings settings; // where it answered
    // The two version fields exactly as the device sent them: any byte may be in them.
    QString version1;
    QString version2;
    int tried = 0; // line settings tried, an opening that failed too
};

// The line settings the K30 can be set to, the most likely first: `first` (the Transmit
// dialog's settings, when the device can be set to them), then 9600 8 1, then the faster
// speeds before the slower, 8 data bits before 7, one stop bit before two.
QList<SerialLineSettings> ProbeOrder(const SerialLineSettings &first);
// The time `bytes` characters take on the line: a start bit, the data and stop bits.
LinkDuration LineTime(const SerialLineSettings &settings, int bytes);
// How long a probe waits for the version answer's first `bytes` bytes: the request going
// out, the answer coming back, and `margin` for the device to start.
LinkDuration ProbeWait(const SerialLineSettings &settings, int bytes,
                       LinkDuration margin = kProbeMargin);
// "9600 8 1"
QString ProbeSettingsText(const SerialLineSettings &settings);

// Looks for a K30 on one port: the version request at each line setting in turn, until one
// brings a good answer, and then once more to be sure the answer was not a late one meant for
// the setting before. Each setting opens the port afresh. Garbage, a short answer or a bad
// check move on to the next setting; a port that never stops sending is left after each
// setting's wait. Ends with Done() exactly once, unless stopped.
class PortProbe : public QObject
{
    Q_OBJECT
public:
    PortProbe(QString path, QList<SerialLineSettings> order, LinkDuration margin = kProbeMargin,
              QObject *parent = nullptr);

    // Starts in the thread the probe belongs to.
    void Start();
    // Closes the port; Done() does not come.
    void Stop();

Q_SIGNALS:
    void Trying(const QString &path, const SerialLineSettings &settings);
    void Done(const ProbeResult &result);

private:
    void TryNext();
    void Ask();
    void OnReceived(const QByteArray &bytes);
    void OnNoAnswer();
    void Finish(ProbeResult::Outcome outcome);

    QString m_path;
    QList<SerialLineSettings> m_order;
    LinkDuration m_margin;
    // Made by Start(), in the thread the probe runs in.
    std::unique_ptr<SerialTransport> m_transport;
    QTimer *m_wait = nullptr;
    ProbeResult m_result;
    int m_next = 0;
    int m_goodAnswers = 0;
    QByteArray m_reply;
    bool m_running = false;
};
