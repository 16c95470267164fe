#include "link/ui/readmemorydialog.h"

#include "core/memoryfile.h"
#include "core/pagetable.h"
#include "link/memorymessages.h"
#include "link/ui/linksettingspanel.h"
#include "link/wire/memoryframes.h"
#include "ui/savename.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
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
    : LinkDialog(context, kMemoryDialog, "Read Decoder Memory", parent), m_timings(timings)
{
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TxtMemory"));
    m_text->setAccessibleName(QStringLiteral("Memory data"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->installEventFilter(this);

    MakeButton("CmdRead", "&Read Memory", [this] { AskThenStart(MemoryKind::Read); });
    MakeButton("cmdClear", "&Clear Memory", [this] { AskThenStart(MemoryKind::Clear); });
    MakeButton("CmdDisplay", "&Option", [this] { ShowTextArea(false); });
    MakeButton("cmdSave", "&Save", [this] { Save(); });
    MakeButton("cmdSaveAs", "Save &As", [this] { SaveAs(); });
    MakeCloseButton("&Exit");

    // Blocks and records of the running read, so that a long read is seen to move.
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));

    // The text area takes the place of the link settings while it is shown.
    auto *area = new QVBoxLayout;
    area->addWidget(Panel());
    area->addWidget(m_text, 1);

    auto *body = new QHBoxLayout;
    body->addLayout(area, 1);
    body->addLayout(ButtonColumn(m_count));
    MainLayout()->addLayout(body, 1);

    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_updatingText)
            m_showsReadText = false;
        MemoryExchange *exchange = CurrentExchange();
        if (exchange && exchange->IsRunning())
            exchange->MemoryTextChanged(m_text->toPlainText());
    });

    ShowTextArea(false);
}

bool ReadMemoryDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The device ends its typed memory with the character of code 3 (Ctrl+C), which a text
    // area never keeps.
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        MemoryExchange *exchange = CurrentExchange();
        if (exchange && key->text() == QString(QChar(kMemoryDataEnd)))
            exchange->MemoryEndKey();
    }
    return LinkDialog::eventFilter(watched, event);
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

void ReadMemoryDialog::AskThenStart(MemoryKind kind)
{
    if (IsExchangeRunning())
        return;
    // Asked before anything is sent; Cancel sends nothing and leaves the text as it is.
    Ask(MemoryQuestion(kind, kind == MemoryKind::Clear ? m_failedRecords : 0),
        [this, kind] { StartExchange(kind); });
}

void ReadMemoryDialog::StartExchange(MemoryKind kind)
{
    if (IsExchangeRunning())
        return;
    State().link.UploadMode = kind == MemoryKind::Read;
    MemoryExchange *exchange = Session().MakeMemoryExchange(kind, m_timings, this);
    connect(exchange, &MemoryExchange::Finished, this, &ReadMemoryDialog::OnFinished);
    connect(exchange, &MemoryExchange::ReadStarted, this, &ReadMemoryDialog::OnReadStarted);
    connect(exchange, &MemoryExchange::RecordsDecoded, this, &ReadMemoryDialog::AppendRecords);
    connect(exchange, &MemoryExchange::BlocksReceived, this, [this](int blocks, int records) {
        m_count->setText(QStringLiteral("Blocks: %1\nRecords: %2").arg(blocks).arg(records));
    });
    connect(exchange, &MemoryExchange::CharactersReceived, this, [this](int characters) {
        m_count->setText(QStringLiteral("Characters: %1").arg(characters));
    });
    Run(exchange);
}

MemoryExchange *ReadMemoryDialog::CurrentExchange() const
{
    return qobject_cast<MemoryExchange *>(Exchange());
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
    ExchangeEnded();
    // The warning holds until a read gets every record good, or the memory is cleared.
    if (result.failedRecords > 0)
        m_failedRecords = result.failedRecords;
    else if (result.outcome == ExchangeOutcome::Good)
        m_failedRecords = 0;
    if (const std::optional<LinkMessage> message = MemoryMessage(result))
        Tell(*message);
}

void ReadMemoryDialog::AppendRecords(const QString &text)
{
    m_readText += text;
    m_updatingText = true;
    m_text->moveCursor(QTextCursor::End);
    m_text->insertPlainText(text);
    m_updatingText = false;
}

void ReadMemoryDialog::ShowTextArea(bool shown)
{
    m_text->setVisible(shown);
    Panel()->setVisible(!shown);
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
    State().SavedMemoryText = text;
    return true;
}

bool ReadMemoryDialog::ConfirmClose()
{
    if (FileText() == State().SavedMemoryText)
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
