#include "file_stamp.h"

namespace lumo::view {

std::optional<FileStamp> stampOf(const std::filesystem::path& file) {
    std::error_code error;
    FileStamp stamp;
    stamp.modified = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    stamp.size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    return stamp;
}

}  // namespace lumo::view
