#include "report/reportapplication.h"

#include <QGuiApplication>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform looks for the user's runtime folder, which a report never uses: a
// command run from cron or a service has none, and its output stays clean of the warning.
void WithoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

std::unique_ptr<QCoreApplication> MakeReportApplication(int &argc, char **argv)
{
    // Whatever display the environment names, none is opened: a report is drawn in memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_previousHandler = qInstallMessageHandler(WithoutRuntimeFolderWarning);
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    return application;
}
