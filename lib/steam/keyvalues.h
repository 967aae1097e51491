#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo::util {

// Where a KeyValues text first stops being well formed, as the reader sees it.
struct KeyValuesFault {
    int line = 0;       // from 1
    std::string cause;  // "a quoted text is never closed", "a { where a key belongs", ...
};

// One node of Valve's KeyValues text (.vdf, .acf): values and child blocks, both keyed by the
// ASCII-lowercased key and ordered by byte comparison. A node owns its children by value.
class KeyValues {
public:
    // One value or block as the text holds it.
    struct Entry {
        std::string key;    // in its own case
        std::string value;  // "" for a block
        bool block = false;
        int line = 0;       // the key's line in the text parsed, from 1
    };

    KeyValues() = default;

    // Adds the entries of `text`. Never fails: malformed text keeps what was completed.
    // Blocks nested deeper than kMaxDepth are dropped rather than read.
    void parse(const std::string& text);
    // The same reading, which also says where the text first breaks the format: an unclosed
    // quote or block, a stray closing brace, a brace with no key before it, a key with no
    // value, a block beyond kMaxDepth. nullopt for well-formed text. Never fails.
    std::optional<KeyValuesFault> parseReportingFault(const std::string& text);
    // Reads the file (UTF-8 name) whole through BinaryInputStream and parses it; lets
    // BinaryStreamException through when the file cannot be opened.
    void parseFile(const std::string& fileName);

    // The three lookups lowercase `key` (A-Z) first.
    bool has(const std::string& key) const;
    KeyValues child(const std::string& key) const;    // a copy, or an empty node
    std::string value(const std::string& key) const;  // a copy, or ""

    const std::map<std::string, std::string>& values() const { return values_; }
    const std::map<std::string, KeyValues>& children() const { return children_; }
    // Every value and block in the order read, repeated keys included.
    const std::vector<Entry>& entries() const { return entries_; }
    // Every value entry as the text holds it: keys in their own case, in the order read,
    // repeated keys included (a game's binding file means its entries in that order).
    std::vector<std::pair<std::string, std::string>> entriesInOrder() const;

    static constexpr int kMaxDepth = 64;

private:
    struct Reading;

    // Reads text[begin, end) at nesting `depth`; `reading` knows for each opening brace the
    // brace that closes it, so each byte is visited once per read.
    void parseRange(const Reading& reading, std::size_t begin, std::size_t end, int depth);

    std::map<std::string, std::string> values_;
    std::map<std::string, KeyValues> children_;
    std::vector<Entry> entries_;
};

}  // namespace lumo::util
