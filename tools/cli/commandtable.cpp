#include "commandtable.h"

#include "configcommands.h"
#include "devicecommands.h"
#include "devicejob.h"
#include "discovercommand.h"
#include "exitcodes.h"
#include "jsonreport.h"
#include "memorycommands.h"
#include "portscommand.h"
#include "reportcommand.h"
#include "watchcommand.h"

#include "core/configfile.h"
#include "core/safefile.h"
#include "link/ports/portmapping.h"
#include "link/ports/systemportlist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <algorithm>
#include <climits>

namespace {

// The window's defaults file, looked up under the window's own name.
DefaultsLocations WindowDefaults()
{
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("k30cfg"));
    const DefaultsLocations where = DefaultsLocations::Standard();
    QCoreApplication::setApplicationName(name);
    return where;
}

// The defaults `new` starts from; `problem` names a defaults file that cannot be used.
std::optional<Image> NewDefaults(const CommandCall &call, QString &problem)
{
    if (call.IsSet("defaults-file")) {
        const QString path = call.Value("defaults-file");
        QString error;
        const auto data = ReadWholeFile(path, kConfigFileSizeLimit, &error);
        const auto image = data ? ReadDefaults(*data) : std::nullopt;
        if (!image)
            problem = path + QStringLiteral(": ") +
                      (data ? QStringLiteral("not a valid defaults file") : error);
        return image;
    }
    // The window's own defaults, as it would start with them.
    if (call.IsSet("defaults"))
        return LoadDefaults(WindowDefaults());
    return std::nullopt;
}

int Show(const CommandCall &call)
{
    return ShowCommand(call.arguments[0], call.json, call.out, call.err);
}

int Diff(const CommandCall &call)
{
    const QStringList &args = call.arguments;
    if (!call.devices.ports.isEmpty())
        return args.size() == 1 ? DeviceDiffCommand(args[0], call.devices, call.out, call.err)
                                : call.Usage(QLatin1String(call.command.forms[1].usage));
    return args.size() == 2 ? DiffCommand(args[0], args[1], call.json, call.out, call.err)
                            : call.Usage(QLatin1String(call.command.forms[0].usage));
}

int Set(const CommandCall &call)
{
    if (call.arguments.size() < 2)
        return call.Usage(QLatin1String(call.command.forms[0].usage));
    return SetCommand(call.arguments[0], call.arguments.mid(1), call.json, call.out, call.err);
}

int New(const CommandCall &call)
{
    if (call.IsSet("defaults") && call.IsSet("defaults-file"))
        return call.Usage(QStringLiteral("new takes --defaults or --defaults-file, not both"));
    QString problem;
    const auto defaults = NewDefaults(call, problem);
    if (!problem.isEmpty())
        return RefuseCommandLine(kExitFileError, problem, call.json, call.out, call.err);
    return NewCommand(call.arguments[0], defaults, call.IsSet("force"), call.json, call.out,
                      call.err);
}

JobOptions Job(const CommandCall &call)
{
    JobOptions options;
    options.save = !call.IsSet("not-save");
    return options;
}

int Download(const CommandCall &call)
{
    JobOptions options = Job(call);
    options.verify = call.IsSet("verify");
    return DownloadCommand(call.arguments[0], call.devices, options, call.out, call.err);
}

int Apply(const CommandCall &call)
{
    JobOptions options = Job(call);
    options.verify = !call.IsSet("no-verify");
    options.check = call.IsSet("check");
    options.force = call.IsSet("force");
    return ApplyCommand(call.arguments[0], call.devices, options, call.out, call.err);
}

int Upload(const CommandCall &call)
{
    if (!call.IsSet("into"))
        return call.Usage(QStringLiteral("upload needs --into FILE"));
    return UploadCommand(call.Value("into"), call.devices, call.out, call.err);
}

int Version(const CommandCall &call)
{
    return VersionCommand(call.devices, call.out, call.err);
}

int Facts(const CommandCall &call)
{
    return FactsCommand(call.devices, call.out, call.err);
}

int ReadMemory(const CommandCall &call)
{
    const QString output = call.Value("output");
    const bool clear = call.IsSet("clear");
    // Records that only went to a terminal or a pipe are not known to be kept.
    if (call.IsSet("output") && output.isEmpty())
        return call.Usage(QStringLiteral("-o needs a file name"));
    if (clear && output.isEmpty())
        return call.Usage(QStringLiteral("read-memory --clear needs -o FILE"));
    // The memory is cleared only once its records are known to be kept: in a file that is
    // read back whole. Written to /dev/null or a pipe they may be gone already.
    if (clear) {
        if (const auto refusal = ReadBackRefusal(output))
            return call.Usage(QStringLiteral("read-memory --clear needs -o FILE to name a "
                                             "regular file, which is read back before the "
                                             "memory is cleared: %1 %2")
                                  .arg(output, *refusal));
    }
    return ReadMemoryCommand(call.devices, output, clear, call.out, call.err);
}

