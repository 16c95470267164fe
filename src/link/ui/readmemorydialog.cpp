#include "link/ui/readmemorydialog.h"

#include "core/fieldcatalogue.h"
#include "core/memoryfile.h"
#include "core/pagetable.h"
#include "link/keyboardmemoryexchange.h"
#include "link/memoryframes.h"
#include "link/memorymessages.h"
#include "link/serialmemoryexchange.h"
#include "shell/savename.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QString kMemoryDataTitle = QStringLiteral("Memory Data Read");

} // namespace

QString AskMemoryFileName(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, QString(), QString(), QStringLiteral("Memory Data File(*.txt)"));
    dialog.setObjectName(QStringLiteral("CmDlg1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (!proposed.isEmpty()) {
        const QFileInfo info(proposed);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

ReadMemoryDialog::ReadMemoryDialog(PageContext &context, QWidget *parent,
                                   const MemoryTimings &timings)
    : QWidget(parent), m_state(context.state), m_keyboard(context.keyboard), m_timings(timings)
{
    setObjectName(QStringLiteral("frmReadMemory"));
    setWindowTitle(PageTitle("frmReadMemory"));

    auto *heading = new QLabel(QStringLiteral("Read Decoder Memory"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);

    m_panel = new LinkSettingsPanel(m_state.link, this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TxtMemory"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->installEventFilter(this);

    auto makeButton = [this](const char *name, const char *caption) {
        auto *button = new QPushButton(Text(caption), this);
        button->setObjectName(Text(name));
        return button;
    };
    m_read = makeButton("CmdRead", "&Read Memory");
    m_clear = makeButton("cmdClear", "&Clear Memory");
    m_display = makeButton("CmdDisplay", "&Option");
    m_save = makeButton("cmdSave", "&Save");
    m_saveAs = makeButton("cmdSaveAs", "Save &As");
    m_close = makeButton("CmdClose", "&Exit");

    // Blocks and records of the running read, so that a long read is seen to move.
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));

    // Only holds the focus and collects the device's typed acknowledgement.
    m_capture = new QLineEdit(this);
    m_capture->setObjectName(QStringLiteral("Text1"));
    m_capture->setFixedSize(16, 16);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {m_read, m_clear, m_display, m_save, m_saveAs, m_close})
        buttons->addWidget(button);
    buttons->addWidget(m_count);
    buttons->addStretch();
    buttons->addWidget(m_capture);

    // The text area takes the place of the link settings while it is shown.
    auto *area = new QVBoxLayout;
    area->addWidget(m_panel);
    area->addWidget(m_text, 1);

    auto *body = new QHBoxLayout;
    body->addLayout(area, 1);
    body->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addLayout(body, 1);

    connect(m_read, &QPushButton::clicked, this, &ReadMemoryDialog::ReadMemory);
    connect(m_clear, &QPushButton::clicked, this, &ReadMemoryDialog::ClearMemory);
    connect(m_display, &QPushButton::clicked, this, &ReadMemoryDialog::ShowOptions);
    connect(m_save, &QPushButton::clicked, this, &ReadMemoryDialog::Save);
    connect(m_saveAs, &QPushButton::clicked, this, &ReadMemoryDialog::SaveAs);
    connect(m_close, &QPushButton::clicked, this, &ReadMemoryDialog::CloseDialog);
    connect(m_capture, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_exchange)
            m_exchange->CaptureChanged(text);
    });
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_updatingText)
            m_showsReadText = false;
        if (m_exchange && m_exchange->IsRunning())
            m_exchange->MemoryTextChanged(m_text->toPlainText());
    });

    // Opening shows the shared settings; each selection runs its handler as a click would.
    m_panel->Load();
    ShowTextArea(false);
}

ReadMemoryDialog::~ReadMemoryDialog()
{
    StopExchange();
}

bool ReadMemoryDialog::IsExchangeRunning() const
{
    return m_exchange && m_exchange->IsRunning();
}

void ReadMemoryDialog::closeEvent(QCloseEvent *event)
{
    // The main window may close the dialog in the middle of an exchange: it stops without a
    // message, its port closed, before the question about the text is asked.
    StopExchange();
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool ReadMemoryDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The device ends its typed memory with the character of code 3 (Ctrl+C), which a text
    // area never keeps.
    if (watched == m_text && event->type() == QEvent::KeyPress && m_exchange) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == QString(QChar(kMemoryDataEnd)))
            m_exchange->MemoryEndKey();
    }
    return QWidget::eventFilter(watched, event);
}

void ReadMemoryDialog::ReadMemory()
{
    AskThenStart(MemoryKind::Read);
}

void ReadMemoryDialog::ClearMemory()
{
    AskThenStart(MemoryKind::Clear);
}

void ReadMemoryDialog::ShowOptions()
{
    ShowTextArea(false);
}

bool ReadMemoryDialog::Save()
{
    ShowTextArea(true);
    if (m_memFileName.isEmpty())
        return SaveAs();
    return WriteMemoryData(m_memFileName);
}

