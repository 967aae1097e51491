#pragma once

#include <string>
#include <vector>

namespace lumo::util {

// Folders where Steam installs itself when the registry names none, in the order to try.
// Absolute UTF-8 texts; they may not exist. Empty where the registry is the only source
// (Windows) or where the home folder is unknown.
std::vector<std::string> steamFallbackLocations();

// Where the Snap package keeps Steam. The programs do not search it (its games live in the
// package's own sandbox); the report names it so a player learns why. "" where there is none.
std::string steamSnapLocation();

}  // namespace lumo::util
