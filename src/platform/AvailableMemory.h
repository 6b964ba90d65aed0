#pragma once

#include <QtGlobal>
#include <optional>

// The memory the system can give this program now without swapping, in bytes, as the system
// reports it (on Linux, MemAvailable, bounded by the control group's limit); nothing where it
// reports none.
std::optional<qint64> availableMemory();
