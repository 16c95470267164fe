#pragma once

#include <QByteArray>

// Sets an environment variable while the guard lives, such as K30CFG_COM1 that leads "Com 1"
// to a device; the value it had before, or its absence, comes back afterwards.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value);
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_wasSet = false;
    QByteArray m_previous;
};
