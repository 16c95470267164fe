#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <span>

class QCommandLineParser;
class QTextStream;
struct CliCommand;
struct DeviceOptions;

// How a command takes --port.
enum class PortUse
{
    None,     // talks to no device
    One,      // one device
    Several,  // one or more devices, served at once
    Optional, // one device with --port, or none (diff: then a second file)
    Any,      // discover: none, one or several (--all names them instead)
};

// What a command's handler is given once the command line has passed the checks all commands
// share: the options it takes, the number of its arguments and of its ports.
struct CommandCall
{
    const CliCommand &command;
    const QCommandLineParser &parser;
    QStringList arguments; // after the command's name
    const DeviceOptions &devices;
    bool json = false;
    QTextStream &out;
    QTextStream &err;

    bool IsSet(const char *option) const;
    QString Value(const char *option) const;
    // A wrong command line: status 3.
    int Usage(const QString &text) const;
};

// One way to call a command, as --help shows it.
struct CommandForm
{
    const char *usage = nullptr; // "diff FILE --port DEV"
    const char *text = nullptr;  // what it does, broken into lines as --help shows it
};

// One command of k30cfg-cli. --help, the checks of the command line, the dispatch and the
// listing the bash completion reads are all made from these rows.
struct CliCommand
{
    const char *name;
    std::array<CommandForm, 2> forms; // the second only where a command has two
    int arguments;                    // after the name (the files, NAME=VALUE); -1: at least one
    PortUse ports;
    // Beyond --json, which every command takes, and the serial settings, which every command
    // with ports takes.
    std::array<const char *, 4> options;
    int (*run)(const CommandCall &call);

    // Every option it takes, by the parser's names ("o" and "output" both).
    QStringList Options() const;
};

std::span<const CliCommand> CliCommands();
const CliCommand *FindCliCommand(const QString &name);

// The list of commands in --help.
QString CommandsHelp();
// What the bash completion reads: a line per command, its name and then its options as they
// are typed ("read-memory --json --port ... -o --output --clear").
QString CommandsListing();

// A refusal before anything was done: on standard error, with a hint at --help for a wrong
// command line, or as one JSON line.
int RefuseCommandLine(int code, const QString &text, bool json, QTextStream &out, QTextStream &err);
