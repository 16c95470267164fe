#include "serialoptions.h"

#include "core/linksettings.h"
#include "link/linkchoices.h"

#include <QCommandLineParser>
#include <QStringList>

namespace {

struct SerialOption
{
    const char *name;
    const char *help; // before the values
    const char *valueName;
    const LinkOptionGroup &options;
    void (*choose)(LinkSettings &, int);
};

const SerialOption kSerialOptions[] = {
    {"baud", "Baud rate", "rate", kBaudGroup, ChooseBaud},
    {"data-bits", "Data bits", "n", kDataBitsGroup, ChooseDataBits},
    {"stop-bits", "Stop bits", "n", kStopBitsGroup, ChooseStopBits},
};

// "7 or 8", "1200, 2400, 4800, 9600, 19200"
QString Values(const LinkOptionGroup &options)
{
    return options.options.size() == 2 ? OptionCodes(options, "or") : OptionCodes(options);
}

} // namespace

void AddSerialOptions(QCommandLineParser &parser)
{
    for (const SerialOption &option : kSerialOptions)
        parser.addOption(
            {QLatin1String(option.name),
             QStringLiteral("%1: %2.").arg(QLatin1String(option.help), Values(option.options)),
             QLatin1String(option.valueName)});
}

QString SerialDefaults()
{
    QStringList codes;
    for (const SerialOption &option : kSerialOptions)
        codes.append(QString::number(StartCode(option.options)));
    return codes.join(QStringLiteral(", "));
}

std::optional<QString> SerialSettings(const QCommandLineParser &parser, QString &problem)
{
    LinkSettings settings;
    for (const SerialOption &option : kSerialOptions) {
        const QString name = QLatin1String(option.name);
        if (!parser.isSet(name))
            continue;
        const int index = OptionIndexOfCode(option.options, parser.value(name));
        if (index < 0) {
            const bool two = option.options.options.size() == 2;
            problem =
                QStringLiteral("--%1: %2%3")
                    .arg(name, two ? QString() : QStringLiteral("one of "), Values(option.options));
            return std::nullopt;
        }
        option.choose(settings, index);
    }
    return settings.SerialSettingsText();
}
