#include "sim/simserialserver.h"

#include "sim/simdevice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

// A pause this long between bytes ends whatever frame the device was receiving.
constexpr qint64 kInputGapMs = 500;

void MakeRaw(int fd, int baud)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    speed_t speed = B9600;
    switch (baud) {
    case 1200:
        speed = B1200;
        break;
    case 2400:
        speed = B2400;
        break;
    case 4800:
        speed = B4800;
        break;
    case 19200:
        speed = B19200;
        break;
    default:
        break;
    }
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tcsetattr(fd, TCSANOW, &tio);
}

} // namespace

SimSerialServer::SimSerialServer(SimDevice &device, QObject *parent)
    : QObject(parent), m_device(device)
{
    m_pace.setInterval(1);
    m_pace.setTimerType(Qt::PreciseTimer);
    connect(&m_pace, &QTimer::timeout, this, &SimSerialServer::SendDue);
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        m_sinceAnswer.start();
        SendDue();
    });
}

SimSerialServer::~SimSerialServer()
{
    Close();
}

bool SimSerialServer::OpenPseudoTerminal()
{
    Close();
    m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
        return Fail(QStringLiteral("no pseudo-terminal"));
    m_path = QString::fromLocal8Bit(ptsname(m_fd));
    m_slaveFd = ::open(ptsname(m_fd), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slaveFd < 0)
        return Fail(QStringLiteral("cannot open ") + m_path);
    MakeRaw(m_slaveFd, 9600);
    Listen();
    return true;
}

bool SimSerialServer::OpenDevice(const QString &path, int baud)
{
    Close();
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return Fail(QStringLiteral("cannot open ") + path);
    m_path = path;
    MakeRaw(m_fd, baud);
    Listen();
    return true;
}

void SimSerialServer::Listen()
{
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimSerialServer::OnReadable);
    m_sinceInput.invalidate();
}

bool SimSerialServer::Fail(const QString &what)
{
    m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    Close();
    return false;
}

void SimSerialServer::Close()
{
    m_pace.stop();
    m_delay.stop();
    m_out.clear();
    m_sent = 0;
    delete m_notifier;
    m_notifier = nullptr;
    if (m_slaveFd >= 0)
        ::close(m_slaveFd);
    if (m_fd >= 0)
        ::close(m_fd);
    m_slaveFd = -1;
    m_fd = -1;
}

namespace {

struct LineSetup
{
    int baud = 0;
    char parity = 'N';
    int dataBits = 0;
    int stopBits = 1;
};

std::optional<LineSetup> ReadLineSetup(int fd)
{
    termios tio{};
    if (fd < 0 || tcgetattr(fd, &tio) != 0)
        return std::nullopt;
    LineSetup line;
    switch (cfgetospeed(&tio)) {
    case B1200:
        line.baud = 1200;
        break;
    case B2400:
        line.baud = 2400;
        break;
    case B4800:
        line.baud = 4800;
        break;
    case B9600:
        line.baud = 9600;
        break;
    case B19200:
        line.baud = 19200;
        break;
    default:
        break;
    }
    line.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 'O' : 'E') : 'N';
    line.dataBits = (tio.c_cflag & CSIZE) == CS7 ? 7 : (tio.c_cflag & CSIZE) == CS8 ? 8 : 0;
    line.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    return line;
}

} // namespace

QString SimSerialServer::LineSettings() const
{
    const auto line = ReadLineSetup(m_slaveFd >= 0 ? m_slaveFd : m_fd);
    if (!line)
        return {};
    return QStringLiteral("%1,%2,%3,%4")
        .arg(line->baud)
        .arg(QLatin1Char(line->parity))
        .arg(line->dataBits)
        .arg(line->stopBits);
}

void SimSerialServer::SetDeviceLine(int baud, int dataBits, int stopBits)
{
    m_lineBaud = baud;
    m_lineDataBits = dataBits;
    m_lineStopBits = stopBits;
}

