// The game-state receiver as the game meets it: heroglow's port 3002, awkward requests,
// and proof through the simulated keyboard's journal of which posts reached the handler.
#include <sys/socket.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "heroglow_run.h"

namespace lumo::test {
namespace {

constexpr std::size_t kReceiveLimit = 10000;
constexpr const char* kBitmapOp = "LumoLedSetLightingFromBitmap";

class HeroglowReceiver : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(run.waitUntilListening()); }

    int bitmaps() const { return countOps(run.journal(), kBitmapOp); }

    // Sends `request` as it is and waits for the program to close the connection.
    void sendRaw(const std::string& request) {
        const int fd = connectTo(kHeroglowPort);
        ASSERT_GE(fd, 0);
        sendAll(fd, request);
        if (request.empty()) ::shutdown(fd, SHUT_WR);  // the peer sees the end at once
        readUntilClosed(fd, 10s);
    }

    HeroglowRun run;
};

// A request whose header and body arrive apart, as a busy game sends them, still lights.
TEST_F(HeroglowReceiver, BodyInSecondSegmentIsHandled) {
    const std::string request = gameStatePost(midGameBody());
    const std::size_t headerEnd = request.find("\r\n\r\n") + 4;
    const int fd = connectTo(kHeroglowPort);
    ASSERT_GE(fd, 0);
    sendAll(fd, request.substr(0, headerEnd));
    std::this_thread::sleep_for(300ms);
    sendAll(fd, request.substr(headerEnd));
    readUntilClosed(fd, 10s);

    EXPECT_EQ(bitmaps(), 1);
    EXPECT_EQ(run.output().find("Bad JSON received"), std::string::npos);
}

TEST_F(HeroglowReceiver, RequestSizeAroundTheReceiveLimit) {
    // A post of exactly `size` bytes; the padding also changes the Content-Length digits,
    // so settle its length by a few corrections.
    const auto postOfSize = [](std::size_t size) {
        std::size_t padding = size - gameStatePost(midGameBody("x")).size() + 1;
        std::string request = gameStatePost(midGameBody(std::string(padding, 'x')));
        while (request.size() != size) {
            padding += size - request.size();  // wraps round correctly when too long
            request = gameStatePost(midGameBody(std::string(padding, 'x')));
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
    const int silent = connectTo(kHeroglowPort);
    ASSERT_GE(silent, 0);
    std::this_thread::sleep_for(100ms);  // let the program take the silent one first

    const auto start = std::chrono::steady_clock::now();
    run.post(midGameBody());
    const auto waited = std::chrono::steady_clock::now() - start;
    readUntilClosed(silent, 1s);

    EXPECT_EQ(bitmaps(), 1);
    EXPECT_GE(waited, 1500ms) << "the silent connection should have been read first";
    EXPECT_LT(waited, 8s);
    EXPECT_FALSE(run.waitForExit(0ms));
}

TEST_F(HeroglowReceiver, ResetConnectionIsReportedAndServingGoesOn) {
    const int fd = connectTo(kHeroglowPort);
    ASSERT_GE(fd, 0);
    resetAndClose(fd);
    EXPECT_TRUE(run.waitForOutput("Server, error at recv() ", 5s));

    run.post(midGameBody());
    EXPECT_EQ(bitmaps(), 1);
    EXPECT_FALSE(run.waitForExit(0ms));
}

}  // namespace
}  // namespace lumo::test
