#include "sim/simkeyboardwedge.h"

#include "sim/simdevice.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

// A keyboard types a character every few milliseconds.
constexpr int kDefaultTypingIntervalMs = 5;
constexpr char kEndOfText = 0x03;

Qt::Key KeyOf(char c)
{
    if (c >= 'a' && c <= 'z')
        return Qt::Key(Qt::Key_A + (c - 'a'));
    if (c >= 'A' && c <= 'Z')
        return Qt::Key(Qt::Key_A + (c - 'A'));
    if (c >= '0' && c <= '9')
        return Qt::Key(Qt::Key_0 + (c - '0'));
    if (c == '\r')
        return Qt::Key_Return;
    // The code that ends typed memory data comes as Ctrl+C.
    if (c == kEndOfText)
        return Qt::Key_C;
    return Qt::Key(static_cast<unsigned char>(c));
}

} // namespace

SimKeyboardWedge::SimKeyboardWedge(SimDevice &device, QObject *parent)
    : QObject(parent), m_device(device)
{
    m_typing.setInterval(kDefaultTypingIntervalMs);
    m_typing.setTimerType(Qt::PreciseTimer);
    connect(&m_typing, &QTimer::timeout, this, &SimKeyboardWedge::TypeNext);
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, [this] { m_typing.start(); });
}

bool SimKeyboardWedge::SetPortVal(std::uint16_t port, std::uint32_t value, int size)
{
    if (size != 1)
        return false;
    if (port == kInterruptMaskPort) {
        ++m_maskReleases;
        return true;
    }
    if (port != kKeyboardDataPort)
        return false;
    const auto byte = static_cast<std::uint8_t>(value);
    m_written.append(char(byte));
    QByteArray answer = m_device.KeyboardInput(byte);
    if (answer.isEmpty())
        return true;
    const SimFaults &faults = m_device.faults;
    QByteArray typed(faults.garbage, '#');
    typed += answer;
    if (faults.shortAnswer >= 0)
        typed.truncate(faults.shortAnswer);
    m_device.AddLog(QStringLiteral("typing ") + QString::fromLatin1(typed));
    m_toType += typed;
    if (!m_typing.isActive() && !m_delay.isActive())
        m_delay.start(m_answerPauseMs + faults.delayMs);
    return true;
}

void SimKeyboardWedge::ClearRecord()
{
    m_written.clear();
    m_maskReleases = 0;
}

void SimKeyboardWedge::TypeUnasked(const QByteArray &bytes)
{
    m_device.AddLog(QStringLiteral("typing ") + SimHex(bytes));
    m_toType += bytes;
    if (!m_typing.isActive() && !m_delay.isActive())
        m_delay.start(0);
}

void SimKeyboardWedge::TypeNext()
{
    if (m_toType.isEmpty()) {
        m_typing.stop();
        return;
    }
    const char c = m_toType.front();
    m_toType.remove(0, 1);
    QObject *target = m_target ? m_target.data() : QGuiApplication::focusObject();
    if (target) {
        const QString text(QLatin1Char{c});
        const Qt::KeyboardModifiers modifiers =
            c == kEndOfText ? Qt::ControlModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, KeyOf(c), modifiers, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, KeyOf(c), modifiers, text);
        QCoreApplication::sendEvent(target, &release);
    }
    Q_EMIT Typed(QLatin1Char(c));
}
