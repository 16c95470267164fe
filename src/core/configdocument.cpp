#include "core/configdocument.h"

#include "core/charset.h"
#include "core/configfile.h"
#include "core/fieldtext.h"
#include "core/pagetable.h"
#include "keys/keytext.h"

#include <QStringList>

namespace {

// The header texts and link settings a configuration file stores beside the image, under
// the captions their windows show them with.
enum class Extra
{
    DeviceName,
    UserName,
    BuildingDate,
    Description,
    LinkMode,
    Port
};

struct ExtraSpec
{
    Extra which;
    const char *name;
    const char *caption;
    const char *group;
};

constexpr ExtraSpec kExtras[] = {
    {Extra::DeviceName, "header.device-name", "Device Name", "Header"},
    {Extra::UserName, "header.user-name", "User's Name", "Header"},
    {Extra::BuildingDate, "header.building-date", "Building Date", "Header"},
    {Extra::Description, "header.description", "Description", "Header"},
    {Extra::LinkMode, "link.mode", "Interface", "Link"},
    {Extra::Port, "link.port", "Port", "Link"},
};

template <typename Texts>
auto HeaderText(Texts &header, Extra which) -> decltype(&header.DeviceName)
{
    switch (which) {
    case Extra::DeviceName:
        return &header.DeviceName;
    case Extra::UserName:
        return &header.UserName;
    case Extra::BuildingDate:
        return &header.BuildingDate;
    case Extra::Description:
        return &header.Description;
    default:
        return nullptr;
    }
}

// The caption of the option the dialogs show for a setting: "By RS232", "Com 2". (A file
// holds no other values.)
QString LinkModeCaption(int mode)
{
    return Text(kLinkModeOptions[mode == LinkSettings::kByRs232 ? 1 : 0].caption);
}

QString PortCaption(int port)
{
    return Text(kPortOptions[qBound(0, port - 1, kComPortCount - 1)].caption);
}

// "one of: Com 1, Com 2, Com 3, Com 4"
QString OneOf(std::span<const FieldOption> options)
{
    QStringList captions;
    for (const FieldOption &option : options)
        captions.append(Text(option.caption));
    return QStringLiteral("is not a value; one of: ") + captions.join(QStringLiteral(", "));
}

QString ExtraValue(const ConfigDocument &doc, Extra which)
{
    if (which == Extra::LinkMode)
        return LinkModeCaption(doc.link.LinkMode);
    if (which == Extra::Port)
        return PortCaption(doc.link.CommPort);
    return *HeaderText(doc.header, which);
}

QString Squeezed(const QString &text)
{
    QString out = text.toLower();
    out.remove(QLatin1Char(' '));
    return out;
}

std::optional<QString> SetExtra(ConfigDocument &doc, const ExtraSpec &extra, const QString &value)
{
    const QString refused =
        QStringLiteral("%1: \"%2\" ").arg(Text(extra.name), PrintableText(value));
    if (extra.which == Extra::LinkMode || extra.which == Extra::Port) {
        const bool mode = extra.which == Extra::LinkMode;
        const std::span<const FieldOption> options =
            mode ? std::span<const FieldOption>(kLinkModeOptions) : kPortOptions;
        for (const FieldOption &option : options) {
            if (Squeezed(value) == Squeezed(Text(option.caption))) {
                (mode ? doc.link.LinkMode : doc.link.CommPort) = option.code;
                return std::nullopt;
            }
        }
        return refused + OneOf(options);
    }
    // A text is one line of the file in the single-byte character set.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return refused + QStringLiteral("holds a line end");
    if (!IsEncodable(value))
        return refused + QStringLiteral("holds characters outside the character set");
    *HeaderText(doc.header, extra.which) = value;
    return std::nullopt;
}

QString FieldCaption(const FieldSpec &field)
{
    QString caption = Text(field.caption).trimmed();
    while (caption.endsWith(QLatin1Char(':')))
        caption = caption.chopped(1).trimmed();
    return caption;
}

ConfigEntry FieldEntry(const FieldSpec &field, const PageInfo &page, const Image &image)
{
    return {Text(field.name), FieldCaption(field),           FieldValueText(field, image),
            Text(page.title), SectionCaption(*page.section), &field};
}

// Reads the file into a state filled with `fill`; what could not be read keeps that fill.
bool ReadInto(QByteArrayView data, int fill, ConfigDocument &doc)
{
    doc.images.ConfigImage.fill(static_cast<std::uint8_t>(fill));
    doc.link.CommPort = fill == 0 ? 1 : 2;
    doc.link.LinkMode = fill == 0 ? 0 : 1;
    const QString marker = fill == 0 ? QString() : QStringLiteral("\x01");
    doc.header = {marker, marker, marker, marker};
    return ReadConfiguration(data, doc.header, doc.link, doc.images);
}

} // namespace

