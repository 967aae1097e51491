// Request framing: the size the receiver waits for follows from the header block alone (so
// a request split anywhere after it frames the same), stays within the limit and covers the
// declared body; the widened text keeps every byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "gamestate/request_framing.h"
#include "gamestate/request_text.h"

using lumo::gamestate::declaredContentLength;
using lumo::gamestate::expectedRequestSize;

namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";

void checkFraming(std::string_view received, std::size_t limit, std::size_t cut) {
    const auto expected = expectedRequestSize(received, limit);
    const std::size_t headerEnd = received.find(kHeaderEnd);
    FUZZ_CHECK(expected.has_value() == (headerEnd != std::string_view::npos));
    if (!expected) return;
    FUZZ_CHECK(*expected <= limit);

    const std::size_t headerSize = headerEnd + kHeaderEnd.size();
    if (headerSize < limit) {
        const auto body = declaredContentLength(received.substr(0, headerEnd));
        const std::uint64_t room = limit - headerSize;
        FUZZ_CHECK(*expected == headerSize + (body ? static_cast<std::size_t>(std::min(*body, room)) : 0));
    } else {
        FUZZ_CHECK(*expected == limit);
    }
    if (cut >= headerSize) FUZZ_CHECK(expectedRequestSize(received.substr(0, cut), limit) == expected);
}

// A declared length is written in the header, digits after leading zeros; one too large for 64
// bits saturates.
void checkContentLength(std::string_view headerBlock) {
    const auto length = declaredContentLength(headerBlock);
    if (!length || *length == std::numeric_limits<std::uint64_t>::max()) return;
    FUZZ_CHECK(headerBlock.find(std::to_string(*length)) != std::string_view::npos);
}

void checkWidening(const std::string& text) {
    const std::wstring wide = lumo::gamestate::widenRequestText(text.c_str());
    FUZZ_CHECK(wide.size() == std::strlen(text.c_str()));
    for (std::size_t i = 0; i < wide.size(); ++i)
        FUZZ_CHECK(wide[i] == static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string_view received(text);
    // Where a second read would have split it, taken from the input's first byte.
    const std::size_t cut = size == 0 ? 0 : size * data[0] / 255;
    checkFraming(received, 10000, cut);  // the receiver's limit
    checkFraming(received, size / 2 + 1, cut);
    checkContentLength(received.substr(0, received.find(kHeaderEnd)));
    checkWidening(text);
    return 0;
}
