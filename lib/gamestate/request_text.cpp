#include "gamestate/request_text.h"

#include <cstring>

namespace lumo::gamestate {

std::wstring widenRequestText(const char* text) {
    if (text == nullptr) return {};
    // glibc's "C" locale rejects bytes above 0x7F, so the runtime's mbstowcs cannot be used.
    const std::size_t length = std::strlen(text);
    std::wstring wide(length, L'\0');
    for (std::size_t i = 0; i < length; ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    return wide;
}

}  // namespace lumo::gamestate
