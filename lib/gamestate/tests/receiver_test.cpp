#include "gamestate/receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "loopback.h"

namespace lumo::gamestate {

namespace {

using lumo::test::LoopbackClient;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// As Dota 2 posts it; the port in the Host line does not matter to the receiver.
std::string post(const std::string& body) { return lumo::test::gameStatePost(body, "570", 3002); }

std::string postWithoutLength(const std::string& body) {
    return "POST / HTTP/1.1\r\nContent-Type: application/json\r\nHost: 127.0.0.1\r\n\r\n" + body;
}

// What the serving thread reported: waits before accepting and hand-offs, in order.
class ServerLog {
public:
    struct Handoff {
        bool hasJson = false;
        std::string json;
        std::int64_t received = 0;
        Clock::time_point at;
    };

    void beforeAccept() {
        std::lock_guard lock(mutex_);
        events_ += 'A';
        changed_.notify_all();
    }
    void handoff(const char* jsonStart, std::int64_t received) {
        std::lock_guard lock(mutex_);
        events_ += 'H';
        handoffs_.push_back(
            {jsonStart != nullptr, jsonStart != nullptr ? jsonStart : "", received, Clock::now()});
        changed_.notify_all();
    }
    // True once at least `count` hand-offs are in.
    bool waitForHandoffs(std::size_t count, Clock::duration timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return handoffs_.size() >= count; });
    }
    bool waitForAcceptWaits(std::size_t count, Clock::duration timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(
            lock, timeout, [&] { return std::count(events_.begin(), events_.end(), 'A') >= long(count); });
    }
    std::vector<Handoff> handoffs() {
        std::lock_guard lock(mutex_);
        return handoffs_;
    }
    std::string events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string events_;
    std::vector<Handoff> handoffs_;
};

// A receiver serving on a free loopback port in a thread of its own, its messages kept from
// before the listener opens.
class Receiver : public testing::Test {
protected:
    void SetUp() override {
        listener_ = openGameStateListener(0, messages_);
        ASSERT_TRUE(listener_);
        port_ = listener_.port();
        ASSERT_NE(port_, 0);
        server_ = std::thread([this] {
            result_ = serveGameState(
                listener_, [this](char* json, std::int64_t received) { log_.handoff(json, received); },
                [this] { log_.beforeAccept(); });
        });
    }

    void TearDown() override {
        if (server_.joinable()) stop();
        if (HasFailure()) std::cerr << messages_.str();
    }

    // Ends serving; its result lands in result_.
    void stop() {
        stopGameStateListener(listener_);
        server_.join();
    }

    // Everything the receiver printed so far; read once serving has stopped.
    std::string output() const { return messages_.str(); }

    // Sends `request` on a connection of its own, leaves it open and waits for its hand-off.
    ServerLog::Handoff serve(const std::string& request) {
        const std::size_t before = log_.handoffs().size();
        LoopbackClient client(port_);
        EXPECT_TRUE(client.connected());
        EXPECT_TRUE(client.send(request));
        EXPECT_TRUE(log_.waitForHandoffs(before + 1, 3s));
        const auto handoffs = log_.handoffs();
        return handoffs.size() > before ? handoffs[before] : ServerLog::Handoff{};
    }

    std::ostringstream messages_;  // before the listener, which writes to it until it goes
    GameStateListener listener_;
    std::uint16_t port_ = 0;
    std::thread server_;
    int result_ = 0;
    ServerLog log_;
};

TEST_F(Receiver, HandsOverACompletePostAtOnceAndNeverAnswers) {
    const std::string body = R"({"provider":{"name":"Dota 2"},"map":{"clock_time":12}})";
    const std::string request = post(body);
    LoopbackClient client(port_);
    ASSERT_TRUE(client.connected());
    const auto sent = Clock::now();
    ASSERT_TRUE(client.send(request));

    // The client keeps its side open: the declared length alone must end the read.
    ASSERT_TRUE(log_.waitForHandoffs(1, 3s));
    const ServerLog::Handoff handoff = log_.handoffs()[0];
    EXPECT_LT(handoff.at - sent, 1s);
    EXPECT_TRUE(handoff.hasJson);
    EXPECT_EQ(handoff.json, body);
    EXPECT_EQ(handoff.received, static_cast<std::int64_t>(request.size()));
    EXPECT_EQ(client.readUntilClosed(2s), std::optional<std::string>(""));

    stop();
    EXPECT_EQ(result_, -1);
    EXPECT_FALSE(listener_);
    EXPECT_TRUE(std::regex_match(output(), std::regex("Server connected\n\nError at accept: -?[0-9]+\n")));
}

