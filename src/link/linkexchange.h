#pragma once

#include "link/linkframes.h"

#include <QObject>
#include <QString>

#include <optional>

enum class ExchangeKind
{
    Download,
    Upload,
    Version
};

enum class ExchangeOutcome
{
    Good,
    Bad,              // refused download, bad upload answer
    TimeOut,          // serial: no answer
    HandshakeTimeOut, // keyboard: no "S" after 15 commands
    PortNotAvailable, // the serial port could not be opened
};

struct ExchangeResult
{
    ExchangeKind kind = ExchangeKind::Download;
    ExchangeOutcome outcome = ExchangeOutcome::TimeOut;
    int commPort = 0;
    QString version; // "   <field 1>\n\r   <field 2>" of a good upload or version answer
    // The section a good upload or version answer carried; the other one was not read.
    std::optional<Section> section;
};

// One configuration exchange with the device, from its request to its outcome. Each kind is a
// state machine driven by the line, the capture box and its timers; it never blocks. It ends
// exactly once with Finished(), its port closed and its timers stopped, unless it is aborted.
class LinkExchange : public QObject
{
    Q_OBJECT
public:
    LinkExchange(ExchangeKind kind, QObject *parent) : QObject(parent), m_kind(kind) {}

    ExchangeKind Kind() const { return m_kind; }
    bool IsRunning() const { return m_running; }

    virtual void Start() = 0;
    // Stops at once without an outcome: the dialog went away in the middle of the exchange.
    virtual void Abort() = 0;
    // The text of the capture box, whenever it changes (keyboard path).
    virtual void CaptureChanged(const QString &text) { Q_UNUSED(text); }

Q_SIGNALS:
    void Finished(const ExchangeResult &result);
    // Keyboard data phases: `value` of `maximum`.
    void Progress(int value, int maximum);
    // The capture box is to be emptied and given the focus before the device types.
    void CaptureReset();

protected:
    void Begin() { m_running = true; }
    void Finish(ExchangeOutcome outcome, int commPort = 0, const QString &version = {},
                std::optional<Section> section = std::nullopt)
    {
        m_running = false;
        Q_EMIT Finished({m_kind, outcome, commPort, version, section});
    }
    void Halt() { m_running = false; }

private:
    ExchangeKind m_kind;
    bool m_running = false;
};
