#pragma once

#include "link/serial/serialline.h"

class SimDevice;

// A serial line to a simulated K30 in this process, without a pseudo-terminal: what the tool
// writes reaches the device at once, and the device's answer arrives on the next turn of the
// event loop. It stands in for the line where a serial port cannot be read from (Qt's serial
// port under wine). The device's log says where each opening went ("opened /dev/ttyS1 at
// 9600,N,8,1"); the device's delay, pacing and hang-up faults are the pseudo-terminal
// server's and do not apply.
class SimulatedLine final : public SerialLine
{
    Q_OBJECT
public:
    explicit SimulatedLine(SimDevice &device, QObject *parent = nullptr);

    bool Open(const QString &device, const SerialLineSettings &settings) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }

    qint64 BytesAvailable() const override { return m_input.size(); }
    QByteArray ReadAll() override;
    void DiscardInput() override { m_input.clear(); }
    void Write(const QByteArray &bytes) override;
    void Flush() override {}

private:
    SimDevice &m_device;
    QByteArray m_input;
    bool m_open = false;
    // Counts the openings: an answer still on its way to a line closed since is dropped.
    int m_opening = 0;
};
