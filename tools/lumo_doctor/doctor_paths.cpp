#include "lumo_doctor/doctor_paths.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "filesystem/operations.h"
#include "io/whole_file.h"

namespace lumo::doctor {

std::filesystem::path toStdPath(const filesystem::path& path) {
    std::string text;
    try {
        text = path.string();
    } catch (const std::exception&) {
        return {};
    }
    // lumo paths accept both separators; the system's own is the one to show.
    if constexpr (std::filesystem::path::preferred_separator == '/') std::replace(text.begin(), text.end(), '\\', '/');
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

filesystem::path toLumoPath(const std::filesystem::path& path) {
    std::error_code ec;
    const filesystem::path converted = filesystem::path_from_utf8(utf8(path), ec);
    return ec ? filesystem::path() : converted;
}

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<std::string> readText(const std::filesystem::path& file) {
    const filesystem::path shared = toLumoPath(file);
    if (shared.empty()) return std::nullopt;
    return util::readSharedFile(shared);
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && filesystem::is_directory(toLumoPath(path), ec);
}

bool isFile(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && filesystem::is_regular_file(toLumoPath(path), ec);
}

}  // namespace lumo::doctor
