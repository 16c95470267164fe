#include "link/ui/finddevicedialog.h"

#include "about/helpwindow.h"
#include "core/configdocument.h"
#include "core/linksettings.h"
#include "link/ports/portmapping.h"
#include "ui/helpkey.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    kPortColumn,
    kDescriptionColumn,
    kSerialColumn,
    kComColumn,
    kSettingsColumn,
    kVersionColumn,
    kColumnCount
};

QString ResultText(const ProbeResult &result)
{
    switch (result.outcome) {
    case ProbeResult::Outcome::Found:
        return PrintableText(result.version1) + QLatin1Char(' ') + PrintableText(result.version2);
    case ProbeResult::Outcome::Busy:
        return QStringLiteral("busy: held by another program, or no serial port; not probed");
    case ProbeResult::Outcome::Missing:
        return QStringLiteral("not present");
    case ProbeResult::Outcome::NotFound:
        break;
    }
    return QStringLiteral("no K30 found");
}

// What the system said of the port when the window listed them.
PortDetails PortOf(const QList<PortDetails> &present, const QString &path)
{
    PortDetails port;
    port.path = path;
    return FindPortByPath(present, path).value_or(port);
}

} // namespace

FindDeviceDialog::FindDeviceDialog(LinkSettings &settings, PortMapping &ports, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_ports(ports)
{
    setObjectName(QStringLiteral("frmFindDevice"));
    setWindowTitle(QStringLiteral("Find Device"));

    auto *question = new QLabel(
        QStringLiteral("Probing sends the firmware version request to each port checked below, "
                       "at every line setting a K30 can be set to.\nA device that is not a K30 "
                       "(a receipt printer, a modem) receives these bytes too. Probe the "
                       "ports checked?"),
        this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setWordWrap(true);
    auto *portsLabel = new QLabel(QStringLiteral("Ports to probe:"), this);
    // One check box per port, not a checkable list: a screen reader's Toggle action flips a
    // check box, while on a list row it only changes the selection.
    m_portList = new QWidget(this);
    m_portList->setObjectName(QStringLiteral("lstPorts"));
    m_portList->setLayout(new QVBoxLayout);
    auto *portScroll = new QScrollArea(this);
    portScroll->setWidget(m_portList);
    portScroll->setWidgetResizable(true);
    portScroll->setAccessibleName(QStringLiteral("Ports to probe"));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgProbe"));
    m_progress->setAccessibleName(QStringLiteral("Probing progress"));
    m_progress->setValue(0);

    auto *resultsLabel = new QLabel(QStringLiteral("&Results:"), this);
    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("lstResults"));
    m_results->setAccessibleName(QStringLiteral("Results"));
    m_results->setRootIsDecorated(false);
    m_results->setColumnCount(kColumnCount);
    m_results->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Description"),
                                QStringLiteral("Serial Number"), QStringLiteral("Com"),
                                QStringLiteral("Settings"), QStringLiteral("Version")});
    m_results->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    resultsLabel->setBuddy(m_results);
    connect(m_results, &QTreeWidget::itemSelectionChanged, this, &FindDeviceDialog::ShowSelection);
    connect(m_results, &QTreeWidget::itemActivated, this, &FindDeviceDialog::Use);

    m_probe = new QPushButton(QStringLiteral("&Probe"), this);
    m_probe->setObjectName(QStringLiteral("cmdProbe"));
    m_stop = new QPushButton(QStringLiteral("&Stop"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setEnabled(false);
    m_use = new QPushButton(QStringLiteral("&Use"), this);
    m_use->setObjectName(QStringLiteral("cmdUse"));
    m_use->setEnabled(false);
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CmdClose"));
    connect(m_probe, &QPushButton::clicked, this, &FindDeviceDialog::Probe);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_finder.Stop();
        OnFinished();
        m_status->setText(QStringLiteral("Stopped."));
    });
    connect(m_use, &QPushButton::clicked, this, &FindDeviceDialog::Use);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_probe);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    buttons->addWidget(m_use);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(portsLabel);
    layout->addWidget(portScroll);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(resultsLabel);
    layout->addWidget(m_results, 1);
    layout->addLayout(buttons);

    connect(&m_finder, &DeviceFinder::Trying, this,
            [this](const QString &path, const SerialLineSettings &line) {
                m_status->setText(QStringLiteral("Probing %1 at %2 ...")
                                      .arg(PrintableText(path), ProbeSettingsText(line)));
            });
    connect(&m_finder, &DeviceFinder::Progress, this, [this](int tried, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(tried);
    });
    connect(&m_finder, &DeviceFinder::PortDone, this, &FindDeviceDialog::OnPortDone);
    connect(&m_finder, &DeviceFinder::Finished, this, &FindDeviceDialog::OnFinished);
    AddHelpKey(this, [this] { ShowManual(parentWidget(), objectName()); });

    ListPorts();
    m_probe->setDefault(true);
}

