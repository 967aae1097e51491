// Last-write times through stat() with nanoseconds, for POSIX systems.
#include "filesystem/file_time.h"

#include <sys/stat.h>

#include <string>

#include "filesystem/native_path_posix.h"

namespace lumo::filesystem {

std::optional<file_time> last_write_time(const path& p) {
    std::string native;
    if (!detail::toNative(p, native)) return std::nullopt;
    struct stat status {};
    if (::stat(native.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return static_cast<file_time>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

}  // namespace lumo::filesystem
