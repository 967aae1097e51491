// lumo-doctor's strict KeyValues reader: any text gives a tree or one fault with a line that
// lies in the text, never more kept bytes than the text has, and no deeper tree than its limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "lumo_doctor/vdf.h"

using lumo::doctor::VdfNode;

namespace {

std::size_t keptBytes(const VdfNode& node, int depth) {
    FUZZ_CHECK(depth <= 64);
    std::size_t bytes = 0;
    for (const auto& [key, value] : node.values) bytes += key.size() + value.size();
    for (const auto& [key, child] : node.children) bytes += key.size() + keptBytes(child, depth + 1);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = lumo::doctor::parseVdf(text);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(result.error.empty() == (result.errorLine == 0));
    FUZZ_CHECK(result.errorLine >= 0 && result.errorLine <= lines);
    FUZZ_CHECK(keptBytes(result.root, 0) <= size);
    return 0;
}
