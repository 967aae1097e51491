// The KeyValues reader: what it keeps comes from the text (lowercased keys, no quotes, no more
// bytes than the text has, no deeper than its limit), and writing the tree back out reads as
// the same tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "steam/keyvalues.h"

using lumo::util::KeyValues;

namespace {

struct Walk {
    std::size_t bytes = 0;   // of all keys and values kept
    bool hasBraces = false;  // some key or value holds a brace
};

void checkText(const std::string& text, Walk& walk) {
    FUZZ_CHECK(text.find('"') == std::string::npos);
    walk.bytes += text.size();
    walk.hasBraces = walk.hasBraces || text.find_first_of("{}") != std::string::npos;
}

void checkKey(const std::string& key, Walk& walk) {
    FUZZ_CHECK(!key.empty());
    FUZZ_CHECK(key.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos);
    checkText(key, walk);
}

void checkNode(const KeyValues& node, int depth, Walk& walk) {
    FUZZ_CHECK(depth <= KeyValues::kMaxDepth);
    for (const auto& [key, value] : node.values()) {
        checkKey(key, walk);
        checkText(value, walk);
    }
    for (const auto& [key, child] : node.children()) {
        checkKey(key, walk);
        checkNode(child, depth + 1, walk);
    }
}

void write(const KeyValues& node, std::string& out) {
    for (const auto& [key, value] : node.values()) out += '"' + key + "\" \"" + value + "\"\n";
    for (const auto& [key, child] : node.children()) {
        out += '"' + key + "\"\n{\n";
        write(child, out);
        out += "}\n";
    }
}

bool sameTree(const KeyValues& a, const KeyValues& b) {
    if (a.values() != b.values() || a.children().size() != b.children().size()) return false;
    auto other = b.children().begin();
    for (const auto& [key, child] : a.children()) {
        if (key != other->first || !sameTree(child, other->second)) return false;
        ++other;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    KeyValues root;
    root.parse(text);

    Walk walk;
    checkNode(root, 0, walk);
    FUZZ_CHECK(walk.bytes <= size);

    // Braces inside quotes end blocks wherever they stand, so only brace-free trees are
    // written out as they were read.
    if (!walk.hasBraces) {
        std::string written;
        write(root, written);
        KeyValues again;
        again.parse(written);
        FUZZ_CHECK(sameTree(root, again));
    }
    return 0;
}
