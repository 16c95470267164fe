#include "link/serial/serialtransport.h"

#include "link/serial/serialsettings.h"

SerialTransport::SerialTransport(std::unique_ptr<SerialLine> line, QObject *parent)
    : QObject(parent), m_line(std::move(line))
{
    connect(m_line.get(), &SerialLine::ReadyRead, this, &SerialTransport::OnReadyRead);
    m_timeout.setSingleShot(true);
    // A coarse timer may fire a few percent early; the device is given its full time.
    m_timeout.setTimerType(Qt::PreciseTimer);
    connect(&m_timeout, &QTimer::timeout, this, &SerialTransport::TimedOut);
}

SerialTransport::~SerialTransport()
{
    Close();
}

bool SerialTransport::Open(const QString &device, const QString &settingsText)
{
    Close();
    const auto settings = ParseSerialSettings(settingsText);
    // No device: the adapter chosen for the port is not plugged in. (An empty name would
    // otherwise be taken as the folder /dev/.)
    if (!settings || device.isEmpty())
        return false;
    return m_line->Open(device, *settings);
}

void SerialTransport::Close()
{
    m_timeout.stop();
    m_threshold = 0;
    m_line->Close();
}

void SerialTransport::Arm(int threshold)
{
    m_line->DiscardInput();
    m_threshold = threshold;
}

void SerialTransport::ArmMore(int count)
{
    m_threshold = count;
    // Bytes that came in with the part already handed over raise no new ReadyRead.
    if (m_line->IsOpen() && m_line->BytesAvailable() >= count)
        QMetaObject::invokeMethod(this, &SerialTransport::OnReadyRead, Qt::QueuedConnection);
}

void SerialTransport::Send(const QByteArray &frame)
{
    m_line->Write(frame);
}

void SerialTransport::Flush()
{
    m_line->Flush();
}

void SerialTransport::Request(const QByteArray &frame, int threshold,
                              std::chrono::milliseconds timeout)
{
    Arm(threshold);
    Send(frame);
    m_timeout.start(timeout);
}

void SerialTransport::OnReadyRead()
{
    if (m_threshold <= 0 || m_line->BytesAvailable() < m_threshold)
        return;
    m_threshold = 0;
    Q_EMIT Received(m_line->ReadAll());
}