int ClearMemory(const CommandCall &call)
{
    // JSON output writes nothing on standard error, where the question would go.
    if (call.json && !call.IsSet("yes"))
        return call.Usage(QStringLiteral("clear-memory --json needs --yes: it asks nothing"));
    QTextStream in(stdin);
    return ClearMemoryCommand(call.devices, call.IsSet("yes"), in, call.out, call.err);
}

int Report(const CommandCall &call)
{
    if (call.Value("output").isEmpty())
        return call.Usage(QStringLiteral("report needs -o FILE (.html or .pdf)"));
    return ReportCommand(call.arguments[0], call.Value("output"), call.devices, call.out, call.err);
}

int Ports(const CommandCall &call)
{
    // The window's "Com 1" to "Com 4" as its port mapping has them, and the adapters present.
    SystemPortList systemPorts;
    const PortMapping mapping(systemPorts, PortMapping::UserSettings());
    return PortsCommand(mapping, call.json, call.out);
}

int Watch(const CommandCall &call)
{
    WatchOptions options;
    options.config = call.Value("config");
    for (const auto &[name, value] :
         {std::pair{"count", &options.count}, std::pair{"seconds", &options.seconds}}) {
        bool ok = true;
        if (call.IsSet(name))
            *value = call.Value(name).toInt(&ok);
        // A watch of more than 20 days does not fit the timer.
        const int most = value == &options.seconds ? kMaxWatchSeconds : INT_MAX;
        if (!ok || *value < 0 || *value > most || (call.IsSet(name) && *value == 0))
            return call.Usage(QStringLiteral("--%1 needs a whole number from 1 to %2")
                                  .arg(QLatin1String(name))
                                  .arg(most));
    }
    return WatchCommand(call.devices, options, call.out, call.err);
}

int Discover(const CommandCall &call)
{
    if (call.devices.ports.isEmpty() && !call.IsSet("all"))
        return call.Usage(QStringLiteral("discover needs --port or --all"));
    return DiscoverCommand(call.devices, call.IsSet("all"), call.out, call.err);
}

