// Steam's fallback install folders for Linux and other POSIX systems.
#include "steam/steam_locations.h"

#include <cstdlib>

namespace lumo::util {

std::vector<std::string> steamFallbackLocations() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    const std::string base(home);
    // ~/.steam/root and ~/.steam/steam are the links Steam keeps to its live install; the
    // others are the native and the Flatpak data folders.
    return {
        base + "/.steam/root",
        base + "/.steam/steam",
        base + "/.local/share/Steam",
        base + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
    };
}

}  // namespace lumo::util
