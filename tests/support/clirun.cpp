#include "clirun.h"

#include <QProcess>
#include <QSignalSpy>

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

CliRun Cli(const QStringList &arguments, const QByteArray &input, qint64 fileSizeLimit)
{
    QProcess process;
    process.setProgram(QStringLiteral(K30_CLI));
    process.setArguments(arguments);
#ifdef Q_OS_UNIX
    if (fileSizeLimit > 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            // A write past the limit then fails with EFBIG instead of ending the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
#else
    if (fileSizeLimit > 0)
        return {-1, {}, QStringLiteral("no file size limit on this system")};
#endif
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    process.write(input);
    process.closeWriteChannel();
    if (!finished.wait(30000)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, QStringLiteral("did not finish")};
    }
    CliRun run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
               QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
#ifdef Q_OS_WIN
    // The standard streams of a Windows program end their lines with CR LF.
    run.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    run.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return run;
}

QString CliNewFile(const QString &path)
{
    const CliRun run = Cli({QStringLiteral("new"), path});
    if (run.code != 0)
        qWarning() << run.err;
    return path;
}
