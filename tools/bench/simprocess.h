#pragma once

#include "link/serial/serialtarget.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

// k30-sim in its own process, as a user would run it; its log is drained and dropped while
// the bench's event loop runs.
class SimProcess
{
public:
    SimProcess() = default;
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;
    ~SimProcess();

    bool Start(const QString &program, const QStringList &arguments, QTextStream &log);
    // The pseudo-terminal the simulator serves.
    QString Path() const { return m_path; }
    SerialTarget Target() const { return {1, m_path, QStringLiteral("9600,N,8,1 ")}; }

private:
    QProcess m_process;
    QString m_path;
};
