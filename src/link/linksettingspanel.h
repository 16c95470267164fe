#pragma once

#include "core/linksettings.h"

#include <QWidget>

#include <initializer_list>

class QButtonGroup;
class QGroupBox;

// An option group of a link dialog: a frame named `frameName` with one radio button per
// caption, named "<group>_<index>", in a QButtonGroup named `group` whose ids are the indexes.
struct OptionFrame
{
    QGroupBox *frame = nullptr;
    QButtonGroup *group = nullptr;
};
OptionFrame BuildOptionFrame(QWidget *parent, const char *frameName, const char *caption,
                             const char *group, std::initializer_list<const char *> captions);

// The settings controls both link dialogs carry: "Interface", "Port", "Baud Rate",
// "Data Bits" and "Stop Bits". A click changes the shared link settings at once; the serial
// frames are enabled only "By RS232".
class LinkSettingsPanel : public QWidget
{
    Q_OBJECT
public:
    LinkSettingsPanel(LinkSettings &settings, QWidget *parent);

    // Selects every option from the settings, running its click handler as a click would.
    void Load();

private:
    void OnMode(int index);

    LinkSettings &m_settings;
    OptionFrame m_mode;
    OptionFrame m_port;
    OptionFrame m_baud;
    OptionFrame m_dataBits;
    OptionFrame m_stopBits;
};
