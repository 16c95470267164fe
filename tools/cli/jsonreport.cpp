#include "jsonreport.h"

#include "exitcodes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

QJsonObject JsonReport::ToJson() const
{
    QJsonArray differences;
    for (const auto &[here, device] : diff)
        differences.append(QJsonObject{{QStringLiteral("name"), here.name},
                                       {QStringLiteral("here"), here.value},
                                       {QStringLiteral("device"), device.value}});
    QJsonObject object = extra;
    object.insert(QStringLiteral("port"), port.isEmpty() ? QJsonValue() : QJsonValue(port));
    object.insert(QStringLiteral("outcome"), outcome);
    object.insert(QStringLiteral("message"), message);
    object.insert(QStringLiteral("section"),
                  section ? QJsonValue(SectionName(*section)) : QJsonValue());
    object.insert(QStringLiteral("changed"), changed);
    object.insert(QStringLiteral("diff"), differences);
    object.insert(QStringLiteral("versions"),
                  versions.isEmpty() ? QJsonValue()
                                     : QJsonValue(QJsonArray::fromStringList(versions)));
    return object;
}

const QStringList &JsonReportKeys()
{
    static const QStringList keys = {QStringLiteral("port"),    QStringLiteral("outcome"),
                                     QStringLiteral("message"), QStringLiteral("section"),
                                     QStringLiteral("changed"), QStringLiteral("diff"),
                                     QStringLiteral("versions")};
    return keys;
}

QString OutcomeOfExitCode(int exitCode)
{
    switch (exitCode) {
    case kExitSuccess:
        return QStringLiteral("ok");
    case kExitTimeOut:
        return QStringLiteral("timeout");
    case kExitUsage:
        return QStringLiteral("usage");
    case kExitFileError:
        return QStringLiteral("file");
    case kExitPortNotAvailable:
        return QStringLiteral("port");
    default:
        return QStringLiteral("refused");
    }
}

QString SectionName(Section section)
{
    return section == Section::Reader ? QStringLiteral("reader") : QStringLiteral("decoder");
}

QStringList VersionFields(const QString &versionText)
{
    // Fixed widths: a field may itself hold blanks or any other character.
    const QString lead = QStringLiteral("   ");
    const QString between = QStringLiteral("\n\r   ");
    const qsizetype second = lead.size() + kVersionField1Size + between.size();
    if (versionText.size() != second + kVersionField2Size)
        return {};
    return {versionText.mid(lead.size(), kVersionField1Size),
            versionText.mid(second, kVersionField2Size)};
}

void PrintJsonLine(QTextStream &out, const JsonReport &report)
{
    out << QString::fromUtf8(QJsonDocument(report.ToJson()).toJson(QJsonDocument::Compact)) << '\n';
    out.flush();
}
