#include "core/configreport.h"

#include "core/fieldtext.h"
#include "core/pagetable.h"

#include <QFileInfo>
#include <QLocale>

namespace {

// A text from a file or a device, as HTML: control characters by their key names, markup
// characters as entities.
QString Escaped(QStringView text)
{
    return PrintableText(text).toHtmlEscaped();
}

// Page widths differ (A4, Letter, a browser window): the tables take the width there is and
// long texts wrap anywhere rather than run off the page.
const char kStyle[] = R"(body { font-family: sans-serif; font-size: 10pt; }
h1 { font-size: 16pt; }
h2 { font-size: 13pt; margin-top: 14pt; }
h3 { font-size: 11pt; margin-top: 10pt; }
table { border-collapse: collapse; width: 100%; font-size: 9pt; }
th, td { text-align: left; vertical-align: top; padding: 2px 4px; border: 1px solid #999;
         overflow-wrap: anywhere; }
th { background-color: #e8e8e8; }
tr.differs td { font-weight: bold; })";

class Html
{
public:
    void Raw(const QString &text) { m_text += text; }
    void Element(const char *tag, const QString &escaped)
    {
        m_text += QStringLiteral("<%1>%2</%1>\n").arg(QLatin1String(tag), escaped);
    }
    void Row(std::initializer_list<QString> cells, bool differs = false)
    {
        m_text += differs ? QStringLiteral("<tr class=\"differs\">") : QStringLiteral("<tr>");
        for (const QString &escaped : cells)
            m_text += QStringLiteral("<td>%1</td>").arg(escaped);
        m_text += QStringLiteral("</tr>\n");
    }
    // A table's first row: each column's caption and its share of the width, so that every
    // page's table has the same columns and a caption is never broken.
    void Captions(std::initializer_list<std::pair<const char *, int>> columns)
    {
        m_text += QStringLiteral("<tr>");
        for (const auto &[caption, percent] : columns)
            m_text += QStringLiteral("<th width=\"%1%\">%2</th>")
                          .arg(percent)
                          .arg(QLatin1String(caption));
        m_text += QStringLiteral("</tr>\n");
    }
    // QTextDocument draws borders and cell padding only from the table's attributes.
    void OpenTable()
    {
        Raw(QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                           "width=\"100%\">\n"));
    }
    void CloseTable() { Raw(QStringLiteral("</table>\n")); }
    const QString &Text() const { return m_text; }

private:
    QString m_text;
};

void Facts(const ReportSource &source, Html &html)
{
    html.OpenTable();
    auto fact = [&](const QString &caption, const QString &escaped) {
        html.Raw(QStringLiteral("<tr><th width=\"25%\">%1</th><td>%2</td></tr>\n")
                     .arg(caption, escaped));
    };
    fact(QStringLiteral("Tool"), Escaped(source.program));
    fact(QStringLiteral("Date"), Escaped(QLocale::c().toString(source.made, u"yyyy-MM-dd HH:mm")));
    fact(QStringLiteral("File"), source.file.isEmpty() ? kNewFile : Escaped(source.file));
    if (source.device) {
        fact(QStringLiteral("Port"), Escaped(source.device->port));
        QStringList versions;
        for (const QString &field : source.device->versions)
            versions.append(Escaped(field.trimmed()));
        fact(QStringLiteral("Firmware version"), versions.join(QStringLiteral("<br>")));
    }
    html.CloseTable();
}

void Device(const ReportDevice &device, Html &html)
{
    // A configuration uploaded in the window is the device's: nothing to compare.
    if (device.comparison.isEmpty())
        return;
    html.Element("h2", QStringLiteral("The device and the file"));
    html.Element("p", Escaped(device.comparison));
    if (device.differences.empty())
        return;
    html.OpenTable();
    html.Captions({{"Parameter", 24}, {"In the file", 19}, {"In the device", 18}, {"Name", 39}});
    for (const auto &[inFile, inDevice] : device.differences)
        html.Row({Escaped(inFile.caption), Escaped(ShownValue(inFile)),
                  Escaped(ShownValue(inDevice)), Escaped(inFile.name)});
    html.CloseTable();
}

void Parameters(const ReportSource &source, Html &html)
{
    const Image &values = source.configuration.images.ConfigImage;
    QString section = QStringLiteral("\x01");
    QString heading = section;
    bool open = false;
    for (const ConfigEntry &entry : source.configuration.Entries()) {
        if (Heading(entry) != heading) {
            if (open)
                html.CloseTable();
            heading = Heading(entry);
            // Each section under the name of its menu, each page under its own; the header
            // and link settings under their group's.
            if (entry.section != section) {
                section = entry.section;
                if (!section.isEmpty())
                    html.Element("h2", Escaped(section));
            }
            html.Element(section.isEmpty() ? "h2" : "h3", Escaped(entry.group));
            html.OpenTable();
            html.Captions(
                {{"", 3}, {"Parameter", 24}, {"Value", 19}, {"Default", 15}, {"Name", 39}});
            open = true;
        }
        const bool differs = entry.field && FieldDiffers(*entry.field, values, source.defaults);
        QString fallback;
        if (differs) {
            ConfigEntry atDefault = entry;
            atDefault.value = FieldValueText(*entry.field, source.defaults);
            fallback = Escaped(ShownValue(atDefault));
        }
        html.Row({differs ? QString(QChar(kDiffersMark)) : QString(), Escaped(entry.caption),
                  Escaped(ShownValue(entry)), fallback, Escaped(entry.name)},
                 differs);
    }
    if (open)
        html.CloseTable();
}

} // namespace

QString ReportHtml(const ReportSource &source)
{
    Html html;
    html.Raw(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                            "<title>K30 Configuration Report</title>\n<style>\n%1\n</style>\n"
                            "</head>\n<body>\n")
                 .arg(QLatin1String(kStyle)));
    html.Element("h1", QStringLiteral("K30 Configuration Report"));
    Facts(source, html);
    const int count = DifferingFieldCount(source.configuration.images.ConfigImage, source.defaults);
    html.Element(
        "p", DefaultsCountText(count) +
                 (count > 0 ? QStringLiteral(" (marked %1)").arg(QChar(kDiffersMark)) : QString()));
    if (source.device)
        Device(*source.device, html);
    Parameters(source, html);
    html.Raw(QStringLiteral("</body>\n</html>\n"));
    return html.Text();
}

std::optional<ReportFormat> ReportFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"html" || suffix == u"htm")
        return ReportFormat::Html;
    if (suffix == u"pdf")
        return ReportFormat::Pdf;
    return std::nullopt;
}
