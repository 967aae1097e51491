// The running executable's path on Windows, from the module table of the process.
#include "program_name.h"

#include "util/windows_support.h"

#include <vector>

namespace lumo::simulator {

std::filesystem::path runningExecutable() {
    // GetModuleFileNameW truncates silently and reports it only through the returned length,
    // so grow the buffer until the path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace lumo::simulator
