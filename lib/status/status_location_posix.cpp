// The process id and the per-user state folder on POSIX systems.
#include "status/status_file.h"

#include <unistd.h>

#include "sdk_service/file_locations.h"

namespace lumo::status {

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

std::filesystem::path stateFolder() {
    // The XDG base directory rules ignore a relative XDG_STATE_HOME.
    const std::filesystem::path state = sdk_service::environmentPath("XDG_STATE_HOME");
    if (!state.empty() && state.is_absolute()) return state;
    const std::filesystem::path home = sdk_service::environmentPath("HOME");
    if (home.empty()) return {};
    return home / ".local" / "state";
}

}  // namespace lumo::status
