// Environment and per-user configuration folder of the SDK service on POSIX systems.
#include "sdk_service/file_locations.h"

#include <cstdlib>

namespace lumo::sdk_service {

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::filesystem::path() : std::filesystem::path(value);
}

std::filesystem::path defaultOptionsFile() {
    // The XDG base directory rules ignore a relative XDG_CONFIG_HOME.
    std::filesystem::path config = environmentPath("XDG_CONFIG_HOME");
    if (config.empty() || config.is_relative()) {
        std::filesystem::path home = environmentPath("HOME");
        if (home.empty()) return {};
        config = home / ".config";
    }
    return config / "lumo" / "options.json";
}

}  // namespace lumo::sdk_service
