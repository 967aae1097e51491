// The process id on Windows.
#include "status/status_file.h"

#include "util/windows_support.h"

namespace lumo::status {

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(GetCurrentProcessId()); }

}  // namespace lumo::status
