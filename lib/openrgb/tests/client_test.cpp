#include "openrgb/client.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>

#include "loopback.h"
#include "openrgb_server.h"

namespace {

using namespace lumo::openrgb;
using namespace std::chrono_literals;
using lumo::net::Received;
using lumo::net::SocketHandle;
using lumo::test::asSeenAt;

Controller sampleKeyboard() { return lumo::test::defaultDevices()[0]; }
Controller sampleMouse() { return lumo::test::defaultDevices()[1]; }
using Clock = std::chrono::steady_clock;

struct Packet {
    Header header;
    std::string payload;
};

// The server's end of one connection, for a script: reads what the client sends, answers by
// hand. Every read gives up after five seconds, so a script never outlives a test by much.
class ServerSide {
public:
    explicit ServerSide(SocketHandle socket) : socket_(std::move(socket)) {}

    // The next packet; nullopt when the client closed, sent garbage or nothing in time.
    std::optional<Packet> read() {
        const auto deadline = Clock::now() + 5s;
        char raw[kHeaderSize];
        if (lumo::net::receiveExactly(socket_, raw, sizeof raw, deadline).outcome != Received::Outcome::data)
            return std::nullopt;
        const auto header = decodeHeader(std::span(reinterpret_cast<const std::uint8_t*>(raw), sizeof raw));
        if (!header) return std::nullopt;
        Packet packet{*header, std::string(header->size, '\0')};
        if (header->size > 0 && lumo::net::receiveExactly(socket_, packet.payload.data(), header->size, deadline)
                                        .outcome != Received::Outcome::data)
            return std::nullopt;
        received.push_back(packet);
        return packet;
    }
    // Reads until the client closes (or five seconds pass).
    void drain() {
        while (read()) {
        }
    }
    void send(std::uint32_t device, std::uint32_t id, std::string_view payload = {}) {
        sendRaw(encodePacket(device, id, payload));
    }
    void sendRaw(std::string_view bytes) { lumo::test::sendAll(socket_, bytes); }

    std::vector<Packet> received;

private:
    SocketHandle socket_;
};

// A listener on 127.0.0.1 that runs `script` on the first connection, on a thread of its
// own, then closes it. What the script read is handed over by finish().
class ScriptedServer {
public:
    using Script = std::function<void(ServerSide&)>;

