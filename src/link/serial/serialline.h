#pragma once

#include "link/serial/serialsettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line an exchange talks through: bytes out and bytes in, nothing of frames,
// thresholds or time-outs (SerialTransport adds those). The system's serial ports are one kind
// (SerialPortLine); a device simulated in this process can be another, where a serial port
// cannot be read from (Qt's serial port under wine).
class SerialLine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens `device` for this program alone with `settings`, pending output discarded. False
    // when the device is missing, held by another program or refuses the settings; the line
    // is closed then.
    virtual bool Open(const QString &device, const SerialLineSettings &settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual qint64 BytesAvailable() const = 0;
    virtual QByteArray ReadAll() = 0;
    // Drops what has arrived and was not read.
    virtual void DiscardInput() = 0;
    // A write that fails is not reported: the exchange ends by its reply or its time-out.
    virtual void Write(const QByteArray &bytes) = 0;
    // Hands what was written to the line now, without blocking.
    virtual void Flush() = 0;

Q_SIGNALS:
    // Bytes have arrived. A line that breaks (a pulled cable, a peer that hung up) closes
    // itself; nothing more arrives then.
    void ReadyRead();
    // The line broke and closed itself.
    void Broken();
};
