#pragma once

#include "core/linksettings.h"

#include <QWidget>

#include <functional>

class PortMapping;
class QButtonGroup;
class QGroupBox;

// An option group of a link dialog: its frame with one radio button per option, named
// "<group>_<index>", in a QButtonGroup named after the control array whose ids are the
// indexes; the design's option is selected.
struct OptionFrame
{
    QGroupBox *frame = nullptr;
    QButtonGroup *group = nullptr;
};
OptionFrame BuildOptionFrame(QWidget *parent, const LinkOptionGroup &options);
// Runs `chosen` with the option's index whenever an option of the group becomes checked,
// unless `showing` is set: then the dialog is only showing the settings.
void OnOptionChecked(const OptionFrame &options, QObject *context, const bool &showing,
                     std::function<void(int)> chosen);

// The settings controls both link dialogs carry: "Interface", "Port", "Baud Rate",
// "Data Bits" and "Stop Bits". Checking an option, by a click, a key or a screen reader's
// "Toggle", changes the shared link settings at once; the serial frames are enabled only
// "By RS232". The tool tip of each port option names the device it reaches now, following
// the adapters plugged in and out while the panel is shown.
class LinkSettingsPanel : public QWidget
{
    Q_OBJECT
public:
    // `ports` may be null: then "Com n" is what the environment or the standard device says.
    LinkSettingsPanel(LinkSettings &settings, PortMapping *ports, QWidget *parent);

    // Selects every option from the settings and runs its handler once, as a click would.
    void Load();

private:
    void OnMode(int index);
    void ShowPortDevices();

    LinkSettings &m_settings;
    PortMapping *m_ports;
    bool m_showing = false;
    OptionFrame m_mode;
    OptionFrame m_port;
    OptionFrame m_baud;
    OptionFrame m_dataBits;
    OptionFrame m_stopBits;
};
