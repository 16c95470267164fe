#pragma once

#include <cstdint>

// The keyboard path to the K30: single bytes written to I/O ports of the PC. The device sits
// between the keyboard and the PC and takes what is written to the keyboard controller's data
// port as its input; it answers by typing characters, which arrive as ordinary key presses.
class KeyboardPort
{
public:
    static constexpr std::uint16_t kKeyboardDataPort = 0x60;
    // The mask register of the primary interrupt controller.
    static constexpr std::uint16_t kInterruptMaskPort = 0x21;

    virtual ~KeyboardPort() = default;

    // Gains access to the I/O ports, once at start-up. False when they cannot be had: every
    // later write then fails and a keyboard exchange ends by its time-out.
    virtual bool InitializeWinIo() = 0;
    // Writes `size` bytes of `value` to an I/O port; false when the write could not be done.
    virtual bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) = 0;

    bool WriteKeyboardByte(std::uint8_t byte) { return SetPortVal(kKeyboardDataPort, byte, 1); }
    // Unmasks all eight lines of the primary interrupt controller, the keyboard's included,
    // so the device's typed answer reaches the PC.
    bool ReleaseInterruptMask() { return SetPortVal(kInterruptMaskPort, 0, 1); }
};
