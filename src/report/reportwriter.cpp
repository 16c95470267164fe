#include "report/reportwriter.h"

#include "core/safefile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QLocale>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextOption>

namespace {

constexpr QMarginsF kMarginsMm{15, 15, 15, 15};

} // namespace

std::unique_ptr<QTextDocument> ReportDocument(const QString &html, QPagedPaintDevice &device)
{
    auto document = std::make_unique<QTextDocument>();
    // A device name of forty letters without a blank must not run off the page.
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(option);
    // No ligatures: a name copied from the PDF ("decoder.comm.xon-xoff") must be the name.
    QFont font = document->defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document->setDefaultFont(font);
    document->documentLayout()->setPaintDevice(&device);
    document->setHtml(html);
    // Laid out in the device's own units on its page less the margins: printing then draws
    // it as it is, page by page.
    document->setPageSize(QSizeF(device.width(), device.height()));
    return document;
}

QByteArray ReportPdf(const QString &html, const QPageSize &size)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("K30 Configuration Report"));
        writer.setCreator(QStringLiteral("k30cfg"));
        writer.setPageLayout(
            QPageLayout(size, QPageLayout::Portrait, kMarginsMm, QPageLayout::Millimeter));
        ReportDocument(html, writer)->print(&writer);
    }
    return pdf;
}

QPageSize LocalPaper()
{
    const QLocale::Territory territory = QLocale::system().territory();
    return QPageSize(territory == QLocale::UnitedStates || territory == QLocale::Canada
                         ? QPageSize::Letter
                         : QPageSize::A4);
}

std::optional<QString> WriteReport(const QString &path, const QString &html, const QPageSize &size)
{
    const auto format = ReportFormatOf(path);
    if (!format)
        return QStringLiteral("%1: %2").arg(path, kReportSuffixes);
    const QByteArray contents =
        *format == ReportFormat::Pdf ? ReportPdf(html, size) : html.toUtf8();
    if (const auto error = WriteWholeFile(path, contents))
        return QStringLiteral("%1: %2").arg(path, *error);
    return std::nullopt;
}
