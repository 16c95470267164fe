#pragma once

#include "core/configdiff.h"
#include "core/configdocument.h"
#include "core/parameterimages.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What a report tells of the device a configuration was read from.
struct ReportDevice
{
    QString port;                     // as the user named it: "Com 1", "/dev/ttyUSB0"
    QStringList versions;             // the firmware version fields, the device's own text
    QString comparison;               // "The decoder section ... differs in 2 parameters; ..."
    ParameterDifferences differences; // (in the file, in the device)
};

// Everything a configuration report shows.
struct ReportSource
{
    QString program; // "k30cfg 1.4.0"
    QDateTime made;
    QString file; // empty: a configuration never saved ("New File")
    ConfigDocument configuration;
    // What each value is compared with: the defaults the status bar counts against.
    Image defaults = FactoryImage();
    std::optional<ReportDevice> device;
};

// The report as one self-contained HTML page (style inline, no images or links), written for
// both a browser and QTextDocument so that the page and its PDF look alike: the tool and its
// version, the date, the file, the device, the number of parameters that differ from the
// defaults, then every parameter, section by section under its menu's name and page by page,
// each value that differs marked and shown beside its default. Every text from a file or a
// device is escaped: it cannot become markup.
QString ReportHtml(const ReportSource &source);

// The mark beside a parameter whose value differs from its default.
inline constexpr char16_t kDiffersMark = u'*';

// How a report is written out: by the suffix of the file's name.
enum class ReportFormat
{
    Html,
    Pdf
};

// ".html" and ".htm" are HTML, ".pdf" is PDF (in any case); nothing for any other name.
std::optional<ReportFormat> ReportFormatOf(const QString &path);
// Why another name is refused.
inline const QString kReportSuffixes =
    QStringLiteral("a report is written to a name ending in .html or .pdf");
