#pragma once

#include <cstdint>
#include <optional>

#include "filesystem/path.h"

namespace lumo::filesystem {

// A file's last-write time in the system's own ticks (100 ns since 1601 on Windows,
// nanoseconds since 1970 on POSIX). Only the order of two readings of the same system means
// anything: a later save reads as a larger value.
using file_time = std::int64_t;

// Reads the last-write time of an existing file, opened for reading only and sharing read,
// write and delete, so a game that saves the file meanwhile is never blocked. nullopt when the
// file cannot be opened or its time cannot be read. Never throws.
std::optional<file_time> last_write_time(const path& p);

// True when `now` is strictly later than `stored`; the rule that decides a re-read.
inline bool is_newer(file_time now, file_time stored) { return now > stored; }

}  // namespace lumo::filesystem
