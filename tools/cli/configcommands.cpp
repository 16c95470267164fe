#include "configcommands.h"

#include "exitcodes.h"
#include "jsonreport.h"

#include "core/filelock.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

namespace {

// What a file command says on standard error, or in the "message" of its JSON line.
struct Said
{
    QStringList lines;
    Said &operator<<(const QString &line)
    {
        lines.append(line);
        return *this;
    }
};

// Ends a file command: its lines on standard error, or one JSON line for `path`.
int Finish(int code, const Said &said, bool json, QTextStream &out, QTextStream &err,
           JsonReport report = {})
{
    if (!json) {
        for (const QString &line : said.lines)
            err << line << Qt::endl;
        return code;
    }
    if (report.outcome.isEmpty())
        report.outcome = OutcomeOfExitCode(code);
    report.message = said.lines.join(QLatin1Char('\n'));
    PrintJsonLine(out, report);
    return code;
}

JsonReport FileReport(const QString &path, bool changed = false)
{
    JsonReport report;
    report.changed = changed;
    report.extra.insert(QStringLiteral("file"), path);
    return report;
}

// Loads a file for reading; the reason is said when it cannot be.
std::optional<ConfigDocument> LoadForReading(const QString &path, Said &said)
{
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        said << *error;
        return std::nullopt;
    }
    if (incomplete > 0)
        said << QStringLiteral("%1: %2 values could not be read; the factory values are shown "
                               "for them")
                    .arg(path)
                    .arg(incomplete);
    return doc;
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

QJsonArray JsonGroups(const std::vector<ConfigEntry> &entries)
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
    return groups;
}

} // namespace

int ShowCommand(const QString &path, bool json, QTextStream &out, QTextStream &err)
{
    Said said;
    const auto doc = LoadForReading(path, said);
    JsonReport report = FileReport(path);
    if (doc && json)
        report.extra.insert(QStringLiteral("groups"), JsonGroups(doc->Entries()));
    else if (doc)
        ShowText(path, doc->Entries(), out);
    return Finish(doc ? kExitSuccess : kExitFileError, said, json, out, err, report);
}

int DiffCommand(const QString &pathA, const QString &pathB, bool json, QTextStream &out,
                QTextStream &err)
{
    Said said;
    const auto a = LoadForReading(pathA, said);
    const auto b = a ? LoadForReading(pathB, said) : std::nullopt;
    JsonReport report = FileReport(pathA);
    report.extra.insert(QStringLiteral("other"), pathB);
    if (!a || !b)
        return Finish(kExitFileError, said, json, out, err, report);
    report.diff = Differences(*a, *b);
    report.changed = !report.diff.empty();
    report.outcome = report.changed ? QStringLiteral("changed") : QStringLiteral("unchanged");
    if (!json) {
        for (const auto &[inA, inB] : report.diff)
            out << inA.name << '\t' << ShownValue(inA) << '\t' << ShownValue(inB) << '\n';
        out.flush();
    }
    return Finish(report.changed ? kExitRefused : kExitSuccess, said, json, out, err, report);
}

int SetCommand(const QString &path, const QStringList &assignments, bool json, QTextStream &out,
               QTextStream &err)
{
    Said said;
    // Another program's change of the same file is either saved before this one loads it or
    // waits until this one has saved.
    FileLock lock(path);
    if (const auto error = lock.Lock()) {
        said << path + QStringLiteral(": ") + *error;
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    ConfigDocument doc;
    int incomplete = 0;
    if (const auto error = doc.Load(path, &incomplete)) {
        said << *error;
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    // Rewriting a damaged file would silently put the factory values where it could not be
    // read.
    if (incomplete > 0) {
        said << QStringLiteral("%1: %2 values could not be read; the file is left as it is")
                    .arg(path)
                    .arg(incomplete);
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    bool refused = false;
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            said << assignment + QStringLiteral(": expected NAME=VALUE");
            return Finish(kExitUsage, said, json, out, err, FileReport(path));
        }
        if (const auto error = doc.Set(assignment.left(equals), assignment.mid(equals + 1))) {
            said << *error;
            refused = true;
        }
    }
    if (refused) {
        said << path + QStringLiteral(": nothing changed");
        return Finish(kExitRefused, said, json, out, err, FileReport(path));
    }
    if (const auto error = doc.Save(path)) {
        said << *error;
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    return Finish(kExitSuccess, said, json, out, err, FileReport(path, true));
}

int NewCommand(const QString &path, const std::optional<Image> &defaults, bool replace, bool json,
               QTextStream &out, QTextStream &err)
{
    Said said;
    if (!replace && QFileInfo::exists(path)) {
        said << path + QStringLiteral(": the file exists (--force replaces it)");
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    FileLock lock(path);
    if (const auto error = lock.Lock()) {
        said << path + QStringLiteral(": ") + *error;
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    // A file that appears meanwhile is not replaced either.
    const Replace mode = replace ? Replace::Allowed : Replace::Never;
    if (const auto error = ConfigDocument::New(defaults).Save(path, mode)) {
        said << *error;
        return Finish(kExitFileError, said, json, out, err, FileReport(path));
    }
    return Finish(kExitSuccess, said, json, out, err, FileReport(path, true));
}
