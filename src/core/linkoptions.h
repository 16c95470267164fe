#pragma once

#include "core/fieldcatalogue.h"

#include <QString>

#include <iterator>
#include <span>

// The link settings' options, described once: the link dialogs build their option groups from
// these rows, k30cfg-cli takes and lists its serial options from them, and the settings start
// from them. Each option's code is the value the setting holds: 9600 for "9600", port 2 for
// "Com 2", 7 for "7 Data Bits".

inline constexpr FieldOption kLinkModeOptions[] = {{"By Keyboard", 0}, {"By RS232", 1}};
inline constexpr FieldOption kPortOptions[] = {
    {"Com 1", 1}, {"Com 2", 2}, {"Com 3", 3}, {"Com 4", 4}};
inline constexpr FieldOption kBaudOptions[] = {
    {"1200", 1200}, {"2400", 2400}, {"4800", 4800}, {"9600", 9600}, {"19200", 19200}};
inline constexpr FieldOption kDataBitsOptions[] = {{"7 Data Bits", 7}, {"8 Data Bits", 8}};
inline constexpr FieldOption kStopBitsOptions[] = {{"1 Stop Bit", 1}, {"2 Stop Bit", 2}};
// A download's option: the device keeps the image ("Save") or only uses it.
inline constexpr FieldOption kSaveOptions[] = {{"Not Save", 0}, {"Save", 1}};

// "Com 1" to "Com 4": the ports the dialogs offer, the port mapping maps and files store.
inline constexpr int kComPortCount = static_cast<int>(std::size(kPortOptions));

// One option group of the link dialogs: a frame with one option button per option, the
// buttons a control array whose index is the option's position.
struct LinkOptionGroup
{
    const char *frame;   // the frame's object name, "Frame4"
    const char *caption; // "Baud Rate"
    const char *group;   // the control array, "optBaud"
    std::span<const FieldOption> options;
    int startIndex;  // what the settings hold at start-up
    int designIndex; // selected in the dialog's design, before the settings are shown
};

// At start-up: "By Keyboard" on "Com 1", 9600 baud, 8 data bits, 1 stop bit, "Save". The
// dialogs' design shows "By RS232" and "Not Save" until the settings are shown.
inline constexpr LinkOptionGroup kLinkModeGroup = {.frame = "Frame1",
                                                   .caption = "Interface",
                                                   .group = "OptMode",
                                                   .options = kLinkModeOptions,
                                                   .startIndex = 0,
                                                   .designIndex = 1};
inline constexpr LinkOptionGroup kPortGroup = {.frame = "FraPort",
                                               .caption = "Port",
                                               .group = "OptPort",
                                               .options = kPortOptions,
                                               .startIndex = 0,
                                               .designIndex = 0};
inline constexpr LinkOptionGroup kBaudGroup = {.frame = "Frame4",
                                               .caption = "Baud Rate",
                                               .group = "optBaud",
                                               .options = kBaudOptions,
                                               .startIndex = 3,
                                               .designIndex = 3};
inline constexpr LinkOptionGroup kDataBitsGroup = {.frame = "Frame2",
                                                   .caption = "Data Bits",
                                                   .group = "optDatabits",
                                                   .options = kDataBitsOptions,
                                                   .startIndex = 1,
                                                   .designIndex = 1};
inline constexpr LinkOptionGroup kStopBitsGroup = {.frame = "Frame3",
                                                   .caption = "Stop Bits",
                                                   .group = "optStopbits",
                                                   .options = kStopBitsOptions,
                                                   .startIndex = 0,
                                                   .designIndex = 0};
inline constexpr LinkOptionGroup kSaveGroup = {.frame = "Frame5",
                                               .caption = "Download Option",
                                               .group = "Option1",
                                               .options = kSaveOptions,
                                               .startIndex = 1,
                                               .designIndex = 0};
constexpr bool IndexesInRange(const LinkOptionGroup &group)
{
    const int count = static_cast<int>(group.options.size());
    return group.startIndex >= 0 && group.startIndex < count && group.designIndex >= 0 &&
           group.designIndex < count;
}
static_assert(IndexesInRange(kLinkModeGroup) && IndexesInRange(kPortGroup) &&
                  IndexesInRange(kBaudGroup) && IndexesInRange(kDataBitsGroup) &&
                  IndexesInRange(kStopBitsGroup) && IndexesInRange(kSaveGroup),
              "the start-up and design options are options of their group");

// The code of the option the settings start with: 9600 for the baud rate.
constexpr int StartCode(const LinkOptionGroup &group)
{
    return group.options[static_cast<std::size_t>(group.startIndex)].code;
}

// The codes as a command line takes them, "1200, 2400, 4800, 9600, 19200"; the last joined
// with `last` instead of a comma where given ("7 or 8").
QString OptionCodes(const LinkOptionGroup &group, const char *last = nullptr);
// The option whose code is written as `text` ("9600"); -1 for none.
int OptionIndexOfCode(const LinkOptionGroup &group, QStringView text);
