#include "link/ui/linksettingspanel.h"

#include "link/linkchoices.h"
#include "link/ports/comroute.h"
#include "link/ports/portmapping.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

OptionFrame BuildOptionFrame(QWidget *parent, const LinkOptionGroup &options)
{
    OptionFrame result;
    result.frame = new QGroupBox(Text(options.caption), parent);
    result.frame->setObjectName(Text(options.frame));
    result.group = new QButtonGroup(parent);
    result.group->setObjectName(Text(options.group));
    auto *layout = new QVBoxLayout(result.frame);
    int index = 0;
    for (const FieldOption &option : options.options) {
        auto *button = new QRadioButton(Text(option.caption), result.frame);
        button->setObjectName(Text(options.group) + QLatin1Char('_') + QString::number(index));
        result.group->addButton(button, index);
        layout->addWidget(button);
        ++index;
    }
    layout->addStretch();
    // The design's choice, before the settings are applied.
    result.group->button(options.designIndex)->setChecked(true);
    return result;
}

void OnOptionChecked(const OptionFrame &options, QObject *context, const bool &showing,
                     std::function<void(int)> chosen)
{
    QObject::connect(options.group, &QButtonGroup::idToggled, context,
                     [&showing, chosen = std::move(chosen)](int index, bool checked) {
                         if (checked && !showing)
                             chosen(index);
                     });
}

namespace {

void Select(const OptionFrame &options, int index)
{
    if (QAbstractButton *button = options.group->button(index))
        button->setChecked(true);
}

} // namespace

LinkSettingsPanel::LinkSettingsPanel(LinkSettings &settings, PortMapping *ports, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_ports(ports)
{
    m_mode = BuildOptionFrame(this, kLinkModeGroup);
    m_port = BuildOptionFrame(this, kPortGroup);
    m_baud = BuildOptionFrame(this, kBaudGroup);
    m_dataBits = BuildOptionFrame(this, kDataBitsGroup);
    m_stopBits = BuildOptionFrame(this, kStopBitsGroup);

    // The device behind each port, and why it may be unavailable; the port list is read once
    // here, and followed while the panel is open.
    if (m_ports) {
        connect(m_ports, &PortMapping::Changed, this, &LinkSettingsPanel::ShowPortDevices);
        m_ports->Follow(this);
    }
    ShowPortDevices();

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_mode.frame, 0, 0);
    layout->addWidget(m_port.frame, 0, 1);
    layout->addWidget(m_baud.frame, 0, 2, 2, 1);
    layout->addWidget(m_dataBits.frame, 1, 0);
    layout->addWidget(m_stopBits.frame, 1, 1);

    OnOptionChecked(m_mode, this, m_showing, [this](int i) { OnMode(i); });
    OnOptionChecked(m_port, this, m_showing, [this](int i) { ChoosePort(m_settings, i); });
    OnOptionChecked(m_baud, this, m_showing, [this](int i) { ChooseBaud(m_settings, i); });
    OnOptionChecked(m_dataBits, this, m_showing, [this](int i) { ChooseDataBits(m_settings, i); });
    OnOptionChecked(m_stopBits, this, m_showing, [this](int i) { ChooseStopBits(m_settings, i); });
}

void LinkSettingsPanel::Load()
{
    // Each selection below is followed by its handler, run once on purpose.
    const QScopedValueRollback showing(m_showing, true);
    const int port = PortIndex(m_settings);
    Select(m_port, port);
    ChoosePort(m_settings, port);
    const int mode = m_settings.LinkMode == LinkSettings::kByRs232 ? 1 : 0;
    Select(m_mode, mode);
    OnMode(mode);
    const int baud = BaudIndex(m_settings);
    Select(m_baud, baud);
    ChooseBaud(m_settings, baud);
    const int dataBits = DataBitsIndex(m_settings);
    Select(m_dataBits, dataBits);
    ChooseDataBits(m_settings, dataBits);
    const int stopBits = StopBitsIndex(m_settings);
    Select(m_stopBits, stopBits);
    ChooseStopBits(m_settings, stopBits);
}

void LinkSettingsPanel::ShowPortDevices()
{
    for (int i = 0; i < kComPortCount; ++i) {
        // Without a mapping nothing is chosen and no port is known to be present.
        const ComRoute route = m_ports ? m_ports->Route(i + 1) : RouteComPort(i + 1, {}, {});
        m_port.group->button(i)->setToolTip(SerialPortToolTip(route));
    }
}

void LinkSettingsPanel::OnMode(int index)
{
    ChooseLinkMode(m_settings, index);
    const bool serial = index == LinkSettings::kByRs232;
    for (QGroupBox *frame : {m_port.frame, m_baud.frame, m_dataBits.frame, m_stopBits.frame})
        frame->setEnabled(serial);
}