TEST_F(Receiver, WaitsForABodyThatArrivesLater) {
    const std::string body = R"({"hero":{"health":560}})";
    const std::string request = post(body);
    const std::size_t headerSize = request.find('{');
    LoopbackClient client(port_);
    ASSERT_TRUE(client.connected());
    ASSERT_TRUE(client.send(request.substr(0, headerSize)));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(log_.handoffs().empty());
    ASSERT_TRUE(client.send(request.substr(headerSize)));

    ASSERT_TRUE(log_.waitForHandoffs(1, 3s));
    const ServerLog::Handoff handoff = log_.handoffs()[0];
    EXPECT_EQ(handoff.json, body);
    EXPECT_EQ(handoff.received, static_cast<std::int64_t>(request.size()));
}

TEST_F(Receiver, ARequestWithoutLengthIsTakenAsItCame) {
    const std::string body = R"({"player":{"activity":"playing"}})";
    const std::string request = postWithoutLength(body);
    const auto sent = Clock::now();
    const ServerLog::Handoff handoff = serve(request);
    EXPECT_LT(handoff.at - sent, 1s);
    EXPECT_EQ(handoff.json, body);
    EXPECT_EQ(handoff.received, static_cast<std::int64_t>(request.size()));
}

TEST_F(Receiver, CutsRequestsAtTenThousandBytesAndTerminatesEachOne) {
    struct Case {
        const char* name;
        std::string request;
        std::size_t expectedReceived;
    };
    const std::string longBody = "{\"a\":\"" + std::string(12000, 'x') + "\"}";
    const std::string exactRequest = [] {
        // Grows the body until the whole request is exactly 10000 bytes.
        std::string filler;
        std::string request = post("{\"a\":\"\"}");
        while (request.size() < 10000) {
            filler += 'y';
            request = post("{\"a\":\"" + filler + "\"}");
        }
        return request;
    }();
    ASSERT_EQ(exactRequest.size(), 10000u);
    const Case cases[] = {
        {"longer than the buffer", post(longBody), 10000},
        // After a long request the buffer still holds its bytes past the terminator.
        {"short after long", post(R"({"b":1})"), post(R"({"b":1})").size()},
        {"exactly the buffer", exactRequest, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ServerLog::Handoff handoff = serve(c.request);
        const std::size_t jsonAt = c.request.find('{');
        EXPECT_EQ(handoff.received, static_cast<std::int64_t>(c.expectedReceived));
        EXPECT_EQ(handoff.json, c.request.substr(jsonAt, c.expectedReceived - jsonAt));
    }
}

TEST_F(Receiver, HandsOverNullWhenThereIsNoJson) {
    const std::string noBrace = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\n\r\nhello";
    const ServerLog::Handoff handoff = serve(noBrace);
    EXPECT_FALSE(handoff.hasJson);
    EXPECT_EQ(handoff.received, static_cast<std::int64_t>(noBrace.size()));

    // A peer that closes without sending anything is an empty request.
    {
        LoopbackClient silent(port_);
        ASSERT_TRUE(silent.connected());
    }
    ASSERT_TRUE(log_.waitForHandoffs(2, 3s));
    EXPECT_FALSE(log_.handoffs()[1].hasJson);
    EXPECT_EQ(log_.handoffs()[1].received, 0);
}

TEST_F(Receiver, DropsASilentConnectionAfterTwoSecondsAndServesTheNext) {
    LoopbackClient silent(port_);
    ASSERT_TRUE(silent.connected());
    const auto start = Clock::now();
    const std::string body = R"({"map":{"name":"dota"}})";
    const ServerLog::Handoff handoff = serve(post(body));

    EXPECT_EQ(handoff.json, body);
    EXPECT_GE(handoff.at - start, 1900ms);
    EXPECT_EQ(log_.handoffs().size(), 1u);
    EXPECT_EQ(silent.readUntilClosed(100ms), std::optional<std::string>(""));
    stop();
    EXPECT_TRUE(std::regex_match(output(), std::regex("Server connected\n\nError at accept: -?[0-9]+\n")));
}

TEST_F(Receiver, HandsOverWhatArrivedBeforeTheTimeOut) {
    const std::string request = post(R"({"hero":{"mana":100,"max_mana":400}})");
    const std::string partial = request.substr(0, request.find('{') + 10);
    const auto start = Clock::now();
    LoopbackClient stalled(port_);
    ASSERT_TRUE(stalled.connected());
    ASSERT_TRUE(stalled.send(partial));

    ASSERT_TRUE(log_.waitForHandoffs(1, 4s));
    const ServerLog::Handoff handoff = log_.handoffs()[0];
    EXPECT_GE(handoff.at - start, 1900ms);
    EXPECT_EQ(handoff.received, static_cast<std::int64_t>(partial.size()));
    EXPECT_EQ(handoff.json, partial.substr(partial.find('{')));
    EXPECT_EQ(stalled.readUntilClosed(1s), std::optional<std::string>(""));
}

TEST_F(Receiver, AResetConnectionIsReportedAndServingGoesOn) {
    if (!lumo::test::resetReachesThePeer()) GTEST_SKIP() << "no abortive close here";
    LoopbackClient faulty(port_);
    ASSERT_TRUE(faulty.connected());
    faulty.resetAndClose();
    const std::string body = R"({"ok":true})";
    const ServerLog::Handoff handoff = serve(post(body));

    EXPECT_EQ(handoff.json, body);
    EXPECT_EQ(log_.handoffs().size(), 1u);
    stop();
    const std::string printed = output();
    EXPECT_NE(printed.find("Server connected\n\nServer, error at recv() " +
                           std::to_string(lumo::test::connectionResetCode()) + "\n"),
              std::string::npos)
        << printed;
}

TEST_F(Receiver, PausesAfterEachRequestAndRunsHousekeepingBeforeEachAccept) {
    LoopbackClient first(port_);
    LoopbackClient second(port_);
    ASSERT_TRUE(first.connected() && second.connected());
    ASSERT_TRUE(first.send(post("{\"n\":1}")));
    ASSERT_TRUE(second.send(post("{\"n\":2}")));

    ASSERT_TRUE(log_.waitForHandoffs(2, 3s));
    const auto handoffs = log_.handoffs();
    EXPECT_EQ(handoffs[0].json, "{\"n\":1}");
    EXPECT_EQ(handoffs[1].json, "{\"n\":2}");
    EXPECT_GE(handoffs[1].at - handoffs[0].at, 200ms);
    ASSERT_TRUE(log_.waitForAcceptWaits(3, 2s));
    EXPECT_EQ(log_.events(), "AHAHA");
}

TEST_F(Receiver, ABusyPortFailsToBind) {
    // Serving first: a stop before the serving thread starts would end it without a word.
    ASSERT_TRUE(log_.waitForAcceptWaits(1, 2s));
    GameStateListener second = openGameStateListener(port_, messages_);
    EXPECT_FALSE(second);
    EXPECT_EQ(second.failure(), ListenFailure::bind);
    EXPECT_EQ(serveGameState(second, {}), -1);

    stop();
    const std::string printed = output();
    EXPECT_TRUE(std::regex_match(printed, std::regex("Server connected\n\nError at bind: " +
                                                     std::to_string(lumo::test::addressInUseCode()) +
                                                     "\nError at accept: -?[0-9]+\n")))
        << printed;
}

TEST_F(Receiver, ThePortCanBeTakenAgainRightAfterServing) {
    // The server closes first, so its side of this connection lingers in TIME_WAIT.
    LoopbackClient client(port_);
    ASSERT_TRUE(client.send(post("{}")));
    ASSERT_TRUE(log_.waitForHandoffs(1, 3s));
    EXPECT_TRUE(client.readUntilClosed(2s));
    client.close();
    stop();
    listener_ = GameStateListener();

    GameStateListener again = openGameStateListener(port_);
    EXPECT_TRUE(again);
    EXPECT_EQ(again.failure(), ListenFailure::none);
    EXPECT_EQ(again.port(), port_);
}

TEST_F(Receiver, NoOtherSocketCanShareThePort) {
    EXPECT_FALSE(lumo::test::canBindSharing(port_)) << "a socket with SO_REUSEADDR bound the port";
}

TEST(ReceiverAddress, ALocalhostOffTheMachineBindsTheLoopbackAddressInstead) {
    // What a hosts file line "192.0.2.7 localhost" makes the first IPv4 address.
    std::ostringstream messages;
    GameStateListener listener =
        openGameStateListener(0, [] { return lumo::net::ipv4Address(192, 0, 2, 7); }, messages);
    EXPECT_EQ(messages.str(), "Server connected\n\n");
    ASSERT_TRUE(listener);
    EXPECT_TRUE(LoopbackClient(listener.port()).connected());

    std::ostringstream unresolvedMessages;
    GameStateListener unresolved = openGameStateListener(0, [] { return std::nullopt; }, unresolvedMessages);
    EXPECT_EQ(unresolvedMessages.str(), "");
    EXPECT_EQ(unresolved.failure(), ListenFailure::resolve);
}

}  // namespace

}  // namespace lumo::gamestate
