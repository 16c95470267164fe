// k30cfg-cli: the configuration tool without a window, for scripts that provision, inspect,
// compare and back up many devices. It uses the window's own file format, field catalogue,
// key text and device exchanges.

#include "commandtable.h"
#include "devicecommands.h"
#include "exitcodes.h"
#include "serialoptions.h"

#include "core/linkoptions.h"
#include "core/versiontext.h"
#include "link/ports/portmapping.h"
#include "link/ports/systemportlist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <memory>

namespace {

const char kDescription[] = R"(Reads, compares and writes K30 configuration files and talks to
K30 devices over the serial line.

Commands:
@commands@

Every command takes --json: one JSON object per line on standard output, one per
device (or per file), with the keys port, outcome, message, section, changed, diff
and versions (see the manual).

Serial settings: --baud, --data-bits, --stop-bits (default %1). --port takes a
device path, 1 to 4 for the window's ports COM1 to COM4 as its port mapping has them,
or serial:NUMBER for the USB adapter with that serial number wherever it is plugged
(see ports).

Exit status: 0 success, 1 refused or bad answer (or the compared sides differ),
2 time-out, 3 usage, 4 file error, 5 port not available. With several ports, the
largest status of all devices.)";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The port mapping is kept under the window's own name.
    QCoreApplication::setOrganizationName(QStringLiteral("k30cfg"));
    QCoreApplication::setApplicationName(QStringLiteral("k30cfg-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(K30_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription)
                                         .replace(QStringLiteral("@commands@\n"), CommandsHelp())
                                         .arg(SerialDefaults()));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));
    parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("One JSON object per device or file and line.")},
        {QStringLiteral("defaults"), QStringLiteral("new: from the window's defaults file.")},
        {QStringLiteral("defaults-file"), QStringLiteral("new: from this defaults file."),
         QStringLiteral("path")},
        {QStringLiteral("force"),
         QStringLiteral("new: replace an existing file; apply: download even where the "
                        "device holds the file's values.")},
        {QStringLiteral("port"),
         QStringLiteral("The device's serial port: a path, 1 to %1, or serial:NUMBER "
                        "(repeatable for download, apply, version, facts and discover).")
             .arg(kComPortCount),
         QStringLiteral("device")},
    });
    AddSerialOptions(parser);
    parser.addOptions({
        {QStringLiteral("not-save"),
         QStringLiteral("download, apply: the device does not keep it.")},
        {QStringLiteral("verify"), QStringLiteral("download: upload again and compare.")},
        {QStringLiteral("check"), QStringLiteral("apply: only say what would change.")},
        {QStringLiteral("no-verify"), QStringLiteral("apply: do not upload again to compare.")},
        {QStringLiteral("into"), QStringLiteral("upload: the configuration file to update."),
         QStringLiteral("file")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("read-memory: the memory data file to write; report: the report "
                        "(.html or .pdf)."),
         QStringLiteral("file")},
        {QStringLiteral("clear"),
         QStringLiteral("read-memory: clear the memory once the file is safe (needs -o).")},
        {QStringLiteral("yes"), QStringLiteral("clear-memory: do not ask.")},
        {QStringLiteral("config"),
         QStringLiteral("watch: the configuration file the scans are checked against."),
         QStringLiteral("file")},
        {QStringLiteral("count"), QStringLiteral("watch: stop after this many scans."),
         QStringLiteral("n")},
        {QStringLiteral("seconds"), QStringLiteral("watch: stop after this many seconds."),
         QStringLiteral("s")},
        {QStringLiteral("all"), QStringLiteral("discover: every serial port present.")},
    });
    // What the bash completion reads: the commands and the options each takes.
    QCommandLineOption listing(QStringLiteral("list-commands"),
                               QStringLiteral("The commands and their options."));
    listing.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(listing);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    // A caller that asked for JSON gets it for a wrong command line too.
    const bool json = parsed ? parser.isSet(QStringLiteral("json"))
                             : QCoreApplication::arguments().contains(QStringLiteral("--json"));
    auto usage = [&](const QString &text) {
        return RefuseCommandLine(kExitUsage, text, json, out, err);
    };
    if (!parsed)
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return kExitSuccess;
    }
    if (parser.isSet(version)) {
        out << VersionText(QCoreApplication::applicationName());
        return kExitSuccess;
    }
    if (parser.isSet(listing)) {
        out << CommandsListing();
        return kExitSuccess;
    }

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(QStringLiteral("No command given."));
    const QString name = args.takeFirst();
    const CliCommand *command = FindCliCommand(name);
    if (!command)
        return usage(QStringLiteral("Unknown command: %1").arg(name));
    const QStringList taken = command->Options();
    for (const QString &option : parser.optionNames()) {
        if (!taken.contains(option))
            return usage(QStringLiteral("%1 takes no --%2").arg(name, option));
    }
    const int wanted = command->arguments;
    if ((wanted >= 0 && args.size() != wanted) || (wanted < 0 && args.isEmpty()))
        return usage(QStringLiteral("%1: wrong number of arguments").arg(name));

    // The window's "Com 1" to "Com 4" as its port mapping has them, and the adapters present.
    SystemPortList systemPorts;
    std::unique_ptr<PortMapping> mapping;
    if (parser.isSet(QStringLiteral("port")))
        mapping = std::make_unique<PortMapping>(systemPorts, PortMapping::UserSettings());
    DeviceOptions devices;
    devices.ports = parser.values(QStringLiteral("port"));
    devices.json = json;
    devices.mapping = mapping.get();
    if (command->ports != PortUse::None) {
        QString problem;
        const auto settings = SerialSettings(parser, problem);
        if (!settings)
            return usage(problem);
        devices.settingsText = *settings;
        // diff compares two files when it is given no port.
        const bool optional = command->ports == PortUse::Optional || command->ports == PortUse::Any;
        if (!optional || !devices.ports.isEmpty()) {
            if (devices.ports.isEmpty())
                return usage(QStringLiteral("%1 needs --port").arg(name));
            if (devices.ports.size() > 1 && command->ports != PortUse::Several &&
                command->ports != PortUse::Any)
                return usage(QStringLiteral("%1 takes one --port").arg(name));
        }
    }
    return command->run({*command, parser, args, devices, json, out, err});
}
