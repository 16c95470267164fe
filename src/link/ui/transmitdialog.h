#pragma once

#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "link/ui/linksettingspanel.h"
#include "pages/pagecontext.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLineEdit;
class QMessageBox;
class QProgressBar;
class QPushButton;

// "Transmit": downloads the configuration into the device, uploads one section of it back
// and asks for the firmware version, over the serial port or the keyboard path chosen in the
// shared link settings. The exchanges run on their own; the dialog starts one, keeps its
// buttons disabled meanwhile, and shows the outcome.
class TransmitDialog : public QWidget
{
    Q_OBJECT
public:
    TransmitDialog(PageContext &context, QWidget *parent, const LinkTimings &timings = {});
    ~TransmitDialog() override;

    bool IsExchangeRunning() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Download();
    void Upload();
    void AskVersion();
    void CloseDialog();

    void StartExchange(ExchangeKind kind);
    void OnFinished(const ExchangeResult &result);
    void OnProgress(int value, int maximum);
    void SetButtonsEnabled(bool enabled);
    void StopExchange();
    QByteArray KeyboardCommand() const;
    QMessageBox *ShowMessage(const QString &text, const QString &title, bool withCancel);

    AppState &m_state;
    KeyboardPort *m_keyboard;
    LinkTimings m_timings;
    LinkSettingsPanel *m_panel = nullptr;
    OptionFrame m_saveOption;
    // Set while the dialog shows the settings: selecting an option then stores nothing.
    bool m_showing = false;
    QPushButton *m_transmit = nullptr;
    QPushButton *m_receive = nullptr;
    QPushButton *m_version = nullptr;
    QPushButton *m_close = nullptr;
    QProgressBar *m_progress = nullptr;
    QLineEdit *m_capture = nullptr;
    QPointer<LinkExchange> m_exchange;
};
