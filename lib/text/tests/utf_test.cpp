#include "text/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::util {
namespace {

TEST(Utf, ValidTextRoundTrips) {
    // Wide literals are UTF-16 or UTF-32 as the platform's wchar_t is.
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"steamapps", L"steamapps"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"\x7F", L"\u007F"},
        {"\xC2\x80", L"\u0080"},
        {"M\xC3\xBCller", L"M\u00FCller"},
        {"\xDF\xBF", L"\u07FF"},
        {"\xE0\xA0\x80", L"\u0800"},
        {"\xE2\x82\xAC", L"\u20AC"},
        {"\xED\x9F\xBF", L"\uD7FF"},
        {"\xEE\x80\x80", L"\uE000"},
        {"\xEF\xBB\xBFtext", L"\uFEFFtext"},  // a byte-order mark is an ordinary character
        {"\xEF\xBF\xBF", L"\uFFFF"},
        {"\xF0\x90\x80\x80", L"\U00010000"},
        {"x\xF0\x9F\x8E\xAEy", L"x\U0001F3AEy"},
        {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.utf8));
        EXPECT_EQ(fromUtf8(c.utf8), c.wide);
        EXPECT_EQ(toUtf8(c.wide), c.utf8);
    }
}

TEST(Utf, MalformedUtf8GivesEmptyText) {
    const char* cases[] = {
        "\x80",                      // stray continuation byte
        "\xBFsteamapps",             // ... at the start of real text
        "abc\x80",                   // ... after real text
        "\xC3",                      // truncated two-byte sequence
        "a\xE2\x82",                 // truncated three-byte sequence
        "\xF0\x9F\x8E",              // truncated four-byte sequence
        "\xC3(",                     // lead byte without continuation
        "\xE2\x28\xA1",              // broken continuation in the middle
        "\xC0\x80",                  // overlong NUL
        "\xC1\xBF",                  // overlong two-byte
        "\xE0\x80\xAF",              // overlong three-byte '/'
        "\xE0\x9F\xBF",              // overlong U+07FF
        "\xF0\x80\x80\xAF",          // overlong four-byte '/'
        "\xF0\x8F\xBF\xBF",          // overlong U+FFFF
        "\xED\xA0\x80",              // encoded high surrogate
        "\xED\xBF\xBF",              // encoded low surrogate
        "\xED\xA0\xBD\xED\xBE\xAE",  // surrogate pair encoded as two sequences
        "\xF4\x90\x80\x80",          // U+110000
        "\xF5\x80\x80\x80",          // lead byte beyond the range
        "\xFE",
        "\xFF",
    };
    for (const char* bad : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad)));
        EXPECT_EQ(fromUtf8(bad), L"");
    }
}

TEST(Utf, Utf16UnitsUpToTheFirstNul) {
    struct Case {
        std::u16string units;
        std::string utf8;
    };
    const Case cases[] = {
        {u"", ""},
        {u"InstallPath", "InstallPath"},
        {u"C:\\Program Files (x86)\\Steam", "C:\\Program Files (x86)\\Steam"},
        {u"\u00FC\u20AC", "\xC3\xBC\xE2\x82\xAC"},
        {u"\U0001F3AE", "\xF0\x9F\x8E\xAE"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {std::u16string(u"ab\0cd", 5), "ab"},
        // Malformed: lone, reversed or cut-off surrogates fail the whole text.
        {{0xD800}, ""},
        {{0xDC00}, ""},
        {{u'a', 0xDFFF, u'b'}, ""},
        {{0xDC00, 0xD800}, ""},
        {{0xD83C, u'a'}, ""},
        {{u'a', 0xD83C}, ""},
        {{0xD83C, 0xD83C, 0xDFAE}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.utf8));
        EXPECT_EQ(toUtf8(c.units.c_str()), c.utf8);
    }
    EXPECT_EQ(toUtf8(static_cast<const char16_t*>(nullptr)), "");
}

TEST(Utf, MalformedWideTextGivesEmptyText) {
    std::wstring loneHigh = L"ab";
    loneHigh += static_cast<wchar_t>(0xD800);
    std::wstring loneLow = L"";
    loneLow += static_cast<wchar_t>(0xDFFF);
    loneLow += L"ab";
    EXPECT_EQ(toUtf8(loneHigh), "");
    EXPECT_EQ(toUtf8(loneLow), "");

    std::wstring pairUnits;
    pairUnits += static_cast<wchar_t>(0xD83C);
    pairUnits += static_cast<wchar_t>(0xDFAE);
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(toUtf8(pairUnits), "\xF0\x9F\x8E\xAE");
    } else {
        // As UTF-32 these are two surrogate code points, not a pair.
        EXPECT_EQ(toUtf8(pairUnits), "");
        std::wstring beyond = L"a";
        beyond += static_cast<wchar_t>(0x110000);
        EXPECT_EQ(toUtf8(beyond), "");
    }
}

}  // namespace
}  // namespace lumo::util
