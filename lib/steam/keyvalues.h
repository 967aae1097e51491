#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo::util {

// One node of Valve's KeyValues text (.vdf, .acf): values and child blocks, both keyed by the
// ASCII-lowercased key and ordered by byte comparison. A node owns its children by value.
class KeyValues {
public:
    KeyValues() = default;

    // Adds the entries of `text`. Never fails: malformed text keeps what was completed.
    // Blocks nested deeper than kMaxDepth are dropped rather than read.
    void parse(const std::string& text);
    // Reads the file (UTF-8 name) whole through BinaryInputStream and parses it; lets
    // BinaryStreamException through when the file cannot be opened.
    void parseFile(const std::string& fileName);

    // The three lookups lowercase `key` (A-Z) first.
    bool has(const std::string& key) const;
    KeyValues child(const std::string& key) const;    // a copy, or an empty node
    std::string value(const std::string& key) const;  // a copy, or ""

    const std::map<std::string, std::string>& values() const { return values_; }
    const std::map<std::string, KeyValues>& children() const { return children_; }
    // Every value entry as the text holds it: keys in their own case, in the order read,
    // repeated keys included (a game's binding file means its entries in that order).
    const std::vector<std::pair<std::string, std::string>>& entriesInOrder() const { return entries_; }

    static constexpr int kMaxDepth = 64;

private:
    // Reads text[begin, end) at nesting `depth`; `closing[i]` is the position of the brace
    // that ends the block opened at i (npos when none), so each byte is visited once per read.
    void parseRange(std::string_view text, const std::vector<std::size_t>& closing, std::size_t begin,
                    std::size_t end, int depth);

    std::map<std::string, std::string> values_;
    std::map<std::string, KeyValues> children_;
    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace lumo::util
