#include "steam/keyvalues.h"

#include <algorithm>

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

std::vector<std::size_t> lineEnds(std::string_view text) {
    std::vector<std::size_t> ends;
    for (std::size_t i = text.find('\n'); i != kNone; i = text.find('\n', i + 1)) ends.push_back(i);
    return ends;
}

}  // namespace

// What one parse shares between the nesting levels.
struct KeyValues::Reading {
    // The earliest fault by position: nested reads finish before the reading after their
    // block goes on, so a later fault may be found first.
    struct Fault {
        std::size_t at = kNone;
        std::string cause;
        int line = 0;
    };

    std::string_view text;
    std::vector<std::size_t> closing;
    std::vector<std::size_t> newlines;
    Fault* fault = nullptr;  // null when nobody asks

    explicit Reading(std::string_view all) : text(all), closing(matchBraces(all)), newlines(lineEnds(all)) {}

    int lineAt(std::size_t pos) const {
        return static_cast<int>(std::lower_bound(newlines.begin(), newlines.end(), pos) - newlines.begin()) + 1;
    }

    // `at` orders the faults; `line` is where the player is sent (the end of the text for a
    // block that never closes).
    void report(std::size_t at, std::string cause, std::size_t linePos) const {
        if (fault == nullptr || at >= fault->at) return;
        fault->at = at;
        fault->cause = std::move(cause);
        fault->line = lineAt(linePos);
    }
};

void KeyValues::parse(const std::string& text) {
    const Reading reading(text);
    parseRange(reading, 0, text.size(), 0);
}

std::optional<KeyValuesFault> KeyValues::parseReportingFault(const std::string& text) {
    Reading reading(text);
    Reading::Fault fault;
    reading.fault = &fault;
    parseRange(reading, 0, text.size(), 0);
    if (fault.at == kNone) return std::nullopt;
    return KeyValuesFault{fault.line, fault.cause};
}

void KeyValues::parseRange(const Reading& reading, std::size_t begin, std::size_t end, int depth) {
    const std::string_view text = reading.text;
    std::string pendingKey;
    std::size_t keyAt = 0;
    std::size_t pos = begin;
    while (pos < end) {
        const char c = text[pos];
        if (c == '"') {
            const std::size_t quote = text.find('"', pos + 1);
            if (quote == kNone || quote >= end) {
                reading.report(pos, "a quoted text is never closed", pos);
                return;  // unfinished string
            }
            const std::string_view str = text.substr(pos + 1, quote - pos - 1);
            if (!pendingKey.empty()) {
                values_[lowercaseAscii(pendingKey)] = std::string(str);
                entries_.push_back({std::move(pendingKey), std::string(str), false, reading.lineAt(keyAt)});
                pendingKey.clear();
            } else {
                pendingKey = str;
                keyAt = pos;
            }
            pos = quote + 1;
        } else if (c == '{') {
            if (pendingKey.empty()) {
                reading.report(pos, "a { where a key belongs", pos);
                return;
            }
            const std::size_t close = reading.closing[pos];
            if (close == kNone || close >= end) {
                reading.report(pos, "a block opened on line " + std::to_string(reading.lineAt(pos)) + " is never closed",
                               text.size());
                return;  // unfinished block
            }
            if (depth < kMaxDepth) {
                KeyValues block;
                block.parseRange(reading, pos + 1, close, depth + 1);
                children_[lowercaseAscii(pendingKey)] = std::move(block);
                entries_.push_back({std::move(pendingKey), {}, true, reading.lineAt(keyAt)});
            } else {
                reading.report(pos, "blocks nested deeper than " + std::to_string(kMaxDepth), pos);
            }
            pendingKey.clear();
            pos = close + 1;
        } else {
            // Inside a block every closing brace belongs to a block; here it closes nothing.
            if (c == '}') reading.report(pos, "a closing } without an opening {", pos);
            ++pos;
        }
    }
    if (!pendingKey.empty()) reading.report(end, "missing { or a value after \"" + pendingKey + "\"", end);
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

std::vector<std::pair<std::string, std::string>> KeyValues::entriesInOrder() const {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const Entry& entry : entries_) {
        if (!entry.block) pairs.emplace_back(entry.key, entry.value);
    }
    return pairs;
}

}  // namespace lumo::util
