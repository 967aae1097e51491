#pragma once

#include <string>
#include <vector>

namespace lumo::util {

// Folders where Steam installs itself when the registry names none, in the order to try.
// Absolute UTF-8 texts; they may not exist. Empty where the registry is the only source
// (Windows) or where the home folder is unknown.
std::vector<std::string> steamFallbackLocations();

}  // namespace lumo::util
