#include "link/serial/serialportline.h"

SerialPortLine::SerialPortLine(QObject *parent) : SerialLine(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLine::ReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortLine::OnError);
}

SerialPortLine::~SerialPortLine()
{
    Close();
}

bool SerialPortLine::Open(const QString &device, const SerialLineSettings &settings)
{
    Close();
    m_port.setPortName(device);
    m_port.setBaudRate(settings.baud);
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
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

void SerialPortLine::Close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialPortLine::DiscardInput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void SerialPortLine::Write(const QByteArray &bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}

void SerialPortLine::Flush()
{
    if (m_port.isOpen())
        m_port.flush();
}

void SerialPortLine::OnError(QSerialPort::SerialPortError error)
{
    // A pulled cable or a peer that hung up: the line is gone, and leaving it open would only
    // keep reporting the same error. The exchange then ends by its time-out, which runs on.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        Close();
        Q_EMIT Broken();
    }
}
