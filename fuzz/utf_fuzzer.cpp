// The UTF codec: every text that converts comes back unchanged, and a conversion fails
// exactly when the input is malformed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/utf.h"

using lumo::util::fromUtf8;
using lumo::util::toUtf8;

namespace {

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Whether `units` holds a surrogate without its partner.
bool hasLoneSurrogate(const std::u16string& units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (isSurrogate(unit)) {
            return true;
        }
    }
    return false;
}

bool isWellFormed(const std::wstring& wide) {
    if constexpr (sizeof(wchar_t) == 2) {
        return !hasLoneSurrogate(std::u16string(wide.begin(), wide.end()));
    } else {
        for (const wchar_t unit : wide) {
            const auto c = static_cast<char32_t>(unit);
            if (c > 0x10FFFF || isSurrogate(c)) return false;
        }
        return true;
    }
}

std::u16string utf16Of(const std::wstring& wide) {
    std::u16string units;
    for (const wchar_t unit : wide) {
        auto c = static_cast<char32_t>(unit);
        if (sizeof(wchar_t) == 4 && c >= 0x10000) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}

void checkUtf8(const std::string& bytes) {
    const std::wstring wide = fromUtf8(bytes);
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(isWellFormed(wide));
    if (!wide.empty()) FUZZ_CHECK(toUtf8(wide) == bytes);
}

void checkWide(const std::wstring& wide) {
    const std::string utf8 = toUtf8(wide);
    const bool wellFormed = isWellFormed(wide);
    FUZZ_CHECK(utf8.empty() == (wide.empty() || !wellFormed));
    if (wellFormed) FUZZ_CHECK(fromUtf8(utf8) == wide);
}

void checkUtf16(const std::u16string& units) {
    const std::string utf8 = toUtf8(units.c_str());
    const bool wellFormed = !hasLoneSurrogate(units);
    FUZZ_CHECK(utf8.empty() == (units.empty() || !wellFormed));
    if (wellFormed) FUZZ_CHECK(utf16Of(fromUtf8(utf8)) == units);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    checkUtf8(bytes);

    std::wstring wide(size / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), data, wide.size() * sizeof(wchar_t));
    checkWide(wide);

    // Little-endian units up to the first NUL, as the char16_t overload reads them.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        units += unit;
    }
    checkUtf16(units);
    return 0;
}
