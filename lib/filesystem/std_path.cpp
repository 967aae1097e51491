#include "filesystem/std_path.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace lumo::filesystem {

std::filesystem::path to_std_path(const path& p) {
    std::string text;
    try {
        text = p.string();
    } catch (const std::exception&) {
        return {};
    }
    // lumo paths accept both separators; the system's own is the one to show.
    if constexpr (std::filesystem::path::preferred_separator == '/') std::replace(text.begin(), text.end(), '\\', '/');
    return std_path_from_utf8(text);
}

path from_std_path(const std::filesystem::path& p) {
    std::error_code ec;
    path converted = path_from_utf8(utf8_text(p), ec);
    return ec ? path() : converted;
}

std::filesystem::path std_path_from_utf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_text(const std::filesystem::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace lumo::filesystem
