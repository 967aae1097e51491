#include "gamestate/request_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::gamestate {

namespace {

TEST(WidenRequestText, EachByteBecomesOneCharacterOfTheSameValue) {
    struct Case {
        const char* name;
        std::string text;
        std::wstring expected;
    };
    const Case cases[] = {
        {"empty", "", L""},
        {"ASCII", "{\"map\":1}", L"{\"map\":1}"},
        {"Latin-1 byte", "caf\xE9", std::wstring{L'c', L'a', L'f', wchar_t(0xE9)}},
        {"lowest and highest high bytes", "\x80\xFF", std::wstring{wchar_t(0x80), wchar_t(0xFF)}},
        {"UTF-8 is not decoded", "\xC3\xA9", std::wstring{wchar_t(0xC3), wchar_t(0xA9)}},
        {"control bytes", "a\r\n\t", L"a\r\n\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(widenRequestText(c.text.c_str()), c.expected);
    }
}

TEST(WidenRequestText, StopsAtTheTerminator) {
    const char text[] = {'{', '}', '\0', 'x', '\0'};
    EXPECT_EQ(widenRequestText(text), L"{}");
}

TEST(WidenRequestText, NullGivesEmpty) { EXPECT_EQ(widenRequestText(nullptr), L""); }

}  // namespace

}  // namespace lumo::gamestate
