#pragma once

#include "core/linksettings.h"
#include "core/parameterimages.h"
#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "link/memoryexchange.h"
#include "link/memorytimings.h"
#include "link/serial/serialline.h"
#include "link/serial/serialtarget.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class KeyboardPort;
class ScanListener;
class PortMapping;

// Where every window and k30cfg-cli get their exchanges with the device: the one place that
// chooses between the serial line and the keyboard path. A window's session follows the
// shared link settings, read whenever it makes an exchange ("Com n" leads where the port
// mapping says at that moment) and, on the keyboard path, at every repetition of a download
// command, so that the download option in force then goes out. k30cfg-cli's session goes to
// the serial target its --port option named.
class DeviceSession
{
public:
    // Makes the serial line an exchange talks through.
    using LineMaker = std::function<std::unique_ptr<SerialLine>()>;

    // `settings` must outlive the session and its exchanges; `ports` and `keyboard` may be
    // null (the environment or the standard devices; a keyboard path that writes nothing).
    DeviceSession(const LinkSettings &settings, PortMapping *ports, KeyboardPort *keyboard);
    // Always the serial line to `target`; a download with "Save" when `save`.
    explicit DeviceSession(SerialTarget target, bool save = true);

    // The serial lines come from `maker` instead of the system's serial ports: a device
    // simulated in this process stands in for the line.
    void SetLineMaker(LineMaker maker) { m_makeLine = std::move(maker); }
    // A serial device that exists only inside this process (the simulated K30 of `k30cfg
    // --simulate` where the system has no pseudo-terminals): every session's line to `device`
    // comes from `maker` from now on; an empty `maker` withdraws it. Call it before any
    // exchange starts and after the last one ended: the sessions of k30cfg-cli's threads read
    // it without a lock.
    static void ServeInProcess(const QString &device, LineMaker maker);

    bool IsSerial() const;
    // Where the exchanges go: "on Com 1", "on /dev/ttyUSB0", "on the keyboard path".
    QString DeviceWords() const;

    // A download sends `image`; a good upload answer overwrites one section of it; `image`
    // must outlive the exchange. `parent` owns the exchange; without one the caller does.
    LinkExchange *MakeExchange(ExchangeKind kind, Image &image, const LinkTimings &timings = {},
                               QObject *parent = nullptr) const;
    // Listens on the serial line for scans; null on the keyboard path, where the device types
    // into a window.
    ScanListener *MakeScanListener(QObject *parent = nullptr) const;
    MemoryExchange *MakeMemoryExchange(MemoryKind kind, const MemoryTimings &timings = {},
                                       QObject *parent = nullptr) const;

private:
    SerialTarget Target() const;
    std::unique_ptr<SerialLine> MakeLine(const SerialTarget &target) const;

    const LinkSettings *m_settings = nullptr;
    PortMapping *m_ports = nullptr;
    KeyboardPort *m_keyboard = nullptr;
    std::optional<SerialTarget> m_target;
    bool m_save = true;
    LineMaker m_makeLine;
};
