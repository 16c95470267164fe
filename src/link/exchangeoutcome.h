#pragma once

// How an exchange with the device ended, for every kind of exchange: the transmit dialog's
// download, upload and version request as well as the memory read and clear. The windows turn
// it into their message, k30cfg-cli into its exit status.
enum class ExchangeOutcome
{
    Good,
    Bad,              // refused download or clear, bad upload answer, bad memory block
    Incomplete,       // serial memory read: stopped at the block bound before the end of the data
    TimeOut,          // serial: no answer in time
    HandshakeTimeOut, // keyboard: no acknowledgement after 15 commands
    PortNotAvailable, // the serial port could not be opened
};
