#pragma once

#include <cstddef>
#include <string_view>

namespace lumo::util {

// Copies `text` into a caller's buffer of `bufferBytes` bytes, as the SDK hands text back: cut
// to fit with its terminator, never between the halves of a UTF-16 surrogate pair, and
// terminated. Returns the characters written before the terminator. Writes nothing (and
// returns 0) when `buffer` is null or holds less than one character.
std::size_t copyToWideBuffer(std::wstring_view text, wchar_t* buffer, int bufferBytes);

}  // namespace lumo::util
