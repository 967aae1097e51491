#include "gamestate/request_framing.h"

#include <algorithm>
#include <limits>

#include "text/ascii.h"

namespace lumo::gamestate {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";

std::optional<std::uint64_t> parseDecimal(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

}  // namespace

std::optional<std::uint64_t> declaredContentLength(std::string_view headerBlock) {
    // The first line is the request line, never a header.
    std::size_t lineStart = headerBlock.find(kLineEnd);
    while (lineStart != std::string_view::npos) {
        lineStart += kLineEnd.size();
        const std::size_t lineEnd = headerBlock.find(kLineEnd, lineStart);
        const std::string_view line = headerBlock.substr(
            lineStart, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos &&
            lumo::util::equalsIgnoringAsciiCase(lumo::util::trimBlanks(line.substr(0, colon)),
                                                "content-length"))
            return parseDecimal(lumo::util::trimBlanks(line.substr(colon + 1)));
        lineStart = lineEnd;
    }
    return std::nullopt;
}

std::optional<std::size_t> expectedRequestSize(std::string_view received, std::size_t limit) {
    const std::size_t headerEnd = received.find(kHeaderEnd);
    if (headerEnd == std::string_view::npos) return std::nullopt;
    const std::size_t headerSize = headerEnd + kHeaderEnd.size();
    const std::optional<std::uint64_t> body = declaredContentLength(received.substr(0, headerEnd));
    if (!body || headerSize >= limit) return std::min(headerSize, limit);
    return static_cast<std::size_t>(std::min<std::uint64_t>(*body, limit - headerSize)) + headerSize;
}

}  // namespace lumo::gamestate
