#include "simprocess.h"

bool SimProcess::Start(const QString &program, const QStringList &arguments, QTextStream &log)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000)) {
        log << "k30-sim did not start: " << m_process.errorString() << Qt::endl;
        return false;
    }
    m_path = QString::fromLocal8Bit(m_process.readLine().trimmed());
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                     [this] { m_process.readAllStandardOutput(); });
    return m_path.startsWith(QLatin1Char('/'));
}

SimProcess::~SimProcess()
{
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
}
