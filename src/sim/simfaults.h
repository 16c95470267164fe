#pragma once

// The ways the simulated K30 can misbehave, chosen by the tests or by k30-sim's options.
struct SimFaults
{
    bool silent = false;         // answers nothing at all
    bool refuseDownload = false; // refuses every download (0x15, or "E" when typed)
    bool wrongCheck = false;     // upload answers carry a wrong check byte
    bool lowerCase = false;      // keyboard answers are typed in lower case
    int shortAnswer = -1;        // answers are cut to this many bytes or characters
    int garbage = 0;             // bytes or characters of garbage before every answer
    int hangUpAfter = -1;        // serial: the line goes dead after this many answer bytes
    int delayMs = 0;             // before every answer
    int baud = 0;                // serial: answer bytes paced as on a line at this rate
    // Memory read and clear.
    int badBlock = -1;          // this block of a serial read carries a wrong check
    int badRecord = -1;         // this record is stored with a wrong check byte
    int shortLength = -1;       // this record has a length byte of 2, shorter than any can be
    bool endlessMemory = false; // the memory never reaches its end marker
    bool longRecord = false;    // a 200-byte record follows the stored records
    bool refuseClear = false;   // a serial clear is answered 0x15
};
