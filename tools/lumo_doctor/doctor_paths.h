#pragma once

// The one seam between the two path types. The doctor's checks walk folders, compare times
// and show paths with std::filesystem::path; the libraries they share with the programs
// (lib/steam, lib/keybinds, lib/io) take lumo::filesystem::path, whose text follows Windows
// rules on every system. Paths cross here and nowhere else.

#include <filesystem>
#include <optional>
#include <string>

#include "filesystem/path.h"

namespace lumo::doctor {

// The same file as the system names it: on POSIX the separators become '/'. Never throws;
// a path whose text has no UTF-8 form gives an empty path.
std::filesystem::path toStdPath(const filesystem::path& path);
// The other way; an empty path for text that is not UTF-8. Never throws.
filesystem::path toLumoPath(const std::filesystem::path& path);

// A path as the report shows it, UTF-8.
std::string utf8(const std::filesystem::path& path);

// The whole file, read shared with a game that may be saving it; nullopt when it cannot be
// opened.
std::optional<std::string> readText(const std::filesystem::path& file);

// Whether the path names a folder or a regular file now; false for an empty path and for
// one that cannot be examined.
bool isFolder(const std::filesystem::path& path);
bool isFile(const std::filesystem::path& path);

}  // namespace lumo::doctor
