#include "filesystem/operations.h"

namespace lumo::filesystem {

filesystem_error::filesystem_error(const std::string& message, const path& path1, const path& path2,
                                   std::error_code code)
    : std::runtime_error(message), code_(code), path1_(path1), path2_(path2) {}

}  // namespace lumo::filesystem
