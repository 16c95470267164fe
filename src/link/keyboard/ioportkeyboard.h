#pragma once

#include "link/keyboard/keyboardport.h"

// The real keyboard path: raw port writes with ioperm/outb on Linux x86 (root or
// CAP_SYS_RAWIO needed). Elsewhere, or when the kernel has no I/O-port support, the ports
// cannot be had and InitializeWinIo reports it.
class IoPortKeyboard : public KeyboardPort
{
public:
    bool InitializeWinIo() override;
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override;

private:
    bool m_initialized = false;
};
