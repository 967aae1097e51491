// The environment and the user's application-data folders on Windows.
#include "filesystem/user_files.h"

#include <string>

#include "util/windows_support.h"

namespace lumo::filesystem {

namespace {

std::filesystem::path lumoFolderIn(const char* variable) {
    const std::filesystem::path base = environment_path(variable);
    return base.empty() ? base : base / "lumo";
}

}  // namespace

std::filesystem::path environment_path(const char* name) {
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

std::filesystem::path config_folder() { return lumoFolderIn("APPDATA"); }

std::filesystem::path state_folder() { return lumoFolderIn("LOCALAPPDATA"); }

}  // namespace lumo::filesystem
