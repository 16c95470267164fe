#include "link/keyboard/ioportkeyboard.h"

#include <QtGlobal>

#if defined(Q_OS_LINUX) && (defined(__i386__) || defined(__x86_64__))
#define K30_HAVE_IOPORTS 1
#include <sys/io.h>
#endif

bool IoPortKeyboard::InitializeWinIo()
{
#ifdef K30_HAVE_IOPORTS
    m_initialized = ioperm(kKeyboardDataPort, 1, 1) == 0 && ioperm(kInterruptMaskPort, 1, 1) == 0;
#else
    m_initialized = false;
#endif
    return m_initialized;
}

bool IoPortKeyboard::SetPortVal(std::uint16_t port, std::uint32_t value, int size)
{
    if (!m_initialized || size != 1)
        return false;
    if (port != kKeyboardDataPort && port != kInterruptMaskPort)
        return false;
#ifdef K30_HAVE_IOPORTS
    outb(static_cast<unsigned char>(value), port);
    return true;
#else
    Q_UNUSED(value);
    return false;
#endif
}
