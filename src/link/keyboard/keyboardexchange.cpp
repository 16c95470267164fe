#include "link/keyboard/keyboardexchange.h"

#include "link/wire/keyboardtext.h"

namespace {

// The progress bar of the keyboard data phases counts byte pairs on a download and typed
// characters on an upload.
constexpr int kDownloadProgressMaximum = kImageSize - 1;
constexpr int kUploadProgressMaximum = kKeyboardUploadLength + 1;

// The device acknowledges a configuration command with "S" alone in the capture box.
bool IsHandshakeAnswer(QStringView capture)
{
    return IsTypedAnswer(capture, kHandshakeAnswer);
}

} // namespace

KeyboardExchange::KeyboardExchange(ExchangeKind kind, KeyboardPort *port, Image &image,
                                   std::function<QByteArray()> command, const LinkTimings &timings,
                                   QObject *parent)
    : LinkExchange(kind, parent), m_image(image), m_command(std::move(command)), m_timings(timings),
      m_handshake(port, timings.repeaterInterval, timings.keyboardBytePause, &IsHandshakeAnswer),
      m_writer(port, timings.keyboardBytePause)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &KeyboardExchange::OnTimeout);
    connect(&m_handshake, &KeyboardHandshake::CaptureReset, this, &LinkExchange::CaptureReset);
    connect(&m_handshake, &KeyboardHandshake::Acknowledged, this, &KeyboardExchange::OnHandshake);
    connect(&m_handshake, &KeyboardHandshake::TimedOut, this,
            [this] { Finish(ExchangeOutcome::HandshakeTimeOut); });
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
    m_capture.clear();
    m_handshake.Start(m_command);
}

void KeyboardExchange::Stop()
{
    m_handshake.Stop();
    m_writer.Stop();
    m_timer.stop();
    m_state = State::Idle;
}

void KeyboardExchange::CaptureChanged(const QString &text)
{
    m_capture = text;
    switch (m_state) {
    case State::Handshake:
        m_handshake.CaptureChanged(text);
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
        m_handshake.ReleaseMask();
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
    m_handshake.ReleaseMask();
    FinishWithAnswer(CheckKeyboardUploadText(m_capture), m_image);
}
