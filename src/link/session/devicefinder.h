#pragma once

#include "link/linktimings.h"
#include "link/session/portprobe.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PortMapping;
class QThread;
struct LinkSettings;
struct PortDetails;

// Looks for K30s on several ports at once, each port probed in a thread of its own (opening
// a serial port blocks while QSerialPort takes its lock file, and one port must not wait for
// another). A port named twice, also through a symbolic link, is probed once.
class DeviceFinder : public QObject
{
    Q_OBJECT
public:
    explicit DeviceFinder(QObject *parent = nullptr);
    ~DeviceFinder() override;

    // Starts probing `paths`, the line settings in ProbeOrder(first). Stops what ran before.
    void Start(const QStringList &paths, const SerialLineSettings &first,
               LinkDuration margin = kProbeMargin);
    // Closes every port; Finished() does not come.
    void Stop();
    bool IsRunning() const { return m_running > 0; }

    // One per port probed, in the order named; those still running are NotFound and tried 0.
    const QList<ProbeResult> &Results() const { return m_results; }
    // The ports as probed: duplicates dropped.
    QStringList Ports() const;
    // Line settings per port: what Progress() counts up to for each.
    int SettingsPerPort() const { return int(m_order.size()); }

Q_SIGNALS:
    void Trying(const QString &path, const SerialLineSettings &settings);
    // Settings tried so far, over all ports, and how many there are at most.
    void Progress(int tried, int total);
    void PortDone(int index, const ProbeResult &result);
    void Finished();

private:
    void OnTrying(const QString &path, const SerialLineSettings &settings);
    void OnDone(int index, const ProbeResult &result);

    QList<ProbeResult> m_results;
    QList<SerialLineSettings> m_order;
    std::vector<QThread *> m_threads;
    int m_running = 0;
    int m_tried = 0;
};

// The "Com n" that reaches `path` now (also through a symbolic link); 0 for none.
int ComPortReaching(const PortMapping &ports, const QString &path);
// Makes the device found the Transmit dialog's: "By RS232", its line settings, and the
// "Com n" that reaches its port; a port no "Com n" reaches is mapped to the first one that is
// neither chosen nor fixed by the environment, one that reaches no port present first.
// Returns the "Com n"; 0 when all four are taken, and then nothing is changed.
int UseFoundDevice(const ProbeResult &found, const PortDetails &port, PortMapping &ports,
                   LinkSettings &settings);

// The same port named twice, or once by a symbolic link: what remains, in the order named.
QStringList DistinctPorts(const QStringList &paths);