constexpr CliCommand kCommands[] = {
    {"show",
     {{{"show FILE", "every parameter of a configuration file"}}},
     1,
     PortUse::None,
     {},
     Show},
    {"diff",
     {{{"diff A B", "the parameters in which two files differ"},
       {"diff FILE --port DEV", "the parameters in which a file and a device differ"}}},
     -1,
     PortUse::Optional,
     {},
     Diff},
    {"set",
     {{{"set FILE NAME=VALUE...", "changes parameters by name (values as shown by show)"}}},
     -1,
     PortUse::None,
     {},
     Set},
    {"new",
     {{{"new FILE [--defaults | --defaults-file PATH] [--force]", "writes a new configuration"}}},
     1,
     PortUse::None,
     {"defaults", "defaults-file", "force"},
     New},
    {"download",
     {{{"download FILE --port DEV... [--not-save] [--verify]",
        "downloads a configuration into one or more devices"}}},
     1,
     PortUse::Several,
     {"not-save", "verify"},
     Download},
    {"apply",
     {{{"apply FILE --port DEV... [--check] [--force] [--not-save] [--no-verify]",
        "compares the section each device sends with FILE,\n"
        "downloads FILE only where they differ (or with\n"
        "--force; never with --check) and verifies it"}}},
     1,
     PortUse::Several,
     {"check", "force", "not-save", "no-verify"},
     Apply},
    {"upload",
     {{{"upload --port DEV --into FILE", "puts the section the device sends into FILE"}}},
     0,
     PortUse::One,
     {"into"},
     Upload},
    {"version",
     {{{"version --port DEV...", "asks for the firmware version"}}},
     0,
     PortUse::Several,
     {},
     Version},
    {"facts",
     {{{"facts --port DEV...", "the firmware version and the section the device\n"
                               "sends, as named parameters"}}},
     0,
     PortUse::Several,
     {},
     Facts},
    {"read-memory",
     {{{"read-memory --port DEV [-o FILE [--clear]]",
        "reads the decoder's memory to its end of data: the\n"
        "records to standard output, or into a memory data file\n"
        "(also those read before a failure, which is then\n"
        "reported); a record that fails its check is kept on a\n"
        "line marked FAILED CHECK (status 1); --clear (only with\n"
        "-o naming a regular file) clears the memory once a\n"
        "complete read with every record good has been written\n"
        "and read back intact"}}},
     0,
     PortUse::One,
     {"o", "output", "clear"},
     ReadMemory},
    {"clear-memory",
     {{{"clear-memory --port DEV [--yes]", "clears the decoder's memory; asks first unless --yes\n"
                                           "(any answer but y or yes sends nothing, status 1;\n"
                                           "with --json, --yes is needed)"}}},
     0,
     PortUse::One,
     {"yes"},
     ClearMemory},
    {"watch",
     {{{"watch --port DEV [--config FILE] [--count N] [--seconds S]",
        "prints each scan the device sends, one line each: time,\n"
        "length, bytes in key notation, its parts as FILE (or\n"
        "the factory configuration) frames them, and why a part\n"
        "differs; ends after N scans or S seconds (status 2 when\n"
        "the time ends first), status 1 when a scan differed"}}},
     0,
     PortUse::One,
     {"config", "count", "seconds"},
     Watch},
    {"report",
     {{{"report FILE -o OUT.html|OUT.pdf [--port DEV]",
        "the configuration report: every parameter, page by\n"
        "page, with the default beside each value that differs;\n"
        "--port adds the device's firmware version and the\n"
        "parameters in which its section differs from FILE"}}},
     1,
     PortUse::Optional,
     {"o", "output"},
     Report},
    {"ports",
     {{{"ports", "the serial ports present (device, description,\n"
                 "manufacturer, serial number, USB ids) and the device\n"
                 "each of the window's ports COM1 to COM4 reaches"}}},
     0,
     PortUse::None,
     {},
     Ports},
    {"discover",
     {{{"discover [--port DEV...] [--all]",
        "probes the ports named (every serial port present with\n"
        "--all) for a K30 at each line setting it can be set to,\n"
        "the serial options' first; a line per port: found (the\n"
        "settings and the firmware version), not found, busy;\n"
        "status 0 found, 1 none, 5 a port named not to be had"}}},
     0,
     PortUse::Any,
     {"all"},
     Discover},
};

} // namespace

bool CommandCall::IsSet(const char *option) const
{
    return parser.isSet(QLatin1String(option));
}

QString CommandCall::Value(const char *option) const
{
    return parser.value(QLatin1String(option));
}

int CommandCall::Usage(const QString &text) const
{
    return RefuseCommandLine(kExitUsage, text, json, out, err);
}

QStringList CliCommand::Options() const
{
    QStringList names{QStringLiteral("json")};
    if (ports != PortUse::None)
        names << QStringLiteral("port") << QStringLiteral("baud") << QStringLiteral("data-bits")
              << QStringLiteral("stop-bits");
    for (const char *option : options) {
        if (option)
            names << QLatin1String(option);
    }
    return names;
}

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

const CliCommand *FindCliCommand(const QString &name)
{
    const auto *found = std::ranges::find_if(
        kCommands, [&](const CliCommand &command) { return name == QLatin1String(command.name); });
    return found == std::end(kCommands) ? nullptr : found;
}

QString CommandsHelp()
{
    // A form and what it does side by side; a longer form stands on a line of its own.
    constexpr qsizetype kFormWidth = 29;
    const QString indent(2 + kFormWidth, QLatin1Char(' '));
    QString help;
    for (const CliCommand &command : kCommands) {
        for (const CommandForm &form : command.forms) {
            if (!form.usage)
                continue;
            const QString usage = QLatin1String(form.usage);
            help += QStringLiteral("  ") + (usage.size() < kFormWidth
                                                ? usage.leftJustified(kFormWidth)
                                                : usage + QLatin1Char('\n') + indent);
            help += QString::fromUtf8(form.text).replace(QLatin1Char('\n'),
                                                         QLatin1Char('\n') + indent) +
                    QLatin1Char('\n');
        }
    }
    return help;
}

QString CommandsListing()
{
    QString listing;
    for (const CliCommand &command : kCommands) {
        listing += QLatin1String(command.name);
        for (const QString &option : command.Options())
            listing += (option.size() == 1 ? QStringLiteral(" -") : QStringLiteral(" --")) + option;
        listing += QLatin1Char('\n');
    }
    return listing;
}

int RefuseCommandLine(int code, const QString &text, bool json, QTextStream &out, QTextStream &err)
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
