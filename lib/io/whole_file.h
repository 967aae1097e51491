#pragma once

#include <optional>
#include <string>

#include "filesystem/path.h"

namespace lumo::util {

// The whole content of `file`, opened for reading only and shared with writers (a game may
// save it meanwhile); nullopt when it cannot be opened. A read error ends the content early.
std::optional<std::string> readSharedFile(const filesystem::path& file);

}  // namespace lumo::util
