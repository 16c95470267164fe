#pragma once

#include "link/ports/portdetails.h"
#include "link/session/devicefinder.h"

#include <QDialog>
#include <QList>

class PortMapping;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;
struct LinkSettings;

// "Find Device": probes serial ports for a K30 and lists where one answered. It first lists
// the ports present, each checked, and probes only when the user presses "Probe": probing
// writes to whatever is on a port (a receipt printer, a modem). Each port found shows its
// path, description, serial number, the "Com n" that reaches it, the line settings and the
// firmware version; "Use" makes one the Transmit dialog's port and settings. Closing the
// window stops the probing.
class FindDeviceDialog : public QDialog
{
    Q_OBJECT
public:
    FindDeviceDialog(LinkSettings &settings, PortMapping &ports, QWidget *parent);
    ~FindDeviceDialog() override;

    // Opens it over `parent` (window-modal); it goes when closed.
    static FindDeviceDialog *Open(LinkSettings &settings, PortMapping &ports, QWidget *parent);

    // The probes wait this much for a device to start answering (the tests shorten it).
    void SetMargin(LinkDuration margin) { m_margin = margin; }

Q_SIGNALS:
    // The link settings now name the device found.
    void Used();

protected:
    void done(int result) override;

private:
    void ListPorts();
    void Probe();
    void OnPortDone(int index, const ProbeResult &result);
    void OnFinished();
    void Use();
    void ShowSelection();

    LinkSettings &m_settings;
    PortMapping &m_ports;
    DeviceFinder m_finder;
    LinkDuration m_margin = kProbeMargin;
    QList<PortDetails> m_present;
    QListWidget *m_portList = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QTreeWidget *m_results = nullptr;
    QPushButton *m_probe = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_use = nullptr;
};
