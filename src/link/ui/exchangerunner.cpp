#include "link/ui/exchangerunner.h"

#include "link/ui/capturebox.h"

#include <QPushButton>

ExchangeRunner::ExchangeRunner(QObject *parent) : QObject(parent) {}

CaptureBox *ExchangeRunner::MakeCapture(QWidget *window)
{
    m_capture = new CaptureBox(window);
    return m_capture;
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
    SetButtonsEnabled(false);
    exchange->Start();
    return true;
}

void ExchangeRunner::Ended()
{
    if (m_exchange)
        m_exchange->deleteLater();
    m_exchange = nullptr;
    SetButtonsEnabled(true);
}

void ExchangeRunner::Stop()
{
    if (!m_exchange)
        return;
    m_exchange->Abort();
    delete m_exchange;
    m_exchange = nullptr;
    SetButtonsEnabled(true);
}

void ExchangeRunner::SetButtonsEnabled(bool enabled)
{
    for (QPushButton *button : std::as_const(m_buttons))
        button->setEnabled(enabled);
}
