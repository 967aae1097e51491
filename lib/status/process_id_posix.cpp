// The process id on POSIX systems.
#include "status/status_file.h"

#include <unistd.h>

namespace lumo::status {

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

}  // namespace lumo::status
