#include "lumo_doctor/doctor_paths.h"

#include <system_error>

#include "filesystem/operations.h"
#include "io/whole_file.h"

namespace lumo::doctor {

std::optional<std::string> readText(const std::filesystem::path& file) {
    const filesystem::path shared = filesystem::from_std_path(file);
    if (shared.empty()) return std::nullopt;
    return util::readSharedFile(shared);
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && filesystem::is_directory(filesystem::from_std_path(path), ec);
}

bool isFile(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && filesystem::is_regular_file(filesystem::from_std_path(path), ec);
}

}  // namespace lumo::doctor
