#include "shell/reportcommands.h"

#include "core/configdiff.h"
#include "core/configreport.h"
#include "report/reportwriter.h"
#include "shell/filecommands.h"
#include "shell/shelltexts.h"
#include "ui/savename.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

ReportCommands::ReportCommands(const AppState &state, FileCommands &files, QWidget *window)
    : QObject(window), m_state(state), m_files(files), m_window(window)
{
}

QString ReportCommands::Html() const
{
    ReportSource source;
    source.program =
        QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();
    source.made = QDateTime::currentDateTime();
    if (m_state.CurrentFile != kNewFile)
        source.file = QDir::toNativeSeparators(m_state.CurrentFile);
    source.configuration.header = m_state.header;
    source.configuration.link = m_state.link;
    source.configuration.images = m_state.images;
    source.defaults = m_state.images.DefaultImage;
    if (!m_state.UploadPort.isEmpty()) {
        ReportDevice device{m_state.UploadPort, m_state.UploadVersion, {}, {}};
        // Edited after the upload: the values no longer all stand for the device's.
        const auto changed =
            ImageDifferences(m_state.images.ConfigImage, m_state.UploadImage).size();
        if (changed > 0)
            device.comparison =
                QStringLiteral("Changed in the tool since the upload: %1 from the "
                               "configuration as uploaded.")
                    .arg(changed == 1 ? QStringLiteral("1 parameter differs")
                                      : QStringLiteral("%1 parameters differ").arg(changed));
        source.device = device;
    }
    return ReportHtml(source);
}

void ReportCommands::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("K30 Configuration Report"));
    QPrintPreviewDialog preview(&printer, m_window);
    preview.setObjectName(QStringLiteral("reportPreview"));
    const QString html = Html();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&html](QPrinter *target) { ReportDocument(html, *target)->print(target); });
    preview.exec();
}

bool ReportCommands::Export()
{
    const QString proposed = m_state.CurrentFile == kNewFile
                                 ? QStringLiteral("report.pdf")
                                 : QFileInfo(m_state.CurrentFile).path() + QLatin1Char('/') +
                                       QFileInfo(m_state.CurrentFile).completeBaseName() +
                                       QStringLiteral(".pdf");
    const QString path =
        ConfirmedSaveName(m_window, m_files.AskFileName(FileDialogKind::Report, proposed),
                          QStringLiteral("pdf"), ShellTitle());
    if (path.isEmpty())
        return false;
    if (const auto error = WriteReport(path, Html())) {
        QMessageBox box(QMessageBox::Warning, ShellTitle(),
                        QStringLiteral("The report could not be written."), QMessageBox::Ok,
                        m_window);
        box.setInformativeText(*error);
        box.exec();
        return false;
    }
    return true;
}
