#include "sim/simulatedline.h"

#include "sim/simdevice.h"

SimulatedLine::SimulatedLine(SimDevice &device, QObject *parent)
    : SerialLine(parent), m_device(device)
{
}

bool SimulatedLine::Open(const QString &device, const SerialLineSettings &settings)
{
    Close();
    m_open = true;
    // A new opening starts a new frame on the device's side.
    m_device.ResetInput();
    m_device.AddLog(QStringLiteral("opened %1 at %2,N,%3,%4")
                        .arg(device)
                        .arg(settings.baud)
                        .arg(settings.dataBits)
                        .arg(settings.stopBits));
    return true;
}

void SimulatedLine::Close()
{
    m_open = false;
    ++m_opening;
    m_input.clear();
}

QByteArray SimulatedLine::ReadAll()
{
    return std::exchange(m_input, QByteArray());
}

void SimulatedLine::Write(const QByteArray &bytes)
{
    if (!m_open)
        return;
    const QByteArray answer = m_device.SerialInput(bytes);
    if (answer.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, answer, opening = m_opening] {
            if (opening != m_opening)
                return;
            m_input += answer;
            Q_EMIT ReadyRead();
        },
        Qt::QueuedConnection);
}
