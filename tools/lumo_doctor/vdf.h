#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Valve's KeyValues text read strictly, for telling a player where a file is broken: unlike
// the programs' tolerant reader it reports the first fault with its line, and it honours the
// escapes (\" \\ \n \t) that localconfig.vdf uses in launch options.

namespace lumo::doctor {

struct VdfNode {
    // Declared here and defined where VdfNode is complete: clang with libstdc++ otherwise
    // needs the pair below complete while VdfNode is still being defined.
    VdfNode();
    VdfNode(const VdfNode&);
    VdfNode(VdfNode&&) noexcept;
    VdfNode& operator=(const VdfNode&);
    VdfNode& operator=(VdfNode&&) noexcept;
    ~VdfNode();

    // In file order; keys as written.
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::pair<std::string, VdfNode>> children;

    // The first value or block whose key matches `key` without regard to ASCII case; null when
    // there is none.
    const std::string* value(std::string_view key) const;
    const VdfNode* child(std::string_view key) const;
    // child(k1)->child(k2)... ; null when a step is missing.
    const VdfNode* path(std::initializer_list<std::string_view> keys) const;
};

struct VdfResult {
    VdfNode root;
    std::string error;  // "" when the text is well formed, else the fault
    int errorLine = 0;  // its line, from 1
};

// Reads `text`; on a fault the tree holds what came before it.
VdfResult parseVdf(std::string_view text);

}  // namespace lumo::doctor
