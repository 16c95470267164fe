#include "core/configfile.h"

#include "core/charset.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace {

constexpr char kLineEnd[] = "\r\n";

// Splits a file into its lines; CR LF and a lone LF both end a line, and a final line end
// does not start another line.
QList<QByteArrayView> SplitLines(QByteArrayView data)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArrayView line = data.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

// A text is stored on one line: a line end inside it would shift every later line.
QByteArray TextLine(const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return TextToBytes(flat);
}

void AppendLine(QByteArray &out, const QByteArray &line)
{
    out += line;
    out += kLineEnd;
}

// Replaces `target` with the number on `line` when it lies in [low, high].
template <typename T>
void ReadNumber(const QList<QByteArrayView> &lines, int index, int low, int high, T &target)
{
    if (index >= lines.size())
        return;
    const std::optional<int> value = ParseNumberLine(lines[index]);
    if (value && *value >= low && *value <= high)
        target = static_cast<T>(*value);
}

void ReadText(const QList<QByteArrayView> &lines, int index, QString &target)
{
    if (index < lines.size())
        target = BytesToText(lines[index]);
}

} // namespace

QByteArray NumberLine(int value)
{
    QByteArray line;
    if (value >= 0)
        line += ' ';
    line += QByteArray::number(value);
    line += ' ';
    return line;
}

std::optional<int> ParseNumberLine(QByteArrayView line)
{
    const QByteArray trimmed = line.toByteArray().trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Digits with an optional sign, nothing else: "12abc" or "1.5" hold no number.
    qsizetype i = (trimmed[0] == '-' || trimmed[0] == '+') ? 1 : 0;
    if (i == trimmed.size())
        return std::nullopt;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] < '0' || trimmed[i] > '9')
            return std::nullopt;
    }
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

HeaderTexts NewFileHeaderTexts()
{
    return {QStringLiteral("Device Name"), QStringLiteral("User's Name"),
            QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat),
            QStringLiteral("Your Description about this Setup")};
}

QByteArray WriteConfiguration(const HeaderTexts &texts, const LinkSettings &link,
                              const Image &image)
{
    QByteArray out;
    AppendLine(out, kConfigMarker);
    AppendLine(out, TextLine(texts.DeviceName));
    AppendLine(out, TextLine(texts.UserName));
    AppendLine(out, TextLine(texts.BuildingDate));
    AppendLine(out, TextLine(texts.Description));
    AppendLine(out, NumberLine(link.CommPort));
    AppendLine(out, NumberLine(link.LinkMode));
    for (const std::uint8_t byte : image)
        AppendLine(out, NumberLine(byte));
    return out;
}

bool ReadConfiguration(QByteArrayView data, HeaderTexts &texts, LinkSettings &link,
                       ParameterImages &images)
{
    const QList<QByteArrayView> lines = SplitLines(data);
    if (lines.isEmpty() || lines[0] != QByteArrayView(kConfigMarker))
        return false;
    ReadText(lines, 1, texts.DeviceName);
    ReadText(lines, 2, texts.UserName);
    ReadText(lines, 3, texts.BuildingDate);
    ReadText(lines, 4, texts.Description);
    ReadNumber(lines, 5, 1, kComPortCount, link.CommPort);
    ReadNumber(lines, 6, LinkSettings::kByKeyboard, LinkSettings::kByRs232, link.LinkMode);
    for (int i = 0; i < kImageSize; ++i)
        ReadNumber(lines, 7 + i, 0, 255, images.ConfigImage[i]);
    images.MarkSaved();
    return true;
}

QByteArray WriteDefaults(const Image &image)
{
    QByteArray out;
    AppendLine(out, kDefaultsMarker);
    for (const std::uint8_t byte : image)
        AppendLine(out, NumberLine(byte));
    return out;
}

std::optional<Image> ReadDefaults(QByteArrayView data)
{
    const QList<QByteArrayView> lines = SplitLines(data);
    if (lines.isEmpty() || lines[0] != QByteArrayView(kDefaultsMarker))
        return std::nullopt;
    Image image{};
    for (int i = 0; i < kImageSize; ++i) {
        if (1 + i >= lines.size())
            return std::nullopt;
        const std::optional<int> value = ParseNumberLine(lines[1 + i]);
        if (!value || *value < 0 || *value > 255)
            return std::nullopt;
        image[i] = static_cast<std::uint8_t>(*value);
    }
    return image;
}

DefaultsLocations DefaultsLocations::Standard()
{
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
}

QString DefaultsLocations::ProgramFile() const
{
    return QDir(programDir).filePath(QLatin1String(kDefaultsFileName));
}

QString DefaultsLocations::UserFile() const
{
    return userDir.isEmpty() ? QString() : QDir(userDir).filePath(QLatin1String(kDefaultsFileName));
}

Image LoadDefaults(const DefaultsLocations &where)
{
    for (const QString &path : {where.UserFile(), where.ProgramFile()}) {
        if (path.isEmpty() || !QFileInfo::exists(path))
            continue;
        // A damaged copy does not hide a valid one behind it.
        if (const auto data = ReadWholeFile(path, kConfigFileSizeLimit))
            if (const auto image = ReadDefaults(*data))
                return *image;
    }
    return FactoryImage();
}

QList<FileFailure> SaveDefaults(const DefaultsLocations &where, const Image &image,
                                QString *writtenTo)
{
    const QByteArray contents = WriteDefaults(image);
    const QString programFile = where.ProgramFile();
    const std::optional<QString> programError = WriteWholeFile(programFile, contents);
    if (!programError) {
        if (!where.UserFile().isEmpty())
            QFile::remove(where.UserFile());
        if (writtenTo)
            *writtenTo = programFile;
        return {};
    }
    QList<FileFailure> failures{{programFile, *programError}};
    if (where.userDir.isEmpty())
        return failures;
    if (!QDir().mkpath(where.userDir)) {
        failures.append({where.UserFile(), QStringLiteral("its folder cannot be created")});
        return failures;
    }
    if (const auto userError = WriteWholeFile(where.UserFile(), contents)) {
        failures.append({where.UserFile(), *userError});
        return failures;
    }
    if (writtenTo)
        *writtenTo = where.UserFile();
    return {};
}
