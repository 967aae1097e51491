// Steam's fallback install folders for Windows: none, the registry is authoritative there.
#include "steam/steam_locations.h"

namespace lumo::util {

std::vector<std::string> steamFallbackLocations() { return {}; }

std::string steamSnapLocation() { return {}; }

}  // namespace lumo::util
