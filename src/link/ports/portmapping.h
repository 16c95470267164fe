#pragma once

#include "link/ports/comroute.h"
#include "link/ports/portlist.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <chrono>
#include <memory>

class QSettings;

// Which device "Com 1" to "Com 4" reach: the ports present, the choices the user made in the
// port mapping (kept between runs) and the environment. The window and k30cfg-cli read the
// same choices. Reading the port list walks the system's device tree (thousands of files on
// Linux), so it is not read when this is made: it is read the first time someone asks for the
// ports present or for a route, and again on Refresh(); while someone follows it (an open link
// or mapping dialog) it is read every second, so adapters plugged in or out show within two
// seconds.
class PortMapping : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kPollInterval{1000};

    // `settings` keeps the choices between runs; without it they last for this run.
    PortMapping(PortList &list, std::unique_ptr<QSettings> settings = {},
                QObject *parent = nullptr);
    ~PortMapping() override;

    // Where the window and k30cfg-cli keep the choices: k30cfg/ports.conf in the user's
    // configuration folder (~/.config on Linux); null, with a warning, where that is no
    // regular file of a sensible size (core/settingsfile.h).
    static std::unique_ptr<QSettings> UserSettings();

    const QList<PortDetails> &Present() const;
    ComRoute Route(int commPort) const;
    const PortChoices &Choices() const { return m_choices; }
    // Kept at once; none: back to the standard device.
    void SetChoices(const PortChoices &choices);

    // Reads the port list again; Changed() when it is not what it was (or was not read yet).
    void Refresh();
    // Reads the port list every second while `watcher` lives.
    void Follow(QObject *watcher);
    bool IsFollowed() const { return m_polling.isActive(); }

    // "Com 1 uses /dev/ttyUSB0 (FT232R USB UART)" the first time in this run that "Com 1"
    // reaches the only USB adapter because nothing else was chosen; empty otherwise.
    QString TakeAdapterNote();
    // Whether that note may still come: "Com 1" is neither fixed by the environment nor
    // chosen, and the note was not given yet. Known without reading the port list.
    bool AdapterNoteMayCome() const;

Q_SIGNALS:
    // The ports present or the choices changed: what each "Com n" reaches may have too.
    void Changed();

private:
    void Unfollow(QObject *watcher);
    // Reads the port list the first time it is needed.
    void List() const;
    void NoteMoves() const;

    PortList &m_list;
    std::unique_ptr<QSettings> m_settings;
    // The port list as last read, and where the chosen adapters were seen in it: kept up to
    // date by the readers, also the const ones.
    mutable QList<PortDetails> m_present;
    mutable bool m_listed = false;
    mutable PortChoices m_choices;
    QSet<QObject *> m_watchers;
    QTimer m_polling;
    bool m_adapterNoted = false;
};
