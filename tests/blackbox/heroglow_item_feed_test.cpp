// The item feed download at start-up, against a loopback HTTP server standing in for the
// publisher's web site.
#include <chrono>

#include <gtest/gtest.h>

#include "program_run.h"
#include "http_server.h"

namespace lumo::test {
namespace {

constexpr const char* kFeedTarget = "/jsfeed/heropediadata?feeds=itemdata";
constexpr const char* kStartOfOutput = "Could not install the integration config file \n";
constexpr const char* kListening = "Server connected\n\n";
const std::string kCatalogue = R"({"itemdata":{"blink":{"id":1,"dname":"Blink Dagger","cd":15}}})";

// heroglow with its item feed at `url`.
ProgramSetup feedAt(const std::string& url) {
    return heroglowSetup({.environment = {{"HEROGLOW_ITEM_FEED_URL", url}}});
}

// The cause the run wrote on standard error for the feed at `url`, or "" without such a line.
std::string feedProblem(const ProgramRun& run, const std::string& url) {
    const std::string errors = run.errors();
    const std::string start = "heroglow: the item feed " + url + " failed: ";
    const std::size_t at = errors.find(start);
    if (at == std::string::npos) return "";
    const std::size_t end = errors.find('\n', at);
    return errors.substr(at + start.size(), end == std::string::npos ? end : end - at - start.size());
}

TEST(HeroglowItemFeed, OutcomesOfTheDownload) {
    struct Case {
        const char* name;
        std::map<std::string, HttpResponse> routes;
        std::string printed;  // between the start-up messages and "Server connected"
        std::vector<std::string> requests;
        std::string why;  // how the cause on standard error starts; "" for none
    };
    const Case cases[] = {
        {"catalogue", {{kFeedTarget, {.body = kCatalogue}}}, "", {kFeedTarget}, ""},
        {"HTML page instead of JSON",
         {{kFeedTarget, {.contentType = "text/html", .body = "<html><body>Moved</body></html>"}}},
         "Bad JSON received",
         {kFeedTarget},
         "the answer is not JSON: [json.exception.parse_error.101]"},
        {"error status with a page",
         {},
         "Bad JSON received",
         {kFeedTarget},
         "the server answered HTTP 404; the answer is not JSON: [json.exception.parse_error"},
        {"empty answer",
         {{kFeedTarget, {.body = ""}}},
         "Bad JSON received",
         {kFeedTarget},
         "the answer is not JSON: [json.exception.parse_error"},
        {"redirect followed",
         {{kFeedTarget, {.status = 302, .contentType = "text/html", .location = "/moved/itemdata.json"}},
          {"/moved/itemdata.json", {.body = kCatalogue}}},
         "",
         {kFeedTarget, "/moved/itemdata.json"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackHttpServer server(c.routes);
        ProgramRun run(feedAt(server.url(kFeedTarget)));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_EQ(run.output(), kStartOfOutput + c.printed + kListening);
        EXPECT_EQ(server.requests(), c.requests);
        const std::string why = feedProblem(run, server.url(kFeedTarget));
        EXPECT_EQ(why.substr(0, c.why.size()), c.why) << run.errors();
        EXPECT_EQ(why.empty(), c.why.empty()) << run.errors();
    }
}

TEST(HeroglowItemFeed, UnreachableFeedIsReportedAndStartUpGoesOn) {
    const std::string url = "http://127.0.0.1:" + std::to_string(unusedLoopbackPort()) + kFeedTarget;
    ProgramRun run(feedAt(url));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_EQ(run.output(), std::string(kStartOfOutput) + "curl_easy_perform() failed: 7\n" + kListening);
    // libcurl's own words name the refused connection.
    EXPECT_NE(feedProblem(run, url).find("connect"), std::string::npos) << run.errors();
}

// A server that takes the request and never answers must not hold start-up for ever.
TEST(HeroglowItemFeed, SilentFeedTimesOut) {
    LoopbackHttpServer server({{kFeedTarget, {.silent = true}}});
    const auto start = std::chrono::steady_clock::now();
    ProgramRun run(feedAt(server.url(kFeedTarget)));
    ASSERT_TRUE(run.waitForOutput(kListening, 30s));
    const auto waited = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(run.output(), std::string(kStartOfOutput) + "curl_easy_perform() failed: 28\n" + kListening);
    EXPECT_GE(waited, 14s);
    EXPECT_LT(waited, 25s);
    EXPECT_EQ(server.requests(), std::vector<std::string>{kFeedTarget});
}

}  // namespace
}  // namespace lumo::test
