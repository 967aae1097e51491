// Environment and per-user configuration folder of the SDK service on Windows.
#include "sdk_service/file_locations.h"

#include "util/windows_support.h"

#include <string>

namespace lumo::sdk_service {

std::filesystem::path environmentPath(const char* name) {
    // The variable names are ASCII; the values may not be, so read them wide.
    std::wstring wideName(name, name + std::char_traits<char>::length(name));
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    if (length == 0 || length >= size) return {};
    value.resize(length);
    return std::filesystem::path(value);
}

std::filesystem::path defaultOptionsFile() {
    std::filesystem::path appData = environmentPath("APPDATA");
    if (appData.empty()) return {};
    return appData / "lumo" / "options.json";
}

}  // namespace lumo::sdk_service
