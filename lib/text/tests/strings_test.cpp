#include "text/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace lumo::util {
namespace {

TEST(IsNumber, AcceptsWhatStrtodConsumesWhole) {
    const struct {
        std::string text;
        bool expected;
    } cases[] = {
        {"570", true},
        {"730", true},
        {"-5", true},
        {"1.5", true},
        {"1e3", true},
        {"", false},
        {" 570", false},
        {"570 ", false},
        {"\t570", false},
        {"abc", false},
        {"570abc", false},
        {"nan", false},
        {"inf", false},
        {"-", false},
        {".", false},
        {std::string("57\0"
                     "0",
                     4),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(isNumber(c.text), c.expected);
    }
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutRescanning) {
    const struct {
        std::string text;
        const char* from;
        const char* to;
        std::string expected;
    } cases[] = {
        {R"(D:\\SteamLibrary\\steamapps)", R"(\\)", R"(\)", R"(D:\SteamLibrary\steamapps)"},
        {R"(a\\\b)", R"(\\)", R"(\)", R"(a\\b)"},
        {R"(\\\\)", R"(\\)", R"(\)", R"(\\)"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"sub/dir/x", "/", "\\", R"(sub\dir\x)"},
        {"abcabc", "abc", "", ""},
        {"", "x", "y", ""},
        {"nothing here", "zz", "y", "nothing here"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.expected);
    }
}

TEST(SplitLines, EndsOfLineOfEitherSystemAndALastLineWithoutOne) {
    const struct {
        std::string text;
        std::vector<std::string_view> expected;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"\n\n", {"", ""}},
        {"a\rb\r\r\n", {"a\rb\r"}},
        {"\r", {""}},
        {std::string("x\0y\nz", 5), {std::string_view("x\0y", 3), "z"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(splitLines(c.text), c.expected);
    }
}

}  // namespace
}  // namespace lumo::util
