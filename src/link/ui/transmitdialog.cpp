#include "link/ui/transmitdialog.h"

#include "core/keyboardlayout.h"
#include "core/pagetable.h"
#include "link/keyboard/keyboardexchange.h"
#include "link/linkchoices.h"
#include "link/serial/serialexchange.h"
#include "link/transmitmessages.h"
#include "link/wire/keyboardtext.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
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

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    // A bar without a percentage text, as the device's technicians know it; it also spares a
    // repaint for every character typed.
    m_progress->setTextVisible(false);
    m_progress->hide();

    auto *grid = new QGridLayout;
    grid->addWidget(Panel(), 0, 0);
    grid->addWidget(m_saveOption.frame, 0, 1);
    grid->addLayout(ButtonColumn(), 0, 2);

    MainLayout()->addLayout(grid);
    MainLayout()->addWidget(m_progress);
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
    const LinkSettings &link = State().link;
    Image &image = State().images.ConfigImage;
    LinkExchange *exchange = nullptr;
    if (link.LinkMode == LinkSettings::kByRs232) {
        exchange = new SerialExchange(kind, SerialTarget::FromSettings(link, Ports()), image,
                                      link.SaveFlag, m_timings, this);
    } else {
        exchange = new KeyboardExchange(
            kind, Keyboard(), image, [this] { return KeyboardCommand(); }, m_timings, this);
    }
    connect(exchange, &LinkExchange::Finished, this, &TransmitDialog::OnFinished);
    connect(exchange, &LinkExchange::Progress, this, &TransmitDialog::OnProgress);
    Run(exchange);
}

void TransmitDialog::OnFinished(const ExchangeResult &result)
{
    m_progress->hide();
    ExchangeEnded();
    if (result.kind == ExchangeKind::Upload)
        Q_EMIT UploadEnded();
    Tell(TransmitMessage(result));
}

void TransmitDialog::OnProgress(int value, int maximum)
{
    m_progress->setMaximum(maximum);
    m_progress->setValue(value);
    m_progress->show();
}

QByteArray TransmitDialog::KeyboardCommand() const
{
    // Read at every repetition: the choice in force at that moment goes out.
    if (State().link.UploadMode)
        return kCommandUploadText;
    return State().link.SaveFlag ? kCommandSaveText : kCommandNotSaveText;
}
