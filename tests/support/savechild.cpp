// A program that saves configuration files for the save tests, so that a save can be killed
// in the middle or run with a small file size limit (a disk that fills up) without touching
// the test process.
//   k30-savechild loop <path> <bytes>   saves two different files of that size in turn,
//                                       printing "saved" after each, until killed
//   k30-savechild save <path> <bytes>   saves once: exit 0, or 1 and the reason
//   k30-savechild limit <path> <bytes> <limit>
//                                       saves once with files limited to <limit> bytes;
//                                       exit 0 and the reason when the save was refused,
//                                       3 when it claimed success
#include "childcontents.h"
#include "core/configfile.h"

#include <QByteArray>
#include <QCoreApplication>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString path = args.at(2);
    const qsizetype size = args.at(3).toLongLong();
    if (args.at(1) == QLatin1String("loop")) {
        const QByteArray first = ChildContents('A', size);
        const QByteArray second = ChildContents('B', size);
        for (int round = 0;; ++round) {
            if (const auto reason = WriteWholeFile(path, round % 2 ? second : first)) {
                std::fprintf(stderr, "%s\n", qPrintable(*reason));
                return 1;
            }
            std::printf("saved\n");
            std::fflush(stdout);
        }
    }
    if (args.at(1) == QLatin1String("save")) {
        if (const auto reason = WriteWholeFile(path, ChildContents('S', size))) {
            std::printf("%s\n", qPrintable(*reason));
            return 1;
        }
        return 0;
    }
    if (args.at(1) == QLatin1String("limit") && args.size() == 5) {
        // Past the limit a write fails with EFBIG, as on a full disk, instead of the signal
        // that would end the program.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(args.at(4).toLongLong()), RLIM_INFINITY};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        if (const auto reason = WriteWholeFile(path, ChildContents('C', size))) {
            std::printf("%s\n", qPrintable(*reason));
            return 0;
        }
        return 3;
    }
    return 2;
}
