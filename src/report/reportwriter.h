#pragma once

#include "core/configreport.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class QTextDocument;

// The report laid out on the pages of `device` (its page size and margins), as it is
// printed: long texts wrap, also where they have no blank.
std::unique_ptr<QTextDocument> ReportDocument(const QString &html, QPagedPaintDevice &device);

// The report as a PDF of pages of `size`.
QByteArray ReportPdf(const QString &html, const QPageSize &size);

// The paper the user's locale prints on: Letter in the United States and Canada, A4
// elsewhere.
QPageSize LocalPaper();

// Writes the report to `path` in the format its suffix names, through the one file writer;
// the reason when it was not written ("<path>: ...").
std::optional<QString> WriteReport(const QString &path, const QString &html,
                                   const QPageSize &size = LocalPaper());
