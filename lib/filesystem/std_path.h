#pragma once

#include <filesystem>
#include <string>

#include "filesystem/path.h"

// The one seam between the two path types. lumo::filesystem::path names the files of Steam,
// the games and the player (its text follows Windows rules on every system and meets the
// system only inside lib/filesystem); std::filesystem::path names the files the programs and
// tools make themselves and the folders they walk. Paths cross here and nowhere else.

namespace lumo::filesystem {

// The same file as the system names it: on POSIX the separators become '/'. Never throws;
// a path whose text has no UTF-8 form gives an empty path.
std::filesystem::path to_std_path(const path& p);
// The other way; an empty path for text that is not UTF-8. Never throws.
path from_std_path(const std::filesystem::path& p);

// UTF-8 text as a std::filesystem::path, and a std::filesystem::path as UTF-8 text, alike
// on every system (Windows' paths are wide, so the narrow forms would use the code page).
std::filesystem::path std_path_from_utf8(const std::string& utf8);
std::string utf8_text(const std::filesystem::path& p);

}  // namespace lumo::filesystem
