#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// How much of an HTTP request the receiver waits for before handing it over. Only the
// header block is looked at; the body is never parsed here.

namespace lumo::gamestate {

// The value of the first "Content-Length" header line in `headerBlock` (the text before the
// blank line; the request line is skipped). The name is matched without regard to case and
// blanks around the value are ignored. nullopt when there is no such line or its value is not
// a plain decimal number; values too large for 64 bits come back as the largest one.
std::optional<std::uint64_t> declaredContentLength(std::string_view headerBlock);

// The size of the whole request judged from the bytes received so far: nullopt while the
// header block has not ended ("\r\n\r\n" not yet seen); otherwise the header block, the blank
// line and the declared body, or just the header part without a usable Content-Length.
// Never more than `limit`.
std::optional<std::size_t> expectedRequestSize(std::string_view received, std::size_t limit);

}  // namespace lumo::gamestate
