#pragma once

#include "link/deviceexchange.h"
#include "link/linkmessage.h"
#include "link/session/devicesession.h"
#include "ui/pagecontext.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

class ExchangeRunner;
class LinkSettingsPanel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

// What both link dialogs share: the heading `Label1`, the shared link settings, a column of
// buttons, and the tiny capture box `Text1` that only holds the focus and collects what the
// device types. A dialog runs one exchange at a time: it starts it, keeps its buttons disabled
// meanwhile, and shows the outcome in a box of its own. Closing the dialog in the middle of an
// exchange stops it without a message, its port closed.
class LinkDialog : public QWidget
{
    Q_OBJECT
public:
    ~LinkDialog() override;

    bool IsExchangeRunning() const;
    // Shows the shared link settings again, after another window changed them.
    void ShowLinkSettings();

protected:
    // `type` is the dialog's number in the page table, which gives its object name and caption.
    LinkDialog(PageContext &context, int type, const char *heading, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;
    // Asked on closing, once a running exchange has been stopped; false keeps the dialog open.
    virtual bool ConfirmClose() { return true; }

    AppState &State() const { return m_state; }
    KeyboardPort *Keyboard() const { return m_keyboard; }
    // Which device each "Com n" reaches; may be null.
    PortMapping *Ports() const { return m_ports; }
    // Exchanges over the link the shared settings choose.
    DeviceSession Session() const { return {m_state.link, m_ports, m_keyboard}; }
    LinkSettingsPanel *Panel() const { return m_panel; }
    // The heading is its first row.
    QVBoxLayout *MainLayout() const { return m_layout; }
    DeviceExchange *Exchange() const;

    // A button of the command column, disabled while an exchange runs; a click runs onClick.
    QPushButton *MakeButton(const char *name, const char *caption,
                            const std::function<void()> &onClick);
    // `ProgressBar1`, shown while an exchange reports its progress.
    QProgressBar *MakeProgressBar();
    // `CmdClose`: stops a running exchange and closes the dialog.
    QPushButton *MakeCloseButton(const char *caption);
    // The buttons in the order they were made, then `below` if given, then the capture box at
    // the foot. Called once, after every other control has been made.
    QVBoxLayout *ButtonColumn(QWidget *below = nullptr);

    // Takes `exchange`, whose outcome the dialog has connected, disables the buttons and
    // starts it.
    void Run(DeviceExchange *exchange);
    // The exchange has reported its outcome: it goes, and the buttons are enabled again.
    void ExchangeEnded();

    // Asks with OK and Cancel (or Yes and No); OK or Yes runs `confirmed`, the other does
    // nothing.
    void Ask(const LinkMessage &question, std::function<void()> confirmed,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok | QMessageBox::Cancel);
    // Shows with an OK button only.
    void Tell(const LinkMessage &message);

private:
    void CloseDialog();

    AppState &m_state;
    KeyboardPort *m_keyboard;
    PortMapping *m_ports;
    QVBoxLayout *m_layout = nullptr;
    LinkSettingsPanel *m_panel = nullptr;
    ExchangeRunner *m_runner = nullptr;
};
