#include "configcommands.h"

#include "configdocument.h"
#include "exitcodes.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

// Loads a file for reading; the reason is printed when it cannot be.
std::optional<ConfigDocument> LoadForReading(const QString &path, QTextStream &err)
{
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        err << *error << Qt::endl;
        return std::nullopt;
    }
    if (incomplete > 0)
        err << QStringLiteral("%1: %2 values could not be read; the factory values are shown "
                              "for them")
                   .arg(path)
                   .arg(incomplete)
            << Qt::endl;
    return doc;
}

QString Heading(const ConfigEntry &entry)
{
    if (entry.section.isEmpty())
        return entry.group;
    return entry.section + QStringLiteral(" / ") + entry.group + QStringLiteral(" (") +
           QLatin1String(entry.field->page) + QLatin1Char(')');
}

void ShowText(const QString &path, const std::vector<ConfigEntry> &entries, QTextStream &out)
{
    out << "Configuration: " << path << '\n';
    QString heading;
    for (const auto &entry : entries) {
        if (Heading(entry) != heading) {
            heading = Heading(entry);
            out << '\n' << heading << '\n';
        }
        out << "  " << entry.caption << ": " << ShownValue(entry) << "  [" << entry.name << "]\n";
    }
    out.flush();
}

void ShowJson(const QString &path, const std::vector<ConfigEntry> &entries, QTextStream &out)
{
    QJsonArray groups;
    QJsonObject group;
    QJsonArray parameters;
    auto closeGroup = [&] {
        if (!group.isEmpty()) {
            group.insert(QStringLiteral("parameters"), parameters);
            groups.append(group);
        }
        group = {};
        parameters = {};
    };
    QString heading;
    for (const auto &entry : entries) {
        if (Heading(entry) != heading) {
            closeGroup();
            heading = Heading(entry);
            group.insert(QStringLiteral("section"), entry.section);
            group.insert(QStringLiteral("group"), entry.group);
            group.insert(QStringLiteral("page"),
                         entry.field ? QString::fromLatin1(entry.field->page) : QString());
        }
        QJsonObject parameter{{QStringLiteral("name"), entry.name},
                              {QStringLiteral("caption"), entry.caption},
                              {QStringLiteral("value"), entry.value}};
        if (entry.field) {
            parameter.insert(QStringLiteral("control"), QString::fromLatin1(entry.field->control));
            parameter.insert(QStringLiteral("byte"), entry.field->byte);
            parameter.insert(QStringLiteral("mask"), entry.field->mask);
        }
        parameters.append(parameter);
    }
    closeGroup();
    const QJsonObject root{{QStringLiteral("file"), path}, {QStringLiteral("groups"), groups}};
    out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    out.flush();
}

} // namespace

int ShowCommand(const QString &path, bool json, QTextStream &out, QTextStream &err)
{
    const auto doc = LoadForReading(path, err);
    if (!doc)
        return kExitFileError;
    if (json)
        ShowJson(path, doc->Entries(), out);
    else
        ShowText(path, doc->Entries(), out);
    return kExitSuccess;
}

int DiffCommand(const QString &pathA, const QString &pathB, QTextStream &out, QTextStream &err)
{
    const auto a = LoadForReading(pathA, err);
    const auto b = a ? LoadForReading(pathB, err) : std::nullopt;
    if (!a || !b)
        return kExitFileError;
    const auto differences = Differences(*a, *b);
    for (const auto &[inA, inB] : differences)
        out << inA.name << '\t' << ShownValue(inA) << '\t' << ShownValue(inB) << '\n';
    out.flush();
    return differences.empty() ? kExitSuccess : kExitRefused;
}

int SetCommand(const QString &path, const QStringList &assignments, QTextStream &err)
{
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        err << *error << Qt::endl;
        return kExitFileError;
    }
    // Rewriting a damaged file would silently put the factory values where it could not be
    // read.
    if (incomplete > 0) {
        err << QStringLiteral("%1: %2 values could not be read; the file is left as it is")
                   .arg(path)
                   .arg(incomplete)
            << Qt::endl;
        return kExitFileError;
    }
    bool refused = false;
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            err << assignment << ": expected NAME=VALUE" << Qt::endl;
            return kExitUsage;
        }
        if (const auto error = doc.Set(assignment.left(equals), assignment.mid(equals + 1))) {
            err << *error << Qt::endl;
            refused = true;
        }
    }
    if (refused) {
        err << path << ": nothing changed" << Qt::endl;
        return kExitRefused;
    }
    if (const auto error = doc.Save(path)) {
        err << *error << Qt::endl;
        return kExitFileError;
    }
    return kExitSuccess;
}

int NewCommand(const QString &path, const std::optional<Image> &defaults, bool replace,
               QTextStream &err)
{
    if (!replace && QFileInfo::exists(path)) {
        err << path << ": the file exists (--force replaces it)" << Qt::endl;
        return kExitFileError;
    }
    if (const auto error = ConfigDocument::New(defaults).Save(path)) {
        err << *error << Qt::endl;
        return kExitFileError;
    }
    return kExitSuccess;
}
