#include "environment.h"

#include <utility>

namespace lumo::test {

ScopedEnvironment::ScopedEnvironment(std::string name, std::optional<std::string> value)
    : name_(std::move(name)), previous_(environmentValue(name_)) {
    setEnvironmentValue(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { setEnvironmentValue(name_, previous_); }

}  // namespace lumo::test
