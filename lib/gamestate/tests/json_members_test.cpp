#include <climits>
#include <limits>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "gamestate/json_members.h"

namespace {

using namespace lumo::gamestate;

TEST(JsonMembers, NumbersReadAsSaturatedTruncatedInts) {
    const struct {
        const char* json;
        int value;
    } cases[] = {
        {"53", 53},
        {"0.4", 0},
        {"-0.9", 0},
        {"-2.5", -2},
        {"99.99", 99},
        {"-7", -7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"18446744073709551615", INT_MAX},
        {"1e300", INT_MAX},
        {"-1e300", INT_MIN},
        {"4294967346", INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const auto number = nlohmann::json::parse(c.json);
        EXPECT_EQ(numberToInt(number), c.value);
        EXPECT_EQ(intMember(nlohmann::json{{"n", number}}, "n", -99), c.value);
    }
}

TEST(JsonMembers, NonFiniteNumbersStayDefined) {
    // The parser refuses these, but a json value can still hold them.
    EXPECT_EQ(numberToInt(nlohmann::json(std::numeric_limits<double>::infinity())), INT_MAX);
    EXPECT_EQ(numberToInt(nlohmann::json(-std::numeric_limits<double>::infinity())), INT_MIN);
    EXPECT_EQ(numberToInt(nlohmann::json(std::numeric_limits<double>::quiet_NaN())), 0);
}

TEST(JsonMembers, WrongTypesAndMissingMembersTakeTheFallback) {
    const auto object =
        nlohmann::json::parse(R"({"n": "12", "b": 1, "s": 5, "o": {}, "t": true, "x": "dire"})");
    EXPECT_EQ(intMember(object, "n", -1), -1);
    EXPECT_EQ(intMember(object, "t", -1), -1);
    EXPECT_EQ(intMember(object, "missing", 4), 4);
    EXPECT_TRUE(boolMember(object, "b", true));
    EXPECT_FALSE(boolMember(object, "b", false));
    EXPECT_TRUE(boolMember(object, "t", false));
    EXPECT_EQ(stringMember(object, "s", "empty"), "empty");
    EXPECT_EQ(stringMember(object, "x", "empty"), "dire");
    for (const char* notAnObject : {"[1, 2]", "null", "7", "\"map\""}) {
        SCOPED_TRACE(notAnObject);
        const auto value = nlohmann::json::parse(notAnObject);
        EXPECT_EQ(findMember(value, "map"), nullptr);
        EXPECT_EQ(intMember(value, "0", 3), 3);
    }
}

TEST(JsonMembers, AnyNumberReadsAsADouble) {
    const auto object =
        nlohmann::json::parse(R"({"f": 29.9, "i": -3, "u": 18446744073709551615, "s": "30"})");
    EXPECT_EQ(numberMember(object, "f"), 29.9);
    EXPECT_EQ(numberMember(object, "i"), -3.0);
    EXPECT_EQ(numberMember(object, "u"), 18446744073709551615.0);
    EXPECT_EQ(numberMember(object, "s"), std::nullopt);
    EXPECT_EQ(numberMember(object, "missing"), std::nullopt);
    EXPECT_EQ(numberMember(nlohmann::json::array({1}), "0"), std::nullopt);
}

}  // namespace
