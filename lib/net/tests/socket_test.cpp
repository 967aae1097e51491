#include "net/socket.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "loopback.h"

namespace {

using namespace lumo::net;
using lumo::test::LoopbackClient;
using namespace std::chrono_literals;

class SocketSeam : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(startSocketLibrary(), 0); }
    void TearDown() override { stopSocketLibrary(); }

    // A socket listening on the loopback address at a free port.
    static SocketHandle listening() {
        int error = 0;
        SocketHandle socket = openTcpSocket(error);
        EXPECT_TRUE(socket) << error;
        const std::optional<std::uint32_t> localhost = resolveLocalhost();
        EXPECT_TRUE(localhost);
        EXPECT_EQ(bindSocket(socket, localhost.value_or(0), 0), 0);
        EXPECT_EQ(listenOnSocket(socket, 5), 0);
        return socket;
    }
};

TEST_F(SocketSeam, LocalhostIsALoopbackAddress) {
    const std::optional<std::uint32_t> address = resolveLocalhost();
    ASSERT_TRUE(address);
    // Network byte order: the first octet comes first in memory.
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&*address)[0], 127);
}

TEST_F(SocketSeam, ReceivesDataTimesOutAndSeesTheOrderlyEnd) {
    const SocketHandle listener = listening();
    const std::uint16_t port = boundPort(listener);
    ASSERT_NE(port, 0);
    LoopbackClient client(port);
    ASSERT_TRUE(client.connected());
    int error = 0;
    const SocketHandle connection = acceptConnection(listener, error);
    ASSERT_TRUE(connection) << error;

    char buffer[16];
    ASSERT_TRUE(client.send("abc"));
    Received piece = receiveSome(connection, buffer, sizeof buffer, 1000ms);
    ASSERT_EQ(piece.outcome, Received::Outcome::data);
    EXPECT_EQ(std::string(buffer, piece.bytes), "abc");

    const auto before = std::chrono::steady_clock::now();
    piece = receiveSome(connection, buffer, sizeof buffer, 150ms);
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(piece.outcome, Received::Outcome::timedOut);
    EXPECT_GE(waited, 140ms);
    EXPECT_LT(waited, 1500ms);

    // A zero time-out must not turn into "wait forever".
    piece = receiveSome(connection, buffer, sizeof buffer, 0ms);
    EXPECT_EQ(piece.outcome, Received::Outcome::timedOut);

    ASSERT_TRUE(client.send("z"));
    client.close();
    piece = receiveSome(connection, buffer, sizeof buffer, 1000ms);
    ASSERT_EQ(piece.outcome, Received::Outcome::data);
    EXPECT_EQ(piece.bytes, 1u);
    EXPECT_EQ(receiveSome(connection, buffer, sizeof buffer, 1000ms).outcome, Received::Outcome::closed);
}

TEST_F(SocketSeam, AResetIsAFailureWithTheSystemsCode) {
    if (!lumo::test::resetReachesThePeer()) GTEST_SKIP() << "no abortive close here";
    const SocketHandle listener = listening();
    LoopbackClient client(boundPort(listener));
    ASSERT_TRUE(client.connected());
    int error = 0;
    const SocketHandle connection = acceptConnection(listener, error);
    ASSERT_TRUE(connection);
    client.resetAndClose();
    char buffer[16];
    const Received piece = receiveSome(connection, buffer, sizeof buffer, 1000ms);
    EXPECT_EQ(piece.outcome, Received::Outcome::failed);
    EXPECT_EQ(piece.error, lumo::test::connectionResetCode());
}

// A client's side: connect with a time-out, send everything, read whole messages against a
// deadline, and be told when the peer has gone.
TEST_F(SocketSeam, ConnectsSendsAllAndReadsWholeMessages) {
    const SocketHandle listener = listening();
    const std::uint16_t port = boundPort(listener);
    int error = 0;
    SocketHandle client = openTcpSocket(error);
    ASSERT_EQ(connectSocket(client, ipv4Address(127, 0, 0, 1), port, 1000ms), 0);
    const SocketHandle server = acceptConnection(listener, error);
    ASSERT_TRUE(server) << error;

    const std::string big(1 << 20, 'x');  // more than a socket buffer: sendAll must loop
    auto sent = std::async(std::launch::async, [&] { return sendAll(client, big + "tail", 2000ms); });
    std::string whole(big.size() + 4, '\0');
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    Received got = receiveExactly(server, whole.data(), whole.size(), deadline);
    ASSERT_EQ(got.outcome, Received::Outcome::data);
    EXPECT_EQ(whole.substr(big.size()), "tail");
    EXPECT_EQ(sent.get(), 0);

    char four[4];
    EXPECT_FALSE(waitReadable(server, 0ms));
    ASSERT_EQ(sendAll(client, "ab", 1000ms), 0);
    got = receiveExactly(server, four, 4, std::chrono::steady_clock::now() + 100ms);
    EXPECT_EQ(got.outcome, Received::Outcome::timedOut);
    EXPECT_EQ(got.bytes, 2u);
    client.reset();
    EXPECT_TRUE(waitReadable(server, 1000ms));
    EXPECT_EQ(receiveExactly(server, four, 4, std::chrono::steady_clock::now() + 1s).outcome,
              Received::Outcome::closed);

    // Nobody listens on a port just released.
    SocketHandle refused = openTcpSocket(error);
    EXPECT_NE(connectSocket(refused, ipv4Address(127, 0, 0, 1), lumo::test::unusedLoopbackPort(), 1000ms), 0);
    EXPECT_FALSE(resolveIpv4("no-such-host.invalid"));
    EXPECT_EQ(resolveIpv4("127.0.0.9"), ipv4Address(127, 0, 0, 9));
}

TEST_F(SocketSeam, InterruptingEndsABlockedAcceptAndClosingStopsListening) {
    SocketHandle listener = listening();
    const std::uint16_t port = boundPort(listener);
    auto accepted = std::async(std::launch::async, [&] {
        int error = 0;
        const SocketHandle connection = acceptConnection(listener, error);
        return std::make_pair(static_cast<bool>(connection), error);
    });
    std::this_thread::sleep_for(100ms);  // let the accept block first
    interruptAccept(listener);
    ASSERT_EQ(accepted.wait_for(2s), std::future_status::ready);
    const auto [gotConnection, error] = accepted.get();
    EXPECT_FALSE(gotConnection);
    EXPECT_NE(error, 0);

    listener.reset();
    EXPECT_FALSE(listener);
    EXPECT_FALSE(LoopbackClient(port).connected());
}

}  // namespace
