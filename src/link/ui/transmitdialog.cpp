#include "link/ui/transmitdialog.h"

#include "core/keyboardlayout.h"
#include "core/pagetable.h"
#include "link/linkchoices.h"
#include "link/transmitmessages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QVBoxLayout>

TransmitDialog::TransmitDialog(PageContext &context, QWidget *parent, const LinkTimings &timings)
    : LinkDialog(context, kTransmitDialog, "Download and Upload Configuration Data", parent),
      m_keyboardLayout(context.keyboardLayout), m_timings(timings)
{
    m_saveOption = BuildOptionFrame(this, kSaveGroup);

    MakeButton("cmdTransmit", "Download to Decoder", [this] { Download(); });
    MakeButton("cmdReceive", "Upload To PC", [this] { Upload(); });
    MakeButton("CmdVersion", "Get Firmware Version", [this] { AskVersion(); });
    MakeCloseButton("Close");

    auto *grid = new QGridLayout;
    grid->addWidget(Panel(), 0, 0);
    grid->addWidget(m_saveOption.frame, 0, 1);
    grid->addLayout(ButtonColumn(), 0, 2);

    MainLayout()->addLayout(grid);
    MainLayout()->addWidget(MakeProgressBar());
    MainLayout()->addStretch();

    OnOptionChecked(m_saveOption, this, m_showing,
                    [this](int i) { ChooseSaveOption(State().link, i); });

    // Opening shows the shared choice; the selection runs its handler once, as a click would.
    const int save = State().link.SaveFlag ? 1 : 0;
    {
        const QScopedValueRollback showing(m_showing, true);
        m_saveOption.group->button(save)->setChecked(true);
    }
    ChooseSaveOption(State().link, save);
}

void TransmitDialog::Download()
{
    // The device types with the language it is given, whatever the PC's layout: a mismatch
    // is asked about first, and No sends nothing.
    const std::optional<KeyboardLayout> pc =
        m_keyboardLayout ? m_keyboardLayout->Current() : std::nullopt;
    if (const std::optional<QString> question = LayoutQuestion(State().images.ConfigImage, pc)) {
        Ask(
            DownloadQuestion(*question), [this] { StartDownload(); },
            QMessageBox::Yes | QMessageBox::No);
        return;
    }
    StartDownload();
}

void TransmitDialog::StartDownload()
{
    State().link.UploadMode = false;
    StartExchange(ExchangeKind::Download);
}

void TransmitDialog::Upload()
{
    State().link.UploadMode = true;
    // Asked before anything is sent; Cancel sends nothing and shows nothing.
    Ask(UploadQuestion(), [this] { StartExchange(ExchangeKind::Upload); });
}

void TransmitDialog::AskVersion()
{
    State().link.UploadMode = true;
    StartExchange(ExchangeKind::Version);
}

void TransmitDialog::StartExchange(ExchangeKind kind)
{
    if (IsExchangeRunning())
        return;
    LinkExchange *exchange =
        Session().MakeExchange(kind, State().images.ConfigImage, m_timings, this);
    connect(exchange, &LinkExchange::Finished, this, &TransmitDialog::OnFinished);
    Run(exchange);
}

void TransmitDialog::OnFinished(const ExchangeResult &result)
{
    ExchangeEnded();
    if (result.kind == ExchangeKind::Upload && result.outcome == ExchangeOutcome::Good) {
        QString port = Session().DeviceWords();
        port.remove(QRegularExpression(QStringLiteral("^on ")));
        State().UploadPort = port;
        State().UploadVersion = result.version.split(QStringLiteral("\n\r"));
        State().UploadImage = State().images.ConfigImage;
    }
    if (result.kind == ExchangeKind::Upload)
        Q_EMIT UploadEnded();
    Tell(TransmitMessage(result));
}