bool SimSerialServer::LineMatches() const
{
    if (m_lineBaud == 0)
        return true;
    const bool pseudoTerminal = m_slaveFd >= 0;
    const auto line = ReadLineSetup(pseudoTerminal ? m_slaveFd : m_fd);
    return line && line->baud == m_lineBaud && line->stopBits == m_lineStopBits &&
           line->parity == 'N' && (pseudoTerminal || line->dataBits == m_lineDataBits);
}

void SimSerialServer::OnReadable()
{
    char buffer[512];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0 && errno == EAGAIN)
            return;
        // Nobody on the other end of a real line: wait a moment instead of spinning.
        m_notifier->setEnabled(false);
        QTimer::singleShot(50, this, [this] {
            if (m_notifier)
                m_notifier->setEnabled(true);
        });
        return;
    }
    const bool afterPause = !m_sinceInput.isValid() || m_sinceInput.elapsed() > kInputGapMs;
    m_sinceInput.start();
    if (afterPause) {
        m_device.ResetInput();
        Log(QStringLiteral("line ") + LineSettings());
    }
    if (!LineMatches()) {
        // At another speed or framing every character arrives mangled, and the device's own
        // characters reach the PC just as mangled.
        QByteArray noise;
        for (ssize_t i = 0; i < 2 * n; ++i)
            noise.append(char(0xF0 ^ (i * 0x35)));
        Log(QStringLiteral("line %1 is not the device's %2,N,%3,%4: noise")
                .arg(LineSettings())
                .arg(m_lineBaud)
                .arg(m_lineDataBits)
                .arg(m_lineStopBits));
        m_out += noise;
        // Behind an answer still waiting for its delay, not ahead of it.
        if (!m_delay.isActive()) {
            m_answerBytes = 0;
            m_sinceAnswer.start();
            SendDue();
        }
        return;
    }
    const qsizetype before = m_device.Log().size();
    const QByteArray answer = m_device.SerialInput(QByteArrayView(buffer, n));
    for (qsizetype i = before; i < m_device.Log().size(); ++i)
        Q_EMIT Logged(m_device.Log().at(i));
    if (!answer.isEmpty())
        Answer(answer);
}

void SimSerialServer::Answer(const QByteArray &answer)
{
    const SimFaults &faults = m_device.faults;
    QByteArray out;
    for (int i = 0; i < faults.garbage; ++i)
        out.append(char(0xA5 ^ (i * 7)));
    out += answer;
    if (faults.shortAnswer >= 0)
        out.truncate(faults.shortAnswer);
    m_out += out;
    m_answerBytes = 0;
    Log(QStringLiteral("sending ") + SimHex(out));
    m_delay.start(faults.delayMs);
}

void SimSerialServer::SendDue()
{
    const SimFaults &faults = m_device.faults;
    qsizetype due = m_out.size() - m_sent;
    if (faults.baud > 0) {
        // Ten bits a character: start bit, eight data bits, stop bit.
        const qint64 allowed = m_sinceAnswer.elapsed() * faults.baud / 10000 + 1;
        due = qMin<qsizetype>(due, qMax<qint64>(0, allowed - m_answerBytes));
    }
    if (faults.hangUpAfter >= 0)
        due = qMin<qsizetype>(due, faults.hangUpAfter - m_answerBytes);
    if (due > 0 && m_fd >= 0) {
        const ssize_t written = ::write(m_fd, m_out.constData() + m_sent, size_t(due));
        if (written > 0) {
            m_sent += written;
            m_answerBytes += int(written);
        }
    }
    if (faults.hangUpAfter >= 0 && m_answerBytes >= faults.hangUpAfter) {
        Log(QStringLiteral("hung up after %1 bytes").arg(m_answerBytes));
        Close();
        Q_EMIT HungUp();
        return;
    }
    if (m_sent < m_out.size()) {
        if (!m_pace.isActive())
            m_pace.start();
        return;
    }
    m_pace.stop();
    m_out.clear();
    m_sent = 0;
}

void SimSerialServer::Log(const QString &line)
{
    m_device.AddLog(line);
    Q_EMIT Logged(line);
}
