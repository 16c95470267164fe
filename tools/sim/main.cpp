// k30-sim: plays the K30 on a serial line so the tool can be tried without a device. It opens
// a pseudo-terminal and prints its path (point K30CFG_COM1 at it), or serves a given serial
// device, and logs what it receives and answers.

#include "sim/simdevice.h"
#include "sim/simscanoutput.h"
#include "sim/simserialserver.h"

#include "core/versiontext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

int IntValue(const QCommandLineParser &parser, const QString &name, int fallback)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return parser.isSet(name) && ok ? value : fallback;
}

struct DeviceLine
{
    int baud;
    int dataBits;
    int stopBits;
};

// "4800,7,2": the settings the K30 can be set to.
std::optional<DeviceLine> ParseDeviceLine(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    const DeviceLine line{parts[0].toInt(), parts[1].toInt(), parts[2].toInt()};
    const bool baud = QList<int>{2400, 4800, 9600, 19200}.contains(line.baud);
    if (!baud || (line.dataBits != 7 && line.dataBits != 8) ||
        (line.stopBits != 1 && line.stopBits != 2))
        return std::nullopt;
    return line;
}

// A version field as the device holds it: "\\xHH" stands for the byte HH, so that a test can
// give the device quotes, control bytes and bytes that are not UTF-8.
QString UnescapedBytes(const QString &text)
{
    QByteArray bytes;
    const QByteArray in = text.toUtf8();
    for (qsizetype i = 0; i < in.size(); ++i) {
        bool ok = false;
        const int value = in.mid(i + 2, 2).toInt(&ok, 16);
        if (in.at(i) == '\\' && i + 3 < in.size() && in.at(i + 1) == 'x' && ok) {
            bytes.append(char(value));
            i += 3;
            continue;
        }
        bytes.append(in.at(i));
    }
    return QString::fromLatin1(bytes);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k30-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated K30 on a serial line."));
    parser.addHelpOption();
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information.")};
    parser.addOption(version);
    const QList<QCommandLineOption> options = {
        {QStringLiteral("device"),
         QStringLiteral("Serve this serial device instead of a new "
                        "pseudo-terminal."),
         QStringLiteral("path")},
        {QStringLiteral("line-baud"), QStringLiteral("Baud rate of --device (default 9600)."),
         QStringLiteral("rate")},
        {QStringLiteral("line"),
         QStringLiteral("Answer only on a line set to these settings, e.g. 4800,7,2 (on a "
                        "pseudo-terminal the data bits cannot be seen); noise otherwise."),
         QStringLiteral("baud,databits,stopbits")},
        {QStringLiteral("version1"),
         QStringLiteral("First version field (12 characters; \\xHH for any byte)."),
         QStringLiteral("text")},
        {QStringLiteral("version2"),
         QStringLiteral("Second version field (10 characters; \\xHH for any byte)."),
         QStringLiteral("text")},
        {QStringLiteral("section"), QStringLiteral("Section an upload answers: decoder or reader."),
         QStringLiteral("section")},
        {QStringLiteral("decoder-length"),
         QStringLiteral("Parameter bytes a decoder upload answer announces, 25 to 255."),
         QStringLiteral("bytes")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing.")},
        {QStringLiteral("refuse"), QStringLiteral("Refuse every download.")},
        {QStringLiteral("wrong-check"), QStringLiteral("Send upload answers with a wrong check.")},
        {QStringLiteral("short"), QStringLiteral("Cut every answer to this many bytes."),
         QStringLiteral("bytes")},
        {QStringLiteral("garbage"), QStringLiteral("Send this many garbage bytes first."),
         QStringLiteral("bytes")},
        {QStringLiteral("hang-up"), QStringLiteral("Hang up after this many answer bytes."),
         QStringLiteral("bytes")},
        {QStringLiteral("delay"), QStringLiteral("Wait this long before answering."),
         QStringLiteral("ms")},
        {QStringLiteral("baud"), QStringLiteral("Pace answer bytes as at this baud rate."),
         QStringLiteral("rate")},
        {QStringLiteral("memory-file"),
         QStringLiteral("Hold the lines of this file as the memory's records."),
         QStringLiteral("file")},
        {QStringLiteral("memory-hex"),
         QStringLiteral("Hold the lines of this file, in hex digits, as the memory's records "
                        "(records holding any byte)."),
         QStringLiteral("file")},
        {QStringLiteral("memory-empty"), QStringLiteral("Start with an empty memory.")},
        {QStringLiteral("memory-records"),
         QStringLiteral("Hold this many generated 16-byte records (1000 take 282 blocks)."),
         QStringLiteral("count")},
        {QStringLiteral("bad-block"),
         QStringLiteral("Send this block of a memory read (from 0) with a wrong check."),
         QStringLiteral("index")},
        {QStringLiteral("bad-record"),
         QStringLiteral("Store this record (from 0) with a wrong check byte."),
         QStringLiteral("index")},
        {QStringLiteral("short-length"),
         QStringLiteral("Store this record (from 0) with a length byte of 2, shorter than any "
                        "record."),
         QStringLiteral("index")},
        {QStringLiteral("endless-memory"), QStringLiteral("Never reach the end of the memory.")},
        {QStringLiteral("long-record"),
         QStringLiteral("Add a 200-byte record, longer than the tool's buffer.")},
        {QStringLiteral("refuse-clear"), QStringLiteral("Refuse every memory clear.")},
        {QStringLiteral("scan"),
         QStringLiteral("Read a bar code holding this text once, framed as the image says."),
         QStringLiteral("text")},
        {QStringLiteral("code-type"),
         QStringLiteral("Code type of the bar codes read, 0 (UPC-A) to 7 (Codabar); "
                        "default 5 (Code 128)."),
         QStringLiteral("index")},
        {QStringLiteral("card"),
         QStringLiteral("Read a card with these tracks once, framed as the image says "
                        "('T1|T2|T3'; an empty track is one the card lacks)."),
         QStringLiteral("tracks")},
        {QStringLiteral("scan-every"),
         QStringLiteral("Read the bar code (--scan or the argument) or the card again every "
                        "this many milliseconds."),
         QStringLiteral("ms")},
    };
    parser.addOptions(options);
    parser.addPositionalArgument(QStringLiteral("text"),
                                 QStringLiteral("The bar code of --scan-every, if no --scan."),
                                 QStringLiteral("[text]"));
    parser.process(app);
    if (parser.isSet(version)) {
        QTextStream(stdout) << VersionText(QCoreApplication::applicationName());
        return 0;
    }

    SimDevice device;
    device.section = parser.value(QStringLiteral("section")) == QLatin1String("reader")
                         ? SimDevice::Section::Reader
                         : SimDevice::Section::Decoder;
    device.decoderAnswerLength =
        std::clamp(IntValue(parser, QStringLiteral("decoder-length"), 25), 25, 255);
    SimFaults &faults = device.faults;
    faults.silent = parser.isSet(QStringLiteral("silent"));
    faults.refuseDownload = parser.isSet(QStringLiteral("refuse"));
    faults.wrongCheck = parser.isSet(QStringLiteral("wrong-check"));
    faults.shortAnswer = IntValue(parser, QStringLiteral("short"), -1);
    faults.garbage = IntValue(parser, QStringLiteral("garbage"), 0);
    faults.hangUpAfter = IntValue(parser, QStringLiteral("hang-up"), -1);
    faults.delayMs = IntValue(parser, QStringLiteral("delay"), 0);
    faults.baud = IntValue(parser, QStringLiteral("baud"), 0);
    faults.badBlock = IntValue(parser, QStringLiteral("bad-block"), -1);
    faults.badRecord = IntValue(parser, QStringLiteral("bad-record"), -1);
    faults.shortLength = IntValue(parser, QStringLiteral("short-length"), -1);
    faults.endlessMemory = parser.isSet(QStringLiteral("endless-memory"));
    faults.longRecord = parser.isSet(QStringLiteral("long-record"));
    faults.refuseClear = parser.isSet(QStringLiteral("refuse-clear"));
    if (parser.isSet(QStringLiteral("memory-empty")))
        device.memory.clear();
    if (parser.isSet(QStringLiteral("memory-records")))
        device.memory = SimDevice::GeneratedMemory(
            qMax(0, IntValue(parser, QStringLiteral("memory-records"), 0)));
    for (const char *option : {"memory-file", "memory-hex"}) {
        const QString name = QLatin1String(option);
        if (parser.isSet(name) &&
            !device.LoadMemory(parser.value(name), name == QLatin1String("memory-hex"))) {
            QTextStream(stderr) << "k30-sim: cannot read " << parser.value(name) << Qt::endl;
            return 1;
        }
    }

    for (const char *option : {"version1", "version2"}) {
        const QString name = QLatin1String(option);
        if (parser.isSet(name))
            (name == QLatin1String("version1") ? device.version1 : device.version2) =
                UnescapedBytes(parser.value(name));
    }
    std::optional<DeviceLine> line;
    if (parser.isSet(QStringLiteral("line"))) {
        line = ParseDeviceLine(parser.value(QStringLiteral("line")));
        if (!line) {
            QTextStream(stderr) << "k30-sim: --line takes BAUD,DATABITS,STOPBITS: 2400, 4800, "
                                   "9600 or 19200; 7 or 8; 1 or 2"
                                << Qt::endl;
            return 1;
        }
    }

    QTextStream out(stdout);
    SimSerialServer server(device);
    if (line)
        server.SetDeviceLine(line->baud, line->dataBits, line->stopBits);
    const bool opened = parser.isSet(QStringLiteral("device"))
                            ? server.OpenDevice(parser.value(QStringLiteral("device")),
                                                IntValue(parser, QStringLiteral("line-baud"), 9600))
                            : server.OpenPseudoTerminal();
    if (!opened) {
        QTextStream(stderr) << "k30-sim: " << server.ErrorString() << Qt::endl;
        return 1;
    }
    out << server.Path() << Qt::endl;
    QObject::connect(&server, &SimSerialServer::Logged, &app,
                     [&out](const QString &line) { out << line << Qt::endl; });
    QObject::connect(&server, &SimSerialServer::HungUp, &app, &QCoreApplication::quit);

    // Scans go out as the device frames them at the moment it reads them, so a download
    // in between changes the next one. Bytes sent before the tool opens the line wait in it.
    QByteArray barCode = parser.value(QStringLiteral("scan")).toLocal8Bit();
    if (barCode.isEmpty() && !parser.positionalArguments().isEmpty())
        barCode = parser.positionalArguments().constFirst().toLocal8Bit();
    const bool card = parser.isSet(QStringLiteral("card"));
    const QList<QByteArray> tracks = parser.value(QStringLiteral("card")).toLocal8Bit().split('|');
    const int codeType = IntValue(parser, QStringLiteral("code-type"), kSimCode128);
    const auto read = [&] {
        if (!barCode.isEmpty())
            server.SendUnasked(SimBarCodeOutput(device.image, barCode, codeType, false));
        if (card)
            server.SendUnasked(SimCardOutput(device.image, tracks, false));
    };
    const int every = IntValue(parser, QStringLiteral("scan-every"), 0);
    QTimer repeat;
    if (every > 0) {
        QObject::connect(&repeat, &QTimer::timeout, &app, read);
        repeat.start(every);
    } else {
        read();
    }
    return app.exec();
}
