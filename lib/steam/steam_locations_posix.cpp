// Steam's fallback install folders for Linux and other POSIX systems.
#include "steam/steam_locations.h"

#include <cstdlib>

namespace lumo::util {

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home == nullptr ? std::string() : std::string(home);
}

}  // namespace

std::vector<std::string> steamFallbackLocations() {
    const std::string base = homeFolder();
    if (base.empty()) return {};
    // ~/.steam/root and ~/.steam/steam are the links Steam keeps to its live install; the
    // others are the native and the Flatpak data folders.
    return {
        base + "/.steam/root",
        base + "/.steam/steam",
        base + "/.local/share/Steam",
        base + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
    };
}

std::string steamSnapLocation() {
    const std::string base = homeFolder();
    return base.empty() ? std::string() : base + "/snap/steam/common/.local/share/Steam";
}

}  // namespace lumo::util
