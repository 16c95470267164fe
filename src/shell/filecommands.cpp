#include "shell/filecommands.h"

#include "core/filelock.h"

#include "shell/shelltexts.h"
#include "ui/savename.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString kFilter = QStringLiteral("Config Setup Files(*.cfg)");
const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");
const QString kHtmlFilter = QStringLiteral("HTML (*.html *.htm)");

void ShowMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                 const QString &details = {})
{
    QMessageBox box(icon, ShellTitle(), text, QMessageBox::Ok, parent);
    box.setInformativeText(details);
    box.exec();
}

QString SaveFailureText(const QString &path, const QString &reason)
{
    return QStringLiteral("The file %1 could not be saved: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString AskWithFileDialog(QWidget *parent, FileDialogKind kind, const QString &proposed)
{
    QFileDialog dialog(parent, QString(), QString(), kFilter);
    dialog.setObjectName(QStringLiteral("CmDlg"));
    if (kind == FileDialogKind::Report) {
        // The name's suffix chooses the format; the filter chosen gives a name without one.
        dialog.setNameFilters({kPdfFilter, kHtmlFilter});
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString &filter) {
                             dialog.setDefaultSuffix(filter == kHtmlFilter ? QStringLiteral("html")
                                                                           : QStringLiteral("pdf"));
                         });
        if (QFileInfo(proposed).isAbsolute())
            dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
    } else if (kind == FileDialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("cfg"));
        if (QFileInfo(proposed).isAbsolute())
            dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

FileCommands::FileCommands(AppState &state, DefaultsLocations defaults, QWidget *window)
    : QObject(window), m_state(state), m_defaults(std::move(defaults)), m_window(window)
{
}

bool FileCommands::SaveChangesFirst()
{
    if (!m_state.images.IsChanged())
        return true;
    const auto answer = QMessageBox::question(
        m_window, ShellTitle(),
        QStringLiteral("Configuration had been changed,do you want to save your file?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    // A Yes whose save was cancelled or failed stops the command: nothing is discarded.
    return answer == QMessageBox::No || Save();
}

bool FileCommands::New()
{
    if (!SaveChangesFirst())
        return false;
    m_state.images.CopyDecoderDefaults();
    m_state.images.CopyReaderDefaults();
    m_state.images.MarkSaved();
    m_state.header = NewFileHeaderTexts();
    m_state.CurrentFile = kNewFile;
    Q_EMIT CaptionChanged(FileCaption(m_state.CurrentFile));
    Q_EMIT EditingPagesMustClose();
    Q_EMIT ConfigurationReplaced();
    return true;
}

bool FileCommands::Open()
{
    if (!SaveChangesFirst())
        return false;
    const QString path = AskFileName(FileDialogKind::Open);
    if (path.isEmpty())
        return false;
    return Load(path);
}

bool FileCommands::OpenFile(const QString &path)
{
    return SaveChangesFirst() && Load(path);
}

std::optional<ConfigDocument> FileCommands::ReadDocument(const QString &path, int *incomplete)
{
    const std::optional<QByteArray> data = ReadContents(path);
    if (!data)
        return std::nullopt;
    ConfigDocument document;
    if (!document.Read(*data, incomplete)) {
        ReportNotConfiguration();
        return std::nullopt;
    }
    return document;
}

std::optional<QByteArray> FileCommands::ReadContents(const QString &path)
{
    // A device or a pipe is refused before anything is read from it: /dev/zero never ends,
    // a pipe waits for a writer.
    QString reason;
    std::optional<QByteArray> data = ReadWholeFile(path, kConfigFileSizeLimit, &reason);
    if (!data)
        ReportNotConfiguration(QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
    return data;
}

void FileCommands::ReportNotConfiguration(const QString &details)
{
    ShowMessage(m_window, QMessageBox::Warning,
                QStringLiteral("This File Is Not A Configuration Setup File"), details);
}

bool FileCommands::Load(const QString &path)
{
    const std::optional<QByteArray> data = ReadContents(path);
    if (!data)
        return false;
    if (!ReadConfiguration(*data, m_state.header, m_state.link, m_state.images)) {
        ReportNotConfiguration();
        return false;
    }
    m_state.CurrentFile = path;
    Q_EMIT CaptionChanged(FileCaption(m_state.CurrentFile));
    Q_EMIT EditingPagesMustClose();
    Q_EMIT FileUsed(path);
    Q_EMIT ConfigurationReplaced();
    return true;
}

bool FileCommands::Save()
{
    if (m_state.CurrentFile == kNewFile)
        return SaveAs();
    return WriteTo(m_state.CurrentFile);
}

bool FileCommands::SaveAs()
{
    const QString path =
        ConfirmedSaveName(m_window, AskFileName(FileDialogKind::Save, m_state.CurrentFile),
                          QStringLiteral("cfg"), ShellTitle());
    if (path.isEmpty())
        return false;
    if (!WriteTo(path))
        return false;
    m_state.CurrentFile = path;
    Q_EMIT CaptionChanged(FileCaption(m_state.CurrentFile));
    return true;
}

bool FileCommands::WriteTo(const QString &path)
{
    const QByteArray contents =
        WriteConfiguration(m_state.header, m_state.link, m_state.images.ConfigImage);
    // Waits for a k30cfg-cli set that is changing the same file, so that its change is not
    // saved between its load and its save.
    FileLock lock(path);
    std::optional<QString> reason = lock.Lock();
    if (!reason)
        reason = WriteWholeFile(path, contents);
    if (reason) {
        ShowMessage(m_window, QMessageBox::Critical, SaveFailureText(path, *reason));
        return false;
    }
    m_state.images.MarkSaved();
    Q_EMIT FileUsed(path);
    return true;
}

bool FileCommands::SaveAsDefault()
{
    const Image image = m_state.images.ConfigImage;
    const QList<FileFailure> failures = SaveDefaults(m_defaults, image);
    if (!failures.isEmpty()) {
        // Each place that was tried, with its own reason.
        QStringList lines;
        for (const FileFailure &failure : failures)
            lines << SaveFailureText(failure.path, failure.reason);
        ShowMessage(m_window, QMessageBox::Critical, lines.join(QLatin1Char('\n')));
        return false;
    }
    m_state.images.DefaultImage = image;
    return true;
}
