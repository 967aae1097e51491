#include "text/wide_buffer.h"

#include <algorithm>

namespace lumo::util {

std::size_t copyToWideBuffer(std::wstring_view text, wchar_t* buffer, int bufferBytes) {
    const std::size_t capacity =
        bufferBytes > 0 ? static_cast<std::size_t>(bufferBytes) / sizeof(wchar_t) : 0;
    if (buffer == nullptr || capacity == 0) return 0;
    std::size_t length = std::min(text.size(), capacity - 1);
    // With UTF-16 a cut between the halves of a surrogate pair would leave half a character.
    if (sizeof(wchar_t) == 2 && length > 0 && length < text.size() && text[length - 1] >= 0xD800 &&
        text[length - 1] <= 0xDBFF)
        --length;
    text.copy(buffer, length);
    buffer[length] = L'\0';
    return length;
}

}  // namespace lumo::util
