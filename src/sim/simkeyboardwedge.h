#pragma once

#include "link/keyboard/keyboardport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

class SimDevice;

// The K30 as a keyboard wedge, in-process: it takes the bytes written to the keyboard
// controller's data port and types its answers as key presses into the widget that has the
// focus (or a given target), one character at a time, as a keyboard would.
class SimKeyboardWedge : public QObject, public KeyboardPort
{
    Q_OBJECT
public:
    explicit SimKeyboardWedge(SimDevice &device, QObject *parent = nullptr);

    bool InitializeWinIo() override { return true; }
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override;

    // Where the typed keys go; by default the application's focus object.
    void SetTarget(QObject *target) { m_target = target; }
    void SetTypingInterval(int ms) { m_typing.setInterval(ms); }
    // How long the device takes before it starts typing an answer.
    void SetAnswerPause(int ms) { m_answerPauseMs = ms; }

    // Everything written to port 0x60, and how often port 0x21 was written.
    const QByteArray &Written() const { return m_written; }
    int MaskReleases() const { return m_maskReleases; }
    void ClearRecord();
    // Types bytes nobody asked for, as a scan.
    void TypeUnasked(const QByteArray &bytes);

Q_SIGNALS:
    void Typed(QChar c);

private:
    void TypeNext();

    SimDevice &m_device;
    QPointer<QObject> m_target;
    QTimer m_typing;
    QTimer m_delay;
    QByteArray m_toType;
    QByteArray m_written;
    int m_maskReleases = 0;
    int m_answerPauseMs = 30;
};