ConfigDocument ConfigDocument::New(const std::optional<Image> &defaults)
{
    ConfigDocument doc;
    if (defaults)
        doc.images.DefaultImage = *defaults;
    doc.images.ResetToDefaults();
    doc.header = NewFileHeaderTexts();
    return doc;
}

std::optional<QString> ConfigDocument::Load(const QString &path, int *incomplete)
{
    QString error;
    const auto data = ReadWholeFile(path, kConfigFileSizeLimit, &error);
    if (!data)
        return QStringLiteral("%1: %2").arg(path, error);
    if (!Read(*data, incomplete))
        return QStringLiteral("%1: This File Is Not A Configuration Setup File").arg(path);
    return std::nullopt;
}

bool ConfigDocument::Read(QByteArrayView data, int *incomplete)
{
    // The file is read twice over different fillings: a value that could not be read keeps
    // the filling, so the two readings differ exactly there.
    ConfigDocument low;
    ConfigDocument high;
    if (!ReadInto(data, 0, low) || !ReadInto(data, 0xFF, high))
        return false;
    int missing = 0;
    for (int i = 0; i < kImageSize; ++i)
        missing += low.images.ConfigImage[i] != high.images.ConfigImage[i];
    missing += low.link.CommPort != high.link.CommPort;
    missing += low.link.LinkMode != high.link.LinkMode;
    missing += low.header.DeviceName != high.header.DeviceName;
    missing += low.header.UserName != high.header.UserName;
    missing += low.header.BuildingDate != high.header.BuildingDate;
    missing += low.header.Description != high.header.Description;
    if (incomplete)
        *incomplete = missing;

    *this = ConfigDocument();
    images.ConfigImage = FactoryImage();
    header = {};
    ReadConfiguration(data, header, link, images);
    return true;
}

std::optional<QString> ConfigDocument::Save(const QString &path, Replace replace) const
{
    if (auto error =
            WriteWholeFile(path, WriteConfiguration(header, link, images.ConfigImage), replace))
        return QStringLiteral("%1: %2").arg(path, *error);
    return std::nullopt;
}

std::vector<ConfigEntry> ConfigDocument::Entries() const
{
    std::vector<ConfigEntry> entries;
    for (const auto &extra : kExtras)
        entries.push_back({Text(extra.name), Text(extra.caption), ExtraValue(*this, extra.which),
                           Text(extra.group), QString(), nullptr});
    for (const auto &page : ParameterPages()) {
        for (const FieldSpec *field : FieldsOfPage(page.window))
            entries.push_back(FieldEntry(*field, page, images.ConfigImage));
    }
    return entries;
}

std::optional<QString> ConfigDocument::Set(const QString &name, const QString &value)
{
    for (const auto &extra : kExtras) {
        if (name == QLatin1String(extra.name))
            return SetExtra(*this, extra, value);
    }
    const FieldSpec *field = FindField(name.toStdString());
    if (!field)
        return QStringLiteral("%1: no such parameter (k30cfg-cli show lists them)").arg(name);
    return SetFieldFromText(*field, value, images);
}

QString Heading(const ConfigEntry &entry)
{
    const PageInfo *page = entry.field ? FindPageByWindow(entry.field->page) : nullptr;
    return page ? PageHeading(*page) : entry.group;
}

QString ShownValue(const ConfigEntry &entry)
{
    bool text = false;
    if (!entry.field)
        text = entry.name.startsWith(QLatin1String("header."));
    else if (entry.field->kind == FieldKind::Character || entry.field->kind == FieldKind::KeyText)
        text = true;
    else if (entry.field->kind == FieldKind::NamedCharacter)
        text = entry.value.size() == 1;
    const QString value = PrintableText(entry.value);
    return text ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

QString PrintableText(QStringView text)
{
    constexpr char16_t kControlNames = 32;
    QString printable;
    printable.reserve(text.size());
    for (QChar c : text) {
        if (c.category() != QChar::Other_Control) {
            printable.append(c);
            continue;
        }
        const char16_t code = c.unicode();
        printable +=
            QLatin1Char('{') +
            (code < kControlNames ? KeyName(code, false)
                                  : QLatin1Char('x') + QString::number(code, 16).toUpper()) +
            QLatin1Char('}');
    }
    return printable;
}
