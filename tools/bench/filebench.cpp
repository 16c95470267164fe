#include "filebench.h"

#include "benchstats.h"
#include "childrun.h"

#include "core/appstate.h"
#include "core/configfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A person notices a delay of about a tenth of a second; opening or saving one file stays
// far below it, and a script showing many files should not wait on the tool.
constexpr double kOpenTargetMs = 1;
constexpr double kSaveTargetMs = 10;
constexpr double kShowTargetMs = 50;

// A configuration that differs from file to file, so no two files are the same.
QByteArray SampleFile(int index)
{
    HeaderTexts texts{QStringLiteral("Device %1").arg(index), QStringLiteral("Bench"),
                      QStringLiteral("2024-05-01"), QStringLiteral("Configuration %1").arg(index)};
    LinkSettings link;
    Image image = FactoryImage();
    image[index % kImageSize] ^= std::uint8_t(1 + index % 7);
    return WriteConfiguration(texts, link, image);
}

} // namespace

void RunFileWork(BenchReport &report, const FileBenchOptions &options, QTextStream &log)
{
    log << "file work" << Qt::endl;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.cfg"));
    QElapsedTimer clock;

    // Save as the window does: the state becomes the file's bytes, written atomically.
    HeaderTexts texts;
    LinkSettings link;
    ParameterImages images;
    images.ResetToDefaults();
    bool good = true;
    clock.start();
    for (int i = 0; i < options.iterations; ++i) {
        images.ConfigImage[i % kImageSize] ^= 1;
        good = !WriteWholeFile(path, WriteConfiguration(texts, link, images.ConfigImage)) && good;
    }
    const double saveMs = good ? double(clock.nsecsElapsed()) / 1e6 / options.iterations : NAN;

    clock.start();
    for (int i = 0; i < options.iterations; ++i) {
        const auto data = ReadWholeFile(path, kConfigFileSizeLimit);
        good = data && ReadConfiguration(*data, texts, link, images) && good;
    }
    const double openMs = good ? double(clock.nsecsElapsed()) / 1e6 / options.iterations : NAN;

    report.Add({QStringLiteral("file: save a configuration"), saveMs, kSaveTargetMs,
                QStringLiteral("ms"), true,
                QStringLiteral("WriteConfiguration + WriteWholeFile, mean of %1")
                    .arg(options.iterations)});
    report.Add(
        {QStringLiteral("file: open a configuration"), openMs, kOpenTargetMs, QStringLiteral("ms"),
         true,
         QStringLiteral("ReadWholeFile + ReadConfiguration, mean of %1").arg(options.iterations)});

    // k30cfg-cli show takes one file per call: one process per file, as a script would run it.
    QStringList files;
    for (int i = 0; i < options.cliFiles; ++i) {
        const QString file =
            dir.filePath(QStringLiteral("site%1.cfg").arg(i, 4, 10, QLatin1Char('0')));
        // A file that could not be written makes its show fail below.
        WriteWholeFile(file, SampleFile(i));
        files << file;
    }
    QList<double> runs;
    qint64 output = 0;
    clock.start();
    for (const QString &file : files) {
        const ChildRun run = RunChild(options.cliProgram, {QStringLiteral("show"), file});
        runs << (run.started && run.exitCode == 0 && run.outputBytes > 0 ? run.msToExit : NAN);
        output += run.outputBytes;
    }
    const double all = double(clock.nsecsElapsed()) / 1e6;
    const double mean = Mean(runs);
    if (!std::isfinite(mean))
        log << "  k30cfg-cli show failed on a file" << Qt::endl;
    report.Add({QStringLiteral("k30cfg-cli show: per file"), mean, kShowTargetMs,
                QStringLiteral("ms"), true,
                QStringLiteral("%1 files, one process each, %2 s in all, median %3 ms, %4 KiB "
                               "shown")
                    .arg(files.size())
                    .arg(FormatFigure(all / 1000))
                    .arg(FormatFigure(Median(runs)))
                    .arg(output / 1024)});
}
