#pragma once

#include "link/ports/comroute.h"

#include <QDialog>
#include <QList>

#include <array>
#include <optional>

class PortMapping;
class QComboBox;

// "Port Mapping": which device each of "Com 1" to "Com 4" reaches. Each port has a drop-down
// (`cboPort_0` to `cboPort_3`) of the serial ports present, the standard device, and an
// adapter chosen earlier that is unplugged now ("(not present)"); a port fixed by its
// K30CFG_COMn variable shows that and cannot be changed here. The lists follow adapters
// plugged in and out while the dialog is open. OK keeps the choices, Cancel leaves them.
class PortMappingDialog : public QDialog
{
    Q_OBJECT
public:
    PortMappingDialog(PortMapping &ports, QWidget *parent);

    // Opens it over `parent` (window-modal); it goes when closed.
    static PortMappingDialog *Open(PortMapping &ports, QWidget *parent);

    void accept() override;

private:
    // Rebuilds every list from the ports present, keeping what is chosen in the dialog.
    void ShowPorts();
    void OnChosen(int index, int item);
    // The standard item of each list names what the port would reach with nothing chosen,
    // which for "Com 1" depends on the other choices.
    void ShowStandardTexts();
    QString StandardText(int index) const;

    PortMapping &m_ports;
    PortChoices m_pending;
    std::array<QComboBox *, kComPortCount> m_lists{};
    // The choice behind each item of each list; none: the standard device.
    std::array<QList<std::optional<PortChoice>>, kComPortCount> m_items;
    bool m_showing = false;
};
