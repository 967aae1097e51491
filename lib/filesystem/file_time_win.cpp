// Last-write times through CreateFileW and GetFileTime, for Windows.
#include "filesystem/file_time.h"

#include "util/windows_support.h"

#include "util/windows_handle.h"

namespace lumo::filesystem {
std::optional<file_time> last_write_time(const path& p) {
    // Read access only, and every share mode: the game may hold the file open for writing.
    const util::WindowsHandle file(CreateFileW(p.native_text().c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    FILETIME written{};
    if (!GetFileTime(file.get(), nullptr, nullptr, &written)) return std::nullopt;
    return static_cast<file_time>((static_cast<std::uint64_t>(written.dwHighDateTime) << 32) |
                                  written.dwLowDateTime);
}

}  // namespace lumo::filesystem