    explicit ScriptedServer(Script script) : script_(std::move(script)) {
        lumo::test::startSocketsOnce();
        int error = 0;
        listener_ = lumo::net::openTcpSocket(error);
        if (!listener_ || lumo::net::bindSocket(listener_, lumo::test::loopbackAddress(), 0) != 0 ||
            lumo::net::listenOnSocket(listener_, 1) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        port_ = lumo::net::boundPort(listener_);
        thread_ = std::thread([this] {
            int acceptError = 0;
            SocketHandle connection = lumo::net::acceptConnection(listener_, acceptError);
            if (!connection) return;
            ServerSide side(std::move(connection));
            script_(side);
            received_ = std::move(side.received);
        });
    }
    ~ScriptedServer() { finish(); }

    std::uint16_t port() const { return port_; }
    // Waits for the script to end; the packets it read.
    std::vector<Packet> finish() {
        if (thread_.joinable()) {
            lumo::net::interruptAccept(listener_);
            thread_.join();
        }
        return received_;
    }

private:
    Script script_;
    SocketHandle listener_;
    std::uint16_t port_ = 0;
    std::vector<Packet> received_;
    std::thread thread_;
};

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Answers the version request with `version` and takes the client's name.
void handshake(ServerSide& server, std::uint32_t version) {
    if (!server.read()) return;
    server.send(0, kRequestProtocolVersion, encodeU32(version));
    server.read();
}

// Version 3, a count of `count`, then the request for the first controller.
void untilFirstDataRequest(ServerSide& server, std::uint32_t count) {
    handshake(server, 3);
    server.read();
    server.send(0, kRequestControllerCount, encodeU32(count));
    server.read();
}

bool connectTo(Client& client, const ScriptedServer& server) {
    return client.connect("127.0.0.1", server.port(), "lumo test", 2000ms);
}

TEST(OpenRgbClient, ListsControllersSendsCommandsAndNotesDeviceListChanges) {
    const Controller keyboard = sampleKeyboard();
    const Controller mouse = sampleMouse();
    ScriptedServer server([&](ServerSide& side) {
        handshake(side, 3);
        side.read();
        side.send(0, kRequestControllerCount, encodeU32(2));
        side.read();
        // Between the request and its reply: an announcement, a packet of no interest and a
        // reply meant for another device, all read past.
        side.send(0, kDeviceListUpdated);
        side.send(0, 9999, "ignored");
        side.send(1, kRequestControllerData, encodeController(mouse, 3));
        side.send(0, kRequestControllerData, encodeController(keyboard, 3));
        side.read();
        side.send(1, kRequestControllerData, encodeController(mouse, 3));
        side.read();  // UPDATELEDS
        side.read();  // UPDATEMODE
        side.send(0, kDeviceListUpdated);
        side.read();  // SETCUSTOMMODE, then the connection ends
    });

    Client client(2000ms);
    ASSERT_TRUE(connectTo(client, server));
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(client.version(), 3u);
    EXPECT_FALSE(client.takeDeviceListChanged());

    const auto controllers = client.listControllers();
    ASSERT_TRUE(controllers);
    ASSERT_EQ(controllers->size(), 2u);
    EXPECT_EQ((*controllers)[0], asSeenAt(keyboard, 3));
    EXPECT_EQ((*controllers)[1], asSeenAt(mouse, 3));
    EXPECT_TRUE(client.takeDeviceListChanged());
    EXPECT_FALSE(client.takeDeviceListChanged());

    EXPECT_TRUE(client.updateLeds(0, keyboard.colors));
    EXPECT_TRUE(client.updateMode(0, 0, keyboard.modes[0]));
    EXPECT_TRUE(client.pollEvents(2000ms));
    EXPECT_TRUE(client.takeDeviceListChanged());
    EXPECT_TRUE(client.setCustomMode(0));
    EXPECT_FALSE(client.pollEvents(2000ms));
    EXPECT_FALSE(client.connected());

    const std::vector<Packet> received = server.finish();
    ASSERT_EQ(received.size(), 8u);
    const struct {
        std::uint32_t id;
        std::uint32_t device;
        std::string payload;
    } expected[] = {
        {kRequestProtocolVersion, 0, encodeU32(kProtocolVersion)},
        {kSetClientName, 0, encodeClientName("lumo test")},
        {kRequestControllerCount, 0, ""},
        {kRequestControllerData, 0, encodeU32(3)},
        {kRequestControllerData, 1, encodeU32(3)},
        {kUpdateLeds, 0, encodeUpdateLeds(keyboard.colors)},
        {kUpdateMode, 0, encodeUpdateMode(0, keyboard.modes[0], 3)},
        {kSetCustomMode, 0, ""},
    };
    for (std::size_t i = 0; i < received.size(); ++i) {
        SCOPED_TRACE("packet " + std::to_string(i));
        EXPECT_EQ(received[i].header.id, expected[i].id);
        EXPECT_EQ(received[i].header.device, expected[i].device);
        EXPECT_EQ(received[i].payload, expected[i].payload);
    }
    const auto leds = parseUpdateLeds(bytesOf(received[5].payload));
    ASSERT_TRUE(leds);
    EXPECT_EQ(leds->colors, keyboard.colors);
}

TEST(OpenRgbClient, AServerThatIgnoresTheVersionRequestSpeaksVersion0) {
    const Controller keyboard = sampleKeyboard();
    ScriptedServer server([&](ServerSide& side) {
        side.read();  // the version request, never answered
        side.read();
        side.read();
        side.send(0, kRequestControllerCount, encodeU32(1));
        side.read();
        side.send(0, kRequestControllerData, encodeController(keyboard, 0));
        side.drain();
    });
    Client client(300ms);
    const auto before = Clock::now();
    ASSERT_TRUE(connectTo(client, server));
    EXPECT_GE(Clock::now() - before, 250ms);
    EXPECT_EQ(client.version(), 0u);
    const auto controllers = client.listControllers();
    ASSERT_TRUE(controllers);
    ASSERT_EQ(controllers->size(), 1u);
    EXPECT_EQ(controllers->front(), asSeenAt(keyboard, 0));
    // Nothing unasked: a quiet connection stays up.
    EXPECT_TRUE(client.pollEvents(50ms));
    EXPECT_TRUE(client.connected());
    client.disconnect();
    EXPECT_FALSE(client.connected());

    const std::vector<Packet> received = server.finish();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].payload, encodeClientName("lumo test"));
    EXPECT_EQ(received[3].header.id, kRequestControllerData);
    EXPECT_EQ(received[3].payload, encodeU32(0));
}

