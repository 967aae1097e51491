#pragma once

#include <filesystem>
#include <string>

namespace lumo::sdk_service {

// The name under which the running program's options are kept: its executable's base name
// without a trailing ".exe" (any letter case), as UTF-8. "unknown" when it cannot be found.
std::string programName();

// The rule applied to an executable path; portable so that it is tested everywhere.
std::string programNameFromExecutable(const std::filesystem::path& executable);

}  // namespace lumo::sdk_service
