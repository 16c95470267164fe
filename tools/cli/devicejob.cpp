#include "devicejob.h"

#include "configdocument.h"
#include "exitcodes.h"
#include "link/serialdevice.h"
#include "link/transmitmessages.h"

#include <QRegularExpression>

namespace {

constexpr int kPortCount = 4;

struct SectionRange
{
    const char *name;
    int first;
    int last;
};

SectionRange RangeOf(Section section)
{
    return section == Section::Reader
               ? SectionRange{"reader section", kReaderFirst, kReaderLast}
               : SectionRange{"decoder section", kDecoderFirst, kDecoderLast};
}

QString Described(const SectionRange &range)
{
    return QStringLiteral("%1, bytes %2 to %3")
        .arg(QLatin1String(range.name))
        .arg(range.first)
        .arg(range.last);
}

} // namespace

DevicePort DevicePort::FromOption(const QString &option, const QString &settingsText)
{
    static const QRegularExpression kNumbered(QStringLiteral("^(?:com)?([1-4])$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = kNumbered.match(option.trimmed());
    if (match.hasMatch()) {
        const int port = match.captured(1).toInt();
        Q_ASSERT(port >= 1 && port <= kPortCount);
        return {option, {port, SerialPortDevice(port), settingsText}};
    }
    // Port number 0: the device is named by its path, not by a window port.
    return {option, {0, option, settingsText}};
}

int ExitCodeOf(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Good:
        return kExitSuccess;
    case ExchangeOutcome::Bad:
        return kExitRefused;
    case ExchangeOutcome::TimeOut:
    case ExchangeOutcome::HandshakeTimeOut:
        return kExitTimeOut;
    case ExchangeOutcome::PortNotAvailable:
        return kExitPortNotAvailable;
    }
    return kExitRefused;
}

QString TerminalText(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

DeviceJob::DeviceJob(Task task, DevicePort port, const Image &image, bool save, bool verify,
                     QObject *parent)
    : QObject(parent), m_task(task), m_port(std::move(port)), m_image(image), m_save(save),
      m_verify(verify)
{
}

DeviceJob::~DeviceJob() = default;

void DeviceJob::Start()
{
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
    }
}

void DeviceJob::Run(ExchangeKind kind, Image &image)
{
    // The previous exchange has closed its port and is not running: it can go now.
    m_exchange = std::make_unique<SerialExchange>(kind, m_port.target, image, m_save);
    connect(m_exchange.get(), &LinkExchange::Finished, this, &DeviceJob::OnFinished,
            Qt::QueuedConnection);
    m_exchange->Start();
}

void DeviceJob::OnFinished(const ExchangeResult &result)
{
    m_result = result;
    if (m_verifying) {
        if (result.outcome != ExchangeOutcome::Good) {
            Report(result);
            End(ExitCodeOf(result.outcome));
            return;
        }
        Verify();
        return;
    }
    // A good upload is reported by the command once its file is written.
    if (!(m_task == Task::Upload && result.outcome == ExchangeOutcome::Good))
        Report(result);
    if (m_task == Task::Download && m_verify && result.outcome == ExchangeOutcome::Good) {
        m_verifying = true;
        m_readBack = m_image;
        Run(ExchangeKind::Upload, m_readBack);
        return;
    }
    End(ExitCodeOf(result.outcome));
}

void DeviceJob::Verify()
{
    // The device answers an upload with one of its two sections: only that one is compared,
    // and the other is reported as not verified rather than taken as equal.
    if (!m_result.section) {
        m_errors.append(QStringLiteral("Verify failed! Nothing was read back."));
        End(kExitRefused);
        return;
    }
    const SectionRange read = RangeOf(*m_result.section);
    const SectionRange unread =
        RangeOf(*m_result.section == Section::Reader ? Section::Decoder : Section::Reader);
    ConfigDocument sent;
    sent.images.ConfigImage = m_image;
    ConfigDocument held = sent;
    for (int i = read.first; i <= read.last; ++i)
        held.images.ConfigImage[std::size_t(i)] = m_readBack[std::size_t(i)];
    const QString notVerified =
        QStringLiteral("The %1 (bytes %2 to %3) could not be read back and is not verified.")
            .arg(QLatin1String(unread.name))
            .arg(unread.first)
            .arg(unread.last);
    const auto differences = Differences(sent, held);
    if (differences.empty()) {
        m_output.append(QStringLiteral("Verify OK! (%1)").arg(Described(read)));
        m_output.append(notVerified);
        End(kExitSuccess);
        return;
    }
    m_errors.append(QStringLiteral("Verify failed! The device holds other values in its %1 "
                                   "(name, file, device):")
                        .arg(Described(read)));
    for (const auto &[inFile, inDevice] : differences)
        m_errors.append(inFile.name + QLatin1Char('\t') + ShownValue(inFile) + QLatin1Char('\t') +
                        ShownValue(inDevice));
    m_errors.append(notVerified);
    End(kExitRefused);
}

void DeviceJob::Report(const ExchangeResult &result)
{
    QString text = TransmitMessage(result).text;
    // A port named by its path has no window number to report.
    if (result.outcome == ExchangeOutcome::PortNotAvailable && m_port.target.commPort == 0)
        text = m_port.target.device + QStringLiteral(": not available.");
    if (m_verifying)
        text = QStringLiteral("Verify: ") + text;
    (result.outcome == ExchangeOutcome::Good ? m_output : m_errors).append(TerminalText(text));
}

void DeviceJob::End(int exitCode)
{
    m_exitCode = exitCode;
    Q_EMIT Done();
}
