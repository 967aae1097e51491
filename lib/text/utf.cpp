#include "text/utf.h"

#include <string_view>

namespace lumo::util {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-16 code point starting at `i` and advances past it. False on a lone or
// reversed surrogate.
template <typename Unit>
bool nextUtf16(const Unit* units, std::size_t size, std::size_t& i, char32_t& c) {
    char32_t first = static_cast<char16_t>(units[i++]);
    if (!isSurrogate(first)) {
        c = first;
        return true;
    }
    if (!isHighSurrogate(first) || i == size) return false;
    char32_t second = static_cast<char16_t>(units[i]);
    if (!isLowSurrogate(second)) return false;
    ++i;
    c = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    return true;
}

template <typename Unit>
std::string utf16ToUtf8(const Unit* units, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size;) {
        char32_t c;
        if (!nextUtf16(units, size, i, c)) return {};
        appendUtf8(out, c);
    }
    return out;
}

// Decodes one UTF-8 sequence starting at `i` and advances past it. Rejects stray
// continuation bytes, truncated and overlong sequences, surrogates and values past U+10FFFF.
bool nextUtf8(std::string_view text, std::size_t& i, char32_t& c) {
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        c = lead;
        return true;
    }
    std::size_t extra;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, minimum = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, minimum = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, minimum = 0x10000, c = lead & 0x07;
    } else {
        return false;  // continuation byte, C0/C1 (always overlong) or F5..FF
    }
    if (text.size() - i < extra) return false;
    for (std::size_t k = 0; k < extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i++]);
        if ((next & 0xC0) != 0x80) return false;
        c = (c << 6) | (next & 0x3F);
    }
    return c >= minimum && c <= kMaxCodePoint && !isSurrogate(c);
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    if constexpr (sizeof(wchar_t) == 2) {
        return utf16ToUtf8(text.data(), text.size());
    } else {
        std::string out;
        out.reserve(text.size());
        for (wchar_t unit : text) {
            char32_t c = static_cast<char32_t>(unit);
            if (c > kMaxCodePoint || isSurrogate(c)) return {};
            appendUtf8(out, c);
        }
        return out;
    }
}

std::string toUtf8(const char16_t* utf16) {
    if (utf16 == nullptr) return {};
    return utf16ToUtf8(utf16, std::char_traits<char16_t>::length(utf16));
}

std::wstring fromUtf8(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        if (!nextUtf8(text, i, c)) return {};
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<wchar_t>(0xD800 + (c >> 10));
                out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
                continue;
            }
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

}  // namespace lumo::util
