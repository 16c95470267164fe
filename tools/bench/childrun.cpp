#include "childrun.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
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

ChildRun RunChild(const QString &program, const QStringList &arguments,
                  const QStringList &environment, const QByteArray &marker)
{
    ChildRun run;
    // Everything the child needs is prepared before the clock starts.
    QList<QByteArray> argStore{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        argStore << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &argument : argStore)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QList<QByteArray> envStore;
    for (const QString &entry : environment)
        envStore << entry.toLocal8Bit();
    // The given entries replace this process's entries of the same name.
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray inherited(*entry);
        const QByteArray name = inherited.left(inherited.indexOf('=') + 1);
        if (std::none_of(envStore.cbegin(), envStore.cend(),
                         [&](const QByteArray &given) { return given.startsWith(name); }))
            envStore << inherited;
    }
    std::vector<char *> envp;
    for (QByteArray &entry : envStore)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

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
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
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
