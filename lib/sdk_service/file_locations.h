#pragma once

#include <filesystem>

namespace lumo::sdk_service {

// Where the service keeps its options. Looked up again at every call, so a test may switch
// files between calls. An empty path means "none".

// LUMO_OPTIONS when set, otherwise the per-user default (defaultOptionsFile).
std::filesystem::path optionsFile();

// The value of the environment variable `name` as a path; empty when unset or empty.
std::filesystem::path environmentPath(const char* name);
// The per-user options file of the system, empty when the user's folders are unknown.
std::filesystem::path defaultOptionsFile();

}  // namespace lumo::sdk_service
