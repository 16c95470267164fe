#include "devicejob.h"

#include "exitcodes.h"
#include "link/ports/portmapping.h"

#include "core/configdiff.h"
#include "link/linkmessage.h"
#include "link/ports/serialdevice.h"
#include "link/session/devicesession.h"
#include "link/transmitmessages.h"

#include <QRegularExpression>

namespace {

// A sentence put after "Unchanged: " and the like.
QString Continued(QString sentence)
{
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toLower();
    return sentence;
}

} // namespace

DevicePort DevicePort::FromOption(const QString &option, const QString &settingsText,
                                  const PortMapping *ports)
{
    static const QRegularExpression kNumbered(QStringLiteral("^(?:com)?([1-4])$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = kNumbered.match(option.trimmed());
    if (match.hasMatch()) {
        const int port = match.captured(1).toInt();
        Q_ASSERT(port >= 1 && port <= kComPortCount);
        if (!ports)
            return {option, {port, SerialPortDevice(port), settingsText}, {}};
        const ComRoute route = ports->Route(port);
        // The adapter chosen for it is not plugged in: said before anything is opened.
        if (route.device.isEmpty())
            return {option,
                    {port, {}, settingsText},
                    {PortNotAvailableText(port), ComRouteText(route)}};
        return {option, {port, route.device, settingsText}, {}};
    }
    // Port number 0: the device is named by its path or its serial number, not by a window
    // port.
    const QString serialPrefix = QStringLiteral("serial:");
    if (!option.startsWith(serialPrefix))
        return {option, {0, option, settingsText}, {}};
    const QString number = option.mid(serialPrefix.size());
    const QList<PortDetails> present = ports ? ports->Present() : QList<PortDetails>();
    const QList<PortDetails> found = FindPortsBySerial(present, number);
    if (found.size() == 1)
        return {option, {0, found.front().path, settingsText}, {}};
    DevicePort port{
        option, {0, QString(), settingsText}, {option + QStringLiteral(": not available.")}};
    QStringList named;
    for (const PortDetails &each : found.isEmpty() ? present : found) {
        if (!each.serialNumber.isEmpty())
            named << QStringLiteral("%1 (%2)").arg(each.serialNumber, each.path);
    }
    if (found.size() > 1)
        port.unavailable << QStringLiteral("Several ports report that serial number: ") +
                                named.join(QStringLiteral(", "));
    else if (named.isEmpty())
        port.unavailable << QStringLiteral("No port present reports a serial number.");
    else
        port.unavailable << QStringLiteral("Serial numbers present: ") +
                                named.join(QStringLiteral(", "));
    return port;
}

bool InSection(int byte, Section section)
{
    return section == Section::Reader ? byte >= kReaderFirst && byte <= kReaderLast
                                      : byte >= kDecoderFirst && byte <= kDecoderLast;
}

QString TerminalText(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString DifferenceLine(const ConfigEntry &inFile, const ConfigEntry &inDevice)
{
    return inFile.name + QLatin1Char('\t') + ShownValue(inFile) + QLatin1Char('\t') +
           ShownValue(inDevice);
}

DeviceJob::DeviceJob(Task task, DevicePort port, const Image &image, JobOptions options,
                     QObject *parent)
    : QObject(parent), m_task(task), m_port(std::move(port)), m_image(image), m_options(options)
{
}

DeviceJob::~DeviceJob() = default;

void DeviceJob::Start()
{
    if (!m_port.unavailable.isEmpty()) {
        for (const QString &line : std::as_const(m_port.unavailable))
            Say(false, line);
        End(kExitPortNotAvailable);
        return;
    }
    switch (m_task) {
    case Task::Download:
        Run(ExchangeKind::Download, m_image);
        break;
    case Task::Upload:
        Run(ExchangeKind::Upload, m_image);
        break;
    case Task::Version:
        Run(ExchangeKind::Version, m_image);
        break;
    case Task::Apply:
        m_phase = Phase::Compare;
        m_readBack = m_image;
        Run(ExchangeKind::Upload, m_readBack);
        break;
    }
}

JsonReport DeviceJob::Report() const
{
    JsonReport report;
    report.port = m_port.label;
    if (m_exitCode != kExitSuccess)
        report.outcome = OutcomeOfExitCode(m_exitCode);
    else if (m_task == Task::Apply)
        report.outcome = m_changed ? QStringLiteral("changed") : QStringLiteral("unchanged");
    else
        report.outcome = QStringLiteral("ok");
    report.message = m_message.join(QLatin1Char('\n'));
    report.section = m_section;
    report.changed = m_changed;
    report.diff = m_differences;
    report.versions = VersionFields(m_versionText);
    return report;
}

void DeviceJob::Run(ExchangeKind kind, Image &image)
{
    // The previous exchange has closed its port and is not running: it can go now.
    m_exchange.reset(DeviceSession(m_port.target, m_options.save).MakeExchange(kind, image));
    connect(m_exchange.get(), &LinkExchange::Finished, this, &DeviceJob::OnFinished,
            Qt::QueuedConnection);
    m_exchange->Start();
}

void DeviceJob::OnFinished(const ExchangeResult &result)
{
    m_result = result;
    const bool good = result.outcome == ExchangeOutcome::Good;
    if (good && m_versionText.isEmpty())
        m_versionText = result.version;
    if (!good) {
        ReportExchange(result);
        End(ExitCodeOf(result.outcome));
        return;
    }
    if (m_phase == Phase::Compare) {
        Compare();
        return;
    }
    if (m_phase == Phase::Verify) {
        Verify();
        return;
    }
    if (m_task == Task::Upload || m_task == Task::Version)
        m_section = result.section;
    // A good upload is reported by the command once its file is written.
    if (m_task != Task::Upload)
        ReportExchange(result);
    if (result.kind == ExchangeKind::Download) {
        m_changed = true;
        if (m_options.verify) {
            m_phase = Phase::Verify;
            m_readBack = m_image;
            Run(ExchangeKind::Upload, m_readBack);
            return;
        }
    }
    End(kExitSuccess);
}

std::optional<SectionComparison> DeviceJob::CompareReadBack(const QString &nothing)
{
    if (!m_result.section) {
        Say(false, nothing);
        End(kExitRefused);
        return std::nullopt;
    }
    m_section = m_result.section;
    return CompareSection(m_image, m_readBack, *m_section);
}

void DeviceJob::Compare()
{
    const auto comparison = CompareReadBack(QStringLiteral("Nothing was read back."));
    if (!comparison)
        return;
    m_differences = comparison->differences;
    const QString how = Continued(comparison->Sentence());
    if (!comparison->Differs() && !m_options.force) {
        Say(true, QStringLiteral("Unchanged: ") + how);
        End(kExitSuccess);
        return;
    }
    const QString why =
        comparison->Differs() ? how : how + QStringLiteral(" --force downloads all the same.");
    if (m_options.check) {
        m_changed = true;
        Say(true, QStringLiteral("Would change: ") + why);
        Table(true, m_differences);
        End(kExitSuccess);
        return;
    }
    Say(true, QStringLiteral("Downloading: ") + why);
    Table(true, m_differences);
    m_phase = Phase::Exchange;
    Run(ExchangeKind::Download, m_image);
}

void DeviceJob::Verify()
{
    const auto comparison =
        CompareReadBack(QStringLiteral("Verify failed! Nothing was read back."));
    if (!comparison)
        return;
    if (!comparison->Differs()) {
        Say(true, QStringLiteral("Verify OK! ") + comparison->Sentence());
        End(kExitSuccess);
        return;
    }
    m_differences = comparison->differences;
    Say(false, QStringLiteral("Verify failed! ") + comparison->Sentence());
    Table(false, m_differences);
    End(kExitRefused);
}

void DeviceJob::ReportExchange(const ExchangeResult &result)
{
    // The version fields are the device's own bytes; only the line breaks between them are
    // the message's.
    ExchangeResult shown = result;
    QStringList fields = shown.version.split(QStringLiteral("\n\r"));
    for (QString &field : fields)
        field = PrintableText(field);
    shown.version = fields.join(QStringLiteral("\n\r"));
    QString text = TransmitMessage(shown).text;
    // A port named by its path has no window number to report.
    if (result.outcome == ExchangeOutcome::PortNotAvailable && m_port.target.commPort == 0)
        text = m_port.target.device + QStringLiteral(": not available.");
    if (m_phase == Phase::Verify)
        text = QStringLiteral("Verify: ") + text;
    Say(result.outcome == ExchangeOutcome::Good, TerminalText(text));
}

void DeviceJob::Say(bool good, const QString &line)
{
    (good ? m_output : m_errors).append(line);
    m_message.append(line);
}

void DeviceJob::Table(bool good, const ParameterDifferences &differences)
{
    for (const auto &[inFile, inDevice] : differences)
        (good ? m_output : m_errors).append(DifferenceLine(inFile, inDevice));
}

void DeviceJob::End(int exitCode)
{
    // The exchange has finished and closed its port; it goes in the thread it lives in.
    m_exchange.reset();
    m_exitCode = exitCode;
    Q_EMIT Done();
}
