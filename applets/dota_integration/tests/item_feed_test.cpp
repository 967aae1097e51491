// fetchItemData in-process: its results, messages and the text it keeps.
#include <gtest/gtest.h>

#include "environment.h"
#include "http_server.h"
#include "dota_integration/item_feed.h"
#include "loopback.h"

namespace lumo::test {
namespace {

constexpr const char* kVariable = "HEROGLOW_ITEM_FEED_URL";

TEST(ItemFeedAddress, VariableReplacesTheBuiltInAddressWhenSet) {
    const std::string builtIn = "http://www.dota2.com/jsfeed/heropediadata?feeds=itemdata";
    {
        const ScopedUnsetEnvironment unset(kVariable);
        EXPECT_EQ(itemFeedAddress(), builtIn);
    }
    {
        const ScopedEnvironment empty(kVariable, "");
        EXPECT_EQ(itemFeedAddress(), builtIn) << "an empty value counts as unset";
    }
    const ScopedEnvironment set(kVariable, "http://127.0.0.1:8080/items.json");
    EXPECT_EQ(itemFeedAddress(), "http://127.0.0.1:8080/items.json");
}

TEST(ItemFeed, AppendToTextRefusesAMissingText) {
    char data[] = "abcdef";
    EXPECT_EQ(appendToText(data, 2, 3, nullptr), 0u);
    std::string text = "x";
    EXPECT_EQ(appendToText(data, 2, 3, &text), 6u);
    EXPECT_EQ(text, "xabcdef");
}

TEST(ItemFeed, ResultMessageAndKeptText) {
    const std::string catalogue = R"({"itemdata":{"blink":{"id":1}}})";
    LoopbackHttpServer server({
        {"/ok", {.body = catalogue}},
        {"/html", {.contentType = "text/html", .body = "<html></html>"}},
        {"/comment", {.body = "/* no comments */ {}"}},
    });
    struct Case {
        const char* name;
        std::string url;
        int result;
        std::string printed;
        std::string kept;
    };
    const std::string refused = "http://127.0.0.1:" + std::to_string(unusedLoopbackPort()) + "/";
    const Case cases[] = {
        {"catalogue", server.url("/ok"), 0, "", catalogue},
        {"HTML page", server.url("/html"), -1, "Bad JSON received", "<html></html>"},
        {"JSON with a comment", server.url("/comment"), -1, "Bad JSON received", "/* no comments */ {}"},
        {"connection refused", refused, 0, "curl_easy_perform() failed: 7\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedEnvironment feed(kVariable, c.url);
        itemDataText.clear();
        testing::internal::CaptureStdout();
        const int result = fetchItemData();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(itemDataText, c.kept);
    }
}

}  // namespace
}  // namespace lumo::test
