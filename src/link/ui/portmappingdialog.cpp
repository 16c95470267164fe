#include "link/ui/portmappingdialog.h"

#include "link/ports/portmapping.h"
#include "link/ports/serialdevice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

PortMappingDialog::PortMappingDialog(PortMapping &ports, QWidget *parent)
    : QDialog(parent), m_ports(ports), m_pending(ports.Choices())
{
    setObjectName(QStringLiteral("frmPortMapping"));
    setWindowTitle(QStringLiteral("Port Mapping"));

    auto *heading = new QLabel(
        QStringLiteral("Which device \"Com 1\" to \"Com 4\" reach in the Transmit and memory "
                       "dialogs.\nAn adapter with a serial number is found again wherever it "
                       "is plugged in; other\nports are kept by their device path."),
        this);
    heading->setObjectName(QStringLiteral("lblHeading"));

    auto *grid = new QGridLayout;
    for (int i = 0; i < kComPortCount; ++i) {
        auto *label = new QLabel(QStringLiteral("Com &%1").arg(i + 1), this);
        label->setObjectName(QStringLiteral("lblPort_%1").arg(i));
        m_lists[i] = new QComboBox(this);
        m_lists[i]->setObjectName(QStringLiteral("cboPort_%1").arg(i));
        m_lists[i]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        label->setBuddy(m_lists[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(m_lists[i], i, 1);
        connect(m_lists[i], &QComboBox::currentIndexChanged, this,
                [this, i](int item) { OnChosen(i, item); });
    }
    grid->setColumnStretch(1, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons);

    // The port list is read once here, and followed while the dialog is open.
    connect(&m_ports, &PortMapping::Changed, this, &PortMappingDialog::ShowPorts);
    m_ports.Follow(this);
    ShowPorts();
}

PortMappingDialog *PortMappingDialog::Open(PortMapping &ports, QWidget *parent)
{
    auto *dialog = new PortMappingDialog(ports, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

void PortMappingDialog::accept()
{
    // A port fixed by the environment keeps the choice it had.
    m_ports.SetChoices(m_pending);
    QDialog::accept();
}

void PortMappingDialog::ShowPorts()
{
    const QScopedValueRollback showing(m_showing, true);
    const QList<PortDetails> &present = m_ports.Present();
    NoteWhereChosenAre(m_pending, present);
    for (int i = 0; i < kComPortCount; ++i) {
        QComboBox *list = m_lists[i];
        auto &items = m_items[i];
        list->clear();
        items.clear();
        const ComRoute route = RouteComPort(i + 1, m_pending, present);
        if (route.origin == RouteOrigin::Environment) {
            const QString variable = ComVariableName(i + 1);
            list->addItem(route.device + QStringLiteral(": fixed by ") + variable +
                          QStringLiteral(" in the environment"));
            items << route.choice;
            list->setEnabled(false);
            list->setToolTip(QStringLiteral("%1 is set in the environment and wins over the "
                                            "choice made here; unset it to choose here.")
                                 .arg(variable));
            continue;
        }
        list->setEnabled(true);
        list->setToolTip(QString());
        list->addItem(StandardText(i));
        items << std::nullopt;
        int selected = 0;
        for (const PortDetails &port : present) {
            list->addItem(PortLongText(port));
            items << PortChoice::Of(port);
            if (route.origin == RouteOrigin::Choice && route.port && route.port->path == port.path)
                selected = static_cast<int>(items.size()) - 1;
        }
        if (route.origin == RouteOrigin::Choice && !route.port) {
            list->addItem(PortShortText(route.choice->LastSeen()) +
                          QStringLiteral(" (not present)"));
            items << route.choice;
            selected = static_cast<int>(items.size()) - 1;
        }
        list->setCurrentIndex(selected);
    }
}

void PortMappingDialog::OnChosen(int index, int item)
{
    if (m_showing || item < 0 || item >= m_items[index].size())
        return;
    m_pending[index] = m_items[index][item];
    ShowStandardTexts();
}

void PortMappingDialog::ShowStandardTexts()
{
    for (int i = 0; i < kComPortCount; ++i) {
        if (m_lists[i]->isEnabled() && m_lists[i]->count() > 0)
            m_lists[i]->setItemText(0, StandardText(i));
    }
}

QString PortMappingDialog::StandardText(int index) const
{
    PortChoices without = m_pending;
    without[index].reset();
    const ComRoute route = RouteComPort(index + 1, without, m_ports.Present());
    if (route.origin == RouteOrigin::OnlyAdapter)
        return QStringLiteral("Standard: %1 (the only USB adapter)").arg(route.device);
    QString text = QStringLiteral("Standard: ") + route.device;
    if (!route.port)
        text += QStringLiteral(" (not present)");
    return text;
}
