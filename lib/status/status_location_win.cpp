// The process id and the per-user state folder on Windows.
#include "status/status_file.h"

#include "sdk_service/file_locations.h"
#include "util/windows_support.h"

namespace lumo::status {

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(GetCurrentProcessId()); }

std::filesystem::path stateFolder() { return sdk_service::environmentPath("LOCALAPPDATA"); }

}  // namespace lumo::status
