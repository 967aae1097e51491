// fetchItemData in-process: its results, messages and the text it keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include <curl/curl.h>

#include "environment.h"
#include "http_server.h"
#include "dota_integration/item_feed.h"
#include "dota_integration/item_feed_internal.h"
#include "loopback.h"

namespace heroglow {
namespace {

using namespace lumo::test;

constexpr const char* kVariable = "HEROGLOW_ITEM_FEED_URL";

// How a redirect to a file: address fails: refused as unsupported, or, by a libcurl built
// without file support (the Windows build's), as malformed.
std::string fileRedirectFailure() {
    bool knowsFiles = false;
    for (const char* const* protocol = curl_version_info(CURLVERSION_NOW)->protocols; *protocol; ++protocol)
        knowsFiles = knowsFiles || std::strcmp(*protocol, "file") == 0;
    return "curl_easy_perform() failed: " +
           std::to_string(knowsFiles ? CURLE_UNSUPPORTED_PROTOCOL : CURLE_URL_MALFORMAT) + "\n";
}

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

TEST(ItemFeed, AppendToTextRefusesAMissingTextAndMoreThan32MiB) {
    char data[] = "abcdef";
    EXPECT_EQ(appendToText(data, 2, 3, nullptr), 0u);
    std::string text = "x";
    EXPECT_EQ(appendToText(data, 2, 3, &text), 6u);
    EXPECT_EQ(text, "xabcdef");
    text.assign((32u << 20) - 6, ' ');
    EXPECT_EQ(appendToText(data, 2, 3, &text), 6u) << "exactly 32 MiB fits";
    EXPECT_EQ(appendToText(data, 1, 1, &text), 0u);
    EXPECT_TRUE(text.empty());
}

TEST(ItemFeed, ResultMessageAndKeptText) {
    const std::string catalogue = R"({"itemdata":{"blink":{"id":1}}})";
    const std::string huge(40u << 20, ' ');
    std::map<std::string, HttpResponse> routes{
        {"/ok", {.body = catalogue}},
        {"/html", {.contentType = "text/html", .body = "<html></html>"}},
        {"/comment", {.body = "/* no comments */ {}"}},
        {"/huge", {.body = huge}},
        {"/huge-unannounced", {.body = huge, .unannounced = true}},
        {"/to-file", {.status = 302, .location = "file:///etc/hostname"}},
        {"/hop10", {.body = catalogue}},
    };
    // /hop0 reaches the catalogue after 10 redirects, /hop5 after 5.
    for (int hop = 0; hop < 10; ++hop)
        routes["/hop" + std::to_string(hop)] = {.status = 302, .location = "/hop" + std::to_string(hop + 1)};
    LoopbackHttpServer ftp({});
    routes["/to-ftp"] = {.status = 302,
                         .location = "ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/items"};
    LoopbackHttpServer server(std::move(routes));
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
        {"40 MiB announced", server.url("/huge"), 0, "curl_easy_perform() failed: 63\n", ""},
        {"40 MiB unannounced", server.url("/huge-unannounced"), 0, "curl_easy_perform() failed: 23\n", ""},
        {"redirect to a file", server.url("/to-file"), 0, fileRedirectFailure(), ""},
        {"redirect to ftp", server.url("/to-ftp"), 0, "curl_easy_perform() failed: 1\n", ""},
        {"5 redirects", server.url("/hop5"), 0, "", catalogue},
        {"10 redirects", server.url("/hop0"), 0, "curl_easy_perform() failed: 47\n", ""},
    };
    for (const Case& c : cases) {
        // The server learns that a download was given up only from the reset of the
        // connection; Wine closes in order instead, and the server's send would block for good.
        const bool huge = c.url == server.url("/huge") || c.url == server.url("/huge-unannounced");
        if (huge && !resetReachesThePeer()) continue;
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
}  // namespace heroglow
