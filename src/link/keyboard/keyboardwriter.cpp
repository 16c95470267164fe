#include "link/keyboard/keyboardwriter.h"

#include "link/keyboard/keyboardport.h"

KeyboardWriter::KeyboardWriter(KeyboardPort *port, LinkDuration pause, QObject *parent)
    : QObject(parent), m_port(port)
{
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    m_pause.setInterval(pause);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        const quint64 run = m_run;
        Q_EMIT Written(int(m_next));
        // A receiver may have stopped or restarted the writer.
        if (run != m_run)
            return;
        if (m_next < m_bytes.size()) {
            WriteNext();
            return;
        }
        Stop();
        Q_EMIT Finished();
    });
}

void KeyboardWriter::Write(const QByteArray &bytes)
{
    Stop();
    m_bytes = bytes;
    if (m_bytes.isEmpty()) {
        Q_EMIT Finished();
        return;
    }
    WriteNext();
}

void KeyboardWriter::Stop()
{
    ++m_run;
    m_pause.stop();
    m_bytes.clear();
    m_next = 0;
}

void KeyboardWriter::WriteNext()
{
    // Writes that fail (no port access) are not reported: the device then never answers and
    // the exchange ends by its time-out.
    if (m_port)
        m_port->WriteKeyboardByte(static_cast<std::uint8_t>(m_bytes.at(m_next)));
    ++m_next;
    m_pause.start();
}
