#pragma once

#include "core/appstate.h"
#include "core/fieldcatalogue.h"
#include "core/safefile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// One parameter of a configuration as the command line shows it.
struct ConfigEntry
{
    QString name;    // "decoder.comm.parity", "header.device-name"
    QString caption; // "Parity"
    QString value;   // "Odd"
    QString group;   // the page's caption, or "Header" / "Link"
    QString section; // "Bar_Decoder", "Magnic_Reader", or empty for header and link
    const FieldSpec *field = nullptr; // nullptr for the header texts and the link settings
};

// A configuration file's contents: header texts, port and link mode, and the image. Loads
// and writes the exact file format through core/configfile.
class ConfigDocument
{
public:
    HeaderTexts header;
    LinkSettings link;
    ParameterImages images;

    // File New: the factory image (or the given defaults) and the new file's header texts.
    static ConfigDocument New(const std::optional<Image> &defaults = std::nullopt);

    // Reads a configuration file. Refused with the reason when the file cannot be read or is
    // no configuration file. `incomplete` counts the values that could not be read (they
    // keep the factory values).
    std::optional<QString> Load(const QString &path, int *incomplete = nullptr);
    // The same for a file's contents already read: false when they are no configuration.
    bool Read(QByteArrayView data, int *incomplete = nullptr);
    // Writes the whole file atomically; the reason when it could not be written.
    std::optional<QString> Save(const QString &path, Replace replace = Replace::Allowed) const;

    // Every parameter in the order the command line lists them: header, link, then the
    // pages of each section.
    std::vector<ConfigEntry> Entries() const;

    // Sets one parameter by its name; the reason when the name or the value is refused.
    std::optional<QString> Set(const QString &name, const QString &value);
};

// Where the listings put it: its page's heading ("Bar_Decoder / Communication Parameters",
// PageHeading), else its group ("Header", "Link", "Image").
QString Heading(const ConfigEntry &entry);

// The value as the listings print it: texts in quotes, so that blanks at their ends and empty
// texts can be seen, and written with PrintableText.
QString ShownValue(const ConfigEntry &entry);

// A text from a file or a device as a terminal or a table may show it: each control character
// by its key name in braces ("{ESC}", "{HT}"), or its code where it has none ("{x9B}"). A
// text cannot then move the cursor, clear the screen or add a column to a table.
QString PrintableText(QStringView text);
