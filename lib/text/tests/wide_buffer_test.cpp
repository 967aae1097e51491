#include "text/wide_buffer.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "text/utf.h"

namespace lumo::util {
namespace {

TEST(CopyToWideBuffer, CutsToFitTerminatesAndKeepsSurrogatePairsWhole) {
    constexpr int kWide = sizeof(wchar_t);
    // "a" followed by U+1F3AE: one character on UTF-32 systems, a surrogate pair on Windows.
    const std::wstring game = fromUtf8("a\xF0\x9F\x8E\xAE");
    const struct {
        const char* name;
        std::wstring text;
        int bytes;
        std::wstring written;
    } cases[] = {
        {"fits", L"SPACE", 8 * kWide, L"SPACE"},
        {"exactly fits with the terminator", L"SPACE", 6 * kWide, L"SPACE"},
        {"cut", L"SPACE", 3 * kWide, L"SP"},
        {"room for the terminator only", L"Q", kWide, L""},
        {"odd byte count rounds down", L"QW", 2 * kWide + 1, L"Q"},
        {"pair cut after its first half", game, 3 * kWide, kWide == 2 ? std::wstring(L"a") : game},
        {"pair whole", game, 4 * kWide, game},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<wchar_t, 16> buffer;
        buffer.fill(L'#');
        EXPECT_EQ(copyToWideBuffer(c.text, buffer.data(), c.bytes), c.written.size());
        EXPECT_EQ(std::wstring(buffer.data()), c.written);
        EXPECT_EQ(buffer[static_cast<std::size_t>(c.bytes / kWide)], L'#') << "nothing past the buffer";
    }
    std::array<wchar_t, 4> untouched{L'#', L'#', L'#', L'#'};
    EXPECT_EQ(copyToWideBuffer(L"Q", untouched.data(), kWide - 1), 0u);
    EXPECT_EQ(copyToWideBuffer(L"Q", untouched.data(), -4), 0u);
    EXPECT_EQ(untouched[0], L'#');
    EXPECT_EQ(copyToWideBuffer(L"Q", nullptr, 4 * kWide), 0u);
}

}  // namespace
}  // namespace lumo::util
