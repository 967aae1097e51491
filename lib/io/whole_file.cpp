#include "io/whole_file.h"

#include <array>
#include <cstdio>

#include "filesystem/operations.h"
#include "util/stdio_file.h"

namespace lumo::util {

std::optional<std::string> readSharedFile(const filesystem::path& file) {
    const StdioFile stream(filesystem::open_for_shared_reading(file));
    if (!stream) return std::nullopt;
    std::string text;
    std::array<char, 16 * 1024> buffer;
    std::size_t read;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), stream.get())) > 0)
        text.append(buffer.data(), read);
    return text;
}

}  // namespace lumo::util
