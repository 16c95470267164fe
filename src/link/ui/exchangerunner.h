#pragma once

#include "link/deviceexchange.h"
#include "link/linkmessage.h"

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

class CaptureBox;
class QProgressBar;
class QPushButton;
class QWidget;

// How a window runs its exchanges with the device, one at a time: it keeps the running one,
// disables the window's buttons meanwhile, lends it the capture box `Text1` for the keyboard
// path, shows its progress, and stops it at once when the window closes or goes, or asks. An
// exchange is refused while any other exchange of the program runs, since they would share the
// line or the typed answers.
class ExchangeRunner : public QObject
{
    Q_OBJECT
public:
    // Closing `window` stops the running exchange without an outcome, before the window's own
    // closeEvent() asks anything.
    explicit ExchangeRunner(QWidget *window);
    ~ExchangeRunner() override;

    // Makes the capture box in the window; made after the window's other controls, it comes
    // last in the focus chain.
    CaptureBox *MakeCapture();
    // Makes the progress bar `ProgressBar1`, shown while an exchange reports its progress.
    QProgressBar *MakeProgress();
    // A button that is disabled while an exchange runs.
    void AddButton(QPushButton *button) { m_buttons.append(button); }
    const QList<QPushButton *> &Buttons() const { return m_buttons; }
    bool IsRunning() const { return m_exchange && m_exchange->IsRunning(); }
    DeviceExchange *Exchange() const { return m_exchange; }

    // Takes `exchange`, whose outcome the window has connected, disables the buttons and
    // starts it. False, with the exchange thrown away unstarted, while another exchange of
    // the program runs.
    bool Run(DeviceExchange *exchange);
    // The exchange has reported its outcome: it goes, the buttons are enabled again and the
    // progress bar hidden.
    void Ended();
    // Stops a running exchange without an outcome, its port closed.
    void Stop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetButtonsEnabled(bool enabled);
    // No exchange runs: the buttons are enabled and the progress bar hidden.
    void AtRest();
    void ShowProgress(int value, int maximum);

    QWidget *m_window;
    CaptureBox *m_capture = nullptr;
    QProgressBar *m_progress = nullptr;
    QList<QPushButton *> m_buttons;
    QPointer<DeviceExchange> m_exchange;
};

// Shows `message` in a box of `window`'s own, at once and without waiting for it; the box goes
// with the window, and nothing runs after it then.
QMessageBox *ShowLinkMessage(QWidget *window, const LinkMessage &message,
                             QMessageBox::StandardButtons buttons = QMessageBox::Ok);
