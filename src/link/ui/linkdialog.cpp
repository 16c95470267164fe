#include "link/ui/linkdialog.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "link/ui/linksettingspanel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

LinkDialog::LinkDialog(PageContext &context, const char *name, const char *heading, QWidget *parent)
    : QWidget(parent), m_state(context.state), m_keyboard(context.keyboard), m_ports(context.ports)
{
    setObjectName(Text(name));
    setWindowTitle(PageTitle(name));

    auto *label = new QLabel(Text(heading), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    label->setFont(font);

    m_panel = new LinkSettingsPanel(m_state.link, m_ports, this);

    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(label, 0, Qt::AlignHCenter);

    // Opening shows the shared settings; each selection runs its handler once, as a click
    // would.
    m_panel->Load();
}

LinkDialog::~LinkDialog()
{
    if (m_exchange) {
        m_exchange->Abort();
        delete m_exchange;
    }
}

bool LinkDialog::IsExchangeRunning() const
{
    return m_exchange && m_exchange->IsRunning();
}

void LinkDialog::closeEvent(QCloseEvent *event)
{
    // The main window may close the dialog in the middle of an exchange: it stops without a
    // message, its port closed, before the dialog asks anything of its own.
    StopExchange();
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

QPushButton *LinkDialog::MakeButton(const char *name, const char *caption)
{
    auto *button = new QPushButton(Text(caption), this);
    button->setObjectName(Text(name));
    m_buttons.append(button);
    return button;
}

QPushButton *LinkDialog::MakeCloseButton(const char *caption)
{
    QPushButton *button = MakeButton("CmdClose", caption);
    connect(button, &QPushButton::clicked, this, &LinkDialog::CloseDialog);
    return button;
}

QVBoxLayout *LinkDialog::ButtonColumn(QWidget *below)
{
    // Made after every other control, so that it comes last in the focus chain.
    m_capture = new QLineEdit(this);
    m_capture->setObjectName(QStringLiteral("Text1"));
    m_capture->setAccessibleName(QStringLiteral("Device answer"));
    m_capture->setFixedSize(16, 16);
    connect(m_capture, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_exchange)
            m_exchange->CaptureChanged(text);
    });

    auto *column = new QVBoxLayout;
    for (QPushButton *button : std::as_const(m_buttons))
        column->addWidget(button);
    if (below)
        column->addWidget(below);
    column->addStretch();
    column->addWidget(m_capture);
    return column;
}

void LinkDialog::Run(DeviceExchange *exchange)
{
    // The compare window may be uploading: two exchanges would share the line or the typed
    // answers.
    if (DeviceExchange::AnyRunning()) {
        exchange->deleteLater();
        Tell({DeviceBusyText(), windowTitle()});
        return;
    }
    m_exchange = exchange;
    connect(exchange, &DeviceExchange::CaptureReset, this, [this] {
        m_capture->clear();
        // The device types into whatever has the keyboard focus: the capture box, in the
        // active window (a message box that just closed may have left none active).
        m_capture->activateWindow();
        m_capture->setFocus();
    });
    SetButtonsEnabled(false);
    exchange->Start();
}

void LinkDialog::ExchangeEnded()
{
    if (m_exchange)
        m_exchange->deleteLater();
    m_exchange = nullptr;
    SetButtonsEnabled(true);
}

void LinkDialog::Ask(const LinkMessage &question, std::function<void()> confirmed,
                     QMessageBox::StandardButtons buttons)
{
    QMessageBox *box = ShowMessage(question, buttons);
    connect(box, &QMessageBox::finished, this, [confirmed = std::move(confirmed)](int result) {
        if (result == QMessageBox::Ok || result == QMessageBox::Yes)
            confirmed();
    });
}

void LinkDialog::Tell(const LinkMessage &message)
{
    ShowMessage(message, QMessageBox::Ok);
}

void LinkDialog::CloseDialog()
{
    StopExchange();
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
        window->close();
    else
        close();
}

void LinkDialog::StopExchange()
{
    if (!m_exchange)
        return;
    m_exchange->Abort();
    delete m_exchange;
    m_exchange = nullptr;
    SetButtonsEnabled(true);
}

void LinkDialog::SetButtonsEnabled(bool enabled)
{
    for (QPushButton *button : std::as_const(m_buttons))
        button->setEnabled(enabled);
}

QMessageBox *LinkDialog::ShowMessage(const LinkMessage &message,
                                     QMessageBox::StandardButtons buttons)
{
    // Asynchronous and owned by the dialog: when the dialog goes, its box goes with it and
    // nothing runs after.
    auto *box = new QMessageBox(QMessageBox::NoIcon, message.title, message.text, buttons, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
