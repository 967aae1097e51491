#pragma once

#include <string>

namespace lumo::util {

// Wide text is wchar_t text: UTF-16 where wchar_t has 16 bits (Windows), UTF-32 elsewhere.
// Every conversion fails as a whole on malformed input (truncated or overlong UTF-8, lone
// surrogates, code points above U+10FFFF) and then returns an empty result; none throws.

std::string toUtf8(const std::wstring& text);

// UTF-16 units up to the first NUL, on every platform.
std::string toUtf8(const char16_t* utf16);

std::wstring fromUtf8(const std::string& text);

}  // namespace lumo::util
