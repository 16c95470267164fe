#include "link/keyboard/keyboardhandshake.h"

#include "link/keyboard/keyboardport.h"

KeyboardHandshake::KeyboardHandshake(KeyboardPort *port, LinkDuration interval,
                                     LinkDuration bytePause, Acknowledgement acknowledged,
                                     QObject *parent)
    : QObject(parent), m_port(port), m_acknowledged(acknowledged),
      m_repeater(port, interval, bytePause)
{
    connect(&m_repeater, &CommandRepeater::GaveUp, this, [this] {
        m_waiting = false;
        ReleaseMask();
        Q_EMIT TimedOut();
    });
}

void KeyboardHandshake::Start(std::function<QByteArray()> command)
{
    m_waiting = true;
    Q_EMIT CaptureReset();
    m_repeater.Start(std::move(command));
}

void KeyboardHandshake::Stop()
{
    m_waiting = false;
    m_repeater.Stop();
}

void KeyboardHandshake::CaptureChanged(const QString &text)
{
    if (!m_waiting || !m_acknowledged(text))
        return;
    Stop();
    ReleaseMask();
    Q_EMIT Acknowledged();
}

void KeyboardHandshake::ReleaseMask()
{
    if (m_port)
        m_port->ReleaseInterruptMask();
}
