#include "link/keyboard/commandrepeater.h"

CommandRepeater::CommandRepeater(KeyboardPort *port, LinkDuration interval, LinkDuration bytePause,
                                 QObject *parent)
    : QObject(parent), m_writer(port, bytePause)
{
    m_timer.setInterval(interval);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CommandRepeater::Tick);
}

void CommandRepeater::Start(std::function<QByteArray()> command)
{
    m_command = std::move(command);
    m_ticks = 0;
    m_writer.Stop();
    m_timer.start();
}

void CommandRepeater::Stop()
{
    m_timer.stop();
    m_writer.Stop();
}

void CommandRepeater::Tick()
{
    if (m_writer.IsBusy())
        return;
    ++m_ticks;
    if (m_ticks > kCommandRepeats) {
        Stop();
        Q_EMIT GaveUp();
        return;
    }
    m_writer.Write(m_command());
}
