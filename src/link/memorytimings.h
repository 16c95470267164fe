#pragma once

#include "link/linktimings.h"
#include "link/wire/memoryframes.h"

// The waits and the block bound of the memory exchanges. Production code uses the defaults; a
// test may shorten a wait it is not about, or lower the bound.
struct MemoryTimings
{
    // Serial: each block, and the answer to a clear.
    LinkDuration blockTimeout{3000};
    LinkDuration clearTimeout{3000};
    // Keyboard: the command is repeated like the configuration commands, but the device
    // takes these letters with a shorter pause after each.
    LinkDuration repeaterInterval = kRepeaterInterval;
    LinkDuration bytePause{2};
    // Keyboard: the whole typed memory, counted from the acknowledgement (not restarted
    // while characters arrive).
    LinkDuration keyboardDataTimeout{5000};
    // Serial read: the most blocks taken before a device that never ends its data is stopped.
    int maximumBlocks = kMaximumMemoryBlocks;
};
