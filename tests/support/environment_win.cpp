// Environment variables of the test process, for Windows.
#include "environment.h"

#include <stdlib.h>

#include "text/utf.h"
#include "util/windows_support.h"

namespace lumo::test {

std::optional<std::string> environmentValue(const std::string& name) {
    const std::wstring wideName = lumo::util::fromUtf8(name);
    const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length);
    return lumo::util::toUtf8(value);
}

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    const std::wstring wideName = lumo::util::fromUtf8(name);
    const std::wstring wideValue = value ? lumo::util::fromUtf8(*value) : std::wstring();
    // getenv reads the C runtime's copy, the Windows API the process's block: keep both.
    ::_wputenv_s(wideName.c_str(), wideValue.c_str());
    ::SetEnvironmentVariableW(wideName.c_str(), value ? wideValue.c_str() : nullptr);
}

}  // namespace lumo::test
