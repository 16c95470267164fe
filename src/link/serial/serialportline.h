#pragma once

#include "link/serial/serialline.h"

#include <QSerialPort>

// A serial port of the system (a COM port, a USB adapter, a pseudo-terminal), through
// QSerialPort.
class SerialPortLine : public SerialLine
{
    Q_OBJECT
public:
    explicit SerialPortLine(QObject *parent = nullptr);
    ~SerialPortLine() override;

    bool Open(const QString &device, const SerialLineSettings &settings) override;
    void Close() override;
    bool IsOpen() const override { return m_port.isOpen(); }

    qint64 BytesAvailable() const override { return m_port.bytesAvailable(); }
    QByteArray ReadAll() override { return m_port.readAll(); }
    void DiscardInput() override;
    void Write(const QByteArray &bytes) override;
    void Flush() override;

private:
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};
