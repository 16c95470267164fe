#pragma once

#include "core/linkoptions.h"
#include "link/ports/portdetails.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The device the user chose for a "Com n": found again by its serial number where it has one
// (an adapter plugged in elsewhere comes back under another path), else by its path.
struct PortChoice
{
    QString serialNumber;
    QString path;        // where it was last seen
    QString description; // to name it while it is not plugged in

    static PortChoice Of(const PortDetails &port);
    bool Matches(const PortDetails &port) const;
    // The port as it was when chosen, to name it while it is not plugged in.
    PortDetails LastSeen() const;
    bool operator==(const PortChoice &) const = default;
};

// The choices for "Com 1" to "Com 4", by index 0 to 3; none: the standard device.
using PortChoices = std::array<std::optional<PortChoice>, kComPortCount>;

// How a "Com n" came to its device, in the order they win.
enum class RouteOrigin
{
    Environment, // K30CFG_COMn names it
    Choice,      // chosen in the port mapping
    OnlyAdapter, // "Com 1" with nothing chosen and no port of its own: the one USB adapter
    Standard     // /dev/ttyS(n-1), COMn on Windows
};

// Which device a "Com n" reaches now.
struct ComRoute
{
    int commPort = 1;
    // What the exchange opens; empty when the chosen adapter is not plugged in (it is not
    // looked for under a path that another adapter may have taken).
    QString device;
    RouteOrigin origin = RouteOrigin::Standard;
    std::optional<PortDetails> port; // the device among the ports present
    std::optional<PortChoice> choice;

    // The device by name, also while a chosen one is unplugged.
    QString ShownDevice() const;
};

// The chosen port among those present. Several adapters may report one serial number (some
// clones all do): the one where the chosen one was last seen comes first.
std::optional<PortDetails> FindChosenPort(const PortChoice &choice,
                                          const QList<PortDetails> &present);
// Notes where each chosen adapter is now, if it is plugged in under another path; true when
// one moved.
bool NoteWhereChosenAre(PortChoices &choices, const QList<PortDetails> &present);

// Whether `commPort` reaches the only USB adapter when it has no device of its own: "Com 1"
// when K30CFG_COM1 does not fix it and nothing was chosen for it. Needs no port list.
bool MayTakeOnlyAdapter(int commPort, const PortChoices &choices);

// `present`: the ports the system has now. K30CFG_COMn wins over everything; "Com 1" takes
// the one USB adapter only when no other "Com n" claims it.
ComRoute RouteComPort(int commPort, const PortChoices &choices, const QList<PortDetails> &present);

// "Com 1: /dev/ttyUSB0, FT232R USB UART, serial A50285BI", with how it came to it unless it
// was chosen or is the standard device.
QString ComRouteText(const ComRoute &route);
// "chosen in Port Mapping", "set by K30CFG_COM2", "the only USB adapter", "standard device",
// and ", not present" when it is not among the ports present.
QString RouteOriginText(const ComRoute &route);

// The tool tip of "Com n" in the link settings: the device it reaches now, and on Linux the
// reasons it can be "not available" (missing, held by another program, no access without the
// dialout group), each with its remedy.
QString SerialPortToolTip(const ComRoute &route);
