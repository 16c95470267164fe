#include "link/session/scansplitter.h"

ScanSplitter::ScanSplitter(QObject *parent) : QObject(parent)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kScanPause);
    connect(&m_pause, &QTimer::timeout, this, &ScanSplitter::Flush);
}

void ScanSplitter::Feed(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        if (m_held.isEmpty())
            m_at = QDateTime::currentDateTime();
        const qsizetype room = kMaxScanBytes - m_held.size();
        m_held += bytes.first(std::min(room, bytes.size()));
        bytes = bytes.sliced(std::min(room, bytes.size()));
        if (m_held.size() >= kMaxScanBytes)
            Flush();
    }
    if (!m_held.isEmpty())
        m_pause.start();
}

void ScanSplitter::Flush()
{
    m_pause.stop();
    if (m_held.isEmpty())
        return;
    const QByteArray scan = std::exchange(m_held, {});
    Q_EMIT Scanned(scan, m_at);
}
