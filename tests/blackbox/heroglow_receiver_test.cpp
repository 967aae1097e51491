// The game-state receiver as the game meets it: heroglow's port 3002, awkward requests,
// and proof through the simulated keyboard's journal of which posts reached the handler.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

constexpr std::size_t kReceiveLimit = 10000;
constexpr const char* kBitmapOp = "LumoLedSetLightingFromBitmap";

std::string dotaPost(const std::string& body) { return gameStatePost(body, kDotaAppId, kHeroglowPort); }

class HeroglowReceiver : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(run.waitUntilListening()); }

    int bitmaps() const { return countOps(run.journal(), kBitmapOp); }

    // Sends `request` as it is and waits for the program to close the connection.
    void sendRaw(const std::string& request) {
        LoopbackClient client(kHeroglowPort);
        ASSERT_TRUE(client.connected());
        client.send(request);
        if (request.empty()) client.finishSending();  // the peer sees the end at once
        client.readUntilClosed(10s);
    }

    ProgramRun run{heroglowSetup()};
};

// A request whose header and body arrive apart, as a busy game sends them, still lights.
TEST_F(HeroglowReceiver, BodyInSecondSegmentIsHandled) {
    const std::string request = dotaPost(midGameBody());
    const std::size_t headerEnd = request.find("\r\n\r\n") + 4;
    LoopbackClient client(kHeroglowPort);
    ASSERT_TRUE(client.connected());
    client.send(request.substr(0, headerEnd));
    std::this_thread::sleep_for(300ms);
    client.send(request.substr(headerEnd));
    client.readUntilClosed(10s);

    EXPECT_EQ(bitmaps(), 1);
    EXPECT_EQ(run.output().find("Bad JSON received"), std::string::npos);
}

TEST_F(HeroglowReceiver, RequestSizeAroundTheReceiveLimit) {
    // A post of exactly `size` bytes; the padding also changes the Content-Length digits,
    // so settle its length by a few corrections.
    const auto postOfSize = [](std::size_t size) {
        std::size_t padding = size - dotaPost(midGameBody("x")).size() + 1;
        std::string request = dotaPost(midGameBody(std::string(padding, 'x')));
        while (request.size() != size) {
            padding += size - request.size();  // wraps round correctly when too long
            request = dotaPost(midGameBody(std::string(padding, 'x')));
        }
        return request;
    };
    struct Case {
        const char* name;
        std::size_t requestSize;
        bool handled;
    };
    const Case cases[] = {
        {"exactly the limit", kReceiveLimit, true},
        {"one byte over the limit", kReceiveLimit + 1, false},
        {"far over the limit", 3 * kReceiveLimit, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string request = postOfSize(c.requestSize);
        const int before = bitmaps();
        const std::size_t outputBefore = run.output().size();

        sendRaw(request);

        EXPECT_EQ(bitmaps() - before, c.handled ? 1 : 0);
        const std::string printed = run.output().substr(outputBefore);
        EXPECT_EQ(printed, c.handled ? "" : "Bad JSON received");
    }
}

TEST_F(HeroglowReceiver, RequestsWithoutJsonAreIgnoredSilently) {
    const std::string requests[] = {
        "POST / HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 5\r\n\r\nhello",
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:3002\r\n\r\n",
        "",  // connects and closes without a byte
    };
    for (const std::string& request : requests) {
        SCOPED_TRACE(request);
        sendRaw(request);
    }
    run.post(midGameBody());
    EXPECT_EQ(run.output(),
              "Could not install the integration config file \ncurl_easy_perform() failed: 7\nServer "
              "connected\n\n");
    EXPECT_EQ(bitmaps(), 1) << "only the last post carries JSON";
}

// A connection that never sends holds the receiver for its read time-out, not for ever.
TEST_F(HeroglowReceiver, SilentConnectionDelaysTheNextPostOnly) {
    LoopbackClient silent(kHeroglowPort);
    ASSERT_TRUE(silent.connected());
    std::this_thread::sleep_for(100ms);  // let the program take the silent one first

    const auto start = std::chrono::steady_clock::now();
    run.post(midGameBody());
    const auto waited = std::chrono::steady_clock::now() - start;
    silent.readUntilClosed(1s);

    EXPECT_EQ(bitmaps(), 1);
    EXPECT_GE(waited, 1500ms) << "the silent connection should have been read first";
    EXPECT_LT(waited, 8s);
    EXPECT_FALSE(run.waitForExit(0ms));
}

TEST_F(HeroglowReceiver, ResetConnectionIsReportedAndServingGoesOn) {
    if (!resetReachesThePeer()) GTEST_SKIP() << "no abortive close here";
    LoopbackClient faulty(kHeroglowPort);
    ASSERT_TRUE(faulty.connected());
    faulty.resetAndClose();
    EXPECT_TRUE(run.waitForOutput("Server, error at recv() ", 5s));

    run.post(midGameBody());
    EXPECT_EQ(bitmaps(), 1);
    EXPECT_FALSE(run.waitForExit(0ms));
}

}  // namespace
}  // namespace lumo::test
