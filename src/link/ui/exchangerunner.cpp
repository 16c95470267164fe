#include "link/ui/exchangerunner.h"

#include "link/ui/capturebox.h"

#include <QEvent>
#include <QProgressBar>
#include <QPushButton>

ExchangeRunner::ExchangeRunner(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

CaptureBox *ExchangeRunner::MakeCapture()
{
    m_capture = new CaptureBox(m_window);
    return m_capture;
}

QProgressBar *ExchangeRunner::MakeProgress()
{
    m_progress = new QProgressBar(m_window);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    // A bar without a percentage text, as the device's technicians know it; it also spares a
    // repaint for every character typed.
    m_progress->setTextVisible(false);
    m_progress->hide();
    return m_progress;
}

ExchangeRunner::~ExchangeRunner()
{
    if (m_exchange) {
        m_exchange->Abort();
        delete m_exchange;
    }
}

bool ExchangeRunner::Run(DeviceExchange *exchange)
{
    if (DeviceExchange::AnyRunning()) {
        exchange->deleteLater();
        return false;
    }
    m_exchange = exchange;
    m_capture->Follow(exchange);
    if (m_progress)
        connect(exchange, &DeviceExchange::Progress, this, &ExchangeRunner::ShowProgress);
    SetButtonsEnabled(false);
    exchange->Start();
    return true;
}

void ExchangeRunner::Ended()
{
    if (m_exchange)
        m_exchange->deleteLater();
    m_exchange = nullptr;
    AtRest();
}

void ExchangeRunner::Stop()
{
    if (!m_exchange)
        return;
    m_exchange->Abort();
    delete m_exchange;
    m_exchange = nullptr;
    AtRest();
}

bool ExchangeRunner::eventFilter(QObject *watched, QEvent *event)
{
    // The main window may close a window in the middle of an exchange: it stops without a
    // message, its port closed, before the window asks anything of its own.
    if (watched == m_window && event->type() == QEvent::Close)
        Stop();
    return QObject::eventFilter(watched, event);
}

void ExchangeRunner::SetButtonsEnabled(bool enabled)
{
    for (QPushButton *button : std::as_const(m_buttons))
        button->setEnabled(enabled);
}

void ExchangeRunner::AtRest()
{
    SetButtonsEnabled(true);
    // The bar shows the running exchange only.
    if (m_progress)
        m_progress->hide();
}

void ExchangeRunner::ShowProgress(int value, int maximum)
{
    m_progress->setMaximum(maximum);
    m_progress->setValue(value);
    m_progress->show();
}

QMessageBox *ShowLinkMessage(QWidget *window, const LinkMessage &message,
                             QMessageBox::StandardButtons buttons)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, message.title, message.text, buttons, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
