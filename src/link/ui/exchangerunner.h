#pragma once

#include "link/deviceexchange.h"

#include <QList>
#include <QObject>
#include <QPointer>

class CaptureBox;
class QPushButton;
class QWidget;

// How a window runs its exchanges with the device, one at a time: it keeps the running one,
// disables the window's buttons meanwhile, lends it the capture box `Text1` for the keyboard
// path, and stops it at once when the window goes or asks. An exchange is refused while any
// other exchange of the program runs, since they would share the line or the typed answers.
class ExchangeRunner : public QObject
{
    Q_OBJECT
public:
    explicit ExchangeRunner(QObject *parent);
    ~ExchangeRunner() override;

    // Makes the capture box in `window`; made after the window's other controls, it comes
    // last in the focus chain.
    CaptureBox *MakeCapture(QWidget *window);
    // A button that is disabled while an exchange runs.
    void AddButton(QPushButton *button) { m_buttons.append(button); }
    const QList<QPushButton *> &Buttons() const { return m_buttons; }
    bool IsRunning() const { return m_exchange && m_exchange->IsRunning(); }
    DeviceExchange *Exchange() const { return m_exchange; }

    // Takes `exchange`, whose outcome the window has connected, disables the buttons and
    // starts it. False, with the exchange thrown away unstarted, while another exchange of
    // the program runs.
    bool Run(DeviceExchange *exchange);
    // The exchange has reported its outcome: it goes, and the buttons are enabled again.
    void Ended();
    // Stops a running exchange without an outcome, its port closed.
    void Stop();

private:
    void SetButtonsEnabled(bool enabled);

    CaptureBox *m_capture = nullptr;
    QList<QPushButton *> m_buttons;
    QPointer<DeviceExchange> m_exchange;
};
