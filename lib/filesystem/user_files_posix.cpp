// The environment and the user's XDG base folders on POSIX systems.
#include "filesystem/user_files.h"

#include <cstdlib>

namespace lumo::filesystem {

namespace {

// The XDG base directory rules ignore a relative value.
std::filesystem::path xdgFolder(const char* variable, const char* belowHome) {
    std::filesystem::path folder = environment_path(variable);
    if (!folder.empty() && folder.is_absolute()) return folder / "lumo";
    const std::filesystem::path home = environment_path("HOME");
    if (home.empty()) return {};
    return home / belowHome / "lumo";
}

}  // namespace

std::filesystem::path environment_path(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::filesystem::path() : std::filesystem::path(value);
}

std::filesystem::path config_folder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path state_folder() { return xdgFolder("XDG_STATE_HOME", ".local/state"); }

}  // namespace lumo::filesystem
