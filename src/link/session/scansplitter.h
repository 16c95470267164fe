#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <chrono>

// Cuts what the device sends while nobody asked into scans. The device sends a scan in one
// burst, its characters at most a character time-out apart (15 ms at the most), so a pause
// ends a scan whatever its framing says: a device configured otherwise than the file is cut
// the same way. A device that never pauses is cut every kMaxScanBytes.
class ScanSplitter : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kScanPause{100};
    static constexpr qsizetype kMaxScanBytes = 4096;

    explicit ScanSplitter(QObject *parent = nullptr);

    void Feed(QByteArrayView bytes);
    // Hands over what is held now (the line is closing).
    void Flush();

Q_SIGNALS:
    // `at` is when the scan's first byte arrived.
    void Scanned(const QByteArray &scan, const QDateTime &at);

private:
    QByteArray m_held;
    QDateTime m_at;
    QTimer m_pause;
};
