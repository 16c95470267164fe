#include "link/ui/linkdialog.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "link/ui/capturebox.h"
#include "link/ui/exchangerunner.h"
#include "link/ui/linksettingspanel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

LinkDialog::LinkDialog(PageContext &context, int type, const char *heading, QWidget *parent)
    : QWidget(parent), m_state(context.state), m_keyboard(context.keyboard), m_ports(context.ports)
{
    setObjectName(Text(PageInTable(type).window));
    setWindowTitle(Text(PageInTable(type).title));

    auto *label = new QLabel(Text(heading), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    label->setFont(font);

    m_panel = new LinkSettingsPanel(m_state.link, m_ports, this);
    // Closing the dialog stops a running exchange first.
    m_runner = new ExchangeRunner(this);

    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(label, 0, Qt::AlignHCenter);

    // Opening shows the shared settings; each selection runs its handler once, as a click
    // would.
    m_panel->Load();
}

LinkDialog::~LinkDialog()
{
    // Stopped while every control still stands.
    m_runner->Stop();
}

void LinkDialog::ShowLinkSettings()
{
    m_panel->Load();
}

bool LinkDialog::IsExchangeRunning() const
{
    return m_runner->IsRunning();
}

DeviceExchange *LinkDialog::Exchange() const
{
    return m_runner->Exchange();
}

void LinkDialog::closeEvent(QCloseEvent *event)
{
    // A running exchange has stopped already (ExchangeRunner).
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

QPushButton *LinkDialog::MakeButton(const char *name, const char *caption,
                                    const std::function<void()> &onClick)
{
    auto *button = new QPushButton(Text(caption), this);
    button->setObjectName(Text(name));
    connect(button, &QPushButton::clicked, this, onClick);
    m_runner->AddButton(button);
    return button;
}

QProgressBar *LinkDialog::MakeProgressBar()
{
    return m_runner->MakeProgress();
}

QPushButton *LinkDialog::MakeCloseButton(const char *caption)
{
    return MakeButton("CmdClose", caption, [this] { CloseDialog(); });
}

QVBoxLayout *LinkDialog::ButtonColumn(QWidget *below)
{
    // Made after every other control, so that it comes last in the focus chain.
    CaptureBox *capture = m_runner->MakeCapture();

    auto *column = new QVBoxLayout;
    for (QPushButton *button : m_runner->Buttons())
        column->addWidget(button);
    if (below)
        column->addWidget(below);
    column->addStretch();
    column->addWidget(capture);
    return column;
}

void LinkDialog::Run(DeviceExchange *exchange)
{
    // The compare window may be uploading.
    if (!m_runner->Run(exchange))
        Tell({DeviceBusyText(), windowTitle()});
}

void LinkDialog::ExchangeEnded()
{
    m_runner->Ended();
}

void LinkDialog::Ask(const LinkMessage &question, std::function<void()> confirmed,
                     QMessageBox::StandardButtons buttons)
{
    QMessageBox *box = ShowLinkMessage(this, question, buttons);
    connect(box, &QMessageBox::finished, this, [confirmed = std::move(confirmed)](int result) {
        if (result == QMessageBox::Ok || result == QMessageBox::Yes)
            confirmed();
    });
}

void LinkDialog::Tell(const LinkMessage &message)
{
    ShowLinkMessage(this, message);
}

void LinkDialog::CloseDialog()
{
    m_runner->Stop();
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
        window->close();
    else
        close();
}
