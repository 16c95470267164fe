#include "link/serial/serialtransport.h"

#include "link/serial/serialsettings.h"

SerialTransport::SerialTransport(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialTransport::OnReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::OnError);
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
    m_port.setPortName(device);
    m_port.setBaudRate(settings->baud);
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings->dataBits));
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(settings->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // QSerialPort takes the line exclusively (lock file and TIOCEXCL), so a port held by
    // another program fails here.
    if (!m_port.open(QIODevice::ReadWrite)) {
        Close();
        return false;
    }
    m_port.clear(QSerialPort::Output);
    return true;
}

void SerialTransport::Close()
{
    m_timeout.stop();
    ClosePort();
}

void SerialTransport::ClosePort()
{
    m_threshold = 0;
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialTransport::Arm(int threshold)
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
    m_threshold = threshold;
}

void SerialTransport::ArmMore(int count)
{
    m_threshold = count;
    // Bytes that came in with the part already handed over raise no new readyRead.
    if (m_port.isOpen() && m_port.bytesAvailable() >= count)
        QMetaObject::invokeMethod(this, &SerialTransport::OnReadyRead, Qt::QueuedConnection);
}

void SerialTransport::Send(const QByteArray &frame)
{
    // A failing write is not reported: the exchange ends by its reply or its time-out.
    if (m_port.isOpen())
        m_port.write(frame);
}

void SerialTransport::Flush()
{
    if (m_port.isOpen())
        m_port.flush();
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
    if (m_threshold <= 0 || m_port.bytesAvailable() < m_threshold)
        return;
    m_threshold = 0;
    Q_EMIT Received(m_port.readAll());
}

void SerialTransport::OnError(QSerialPort::SerialPortError error)
{
    // A pulled cable or a peer that hung up: the line is gone, and leaving it open would only
    // keep reporting the same error. The exchange then ends by its time-out, which runs on.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
        ClosePort();
}
