#include "clirun.h"

#include <QProcess>
#include <QSignalSpy>

#include <csignal>

CliRun Cli(const QStringList &arguments, const QByteArray &input, rlim_t fileSizeLimit)
{
    QProcess process;
    process.setProgram(QStringLiteral(K30_CLI));
    process.setArguments(arguments);
    if (fileSizeLimit > 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            // A write past the limit then fails with EFBIG instead of ending the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    process.write(input);
    process.closeWriteChannel();
    if (!finished.wait(30000)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, QStringLiteral("did not finish")};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString CliNewFile(const QString &path)
{
    const CliRun run = Cli({QStringLiteral("new"), path});
    if (run.code != 0)
        qWarning() << run.err;
    return path;
}