bool ReadMemoryDialog::SaveAs()
{
    ShowTextArea(true);
    const QString path = ConfirmedSaveName(this, m_askFileName(this, m_memFileName),
                                           QStringLiteral("txt"), kMemoryDataTitle);
    if (path.isEmpty())
        return false;
    m_memFileName = path;
    return WriteMemoryData(path);
}

void ReadMemoryDialog::CloseDialog()
{
    StopExchange();
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
        window->close();
    else
        close();
}

void ReadMemoryDialog::AskThenStart(MemoryKind kind)
{
    if (IsExchangeRunning())
        return;
    // Asked before anything is sent; Cancel sends nothing and leaves the text as it is.
    const LinkMessage question = MemoryQuestion(kind);
    QMessageBox *box = ShowMessage(question.text, question.title, true);
    connect(box, &QMessageBox::finished, this, [this, kind](int result) {
        if (result == QMessageBox::Ok)
            StartExchange(kind);
    });
}

void ReadMemoryDialog::StartExchange(MemoryKind kind)
{
    if (IsExchangeRunning())
        return;
    m_state.link.UploadMode = kind == MemoryKind::Read;
    MemoryExchange *exchange = nullptr;
    if (m_state.link.LinkMode == LinkSettings::kByRs232) {
        exchange = new SerialMemoryExchange(kind, SerialTarget::FromSettings(m_state.link),
                                            m_timings, this);
    } else {
        exchange = new KeyboardMemoryExchange(kind, m_keyboard, m_timings, this);
    }
    m_exchange = exchange;
    connect(exchange, &MemoryExchange::Finished, this, &ReadMemoryDialog::OnFinished);
    connect(exchange, &MemoryExchange::ReadStarted, this, &ReadMemoryDialog::OnReadStarted);
    connect(exchange, &MemoryExchange::RecordsDecoded, this, &ReadMemoryDialog::AppendRecords);
    connect(exchange, &MemoryExchange::BlocksReceived, this, [this](int blocks, int records) {
        m_count->setText(QStringLiteral("Blocks: %1\nRecords: %2").arg(blocks).arg(records));
    });
    connect(exchange, &MemoryExchange::CharactersReceived, this, [this](int characters) {
        m_count->setText(QStringLiteral("Characters: %1").arg(characters));
    });
    connect(exchange, &MemoryExchange::CaptureReset, this, [this] {
        m_capture->clear();
        // The device types into whatever has the keyboard focus: the capture box, in the
        // active window (a message box that just closed may have left none active).
        m_capture->activateWindow();
        m_capture->setFocus();
    });
    SetButtonsEnabled(false);
    exchange->Start();
}

void ReadMemoryDialog::OnReadStarted()
{
    m_count->clear();
    m_updatingText = true;
    m_text->clear();
    m_updatingText = false;
    m_readText.clear();
    m_showsReadText = true;
    ShowTextArea(true);
    m_text->activateWindow();
    m_text->setFocus();
}

void ReadMemoryDialog::OnFinished(const MemoryResult &result)
{
    if (m_exchange)
        m_exchange->deleteLater();
    m_exchange = nullptr;
    SetButtonsEnabled(true);
    if (const std::optional<LinkMessage> message = MemoryMessage(result))
        ShowMessage(message->text, message->title, false);
}

void ReadMemoryDialog::AppendRecords(const QString &text)
{
    m_readText += text;
    m_updatingText = true;
    m_text->moveCursor(QTextCursor::End);
    m_text->insertPlainText(text);
    m_updatingText = false;
}

void ReadMemoryDialog::SetButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {m_display, m_close, m_read, m_save, m_saveAs, m_clear})
        button->setEnabled(enabled);
}

void ReadMemoryDialog::ShowTextArea(bool shown)
{
    m_text->setVisible(shown);
    m_panel->setVisible(!shown);
}

void ReadMemoryDialog::StopExchange()
{
    if (!m_exchange)
        return;
    m_exchange->Abort();
    delete m_exchange;
    m_exchange = nullptr;
    SetButtonsEnabled(true);
}

QString ReadMemoryDialog::FileText() const
{
    if (m_showsReadText)
        return m_readText;
    // The raw text keeps a no-break space; its paragraph separators become CR LF.
    return MemoryFileText(m_text->document()->toRawText());
}

bool ReadMemoryDialog::WriteMemoryData(const QString &path)
{
    const QString text = FileText();
    if (const std::optional<QString> reason = WriteMemoryFile(path, text)) {
        // Nothing counts as saved: closing will still ask.
        QMessageBox box(QMessageBox::Warning, kMemoryDataTitle,
                        QStringLiteral("The memory data file %1 could not be saved: %2")
                            .arg(QDir::toNativeSeparators(path), *reason),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    m_state.SavedMemoryText = text;
    return true;
}

bool ReadMemoryDialog::ConfirmClose()
{
    if (FileText() == m_state.SavedMemoryText)
        return true;
    QMessageBox box(QMessageBox::NoIcon, kMemoryDataTitle,
                    QStringLiteral("Memory Data had been changed,do you want to save your file?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    switch (box.exec()) {
    case QMessageBox::Yes:
        // A save that was cancelled or failed keeps the dialog open with its text.
        return Save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

QMessageBox *ReadMemoryDialog::ShowMessage(const QString &text, const QString &title,
                                           bool withCancel)
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
