// k30cfg-cli: the configuration tool without a window, for scripts that provision, inspect,
// compare and back up many devices. It uses the window's own file format, field catalogue,
// key text and device exchanges.

#include "configcommands.h"
#include "devicecommands.h"
#include "devicejob.h"
#include "exitcodes.h"
#include "jsonreport.h"
#include "memorycommands.h"
#include "portscommand.h"
#include "serialoptions.h"

#include "core/configfile.h"
#include "core/linkoptions.h"
#include "core/memoryfile.h"
#include "core/safefile.h"
#include "core/versiontext.h"
#include "link/ports/portmapping.h"
#include "link/ports/systemportlist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <map>
#include <memory>
#include <set>

namespace {

const char kDescription[] = R"(Reads, compares and writes K30 configuration files and talks to
K30 devices over the serial line.

Commands:
  show FILE                    every parameter of a configuration file
  diff A B                     the parameters in which two files differ
  diff FILE --port DEV         the parameters in which a file and a device differ
  set FILE NAME=VALUE...       changes parameters by name (values as shown by show)
  new FILE [--defaults | --defaults-file PATH] [--force]
                               writes a new configuration
  download FILE --port DEV... [--not-save] [--verify]
                               downloads a configuration into one or more devices
  apply FILE --port DEV... [--check] [--force] [--not-save] [--no-verify]
                               compares the section each device sends with FILE,
                               downloads FILE only where they differ (or with
                               --force; never with --check) and verifies it
  upload --port DEV --into FILE
                               puts the section the device sends into FILE
  version --port DEV...        asks for the firmware version
  facts --port DEV...          the firmware version and the section the device
                               sends, as named parameters
  read-memory --port DEV [-o FILE [--clear]]
                               reads the decoder's memory to its end of data: the
                               records to standard output, or into a memory data file
                               (also those read before a failure, which is then
                               reported); a record that fails its check is kept on a
                               line marked FAILED CHECK (status 1); --clear (only with
                               -o naming a regular file) clears the memory once a
                               complete read with every record good has been written
                               and read back intact
  clear-memory --port DEV [--yes]
                               clears the decoder's memory; asks first unless --yes
                               (any answer but y or yes sends nothing, status 1;
                               with --json, --yes is needed)
  ports                        the serial ports present (device, description,
                               manufacturer, serial number, USB ids) and the device
                               each of the window's ports COM1 to COM4 reaches

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

struct Command
{
    int arguments; // positional arguments after the command; -1: at least one
    std::set<QString> options;
};

const std::map<QString, Command> &Commands()
{
    // Every command reports in JSON on request.
    static const std::set<QString> json = {QStringLiteral("json")};
    static const std::set<QString> serial = {QStringLiteral("json"), QStringLiteral("port"),
                                             QStringLiteral("baud"), QStringLiteral("data-bits"),
                                             QStringLiteral("stop-bits")};
    auto with = [](std::set<QString> options, std::initializer_list<const char *> more) {
        for (const char *name : more)
            options.insert(QLatin1String(name));
        return options;
    };
    static const std::map<QString, Command> commands = {
        {QStringLiteral("show"), {1, json}},
        {QStringLiteral("diff"), {-1, serial}},
        {QStringLiteral("set"), {-1, json}},
        {QStringLiteral("new"), {1, with(json, {"defaults", "defaults-file", "force"})}},
        {QStringLiteral("download"), {1, with(serial, {"not-save", "verify"})}},
        {QStringLiteral("apply"), {1, with(serial, {"check", "force", "not-save", "no-verify"})}},
        {QStringLiteral("upload"), {0, with(serial, {"into"})}},
        {QStringLiteral("version"), {0, serial}},
        {QStringLiteral("facts"), {0, serial}},
        {QStringLiteral("read-memory"), {0, with(serial, {"o", "output", "clear"})}},
        {QStringLiteral("clear-memory"), {0, with(serial, {"yes"})}},
        {QStringLiteral("ports"), {0, json}},
    };
    return commands;
}

// The defaults `new` starts from; `problem` names a defaults file that cannot be used.
std::optional<Image> NewDefaults(const QCommandLineParser &parser,
                                 const DefaultsLocations &windowDefaults, QString &problem)
{
    if (parser.isSet(QStringLiteral("defaults-file"))) {
        const QString path = parser.value(QStringLiteral("defaults-file"));
        QString error;
        const auto data = ReadWholeFile(path, kConfigFileSizeLimit, &error);
        const auto image = data ? ReadDefaults(*data) : std::nullopt;
        if (!image)
            problem = path + QStringLiteral(": ") +
                      (data ? QStringLiteral("not a valid defaults file") : error);
        return image;
    }
    // The window's own defaults, as it would start with them.
    if (parser.isSet(QStringLiteral("defaults")))
        return LoadDefaults(windowDefaults);
    return std::nullopt;
}

// A refusal before anything was done: on standard error, or as one JSON line.
int Refuse(int code, const QString &text, bool json, QTextStream &out, QTextStream &err)
{
    if (json) {
        JsonReport report;
        report.outcome = OutcomeOfExitCode(code);
        report.message = text;
        PrintJsonLine(out, report);
    } else {
        err << text << Qt::endl;
        if (code == kExitUsage)
            err << "Try 'k30cfg-cli --help'." << Qt::endl;
    }
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The window's defaults file is looked up under the window's own name.
    QCoreApplication::setOrganizationName(QStringLiteral("k30cfg"));
    QCoreApplication::setApplicationName(QStringLiteral("k30cfg"));
    const DefaultsLocations windowDefaults = DefaultsLocations::Standard();
    QCoreApplication::setApplicationName(QStringLiteral("k30cfg-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(K30_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription).arg(SerialDefaults()));
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
                        "(repeatable for download, apply, version and facts).")
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
         QStringLiteral("read-memory: the memory data file to write."),
         QStringLiteral("file")},
        {QStringLiteral("clear"),
         QStringLiteral("read-memory: clear the memory once the file is safe (needs -o).")},
        {QStringLiteral("yes"), QStringLiteral("clear-memory: do not ask.")},
    });
    const bool parsed = parser.parse(QCoreApplication::arguments());
    // A caller that asked for JSON gets it for a wrong command line too.
    const bool json = parsed ? parser.isSet(QStringLiteral("json"))
                             : QCoreApplication::arguments().contains(QStringLiteral("--json"));
    auto usage = [&](const QString &text) { return Refuse(kExitUsage, text, json, out, err); };
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

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(QStringLiteral("No command given."));
    const QString name = args.takeFirst();
    const auto command = Commands().find(name);
    if (command == Commands().end())
        return usage(QStringLiteral("Unknown command: %1").arg(name));
    for (const QString &option : parser.optionNames()) {
        if (!command->second.options.contains(option))
            return usage(QStringLiteral("%1 takes no --%2").arg(name, option));
    }
    const int wanted = command->second.arguments;
    if ((wanted >= 0 && args.size() != wanted) || (wanted < 0 && args.isEmpty()))
        return usage(QStringLiteral("%1: wrong number of arguments").arg(name));
    auto isSet = [&parser](const char *option) { return parser.isSet(QLatin1String(option)); };

    // The window's "Com 1" to "Com 4" as its port mapping has them, and the adapters present.
    SystemPortList systemPorts;
    std::unique_ptr<PortMapping> mapping;
    const bool needsPorts = name == QLatin1String("ports") || parser.isSet(QStringLiteral("port"));
    if (needsPorts)
        mapping = std::make_unique<PortMapping>(systemPorts, PortMapping::UserSettings());
    if (name == QLatin1String("ports"))
        return PortsCommand(*mapping, json, out);

    DeviceOptions devices;
    devices.ports = parser.values(QStringLiteral("port"));
    devices.json = json;
    devices.mapping = mapping.get();
    if (command->second.options.contains(QStringLiteral("port"))) {
        QString problem;
        const auto settings = SerialSettings(parser, problem);
        if (!settings)
            return usage(problem);
        devices.settingsText = *settings;
    }
    static const QStringList several = {QStringLiteral("download"), QStringLiteral("apply"),
                                        QStringLiteral("version"), QStringLiteral("facts")};
    const bool device = name != QLatin1String("diff") || !devices.ports.isEmpty();
    if (device && command->second.options.contains(QStringLiteral("port"))) {
        if (devices.ports.isEmpty())
            return usage(QStringLiteral("%1 needs --port").arg(name));
        if (devices.ports.size() > 1 && !several.contains(name))
            return usage(QStringLiteral("%1 takes one --port").arg(name));
    }

    if (name == QLatin1String("show"))
        return ShowCommand(args[0], json, out, err);
    if (name == QLatin1String("diff")) {
        if (!devices.ports.isEmpty())
            return args.size() == 1 ? DeviceDiffCommand(args[0], devices, out, err)
                                    : usage(QStringLiteral("diff FILE --port DEV"));
        return args.size() == 2 ? DiffCommand(args[0], args[1], json, out, err)
                                : usage(QStringLiteral("diff A B"));
    }
    if (name == QLatin1String("set")) {
        if (args.size() < 2)
            return usage(QStringLiteral("set FILE NAME=VALUE..."));
        return SetCommand(args[0], args.mid(1), json, out, err);
    }
    if (name == QLatin1String("new")) {
        if (isSet("defaults") && isSet("defaults-file"))
            return usage(QStringLiteral("new takes --defaults or --defaults-file, not both"));
        QString problem;
        const auto defaults = NewDefaults(parser, windowDefaults, problem);
        if (!problem.isEmpty())
            return Refuse(kExitFileError, problem, json, out, err);
        return NewCommand(args[0], defaults, isSet("force"), json, out, err);
    }
    JobOptions options;
    options.save = !isSet("not-save");
    if (name == QLatin1String("download")) {
        options.verify = isSet("verify");
        return DownloadCommand(args[0], devices, options, out, err);
    }
    if (name == QLatin1String("apply")) {
        options.verify = !isSet("no-verify");
        options.check = isSet("check");
        options.force = isSet("force");
        return ApplyCommand(args[0], devices, options, out, err);
    }
    if (name == QLatin1String("upload")) {
        if (!isSet("into"))
            return usage(QStringLiteral("upload needs --into FILE"));
        return UploadCommand(parser.value(QStringLiteral("into")), devices, out, err);
    }
    if (name == QLatin1String("read-memory")) {
        const QString output = parser.value(QStringLiteral("output"));
        // Records that only went to a terminal or a pipe are not known to be kept.
        if (isSet("output") && output.isEmpty())
            return usage(QStringLiteral("-o needs a file name"));
        if (isSet("clear") && output.isEmpty())
            return usage(QStringLiteral("read-memory --clear needs -o FILE"));
        // The memory is cleared only once its records are known to be kept: in a file that is
        // read back whole. Written to /dev/null or a pipe they may be gone already.
        if (isSet("clear")) {
            if (const auto refusal = ReadBackRefusal(output))
                return usage(QStringLiteral("read-memory --clear needs -o FILE to name a regular "
                                            "file, which is read back before the memory is "
                                            "cleared: %1 %2")
                                 .arg(output, *refusal));
        }
        return ReadMemoryCommand(devices, output, isSet("clear"), out, err);
    }
    if (name == QLatin1String("clear-memory")) {
        // JSON output writes nothing on standard error, where the question would go.
        if (json && !isSet("yes"))
            return usage(QStringLiteral("clear-memory --json needs --yes: it asks nothing"));
        QTextStream in(stdin);
        return ClearMemoryCommand(devices, isSet("yes"), in, out, err);
    }
    if (name == QLatin1String("facts"))
        return FactsCommand(devices, out, err);
    return VersionCommand(devices, out, err);
}
