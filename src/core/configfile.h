#pragma once

#include "core/appstate.h"
#include "core/safefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The two text files a configuration lives in, as pure conversions between bytes and state
// (core/safefile reads and writes the files themselves). No widgets: the main window's file
// commands and the command line tool use the same functions.
//
// Configuration file (*.cfg), 92 lines: "yorn", the four header texts, CommPort, LinkMode,
// then ConfigImage bytes 0 to 84. Defaults file "defaults", 86 lines: "J30_Defaults", then
// the 85 bytes. Numbers are written with one blank before and after the digits, every line
// ends with CR LF, texts are written in the single-byte character set.

inline constexpr char kConfigMarker[] = "yorn";
inline constexpr char kDefaultsMarker[] = "J30_Defaults";
inline constexpr char kDefaultsFileName[] = "defaults";
inline constexpr int kConfigLines = 92;
inline constexpr int kDefaultsLines = 86;

// One number line without its line end: " 65 ", " 0 ", "-1 ".
QByteArray NumberLine(int value);
// The number a line holds, blanks around the digits ignored; nothing when it holds none.
std::optional<int> ParseNumberLine(QByteArrayView line);

// The header texts of a new configuration (File New): "Device Name", "User's Name", today's
// date in the system's short form and "Your Description about this Setup".
HeaderTexts NewFileHeaderTexts();

QByteArray WriteConfiguration(const HeaderTexts &texts, const LinkSettings &link,
                              const Image &image);

// Reads a configuration file into the given state. Refused (false, nothing changed) unless
// line 1 is exactly the marker. Otherwise every value that cannot be read (line missing, no
// number, out of range) keeps its previous value, and afterwards SavedImage equals
// ConfigImage. CommPort outside 1..4 and LinkMode outside 0..1 count as unreadable: the link
// dialogs cannot show or use any other value.
bool ReadConfiguration(QByteArrayView data, HeaderTexts &texts, LinkSettings &link,
                       ParameterImages &images);

QByteArray WriteDefaults(const Image &image);
// The image a defaults file holds, or nothing when the marker is wrong or any of the 85
// byte lines is missing or damaged (the caller then uses the factory values).
std::optional<Image> ReadDefaults(QByteArrayView data);

// Configuration and defaults files are read only up to this size (a valid one is under
// 2 KiB): anything larger is no such file.
inline constexpr qint64 kConfigFileSizeLimit = 64 * 1024;

// Where the defaults file lives: the program's directory, and the user's configuration
// folder for installations whose program directory cannot be written.
struct DefaultsLocations
{
    QString programDir;
    QString userDir;

    static DefaultsLocations Standard();
    QString ProgramFile() const;
    QString UserFile() const;
};

// Start-up: the first valid defaults file, the user's copy before the program directory's
// (a damaged or unreadable one is passed over); the factory values when neither is valid.
Image LoadDefaults(const DefaultsLocations &where);

// A file that could not be written, and why.
struct FileFailure
{
    QString path;
    QString reason;
};

// Save As Default: the program directory when it can be written there, else the user's
// folder (a stale user copy is removed after writing into the program directory, so the
// next start reads what was saved last). Empty when saved; otherwise every file that was
// tried, each with its own reason.
QList<FileFailure> SaveDefaults(const DefaultsLocations &where, const Image &image,
                                QString *writtenTo = nullptr);
