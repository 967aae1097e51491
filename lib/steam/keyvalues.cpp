#include "steam/keyvalues.h"

#include "text/ascii.h"
#include "io/binary_stream.h"

namespace lumo::util {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// A block ends at the first closing brace that balances its opening brace, quotes or not.
// That brace depends only on the bytes after the opening one, so one stack pass over the
// whole text answers it for every block at every depth.
std::vector<std::size_t> matchBraces(std::string_view text) {
    std::vector<std::size_t> closing(text.size(), kNone);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            open.push_back(i);
        } else if (text[i] == '}' && !open.empty()) {
            closing[open.back()] = i;
            open.pop_back();
        }
    }
    return closing;
}

}  // namespace

void KeyValues::parse(const std::string& text) { parseRange(text, matchBraces(text), 0, text.size(), 0); }

void KeyValues::parseRange(std::string_view text, const std::vector<std::size_t>& closing, std::size_t begin,
                           std::size_t end, int depth) {
    std::string pendingKey;
    std::size_t pos = begin;
    while (pos < end) {
        const char c = text[pos];
        if (c == '"') {
            const std::size_t quote = text.find('"', pos + 1);
            if (quote == kNone || quote >= end) return;  // unfinished string
            const std::string_view str = text.substr(pos + 1, quote - pos - 1);
            if (!pendingKey.empty()) {
                values_[lowercaseAscii(pendingKey)] = std::string(str);
                entries_.emplace_back(std::move(pendingKey), std::string(str));
                pendingKey.clear();
            } else {
                pendingKey = str;
            }
            pos = quote + 1;
        } else if (c == '{') {
            if (pendingKey.empty()) return;
            const std::size_t close = closing[pos];
            if (close == kNone || close >= end) return;  // unfinished block
            if (depth < kMaxDepth) {
                KeyValues block;
                block.parseRange(text, closing, pos + 1, close, depth + 1);
                children_[lowercaseAscii(pendingKey)] = std::move(block);
            }
            pendingKey.clear();
            pos = close + 1;
        } else {
            ++pos;
        }
    }
}

void KeyValues::parseFile(const std::string& fileName) {
    BinaryInputStream stream(fileName);
    stream.open();
    std::string content;
    stream.read(content);
    parse(content);
}

bool KeyValues::has(const std::string& key) const {
    const std::string lower = lowercaseAscii(key);
    return values_.count(lower) != 0 || children_.count(lower) != 0;
}

KeyValues KeyValues::child(const std::string& key) const {
    const auto it = children_.find(lowercaseAscii(key));
    return it == children_.end() ? KeyValues() : it->second;
}

std::string KeyValues::value(const std::string& key) const {
    const auto it = values_.find(lowercaseAscii(key));
    return it == values_.end() ? std::string() : it->second;
}

}  // namespace lumo::util
