#pragma once

#include <string>

namespace lumo::sdk_service {

// Writes "keyboard simulator: <problem>" and a line end to standard error the first time this
// exact problem is reported in the process; later reports of the same text are dropped, so a
// broken file does not flood the output on every call. Not thread-safe: callers hold the
// service's lock.
void reportOnce(const std::string& problem);

}  // namespace lumo::sdk_service
