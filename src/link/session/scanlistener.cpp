#include "link/session/scanlistener.h"

#include "link/serial/serialsettings.h"

ScanListener::ScanListener(std::unique_ptr<SerialLine> line, SerialTarget target, QObject *parent)
    : QObject(parent), m_line(std::move(line)), m_target(std::move(target))
{
    connect(m_line.get(), &SerialLine::ReadyRead, this,
            [this] { m_splitter.Feed(m_line->ReadAll()); });
    connect(m_line.get(), &SerialLine::Broken, this, [this] {
        m_splitter.Flush();
        Q_EMIT Broken();
    });
    connect(&m_splitter, &ScanSplitter::Scanned, this, &ScanListener::Scanned);
}

ScanListener::~ScanListener()
{
    Stop();
}

bool ScanListener::Start()
{
    const auto settings = ParseSerialSettings(m_target.settingsText);
    if (m_target.device.isEmpty() || !settings)
        return false;
    // Bytes that wait in the line from before it was opened are scans too: the device sent
    // them while nobody listened.
    return m_line->Open(m_target.device, *settings);
}

void ScanListener::Stop()
{
    if (m_line->IsOpen()) {
        m_line->Close();
        m_splitter.Flush();
    }
}
