#include "core/memoryfile.h"

#include "core/charset.h"
#include "core/safefile.h"

QString MemoryFileText(const QString &areaText)
{
    QString text;
    text.reserve(areaText.size() + areaText.size() / 16);
    // A text area holds lines, not line ends: every line break becomes CR LF, whether it came
    // as LF or CR LF.
    for (qsizetype i = 0; i < areaText.size(); ++i) {
        const QChar c = areaText.at(i);
        if (c == QLatin1Char('\r') && i + 1 < areaText.size() &&
            areaText.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text += QStringLiteral("\r\n");
            continue;
        }
        text += c;
    }
    return text;
}

QByteArray MemoryFileBytes(const QString &fileText)
{
    return TextToBytes(fileText + QStringLiteral("\r\n"));
}

std::optional<QString> WriteMemoryFile(const QString &path, const QString &fileText)
{
    return WriteWholeFile(path, MemoryFileBytes(fileText));
}
