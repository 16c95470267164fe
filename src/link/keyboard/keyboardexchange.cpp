#include "link/keyboard/keyboardexchange.h"

#include "link/keyboard/keyboardport.h"
#include "link/wire/keyboardtext.h"

namespace {

// The progress bar of the keyboard data phases counts byte pairs on a download and typed
// characters on an upload.
constexpr int kDownloadProgressMaximum = kImageSize - 1;
constexpr int kUploadProgressMaximum = kKeyboardUploadLength + 1;

} // namespace

KeyboardExchange::KeyboardExchange(ExchangeKind kind, KeyboardPort *port, Image &image,
                                   std::function<QByteArray()> command, const LinkTimings &timings,
                                   QObject *parent)
    : LinkExchange(kind, parent), m_port(port), m_image(image), m_command(std::move(command)),
      m_timings(timings), m_repeater(port, timings.repeaterInterval, timings.keyboardBytePause),
      m_writer(port, timings.keyboardBytePause)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &KeyboardExchange::OnTimeout);
    connect(&m_repeater, &CommandRepeater::GaveUp, this, [this] {
        ReleaseMask();
        Finish(ExchangeOutcome::HandshakeTimeOut);
    });
    connect(&m_writer, &KeyboardWriter::Written, this, [this](int count) {
        // One step per byte pair, 0 to 84 over the image; the check pair adds none.
        Q_EMIT Progress(qMin((count - 1) / 2, kDownloadProgressMaximum), kDownloadProgressMaximum);
    });
    connect(&m_writer, &KeyboardWriter::Finished, this, &KeyboardExchange::OnDataWritten);
}

void KeyboardExchange::Start()
{
    Begin();
    m_state = State::Handshake;
    Q_EMIT CaptureReset();
    m_capture.clear();
    m_repeater.Start(m_command);
}

void KeyboardExchange::Stop()
{
    m_repeater.Stop();
    m_writer.Stop();
    m_timer.stop();
    m_state = State::Idle;
}

void KeyboardExchange::CaptureChanged(const QString &text)
{
    m_capture = text;
    switch (m_state) {
    case State::Handshake:
        if (IsTypedAnswer(text, kHandshakeAnswer))
            OnHandshake();
        break;
    case State::WaitingFinal:
        if (IsTypedAnswer(text, kDownloadDoneAnswer)) {
            m_timer.stop();
            OnTimeout();
        }
        break;
    case State::ReceivingData:
        Q_EMIT Progress(qMin(int(text.size()), kUploadProgressMaximum), kUploadProgressMaximum);
        // Only exactly 145 characters end the wait early; a burst past them waits for the
        // time-out and is then refused for its length.
        if (text.size() == kKeyboardUploadLength) {
            m_timer.stop();
            CheckUpload();
        }
        break;
    default:
        break;
    }
}

void KeyboardExchange::OnHandshake()
{
    m_repeater.Stop();
    ReleaseMask();
    if (Kind() == ExchangeKind::Download) {
        m_state = State::PauseForData;
        m_timer.start(m_timings.handshakeToDataPause);
        return;
    }
    m_state = State::ReceivingData;
    Q_EMIT Progress(0, kUploadProgressMaximum);
    Q_EMIT CaptureReset();
    m_capture.clear();
    m_timer.start(m_timings.keyboardUploadTimeout);
}

void KeyboardExchange::OnDataWritten()
{
    if (m_state != State::SendingData)
        return;
    m_state = State::WaitingFinal;
    Q_EMIT CaptureReset();
    m_capture.clear();
    m_timer.start(m_timings.keyboardFinalTimeout);
}

void KeyboardExchange::OnTimeout()
{
    switch (m_state) {
    case State::PauseForData:
        m_state = State::SendingData;
        Q_EMIT Progress(0, kDownloadProgressMaximum);
        m_writer.Write(KeyboardDownloadText(m_image));
        break;
    case State::WaitingFinal:
        ReleaseMask();
        Finish(IsTypedAnswer(m_capture, kDownloadDoneAnswer) ? ExchangeOutcome::Good
                                                             : ExchangeOutcome::Bad);
        break;
    case State::ReceivingData:
        CheckUpload();
        break;
    default:
        break;
    }
}

void KeyboardExchange::CheckUpload()
{
    ReleaseMask();
    FinishWithAnswer(CheckKeyboardUploadText(m_capture), m_image);
}

void KeyboardExchange::ReleaseMask()
{
    if (m_port)
        m_port->ReleaseInterruptMask();
}
