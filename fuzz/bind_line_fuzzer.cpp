// roundglow's bind lines: key and command are quote-free pieces of the line, both empty for a
// line that binds nothing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cs_go_integration/key_bindings.h"
#include "fuzz_check.h"

using namespace roundglow;

namespace {

void checkLine(std::string_view line) {
    const auto [key, command] = parseBindLine(line);
    if (line.find("bind ") == std::string_view::npos) FUZZ_CHECK(key.empty() && command.empty());
    for (const std::string_view piece : {std::string_view(key), std::string_view(command)}) {
        FUZZ_CHECK(piece.find('"') == std::string_view::npos);
        FUZZ_CHECK(line.find(piece) != std::string_view::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    checkLine(text);
    // And each line of it, as readBindings hands them over.
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        checkLine(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return 0;
}
