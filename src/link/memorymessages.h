#pragma once

#include "link/linkmessage.h"
#include "link/memoryexchange.h"

#include <optional>

// The message box that reports a memory exchange; a keyboard read reports nothing once the
// device has acknowledged it.
std::optional<LinkMessage> MemoryMessage(const MemoryResult &result);

// Asked before a read or a clear, with OK and Cancel. A clear after a read in which records
// failed their check says so: those records are still only in the decoder's memory.
LinkMessage MemoryQuestion(MemoryKind kind, int failedRecords = 0);
