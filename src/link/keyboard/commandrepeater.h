#pragma once

#include "link/keyboard/keyboardwriter.h"
#include "link/linktimings.h"

#include <QObject>
#include <QTimer>

#include <functional>

// How the PC calls the device over the keyboard path: a five-letter command written again and
// again, every 150 ms, until the device answers or 15 repetitions went unanswered. The first
// command goes out one interval after the start; the 16th tick gives up. A command is never
// cut short: a tick that comes while one is still going out (a busy PC) is not counted, so the
// device always sees 15 whole commands.
class CommandRepeater : public QObject
{
    Q_OBJECT
public:
    // `command` is asked at every tick, so the command in force at that moment goes out.
    CommandRepeater(KeyboardPort *port, LinkDuration interval, LinkDuration bytePause,
                    QObject *parent = nullptr);

    void Start(std::function<QByteArray()> command);
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }
    int Ticks() const { return m_ticks; }

Q_SIGNALS:
    void GaveUp();

private:
    void Tick();

    QTimer m_timer;
    KeyboardWriter m_writer;
    std::function<QByteArray()> m_command;
    int m_ticks = 0;
};
