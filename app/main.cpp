#include "core/appstate.h"
#include "core/versiontext.h"
#include "link/keyboard/ioportkeyboard.h"
#include "link/ports/portmapping.h"
#include "link/ports/systemportlist.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "shell/systemkeyboardlayout.h"
#include "shell/toolicon.h"
#include "simulateddevice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows these options.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the version.")};
    QCommandLineOption simulate{
        QStringLiteral("simulate"),
        QStringLiteral("Starts with a simulated K30 attached: \"Com 1\" and the keyboard path "
                       "lead to it.")};
    // For start-up timing (k30-bench): "shown" on standard output once the main window is
    // shown and painted, then the window's title, then the program quits.
    QCommandLineOption quitAfterShow{
        QStringLiteral("quit-after-show"),
        QStringLiteral("Prints \"shown\" and the window's title once the main window is shown "
                       "and painted, then quits.")};

    void AddTo(QCommandLineParser &parser) const
    {
        parser.setApplicationDescription(QStringLiteral("K30 configuration tool."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(simulate);
        parser.addOption(quitAfterShow);
        // What "Open with" in a file manager hands over.
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("A configuration file to open."),
                                     QStringLiteral("[file]"));
    }
};

QStringList Arguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int StartFailed(const QString &text)
{
    QTextStream(stderr) << "k30cfg: " << text << Qt::endl;
    QMessageBox::critical(nullptr, QStringLiteral("k30cfg"), text);
    return 1;
}

int Run(int argc, char *argv[], const Options &options)
{
    QApplication app(argc, argv);
    UseToolIcon();
    QCommandLineParser parser;
    options.AddTo(parser);
    parser.process(app);
    if (parser.positionalArguments().size() > 1)
        return StartFailed(QStringLiteral("Only one configuration file can be opened at start."));

    AppState state;
    ShellSetup setup;
    std::unique_ptr<IoPortKeyboard> keyboard;
    std::unique_ptr<SimulatedDevice> simulated;
    if (parser.isSet(options.simulate)) {
        simulated = std::make_unique<SimulatedDevice>();
        if (!simulated->Start())
            return StartFailed(QStringLiteral("The simulated K30 cannot start: ") +
                               simulated->ErrorString());
#ifdef Q_OS_UNIX
        // A Windows program of the window kind has no terminal to log to.
        QObject::connect(&simulated->Server(), &SimSerialServer::Logged, &app,
                         [](const QString &line) { QTextStream(stderr) << line << Qt::endl; });
#endif
        setup = simulated->Setup();
    } else {
        keyboard = std::make_unique<IoPortKeyboard>();
        setup.keyboard = keyboard.get();
        setup.initializeKeyboard = [port = keyboard.get()] { return port->InitializeWinIo(); };
    }
    // "Com 1" to "Com 4" as the user mapped them (the simulated device's variable for "Com 1"
    // wins over that).
    SystemPortList systemPorts;
    PortMapping ports(systemPorts, PortMapping::UserSettings());
    setup.ports = &ports;
    const SystemKeyboardLayout keyboardLayout;
    setup.keyboardLayout = &keyboardLayout;
    // Named from the folder the program started in; kept whole, so that Save and the recent
    // files reach it from anywhere.
    if (!parser.positionalArguments().isEmpty())
        setup.file = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    MainWindow window(state, std::move(setup));
    window.show();
    if (parser.isSet(options.quitAfterShow)) {
        QTimer::singleShot(0, &app, [&window] {
            // Painted at least once, whether or not its first paint came before this timer.
            window.repaint();
            QTextStream(stdout) << "shown" << Qt::endl << window.windowTitle() << Qt::endl;
            QCoreApplication::quit();
        });
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("k30cfg"));
    QCoreApplication::setApplicationVersion(QStringLiteral(K30_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("k30cfg"));

    // --help and --version answer before any window system is touched, so they work on a
    // machine without a display. Qt's own options (-platform ...) are unknown here and only
    // checked once the application exists.
    const Options options;
    QCommandLineParser early;
    options.AddTo(early);
    early.parse(Arguments(argc, argv));
    if (!early.isSet(options.help) && !early.isSet(options.version))
        return Run(argc, argv, options);
    // A core application names the program in the help text; it needs no display.
    const QCoreApplication core(argc, argv);
    if (early.isSet(options.help))
        QTextStream(stdout) << early.helpText();
    else
        QTextStream(stdout) << VersionText(QCoreApplication::applicationName());
    return 0;
}