FindDeviceDialog::~FindDeviceDialog()
{
    m_finder.Stop();
}

FindDeviceDialog *FindDeviceDialog::Open(LinkSettings &settings, PortMapping &ports,
                                         QWidget *parent)
{
    auto *dialog = new FindDeviceDialog(settings, ports, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

void FindDeviceDialog::done(int result)
{
    // Closed while probing: every port is closed before the window goes.
    m_finder.Stop();
    QDialog::done(result);
}

void FindDeviceDialog::ListPorts()
{
    m_ports.Refresh();
    m_present = m_ports.Present();
    qDeleteAll(m_portChecks);
    m_portChecks.clear();
    for (const PortDetails &port : m_present) {
        auto *check = new QCheckBox(PrintableText(PortShortText(port)), m_portList);
        check->setObjectName(QStringLiteral("chkPort%1").arg(m_portChecks.size()));
        check->setChecked(true);
        m_portList->layout()->addWidget(check);
        m_portChecks.append(check);
    }
    m_probe->setEnabled(!m_present.isEmpty());
    m_status->setText(m_present.isEmpty() ? QStringLiteral("No serial port is present.")
                                          : QStringLiteral("Nothing probed yet."));
}

void FindDeviceDialog::Probe()
{
    QStringList paths;
    for (qsizetype i = 0; i < m_portChecks.size(); ++i) {
        if (m_portChecks.at(i)->isChecked())
            paths.append(m_present.at(i).path);
    }
    if (paths.isEmpty()) {
        m_status->setText(QStringLiteral("No port is checked: nothing probed."));
        return;
    }
    m_results->clear();
    m_use->setEnabled(false);
    m_probe->setEnabled(false);
    m_portList->setEnabled(false);
    m_stop->setEnabled(true);
    m_progress->setValue(0);
    const SerialLineSettings first{m_settings.BaudSetting.toInt(), m_settings.DataBits(),
                                   m_settings.StopBits()};
    m_finder.Start(paths, first, m_margin);
}

void FindDeviceDialog::OnPortDone(int index, const ProbeResult &result)
{
    const PortDetails port = PortOf(m_present, result.path);
    const int com = ComPortReaching(m_ports, result.path);
    const bool found = result.outcome == ProbeResult::Outcome::Found;
    auto *item = new QTreeWidgetItem(m_results);
    item->setText(kPortColumn, PrintableText(result.path));
    item->setText(kDescriptionColumn, PrintableText(port.description));
    item->setText(kSerialColumn, PrintableText(port.serialNumber));
    item->setText(kComColumn, com > 0 ? QStringLiteral("Com %1").arg(com) : QString());
    item->setText(kSettingsColumn, found ? ProbeSettingsText(result.settings) : QString());
    item->setText(kVersionColumn, ResultText(result));
    // Where it is among the finder's results; -1: nothing to use.
    item->setData(kPortColumn, Qt::UserRole, found ? index : -1);
    if (found && !m_results->currentItem())
        m_results->setCurrentItem(item);
}

void FindDeviceDialog::OnFinished()
{
    m_stop->setEnabled(false);
    m_probe->setEnabled(!m_present.isEmpty());
    m_portList->setEnabled(true);
    int found = 0;
    for (const ProbeResult &result : m_finder.Results())
        found += result.outcome == ProbeResult::Outcome::Found ? 1 : 0;
    m_status->setText(found == 0 ? QStringLiteral("No K30 found.")
                                 : QStringLiteral("K30 found on %1 of %2 ports.")
                                       .arg(found)
                                       .arg(m_finder.Results().size()));
    if (m_results->currentItem())
        m_results->setFocus();
    ShowSelection();
}

void FindDeviceDialog::ShowSelection()
{
    const QTreeWidgetItem *item = m_results->currentItem();
    m_use->setEnabled(item && item->data(kPortColumn, Qt::UserRole).toInt() >= 0 &&
                      !m_finder.IsRunning());
}

void FindDeviceDialog::Use()
{
    const QTreeWidgetItem *item = m_results->currentItem();
    const int index = item ? item->data(kPortColumn, Qt::UserRole).toInt() : -1;
    if (index < 0 || index >= m_finder.Results().size() || m_finder.IsRunning())
        return;
    const ProbeResult found = m_finder.Results().at(index);
    const PortDetails port = PortOf(m_present, found.path);
    const int com = UseFoundDevice(found, port, m_ports, m_settings);
    if (com == 0) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Com 1 to Com 4 all lead to other ports. Choose the "
                                            "port for one of them in Port Mapping."));
        return;
    }
    Q_EMIT Used();
    accept();
}
