#include "childrun.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace

namespace {

// A program's argument and environment vectors, kept alive until it has been spawned.
class SpawnVectors
{
    Q_DISABLE_COPY_MOVE(SpawnVectors)

public:
    SpawnVectors(const QString &program, const QStringList &arguments,
                 const QStringList &environment)
    {
        m_args << program.toLocal8Bit();
        for (const QString &argument : arguments)
            m_args << argument.toLocal8Bit();
        for (QByteArray &argument : m_args)
            m_argv.push_back(argument.data());
        m_argv.push_back(nullptr);
        for (const QString &entry : environment)
            m_env << entry.toLocal8Bit();
        // The given entries replace this process's entries of the same name.
        const qsizetype given = m_env.size();
        for (char **entry = environ; *entry; ++entry) {
            const QByteArray inherited(*entry);
            const QByteArray name = inherited.left(inherited.indexOf('=') + 1);
            if (std::none_of(m_env.cbegin(), m_env.cbegin() + given,
                             [&](const QByteArray &mine) { return mine.startsWith(name); }))
                m_env << inherited;
        }
        for (QByteArray &entry : m_env)
            m_envp.push_back(entry.data());
        m_envp.push_back(nullptr);
    }

    char *Program() const { return m_argv.front(); }
    char *const *Argv() const { return m_argv.data(); }
    char *const *Envp() const { return m_envp.data(); }

private:
    QList<QByteArray> m_args;
    QList<QByteArray> m_env;
    std::vector<char *> m_argv;
    std::vector<char *> m_envp;
};

} // namespace

ChildRun RunChild(const QString &program, const QStringList &arguments,
                  const QStringList &environment, const QByteArray &marker)
{
    ChildRun run;
    // Everything the child needs is prepared before the clock starts.
    const SpawnVectors vectors(program, arguments, environment);

    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const double start = NowMs();
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, vectors.Program(), &actions, nullptr, vectors.Argv(), vectors.Envp());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return run;
    }
    run.started = true;

    // Blocking reads are right here: the bench waits for nothing else meanwhile.
    QByteArray seen;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        run.outputBytes += n;
        if (!marker.isEmpty() && run.msToMarker < 0) {
            // Kept only until the marker line is found: the output before it is short.
            seen.append(buffer, n);
            if (seen.startsWith(marker) || seen.contains('\n' + marker))
                run.msToMarker = NowMs() - start;
        }
    }
    ::close(out[0]);

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.msToExit = NowMs() - start;
    run.maxRssKb = usage.ru_maxrss;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

DeviceRun RunChildOnDevice(const QString &program, const QStringList &arguments, int device,
                           qint64 request, const QByteArray &answer)
{
    DeviceRun run;
    const SpawnVectors vectors(program, arguments, {});
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, device);

    const double start = NowMs();
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, vectors.Program(), &actions, nullptr, vectors.Argv(), vectors.Envp());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    run.started = true;

    // The device side waits in poll() for the request, answers it, and is done when the
    // program has ended; a program that sends nothing is stopped after kDeviceRunLimitMs.
    constexpr double kDeviceRunLimitMs = 10000;
    bool answered = answer.isEmpty();
    int status = 0;
    for (;;) {
        pollfd readable{device, POLLIN, 0};
        if (::poll(&readable, 1, 20) > 0 && (readable.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(device, buffer, sizeof buffer);
            if (n > 0) {
                if (run.received == 0)
                    run.msToFirstByte = NowMs() - start;
                run.received += n;
            }
        }
        if (!answered && run.received >= request) {
            answered = ::write(device, answer.constData(), size_t(answer.size())) > 0;
        }
        if (::waitpid(pid, &status, WNOHANG) == pid)
            break;
        if (NowMs() - start > kDeviceRunLimitMs) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}
