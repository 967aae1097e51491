#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace lumo::view {

// What tells a changed file from the one read before: its modification time and size.
struct FileStamp {
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of `file`, or nothing when it cannot be looked at (missing, say).
std::optional<FileStamp> stampOf(const std::filesystem::path& file);

}  // namespace lumo::view
