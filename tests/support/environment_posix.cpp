// Environment variables of the test process, for POSIX systems.
#include "environment.h"

#include <stdlib.h>

namespace lumo::test {

std::optional<std::string> environmentValue(const std::string& name) {
    const char* value = ::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
}

}  // namespace lumo::test
