#pragma once

#include "link/serial/serialline.h"
#include "link/serial/serialtarget.h"
#include "link/session/scansplitter.h"

#include <QObject>
#include <QString>

#include <memory>

// Keeps the serial line open while a window or k30cfg-cli watches what the device sends, and
// hands over each scan. Closing it (or destroying it) closes the line.
class ScanListener : public QObject
{
    Q_OBJECT
public:
    ScanListener(std::unique_ptr<SerialLine> line, SerialTarget target, QObject *parent = nullptr);
    ~ScanListener() override;

    // False when the port cannot be had (missing, held by another program, settings refused).
    bool Start();
    void Stop();
    bool IsListening() const { return m_line->IsOpen(); }
    const SerialTarget &Target() const { return m_target; }

Q_SIGNALS:
    void Scanned(const QByteArray &scan, const QDateTime &at);
    // The line broke while open: a pulled cable, a device that went away.
    void Broken();

private:
    std::unique_ptr<SerialLine> m_line;
    SerialTarget m_target;
    ScanSplitter m_splitter;
};
