#include "link/ports/portmapping.h"

#include "core/settingsfile.h"

#include <QSettings>

namespace {

QString Group(int commPort)
{
    return QStringLiteral("Com%1").arg(commPort);
}

PortChoices LoadChoices(QSettings &settings)
{
    PortChoices choices;
    for (int n = 1; n <= kComPortCount; ++n) {
        settings.beginGroup(Group(n));
        PortChoice choice{settings.value(QStringLiteral("serialNumber")).toString(),
                          settings.value(QStringLiteral("path")).toString(),
                          settings.value(QStringLiteral("description")).toString()};
        settings.endGroup();
        if (!choice.serialNumber.isEmpty() || !choice.path.isEmpty())
            choices[n - 1] = choice;
    }
    return choices;
}

void SaveChoices(QSettings &settings, const PortChoices &choices)
{
    for (int n = 1; n <= kComPortCount; ++n) {
        settings.remove(Group(n));
        const auto &choice = choices[n - 1];
        if (!choice)
            continue;
        settings.beginGroup(Group(n));
        settings.setValue(QStringLiteral("serialNumber"), choice->serialNumber);
        settings.setValue(QStringLiteral("path"), choice->path);
        settings.setValue(QStringLiteral("description"), choice->description);
        settings.endGroup();
    }
    settings.sync();
}

} // namespace

PortMapping::PortMapping(PortList &list, std::unique_ptr<QSettings> settings, QObject *parent)
    : QObject(parent), m_list(list), m_settings(std::move(settings))
{
    if (m_settings)
        m_choices = LoadChoices(*m_settings);
    m_polling.setInterval(kPollInterval);
    connect(&m_polling, &QTimer::timeout, this, &PortMapping::Refresh);
}

PortMapping::~PortMapping() = default;

std::unique_ptr<QSettings> PortMapping::UserSettings()
{
    return OpenSettings(QStringLiteral("ports"));
}

const QList<PortDetails> &PortMapping::Present() const
{
    List();
    return m_present;
}

ComRoute PortMapping::Route(int commPort) const
{
    List();
    return RouteComPort(commPort, m_choices, m_present);
}

void PortMapping::List() const
{
    if (m_listed)
        return;
    m_present = m_list.Ports();
    m_listed = true;
    NoteMoves();
}

void PortMapping::SetChoices(const PortChoices &choices)
{
    if (choices == m_choices)
        return;
    m_choices = choices;
    if (m_settings)
        SaveChoices(*m_settings, m_choices);
    Q_EMIT Changed();
}

void PortMapping::Refresh()
{
    QList<PortDetails> present = m_list.Ports();
    const bool first = !m_listed;
    m_listed = true;
    if (present == m_present && !first)
        return;
    m_present = std::move(present);
    NoteMoves();
    Q_EMIT Changed();
}

void PortMapping::NoteMoves() const
{
    // An unplugged adapter is then named by the path it had last.
    if (NoteWhereChosenAre(m_choices, m_present) && m_settings)
        SaveChoices(*m_settings, m_choices);
}

void PortMapping::Follow(QObject *watcher)
{
    if (m_watchers.contains(watcher))
        return;
    m_watchers.insert(watcher);
    connect(watcher, &QObject::destroyed, this, [this, watcher] { Unfollow(watcher); });
    // What was plugged in while nobody looked shows at once; a list not read yet is read by
    // the first look.
    if (m_listed)
        Refresh();
    m_polling.start();
}

void PortMapping::Unfollow(QObject *watcher)
{
    m_watchers.remove(watcher);
    if (m_watchers.isEmpty())
        m_polling.stop();
}

bool PortMapping::AdapterNoteMayCome() const
{
    return !m_adapterNoted && MayTakeOnlyAdapter(1, m_choices);
}

QString PortMapping::TakeAdapterNote()
{
    if (!AdapterNoteMayCome())
        return {};
    const ComRoute route = Route(1);
    if (route.origin != RouteOrigin::OnlyAdapter)
        return {};
    m_adapterNoted = true;
    QString note = QStringLiteral("Com 1 uses ") + route.device;
    if (!route.port->description.isEmpty())
        note += QStringLiteral(" (") + route.port->description + QLatin1Char(')');
    return note;
}
