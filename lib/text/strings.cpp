#include "text/strings.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace lumo::util {

bool isNumber(const std::string& text) {
    if (text.empty()) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    if (std::isspace(first) || std::isalpha(first)) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    std::strtod(begin, &end);
    // An embedded NUL stops strtod early, so such a text fails here as it should.
    return end == begin + text.size();
}

std::string replaceAll(std::string text, const char* from, const char* to) {
    const std::string_view needle(from);
    const std::string_view replacement(to);
    std::size_t pos = 0;
    while ((pos = text.find(needle, pos)) != std::string::npos) {
        text.replace(pos, needle.size(), replacement);
        pos += replacement.size();
    }
    return text;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace lumo::util
