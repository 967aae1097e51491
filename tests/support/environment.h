#pragma once

#include <optional>
#include <string>

namespace lumo::test {

// The value of the environment variable `name` in this process, or nothing when unset.
std::optional<std::string> environmentValue(const std::string& name);
// Sets `name` to `value` in this process, or removes it when `value` is nullopt.
void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value);

// Gives the environment variable `name` the value `value` (nullopt: removes it) for its
// lifetime and puts back what was there before when destroyed. On Windows both the C
// runtime's copy and the process's block change; there an empty value removes the variable
// from the C runtime's copy, which getenv then reports as unset.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, std::optional<std::string> value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Removes the environment variable `name` for its lifetime.
class ScopedUnsetEnvironment : public ScopedEnvironment {
public:
    explicit ScopedUnsetEnvironment(std::string name) : ScopedEnvironment(std::move(name), std::nullopt) {}
};

}  // namespace lumo::test
