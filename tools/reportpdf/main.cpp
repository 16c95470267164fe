// k30cfg-pdf: draws the configuration report's PDF for k30cfg-cli. The PDF needs Qt Gui (fonts,
// the text layout, the PDF writer), which k30cfg-cli does not load: its other commands start
// faster without it. Reads the report's HTML on standard input and writes the PDF, on the
// paper of the user's locale, to standard output; nothing on a display.

#include "report/reportwriter.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Far beyond a report of the largest configuration file.
constexpr qint64 kHtmlLimit = 64 * 1024 * 1024;

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform looks for the user's runtime folder, which the PDF never uses: a
// command run from cron or a service has none, and its output stays clean of the warning.
void WithoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // The PDF and the HTML are bytes: in text mode a line feed would gain a carriage return
    // and the PDF's offsets would be wrong. Windows' own platform draws with the system's
    // fonts and opens no window; its offscreen platform (QT_QPA_PLATFORM, as the tests set
    // it) finds no fonts at all.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    qputenv("QT_QPA_PLATFORM", "windows");
#else
    // Whatever display the environment names, none is opened: the PDF is drawn in memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    g_previousHandler = qInstallMessageHandler(WithoutRuntimeFolderWarning);
    const QGuiApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const QByteArray html = in.read(kHtmlLimit + 1);
    if (html.size() > kHtmlLimit) {
        std::fputs("k30cfg-pdf: the report is too large\n", stderr);
        return 1;
    }
    const QByteArray pdf = ReportPdf(QString::fromUtf8(html), LocalPaper());
    return out.write(pdf) == pdf.size() && out.flush() ? 0 : 1;
}
