#pragma once

#include "link/linktimings.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class KeyboardPort;

// Writes bytes one by one to the keyboard controller, pausing after each so the controller
// can pass it on. The pause is a timer: the event loop keeps running while the bytes go out.
class KeyboardWriter : public QObject
{
    Q_OBJECT
public:
    KeyboardWriter(KeyboardPort *port, LinkDuration pause, QObject *parent = nullptr);

    void Write(const QByteArray &bytes);
    void Stop();
    // Bytes of the current run are still to go out, or the last one's pause is running.
    bool IsBusy() const { return !m_bytes.isEmpty(); }

Q_SIGNALS:
    // `count` bytes of the current run are written (each signal after its pause).
    void Written(int count);
    // The last byte and its pause are done.
    void Finished();

private:
    void WriteNext();

    KeyboardPort *m_port;
    QTimer m_pause;
    QByteArray m_bytes;
    qsizetype m_next = 0;
    quint64 m_run = 0;
};
