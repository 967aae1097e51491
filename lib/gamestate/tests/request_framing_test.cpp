#include "gamestate/request_framing.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using lumo::gamestate::declaredContentLength;
using lumo::gamestate::expectedRequestSize;

constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max();

TEST(DeclaredContentLength, ReadsTheHeaderLineWhateverItsSpelling) {
    struct Case {
        const char* name;
        std::string headers;
        std::optional<std::uint64_t> expected;
    };
    const Case cases[] = {
        {"usual", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 42", 42},
        {"lower case", "POST / HTTP/1.1\r\ncontent-length: 7\r\nHost: x", 7},
        {"upper case", "POST / HTTP/1.1\r\nCONTENT-LENGTH:0", 0},
        {"blanks around the value", "POST / HTTP/1.1\r\nContent-Length: \t 15 \t", 15},
        {"first of two", "POST / HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 9", 3},
        {"absent", "POST / HTTP/1.1\r\nHost: x\r\nContent-Type: application/json", std::nullopt},
        {"no header lines", "POST / HTTP/1.1", std::nullopt},
        {"request line is not a header", "Content-Length: 5\r\nHost: x", std::nullopt},
        {"longer name", "POST / HTTP/1.1\r\nContent-Length-Extra: 5", std::nullopt},
        {"name inside another", "POST / HTTP/1.1\r\nX-Content-Length: 5", std::nullopt},
        {"no digits", "POST / HTTP/1.1\r\nContent-Length: abc", std::nullopt},
        {"empty value", "POST / HTTP/1.1\r\nContent-Length:", std::nullopt},
        {"digits then junk", "POST / HTTP/1.1\r\nContent-Length: 12x", std::nullopt},
        {"negative", "POST / HTTP/1.1\r\nContent-Length: -5", std::nullopt},
        {"sign", "POST / HTTP/1.1\r\nContent-Length: +5", std::nullopt},
        {"two numbers", "POST / HTTP/1.1\r\nContent-Length: 1 2", std::nullopt},
        {"largest 64-bit value", "POST / HTTP/1.1\r\nContent-Length: 18446744073709551615", kHuge},
        {"beyond 64 bits", "POST / HTTP/1.1\r\nContent-Length: 18446744073709551616", kHuge},
        {"far beyond", "POST / HTTP/1.1\r\nContent-Length: 99999999999999999999999999999999", kHuge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(declaredContentLength(c.headers), c.expected);
    }
}

TEST(ExpectedRequestSize, WaitsForHeadersThenTheDeclaredBody) {
    constexpr std::size_t kLimit = 10000;
    const std::string head = "POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\n";
    const std::string plainHead = "POST / HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::string malformedHead = "POST / HTTP/1.1\r\nContent-Length: ten\r\n\r\n";
    const std::string emptyHead = "POST / HTTP/1.1\r\n\r\n";
    struct Case {
        const char* name;
        std::string received;
        std::optional<std::size_t> expected;
    };
    const Case cases[] = {
        {"nothing yet", "", std::nullopt},
        {"header block cut", "POST / HTTP/1.1\r\nContent-Length: 10\r\n", std::nullopt},
        {"raw JSON without headers", "{\"a\":1}", std::nullopt},
        {"headers only so far", head, head.size() + 10},
        {"body in part", head + "{\"a\":", head.size() + 10},
        {"without Content-Length", plainHead + "{\"a\":1}", plainHead.size()},
        {"malformed Content-Length", malformedHead + "{}", malformedHead.size()},
        {"Content-Length only in the body", emptyHead + "Content-Length: 50\r\n\r\n", emptyHead.size()},
        {"body larger than the limit", "POST / HTTP/1.1\r\nContent-Length: 12000\r\n\r\n", kLimit},
        {"huge Content-Length", "POST / HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n", kLimit},
        {"largest 64-bit value", "POST / HTTP/1.1\r\nContent-Length: 18446744073709551615\r\n\r\n", kLimit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(expectedRequestSize(c.received, kLimit), c.expected);
    }
}

TEST(ExpectedRequestSize, NeverExceedsTheLimit) {
    const std::string request = "POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\n";
    EXPECT_EQ(expectedRequestSize(request, 20), 20u);  // headers alone are past the limit
    EXPECT_EQ(expectedRequestSize(request, request.size() + 2), request.size() + 2);
    EXPECT_EQ(expectedRequestSize(request, request.size() + 5), request.size() + 5);
    EXPECT_EQ(expectedRequestSize(request, request.size() + 6), request.size() + 5);
}

}  // namespace