TEST(OpenRgbClient, FailedHandshakesLeaveItDisconnected) {
    const struct {
        const char* name;
        ScriptedServer::Script script;
    } cases[] = {
        {"closes at once", [](ServerSide&) {}},
        {"closes after the version request", [](ServerSide& side) { side.read(); }},
        {"answers the version in 2 bytes",
         [](ServerSide& side) {
             side.read();
             side.send(0, kRequestProtocolVersion, "\x05");
             side.drain();
         }},
        {"answers with another magic",
         [](ServerSide& side) {
             side.read();
             std::string packet = encodePacket(0, kRequestProtocolVersion, encodeU32(5));
             packet[3] = 'X';
             side.sendRaw(packet);
             side.drain();
         }},
    };
    for (const auto& [name, script] : cases) {
        SCOPED_TRACE(name);
        ScriptedServer server(script);
        Client client(2000ms);
        const auto before = Clock::now();
        EXPECT_FALSE(connectTo(client, server));
        EXPECT_FALSE(client.connected());
        EXPECT_LT(Clock::now() - before, 1000ms) << "noticed only at the time-out";
        EXPECT_FALSE(client.listControllers());
        EXPECT_FALSE(client.updateLeds(0, std::vector<Color>{0}));
    }

    Client client;
    EXPECT_FALSE(client.connect("127.0.0.1", lumo::test::unusedLoopbackPort(), "lumo test", 2000ms));
    EXPECT_FALSE(client.connected());
}

TEST(OpenRgbClient, BrokenRepliesToTheListingEndTheConnection) {
    const Controller keyboard = sampleKeyboard();
    const struct {
        const char* name;
        ScriptedServer::Script script;
        bool waitsForTheTimeOut;
    } cases[] = {
        {"closes in the middle of a reply",
         [&](ServerSide& side) {
             untilFirstDataRequest(side, 1);
             side.sendRaw(encodePacket(0, kRequestControllerData, encodeController(keyboard, 3)).substr(0, 100));
         },
         false},
        {"announces a 3 GB reply",
         [](ServerSide& side) {
             untilFirstDataRequest(side, 1);
             std::string header = encodePacket(0, kRequestControllerData);
             header.replace(12, 4, encodeU32(3'000'000'000u));
             side.sendRaw(header);
             side.drain();
         },
         false},
        {"sends a blob of another version",
         [&](ServerSide& side) {
             untilFirstDataRequest(side, 1);
             side.send(0, kRequestControllerData, encodeController(keyboard, 5));
             side.drain();
         },
         false},
        {"counts in 3 bytes",
         [](ServerSide& side) {
             handshake(side, 3);
             side.read();
             side.send(0, kRequestControllerCount, std::string("\x01\x00\x00", 3));
             side.drain();
         },
         false},
        {"counts more controllers than exist",
         [](ServerSide& side) {
             handshake(side, 3);
             side.read();
             side.send(0, kRequestControllerCount, encodeU32(0xFFFFFFFF));
             side.drain();
         },
         false},
        {"never answers a controller request",
         [](ServerSide& side) {
             untilFirstDataRequest(side, 1);
             side.drain();
         },
         true},
    };
    for (const auto& [name, script, waitsForTheTimeOut] : cases) {
        SCOPED_TRACE(name);
        ScriptedServer server(script);
        Client client(1500ms);
        ASSERT_TRUE(connectTo(client, server));
        const auto before = Clock::now();
        EXPECT_FALSE(client.listControllers());
        const auto waited = Clock::now() - before;
        EXPECT_FALSE(client.connected());
        if (waitsForTheTimeOut)
            EXPECT_GE(waited, 1400ms);
        else
            EXPECT_LT(waited, 1000ms) << "noticed only at the time-out";
        EXPECT_FALSE(client.pollEvents(0ms));
    }
}

// A server cannot make the client hold more than one listing's budget.
TEST(OpenRgbClient, OneListingHoldsNoMoreThanItsBudget) {
    Controller strip;
    strip.name = "LED strip";
    for (std::uint32_t led = 0; led < 60000; ++led)
        strip.leds.push_back(Led{"LED " + std::to_string(led) + std::string(40, '.'), led});
    strip.colors.assign(strip.leds.size(), 0);
    const std::string blob = encodeController(strip, 3);
    ASSERT_LE(blob.size(), kMaxPayloadSize);
    const std::uint32_t withinBudget = static_cast<std::uint32_t>(kMaxListingBytes / blob.size());
    for (const std::uint32_t count : {withinBudget, withinBudget + 1}) {
        SCOPED_TRACE(count);
        ScriptedServer server([&](ServerSide& side) {
            untilFirstDataRequest(side, count);
            for (std::uint32_t index = 0; index < count; ++index) {
                side.send(index, kRequestControllerData, blob);
                if (!side.read()) return;
            }
        });
        Client client(2000ms);
        ASSERT_TRUE(connectTo(client, server));
        const auto controllers = client.listControllers();
        EXPECT_EQ(controllers.has_value(), count == withinBudget);
        EXPECT_EQ(client.connected(), count == withinBudget);
    }
}

}  // namespace
