#pragma once

#include <QObject>
#include <QString>

#include <atomic>

// What every exchange with the device has, whatever it carries: it is started once, runs on its
// own as a state machine driven by the line, the capture box and its timers (it never blocks),
// and can be stopped at once. Each kind reports its own outcome through its own Finished().
class DeviceExchange : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceExchange() override { SetRunning(false); }

    bool IsRunning() const { return m_running; }
    // Some exchange of this program is running: the device (and the keyboard path, which all
    // exchanges share) is busy.
    static bool AnyRunning() { return s_running.load() > 0; }

    virtual void Start() = 0;
    // Stops at once without an outcome: the dialog went away in the middle of the exchange.
    virtual void Abort() { Halt(); }
    // The text of the capture box, whenever it changes (keyboard path).
    virtual void CaptureChanged(const QString &text) { Q_UNUSED(text); }

Q_SIGNALS:
    // The capture box is to be emptied and given the focus before the device types.
    void CaptureReset();
    // A phase whose length is known in advance (the keyboard path's data): `value` of
    // `maximum`.
    void Progress(int value, int maximum);

protected:
    void Begin() { SetRunning(true); }
    // Back at rest, its port closed and its timers stopped; called before an outcome is
    // reported and when the exchange is aborted.
    void Halt()
    {
        Stop();
        SetRunning(false);
    }
    // Closes the port, stops the timers and forgets the state of the exchange.
    virtual void Stop() = 0;

private:
    void SetRunning(bool running)
    {
        if (running != m_running)
            s_running += running ? 1 : -1;
        m_running = running;
    }

    bool m_running = false;
    static inline std::atomic<int> s_running = 0;
};
