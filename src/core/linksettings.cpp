#include "core/linksettings.h"

#include <QStringList>

int LinkSettings::DataBits() const
{
    return FrameSetting.size() > 2 && FrameSetting.at(2) == QLatin1Char('7') ? 7 : 8;
}

int LinkSettings::StopBits() const
{
    return FrameSetting.size() > 4 && FrameSetting.at(4) == QLatin1Char('2') ? 2 : 1;
}

QString LinkSettings::FrameText(int dataBits, int stopBits)
{
    return QStringLiteral("N,%1,%2 ").arg(dataBits).arg(stopBits);
}

QString OptionCodes(const LinkOptionGroup &group, const char *last)
{
    QStringList codes;
    for (const FieldOption &option : group.options)
        codes.append(QString::number(option.code));
    if (!last || codes.size() < 2)
        return codes.join(QStringLiteral(", "));
    const QString final = codes.takeLast();
    return codes.join(QStringLiteral(", ")) + QLatin1Char(' ') + QLatin1String(last) +
           QLatin1Char(' ') + final;
}

int OptionIndexOfCode(const LinkOptionGroup &group, QStringView text)
{
    for (std::size_t i = 0; i < group.options.size(); ++i) {
        if (text == QString::number(group.options[i].code))
            return static_cast<int>(i);
    }
    return -1;
}
