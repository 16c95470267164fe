#pragma once

#include "link/keyboard/commandrepeater.h"
#include "link/linktimings.h"

#include <QByteArray>
#include <QObject>
#include <QStringView>

#include <functional>

class KeyboardPort;

// How every keyboard exchange gets the device's attention: the capture box is emptied, and the
// command is repeated until the device types its acknowledgement there. The repeater then
// stops and the interrupt mask is released, which lets the device's typed answer reach the PC.
// After 15 unanswered commands the mask is released all the same and the handshake has timed
// out. An exchange releases the mask once more when it ends.
class KeyboardHandshake : public QObject
{
    Q_OBJECT
public:
    // Whether the capture box holds the device's acknowledgement.
    using Acknowledgement = bool (*)(QStringView capture);

    KeyboardHandshake(KeyboardPort *port, LinkDuration interval, LinkDuration bytePause,
                      Acknowledgement acknowledged, QObject *parent = nullptr);

    // `command` is asked at every repetition, so the command in force at that moment goes out.
    void Start(std::function<QByteArray()> command);
    void Stop();
    // What the capture box holds whenever it changes; the acknowledgement ends the handshake.
    void CaptureChanged(const QString &text);
    // Unmasks the lines of the primary interrupt controller, the keyboard's included.
    void ReleaseMask();

    bool IsWaiting() const { return m_waiting; }
    // Repetitions of the command so far (16 once it gave up).
    int Ticks() const { return m_repeater.Ticks(); }

Q_SIGNALS:
    // From Start(): the capture box is to be emptied and given the focus.
    void CaptureReset();
    // The device acknowledged; the mask is released.
    void Acknowledged();
    // 15 commands went unanswered; the mask is released.
    void TimedOut();

private:
    KeyboardPort *m_port;
    Acknowledgement m_acknowledged;
    CommandRepeater m_repeater;
    bool m_waiting = false;
};
