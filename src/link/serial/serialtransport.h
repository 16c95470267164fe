#pragma once

#include "link/serial/serialline.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

// The serial line of one exchange: opened when the exchange starts, closed when it ends,
// whatever happened. A reply is handed over in one piece as soon as at least the armed
// number of bytes is buffered, however the bytes were split on the line; a reply whose first
// bytes announce more can be waited for further without losing what comes in meanwhile. The
// time a request gives the device runs on until the line is closed or the time-out is
// stopped or started again.
class SerialTransport : public QObject
{
    Q_OBJECT
public:
    explicit SerialTransport(std::unique_ptr<SerialLine> line, QObject *parent = nullptr);
    ~SerialTransport() override;

    // Closes the line if open, then opens `device` with the settings text ("9600,N,8,1 ").
    // False when the device is missing, held by another program, or refuses the settings; the
    // line is closed then.
    bool Open(const QString &device, const QString &settingsText);
    // Closes the line and stops the time-out.
    void Close();
    bool IsOpen() const { return m_line->IsOpen(); }

    // Discards received input and waits for `threshold` bytes.
    void Arm(int threshold);
    // Waits for `count` more bytes after those handed over, keeping whatever has arrived
    // since: the rest of a reply whose first bytes announced its length.
    void ArmMore(int count);
    void Send(const QByteArray &frame);
    // Hands what was sent to the line now, without blocking: a reply sent right before
    // Close() would otherwise be dropped with the port's write buffer.
    void Flush();
    // Arms for a reply of `threshold` bytes (stale input is discarded before `frame` goes out,
    // so a fast answer is not lost), sends `frame`, and gives the device `timeout` to answer.
    void Request(const QByteArray &frame, int threshold, std::chrono::milliseconds timeout);
    void StopTimeout() { m_timeout.stop(); }

Q_SIGNALS:
    // Everything buffered when the threshold was reached; the transport is disarmed then.
    void Received(const QByteArray &bytes);
    // The device did not answer a request in its time.
    void TimedOut();

private:
    void OnReadyRead();

    std::unique_ptr<SerialLine> m_line;
    QTimer m_timeout;
    int m_threshold = 0;
};
