#include "link/ui/transmitdialog.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "link/keyboardexchange.h"
#include "link/keyboardtext.h"
#include "link/linkchoices.h"
#include "link/serialexchange.h"
#include "link/transmitmessages.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

TransmitDialog::TransmitDialog(PageContext &context, QWidget *parent, const LinkTimings &timings)
    : QWidget(parent), m_state(context.state), m_keyboard(context.keyboard), m_timings(timings)
{
    setObjectName(QStringLiteral("frmTransmit"));
    setWindowTitle(PageTitle("frmTransmit"));

    auto *heading = new QLabel(QStringLiteral("Download and Upload Configuration Data"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);

    m_panel = new LinkSettingsPanel(m_state.link, this);
    m_saveOption =
        BuildOptionFrame(this, "Frame5", "Download Option", "Option1", {"Not Save", "Save"});
    m_saveOption.group->button(0)->setChecked(true);

    auto makeButton = [this](const char *name, const char *caption) {
        auto *button = new QPushButton(Text(caption), this);
        button->setObjectName(Text(name));
        return button;
    };
    m_transmit = makeButton("cmdTransmit", "Download to Decoder");
    m_receive = makeButton("cmdReceive", "Upload To PC");
    m_version = makeButton("CmdVersion", "Get Firmware Version");
    m_close = makeButton("CmdClose", "Close");

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    // A bar without a percentage text, as the device's technicians know it; it also spares a
    // repaint for every character typed.
    m_progress->setTextVisible(false);
    m_progress->hide();

    // Only holds the focus and collects what the device types.
    m_capture = new QLineEdit(this);
    m_capture->setObjectName(QStringLiteral("Text1"));
    m_capture->setFixedSize(16, 16);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {m_transmit, m_receive, m_version, m_close})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_capture);

    auto *grid = new QGridLayout;
    grid->addWidget(m_panel, 0, 0);
    grid->addWidget(m_saveOption.frame, 0, 1);
    grid->addLayout(buttons, 0, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addLayout(grid);
    layout->addWidget(m_progress);
    layout->addStretch();

    OnOptionChecked(m_saveOption, this, m_showing,
                    [this](int i) { ChooseSaveOption(m_state.link, i); });
    connect(m_transmit, &QPushButton::clicked, this, &TransmitDialog::Download);
    connect(m_receive, &QPushButton::clicked, this, &TransmitDialog::Upload);
    connect(m_version, &QPushButton::clicked, this, &TransmitDialog::AskVersion);
    connect(m_close, &QPushButton::clicked, this, &TransmitDialog::CloseDialog);
    connect(m_capture, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_exchange)
            m_exchange->CaptureChanged(text);
    });

    // Opening shows the shared settings; each selection runs its handler once, as a click
    // would.
    const int save = m_state.link.SaveFlag ? 1 : 0;
    {
        const QScopedValueRollback showing(m_showing, true);
        m_saveOption.group->button(save)->setChecked(true);
    }
    ChooseSaveOption(m_state.link, save);
    m_panel->Load();
}

TransmitDialog::~TransmitDialog()
{
    StopExchange();
}

bool TransmitDialog::IsExchangeRunning() const
{
    return m_exchange && m_exchange->IsRunning();
}

void TransmitDialog::closeEvent(QCloseEvent *event)
{
    // The main window may close the dialog in the middle of an exchange: it stops without
    // a message, its port closed.
    StopExchange();
    event->accept();
}

void TransmitDialog::Download()
{
    m_state.link.UploadMode = false;
    StartExchange(ExchangeKind::Download);
}

void TransmitDialog::Upload()
{
    m_state.link.UploadMode = true;
    // Asked before anything is sent; Cancel sends nothing and shows nothing.
    const LinkMessage question = UploadQuestion();
    QMessageBox *box = ShowMessage(question.text, question.title, true);
    connect(box, &QMessageBox::finished, this, [this](int result) {
        if (result == QMessageBox::Ok)
            StartExchange(ExchangeKind::Upload);
    });
}

void TransmitDialog::AskVersion()
{
    m_state.link.UploadMode = true;
    StartExchange(ExchangeKind::Version);
}

void TransmitDialog::CloseDialog()
{
    StopExchange();
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
        window->close();
    else
        close();
}

void TransmitDialog::StartExchange(ExchangeKind kind)
{
    if (IsExchangeRunning())
        return;
    Image &image = m_state.images.ConfigImage;
    LinkExchange *exchange = nullptr;
    if (m_state.link.LinkMode == LinkSettings::kByRs232) {
        exchange = new SerialExchange(kind, SerialTarget::FromSettings(m_state.link), image,
                                      m_state.link.SaveFlag, m_timings, this);
    } else {
        exchange = new KeyboardExchange(
            kind, m_keyboard, image, [this] { return KeyboardCommand(); }, m_timings, this);
    }
    m_exchange = exchange;
    connect(exchange, &LinkExchange::Finished, this, &TransmitDialog::OnFinished);
    connect(exchange, &LinkExchange::Progress, this, &TransmitDialog::OnProgress);
    connect(exchange, &LinkExchange::CaptureReset, this, [this] {
        m_capture->clear();
        // The device types into whatever has the keyboard focus: the capture box, in the
        // active window (a message box that just closed may have left none active).
        m_capture->activateWindow();
        m_capture->setFocus();
    });
    SetButtonsEnabled(false);
    exchange->Start();
}

void TransmitDialog::OnFinished(const ExchangeResult &result)
{
    if (m_exchange)
        m_exchange->deleteLater();
    m_exchange = nullptr;
    m_progress->hide();
    SetButtonsEnabled(true);
    const LinkMessage message = TransmitMessage(result);
    ShowMessage(message.text, message.title, false);
}

void TransmitDialog::OnProgress(int value, int maximum)
{
    m_progress->setMaximum(maximum);
    m_progress->setValue(value);
    m_progress->show();
}

void TransmitDialog::SetButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {m_transmit, m_receive, m_version, m_close})
        button->setEnabled(enabled);
}

void TransmitDialog::StopExchange()
{
    if (!m_exchange)
        return;
    m_exchange->Abort();
    delete m_exchange;
    m_exchange = nullptr;
}

QByteArray TransmitDialog::KeyboardCommand() const
{
    // Read at every repetition: the choice in force at that moment goes out.
    if (m_state.link.UploadMode)
        return kCommandUploadText;
    return m_state.link.SaveFlag ? kCommandSaveText : kCommandNotSaveText;
}

QMessageBox *TransmitDialog::ShowMessage(const QString &text, const QString &title, bool withCancel)
{
    // Asynchronous and owned by the dialog: when the dialog goes, its box goes with it and
    // nothing runs after.
    auto *box =
        new QMessageBox(QMessageBox::NoIcon, title, text,
                        withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
