#include "core/keyboardlayout.h"

#include "core/catalogue/options.h"
#include "core/fieldcatalogue.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// The device's language codes, as "Language Selection" lists them.
enum Language : int
{
    kUsEnglish = 0,
    kUkEnglish = 1,
    kItalian = 2,
    kSpanish = 3,
    kFrench = 4,
    kGerman = 5,
    kSwedish = 6,
    kSwitzerland = 7,
    kHungarian = 8,
    kJapanese = 9,
    kBelgium = 10,
    kPortuguese = 11,
    kDenmark = 12,
    kNetherlands = 13,
};

struct XkbEntry
{
    const char *layout;
    const char *description;
    int language;
};

// The XKB layouts the device can type for. Others are shown by their name alone and never
// asked about.
constexpr XkbEntry kXkbLayouts[] = {
    {"us", "English (US)", kUsEnglish},  {"gb", "English (UK)", kUkEnglish},
    {"it", "Italian", kItalian},         {"es", "Spanish", kSpanish},
    {"fr", "French", kFrench},           {"de", "German", kGerman},
    {"at", "German (Austria)", kGerman}, {"se", "Swedish", kSwedish},
    {"ch", "Swiss", kSwitzerland},       {"hu", "Hungarian", kHungarian},
    {"jp", "Japanese", kJapanese},       {"be", "Belgian", kBelgium},
    {"pt", "Portuguese", kPortuguese},   {"dk", "Danish", kDenmark},
    {"nl", "Dutch", kNetherlands},
};

struct WindowsEntry
{
    std::uint16_t languageId;
    int language;
};

constexpr WindowsEntry kWindowsLayouts[] = {
    {0x0409, kUsEnglish}, {0x0809, kUkEnglish},   {0x0410, kItalian},     {0x040A, kSpanish},
    {0x0C0A, kSpanish},   {0x040C, kFrench},      {0x0407, kGerman},      {0x0C07, kGerman},
    {0x041D, kSwedish},   {0x0807, kSwitzerland}, {0x100C, kSwitzerland}, {0x040E, kHungarian},
    {0x0411, kJapanese},  {0x080C, kBelgium},     {0x0813, kBelgium},     {0x0816, kPortuguese},
    {0x0406, kDenmark},   {0x0413, kNetherlands},
};

// The first of a comma-separated list ("de,us" -> "de"), blanks dropped.
QString FirstOf(const QString &list)
{
    return list.section(QLatin1Char(','), 0, 0).trimmed();
}

// The value of `key` in lines of "key<separator>value"; quotes around the value dropped.
QString ValueOf(QByteArrayView text, const QString &pattern)
{
    const QRegularExpression line(pattern, QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromUtf8(text));
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

QString LanguageCaption(int language)
{
    for (const FieldOption &option : kLanguageOptions) {
        if (option.code == language)
            return Text(option.caption);
    }
    return QString::number(language);
}

// The language a section types in, when it types through the keyboard at all.
std::optional<int> TypingLanguage(const Image &image, const char *interfaceField,
                                  const char *languageField)
{
    const FieldSpec *mode = FindField(interfaceField);
    const FieldSpec *language = FindField(languageField);
    if (!mode || !language)
        return std::nullopt;
    const int index = OptionIndex(*mode, image);
    if (index >= 0 &&
        Text(mode->options[static_cast<std::size_t>(index)].caption) == QLatin1String("RS232 Mode"))
        return std::nullopt;
    return FieldCode(*language, image);
}

} // namespace

std::optional<KeyboardLayout> XkbLayout(const QString &layout, const QString &variant)
{
    const QString name = layout.trimmed().toLower();
    if (name.isEmpty())
        return std::nullopt;
    const QString code =
        variant.trimmed().isEmpty() ? name : name + QStringLiteral(", ") + variant.trimmed();
    const auto *entry = std::ranges::find_if(
        kXkbLayouts, [&](const XkbEntry &e) { return name == QLatin1String(e.layout); });
    if (entry == std::end(kXkbLayouts))
        return KeyboardLayout{code, std::nullopt};
    return KeyboardLayout{QStringLiteral("%1 (%2)").arg(Text(entry->description), code),
                          entry->language};
}

std::optional<KeyboardLayout> XkbLayoutFromQuery(QByteArrayView output)
{
    return XkbLayout(FirstOf(ValueOf(output, QStringLiteral("^layout:(.*)$"))),
                     FirstOf(ValueOf(output, QStringLiteral("^variant:(.*)$"))));
}

std::optional<KeyboardLayout> XkbLayoutFromSettings(QByteArrayView contents)
{
    auto value = [&](const char *key) {
        QString text = ValueOf(contents, QStringLiteral("^\\s*%1\\s*=(.*)$").arg(Text(key)));
        text.remove(QLatin1Char('"'));
        return FirstOf(text);
    };
    return XkbLayout(value("XKBLAYOUT"), value("XKBVARIANT"));
}

std::optional<int> WindowsLayoutLanguage(std::uint16_t languageId)
{
    const auto *entry = std::ranges::find(kWindowsLayouts, languageId, &WindowsEntry::languageId);
    if (entry == std::end(kWindowsLayouts))
        return std::nullopt;
    return entry->language;
}

std::optional<QString> LayoutQuestion(const Image &image, const std::optional<KeyboardLayout> &pc)
{
    if (!pc || !pc->language)
        return std::nullopt;
    QStringList others;
    for (const auto &[mode, language] :
         {std::pair{"decoder.interface.mode", "decoder.misc.language"},
          std::pair{"reader.interface.mode", "reader.misc.language"}}) {
        const std::optional<int> typed = TypingLanguage(image, mode, language);
        if (typed && *typed != *pc->language && !others.contains(LanguageCaption(*typed)))
            others.append(LanguageCaption(*typed));
    }
    if (others.isEmpty())
        return std::nullopt;
    return QStringLiteral("The device will type as %1, but this PC's keyboard layout is %2. "
                          "Download anyway?")
        .arg(others.join(QStringLiteral(" and ")), pc->name);
}

QString LayoutNote(const KeyboardLayout &pc)
{
    return QStringLiteral("This PC: ") + pc.name;
}
