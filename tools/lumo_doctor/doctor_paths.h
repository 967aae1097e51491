#pragma once

// The doctor's checks walk folders, compare times and show paths with std::filesystem::path;
// the libraries they share with the programs (lib/steam, lib/keybinds, lib/io) take
// lumo::filesystem::path. They cross at lib/filesystem's std_path.h; these are the doctor's
// questions put through it.

#include <filesystem>
#include <optional>
#include <string>

#include "filesystem/std_path.h"

namespace lumo::doctor {

// The whole file, read shared with a game that may be saving it; nullopt when it cannot be
// opened.
std::optional<std::string> readText(const std::filesystem::path& file);

// Whether the path names a folder or a regular file now; false for an empty path and for
// one that cannot be examined.
bool isFolder(const std::filesystem::path& path);
bool isFile(const std::filesystem::path& path);

}  // namespace lumo::doctor
