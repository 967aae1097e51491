#pragma once

#include <string>

#include "filesystem/path.h"

namespace lumo::filesystem::detail {

// The text the kernel sees: UTF-8 with '\' turned into '/', so paths joined under Windows
// rules ("/home/ann/.steam/steam\steamapps") name the intended file. False when the wide
// text cannot be encoded.
bool toNative(const path& p, std::string& native);

}  // namespace lumo::filesystem::detail
