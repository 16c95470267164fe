#pragma once

#include "core/configdiff.h"
#include "link/wire/linkframes.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QTextStream;

// One line of the --json output: one device (or one file for the commands without a
// device). Every line carries the same keys, documented in the manual ("JSON output"); what a
// command adds of its own goes into `extra`.
struct JsonReport
{
    QString port;    // as given to --port; empty: null
    QString outcome; // ok, changed, unchanged, refused, timeout, port, file, usage
    QString message; // the window's texts, lines separated by "\n"
    std::optional<Section> section;
    bool changed = false;
    ParameterDifferences diff; // (here: the file or A, device: the device or B)
    QStringList versions;      // the two version fields; empty: null
    QJsonObject extra;

    QJsonObject ToJson() const;
};

// The keys every line carries, in the order of the manual.
const QStringList &JsonReportKeys();

// The outcome an exit status stands for: 0 ok, 1 refused, 2 timeout, 3 usage, 4 file, 5 port.
QString OutcomeOfExitCode(int exitCode);

// "decoder" or "reader".
QString SectionName(Section section);

// The two version fields of "   <field 1>\n\r   <field 2>", exactly as the device sent them.
QStringList VersionFields(const QString &versionText);

// One compact JSON object and a line end.
void PrintJsonLine(QTextStream &out, const JsonReport &report);
