// The test OpenRGB server against hand-made packets: its strict size checks, its replies,
// their spoilt forms, device list changes and a restart.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "loopback.h"
#include "openrgb_server.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;
using lumo::net::Received;
using lumo::net::SocketHandle;
namespace orgb = lumo::openrgb;

constexpr std::uint32_t kKeyboard = 0;
constexpr std::uint32_t kMouse = 1;
constexpr std::size_t kKeyboardLeds = 105;

// A client that reads packet by packet, so replies and their absence can be told apart.
class PacketClient {
public:
    explicit PacketClient(std::uint16_t port) {
        int error = 0;
        socket_ = lumo::net::openTcpSocket(error);
        if (socket_ && lumo::net::connectSocket(socket_, loopbackAddress(), port, 2s) != 0) socket_.reset();
    }
    bool connected() const { return static_cast<bool>(socket_); }
    bool send(std::uint32_t device, std::uint32_t id, std::string_view payload = {}) {
        return lumo::net::sendAll(socket_, orgb::encodePacket(device, id, payload), 2s) == 0;
    }
    // Exactly `size` bytes, or nullopt when they do not all come within `timeout`.
    std::optional<std::string> read(std::size_t size, std::chrono::milliseconds timeout) {
        std::string bytes(size, '\0');
        const Received received =
            lumo::net::receiveExactly(socket_, bytes.data(), size, std::chrono::steady_clock::now() + timeout);
        if (received.outcome != Received::Outcome::data) return std::nullopt;
        return bytes;
    }
    struct Packet {
        orgb::Header header;
        std::string payload;
    };
    std::optional<Packet> readPacket(std::chrono::milliseconds timeout = 2s) {
        const std::optional<std::string> head = read(orgb::kHeaderSize, timeout);
        if (!head) return std::nullopt;
        const std::optional<orgb::Header> header = orgb::decodeHeader(bytesOf(*head));
        if (!header) return std::nullopt;
        std::optional<std::string> payload = read(header->size, timeout);
        if (!payload) return std::nullopt;
        return Packet{*header, std::move(*payload)};
    }
    // True when the server closed the connection within `timeout`.
    bool closedWithin(std::chrono::milliseconds timeout) {
        char byte = 0;
        const Received received = lumo::net::receiveSome(socket_, &byte, 1, timeout);
        return received.outcome == Received::Outcome::closed || received.outcome == Received::Outcome::failed;
    }
    static std::span<const std::uint8_t> bytesOf(const std::string& text) {
        return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
    }

private:
    SocketHandle socket_;
};

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

std::string withU32(std::string bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::vector<orgb::Color> sameColor(std::size_t count, orgb::Color color) { return std::vector<orgb::Color>(count, color); }

TEST(OpenRgbServer, StrictSizeChecksCloseTheConnectionAndWellFormedCommandsApply) {
    const orgb::Color red = orgb::makeColor(255, 0, 0);
    const orgb::Mode direct = defaultDevices()[kKeyboard].modes[0];
    const std::string leds = orgb::encodeUpdateLeds(sameColor(kKeyboardLeds, red));
    const std::string shortLeds = orgb::encodeUpdateLeds(sameColor(kKeyboardLeds - 1, red));
    const std::string logo = orgb::encodeUpdateZoneLeds(1, sameColor(1, red));
    const std::string mode = orgb::encodeUpdateMode(0, direct, 5);
    const auto isRed = [&](const char* name) {
        return [=](const OpenRgbSnapshot& state) { return state.ledColor(kKeyboard, name) == red; };
    };
    const auto active = [](std::uint32_t device, std::int32_t mode) {
        return [=](const OpenRgbSnapshot& state) { return state.devices[device].activeMode == mode; };
    };
    struct Case {
        const char* what;
        std::uint32_t device, id;
        std::string payload;
        bool refused;
        std::function<bool(const OpenRgbSnapshot&)> applied{};
    };
    const std::vector<Case> cases = {
        {"all LEDs", kKeyboard, orgb::kUpdateLeds, leds, false, isRed("Key: F1")},
        {"data_size one more", kKeyboard, orgb::kUpdateLeds, withU32(leds, 0, leds.size() + 1), true},
        {"data_size one less", kKeyboard, orgb::kUpdateLeds, withU32(leds, 0, leds.size() - 1), true},
        {"a byte beyond the colours", kKeyboard, orgb::kUpdateLeds, withU32(leds + '\0', 0, leds.size() + 1), true},
        {"a count beyond the colours", kKeyboard, orgb::kUpdateLeds,
         withU32(leds.substr(0, leds.size() - 4), 0, leds.size() - 4), true},
        {"one LED short", kKeyboard, orgb::kUpdateLeds, shortLeds, true},
        {"the mouse's two LEDs", kMouse, orgb::kUpdateLeds, orgb::encodeUpdateLeds(sameColor(2, red)), false,
         [&](const OpenRgbSnapshot& state) { return state.ledColor(kMouse, "Scroll Wheel") == red; }},
        {"zone Logo", kKeyboard, orgb::kUpdateZoneLeds, logo, false, isRed("Logo")},
        {"zone data_size off", kKeyboard, orgb::kUpdateZoneLeds, withU32(logo, 0, logo.size() + 4), true},
        {"zone of 104 given one", kKeyboard, orgb::kUpdateZoneLeds, orgb::encodeUpdateZoneLeds(0, sameColor(1, red)),
         true},
        {"no zone 2", kKeyboard, orgb::kUpdateZoneLeds, orgb::encodeUpdateZoneLeds(2, sameColor(1, red)), true},
        {"single LED", kKeyboard, orgb::kUpdateSingleLed, orgb::encodeUpdateSingleLed(3, red), false, isRed("Key: F3")},
        {"single LED of 7 bytes", kKeyboard, orgb::kUpdateSingleLed, orgb::encodeUpdateSingleLed(3, red).substr(0, 7),
         true},
        {"single LED of 9 bytes", kKeyboard, orgb::kUpdateSingleLed, orgb::encodeUpdateSingleLed(3, red) + '\0', true},
        {"no LED 105", kKeyboard, orgb::kUpdateSingleLed, orgb::encodeUpdateSingleLed(105, red), true},
        {"no LED -1", kKeyboard, orgb::kUpdateSingleLed, orgb::encodeUpdateSingleLed(-1, red), true},
        {"Direct mode", kKeyboard, orgb::kUpdateMode, mode, false, active(kKeyboard, 0)},
        {"mode data_size off", kKeyboard, orgb::kUpdateMode, withU32(mode, 0, mode.size() - 1), true},
        {"mode block cut", kKeyboard, orgb::kUpdateMode, withU32(mode.substr(0, mode.size() - 2), 0, mode.size() - 2),
         true},
        {"no mode 3", kKeyboard, orgb::kUpdateMode, orgb::encodeUpdateMode(3, direct, 5), true},
        {"custom mode", kMouse, orgb::kSetCustomMode, "", false, active(kMouse, 0)},
        {"a device that is not there", 7, orgb::kUpdateLeds, shortLeds, false},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenRgbServer server;
        PacketClient client(server.port());
        ASSERT_TRUE(client.connected());
        // The mode block's layout is the negotiated version's.
        client.send(0, orgb::kRequestProtocolVersion, orgb::encodeU32(5));
        ASSERT_TRUE(client.readPacket());
        client.send(c.device, c.id, c.payload);
        client.send(0, orgb::kRequestControllerCount);
        if (c.refused) {
            EXPECT_TRUE(client.closedWithin(2s));
            const OpenRgbSnapshot state = server.snapshot();
            ASSERT_EQ(state.violations.size(), 1u);
            EXPECT_EQ(state.violations[0].id, c.id);
            EXPECT_EQ(state.violations[0].connection, 1);
            EXPECT_EQ(state.devices, defaultDevices()) << "nothing of a refused command is applied";
        } else {
            const std::optional<PacketClient::Packet> count = client.readPacket();
            ASSERT_TRUE(count) << "the connection stays open";
            EXPECT_EQ(count->header.id, orgb::kRequestControllerCount);
            if (c.applied) {
                EXPECT_TRUE(c.applied(server.snapshot()));
            }
            EXPECT_TRUE(server.snapshot().violations.empty());
        }
        EXPECT_EQ(server.snapshot().packetCount(c.id), 1u);
    }
}

TEST(OpenRgbServer, RefusesHeadersWithoutMagicOrWithOversizedPayloads) {
    const std::string good = orgb::encodePacket(0, orgb::kRequestControllerCount);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"magic", "ORGX" + good.substr(4)},
        {"payload beyond the limit", withU32(good, 12, orgb::kMaxPayloadSize + 1)},
    };
    for (const auto& [what, header] : cases) {
        SCOPED_TRACE(what);
        OpenRgbServer server;
        LoopbackClient client(server.port());
        ASSERT_TRUE(client.send(header));
        EXPECT_EQ(client.readUntilClosed(2s), "");
        ASSERT_EQ(server.snapshot().violations.size(), 1u);
        EXPECT_EQ(server.snapshot().violations[0].id, 0u);
    }
}

TEST(OpenRgbServer, AnswersTheHandshakeAndServesEachVersionsBlob) {
    OpenRgbServer server(defaultDevices(), {.protocolVersion = 4});
    PacketClient client(server.port());
    client.send(0, orgb::kRequestProtocolVersion, orgb::encodeU32(5));
    std::optional<PacketClient::Packet> version = client.readPacket();
    ASSERT_TRUE(version);
    EXPECT_EQ(orgb::decodeU32(PacketClient::bytesOf(version->payload)), 4u) << "its own highest, not the client's";
    client.send(0, orgb::kSetClientName, orgb::encodeClientName("tester"));
    client.send(0, orgb::kRequestControllerCount);
    const std::optional<PacketClient::Packet> count = client.readPacket();
    ASSERT_TRUE(count);
    EXPECT_EQ(orgb::decodeU32(PacketClient::bytesOf(count->payload)), 2u);

    for (std::uint32_t asked : {0u, 1u, 3u, 4u, 5u}) {
        SCOPED_TRACE(asked);
        client.send(kKeyboard, orgb::kRequestControllerData, orgb::encodeU32(asked));
        const std::optional<PacketClient::Packet> reply = client.readPacket();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->header.device, kKeyboard);
        const std::uint32_t served = std::min(asked, 4u);
        EXPECT_EQ(reply->payload, orgb::encodeController(defaultDevices()[kKeyboard], served));
    }
    client.send(kMouse, orgb::kRequestControllerData);
    const std::optional<PacketClient::Packet> empty = client.readPacket();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->payload, orgb::encodeController(defaultDevices()[kMouse], 0)) << "no payload asks for version 0";

    client.send(2, orgb::kRequestControllerData, orgb::encodeU32(4));
    EXPECT_FALSE(client.readPacket(300ms)) << "a bad index gets no reply";
    client.send(kMouse, orgb::kRequestControllerData, orgb::encodeU32(4));
    const std::optional<PacketClient::Packet> after = client.readPacket();
    ASSERT_TRUE(after) << "and the connection goes on";
    EXPECT_EQ(after->header.device, kMouse);

    const OpenRgbSnapshot state = server.snapshot();
    EXPECT_EQ(state.clientNames, std::vector<std::string>{"tester"});
    EXPECT_EQ(state.packetCount(orgb::kRequestControllerData), 8u);
}

TEST(OpenRgbServer, StaysSilentOnTheVersionRequestLikeAVersion0Server) {
    OpenRgbServer server(defaultDevices(), {.answerVersionRequest = false});
    PacketClient client(server.port());
    client.send(0, orgb::kRequestProtocolVersion, orgb::encodeU32(5));
    EXPECT_FALSE(client.readPacket(300ms));
    // The connection speaks version 0: a mode block without the brightness fields applies.
    const orgb::Mode direct = defaultDevices()[kKeyboard].modes[0];
    client.send(kKeyboard, orgb::kUpdateMode, orgb::encodeUpdateMode(0, direct, 0));
    EXPECT_TRUE(server.waitUntil([](const OpenRgbSnapshot& state) { return state.devices[kKeyboard].activeMode == 0; },
                                 2s));
    EXPECT_TRUE(server.snapshot().violations.empty());
}

TEST(OpenRgbServer, SpoilsRepliesAsAsked) {
    const std::string blob = orgb::encodeController(defaultDevices()[kKeyboard], 5);
    struct Case {
        OpenRgbHostility hostility;
        // What arrives for the controller data and the count; nullopt: nothing within 300 ms.
        std::function<void(const std::optional<std::string>& head, PacketClient& client)> check;
        std::optional<std::uint32_t> count;  // the count read, where a whole count reply comes
    };
    const auto parsesNot = [&](std::uint32_t expectedDataSize) {
        return [=](const std::optional<std::string>& head, PacketClient& client) {
            ASSERT_TRUE(head);
            const std::optional<orgb::Header> header = orgb::decodeHeader(PacketClient::bytesOf(*head));
            ASSERT_TRUE(header);
            EXPECT_EQ(header->size, blob.size());
            const std::optional<std::string> payload = client.read(header->size, 2s);
            ASSERT_TRUE(payload);
            EXPECT_EQ(u32At(*payload, 0), expectedDataSize);
            EXPECT_FALSE(orgb::parseController(PacketClient::bytesOf(*payload), 5));
        };
    };
    const auto header = [&](std::string expected, bool blobFollows) {
        return [=](const std::optional<std::string>& head, PacketClient& client) {
            ASSERT_TRUE(head);
            EXPECT_EQ(*head, expected);
            if (blobFollows) {
                EXPECT_EQ(client.read(blob.size(), 2s), blob);
            } else {
                EXPECT_FALSE(client.read(1, 300ms)) << "nothing after the header";
            }
        };
    };
    const auto nothing = [](const std::optional<std::string>& head, PacketClient&) { EXPECT_FALSE(head); };
    const std::string huge = withU32(orgb::encodePacket(kKeyboard, orgb::kRequestControllerData), 12, 3u << 30);
    const std::string magicless =
        "XXXX" + orgb::encodePacket(kKeyboard, orgb::kRequestControllerData, blob).substr(4, 12);
    const std::vector<Case> cases = {
        {OpenRgbHostility::dataSizeMismatch, parsesNot(blob.size() + 4), 2},
        {OpenRgbHostility::countBeyondPayload, parsesNot(blob.size()), 4},
        {OpenRgbHostility::stringWithoutNul, parsesNot(blob.size()), 2},
        {OpenRgbHostility::hugeAnnouncedPayload, header(huge, false), std::nullopt},
        {OpenRgbHostility::silence, nothing, std::nullopt},
        {OpenRgbHostility::badMagic, header(magicless, true), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.hostility));
        OpenRgbServer server(defaultDevices(), {.hostility = c.hostility});
        {
            PacketClient client(server.port());
            client.send(kKeyboard, orgb::kRequestControllerData, orgb::encodeU32(5));
            const std::optional<std::string> head = client.read(orgb::kHeaderSize, 300ms);
            c.check(head, client);
        }
        PacketClient client(server.port());
        client.send(0, orgb::kRequestControllerCount);
        const std::optional<PacketClient::Packet> count = client.readPacket(300ms);
        ASSERT_EQ(count.has_value(), c.count.has_value());
        if (count) {
            EXPECT_EQ(orgb::decodeU32(PacketClient::bytesOf(count->payload)), c.count);
        }
    }
}

TEST(OpenRgbServer, TellsEveryClientOfDeviceListChanges) {
    OpenRgbServer server;
    PacketClient first(server.port());
    PacketClient second(server.port());
    ASSERT_TRUE(server.waitUntil([](const OpenRgbSnapshot& state) { return state.connectionsOpen == 2; }, 2s));

    std::vector<orgb::Controller> mouseOnly = {defaultDevices()[kMouse]};
    server.setDevices(mouseOnly);
    for (PacketClient* client : {&first, &second}) {
        const std::optional<PacketClient::Packet> update = client->readPacket();
        ASSERT_TRUE(update);
        EXPECT_EQ(update->header.id, orgb::kDeviceListUpdated);
        EXPECT_EQ(update->payload, "");
    }
    EXPECT_EQ(server.snapshot().devices, mouseOnly);

    server.setBehaviour({.deviceListUpdatedBeforeReply = true});
    first.send(0, orgb::kRequestControllerCount);
    const std::optional<PacketClient::Packet> between = first.readPacket();
    const std::optional<PacketClient::Packet> count = first.readPacket();
    ASSERT_TRUE(between && count);
    EXPECT_EQ(between->header.id, orgb::kDeviceListUpdated);
    EXPECT_EQ(orgb::decodeU32(PacketClient::bytesOf(count->payload)), 1u);

    server.sendDeviceListUpdated();
    const std::optional<PacketClient::Packet> update = second.readPacket();
    ASSERT_TRUE(update);
    EXPECT_EQ(update->header.id, orgb::kDeviceListUpdated);
}

TEST(OpenRgbServer, StopClosesEveryConnectionAndStartListensOnTheSamePortAgain) {
    OpenRgbServer server;
    const std::uint16_t port = server.port();
    PacketClient before(port);
    ASSERT_TRUE(server.waitUntil([](const OpenRgbSnapshot& state) { return state.connectionsOpen == 1; }, 2s));
    server.stop();
    EXPECT_FALSE(server.running());
    EXPECT_TRUE(before.closedWithin(2s));
    EXPECT_FALSE(PacketClient(port).connected());

    ASSERT_TRUE(server.start());
    EXPECT_EQ(server.port(), port);
    PacketClient after(port);
    after.send(0, orgb::kRequestControllerCount);
    ASSERT_TRUE(after.readPacket());
    const OpenRgbSnapshot state = server.snapshot();
    EXPECT_EQ(state.connectionsAccepted, 2);
    EXPECT_EQ(state.connectionsOpen, 1);
    EXPECT_EQ(state.packets.back().connection, 2);
}

TEST(OpenRgbServer, WaitUntilGivesUpAfterItsTimeout) {
    const OpenRgbServer server;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(server.waitUntil([](const OpenRgbSnapshot& state) { return !state.clientNames.empty(); }, 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
}

TEST(OpenRgbServer, NamesLedsOfAFullSizeKeyboard) {
    const OpenRgbSnapshot state{.devices = defaultDevices()};
    const orgb::Controller& keyboard = state.devices[kKeyboard];
    EXPECT_EQ(keyboard.leds.size(), kKeyboardLeds);
    EXPECT_EQ(state.ledIndex(kKeyboard, "Key: Escape"), 0u);
    EXPECT_EQ(state.ledIndex(kKeyboard, "Logo"), 104u);
    EXPECT_EQ(state.ledIndex(kMouse, "Scroll Wheel"), 1u);
    EXPECT_EQ(state.ledIndex(kKeyboard, "Key: G1"), std::nullopt);
    EXPECT_EQ(state.ledIndex(2, "Logo"), std::nullopt);
    // Every key has exactly one cell of the matrix, and the cells' row order is the LEDs'.
    const orgb::Zone& keys = keyboard.zones[0];
    std::vector<int> cells(104, 0);
    std::uint32_t previous = 0;
    bool ordered = true;
    for (std::uint32_t cell : keys.matrix) {
        if (cell == orgb::kNoLed) continue;
        ASSERT_LT(cell, cells.size());
        ++cells[cell];
        ordered = ordered && (cell == 0 || cell == previous + 1);
        previous = cell;
    }
    EXPECT_EQ(cells, std::vector<int>(104, 1));
    EXPECT_TRUE(ordered);
}

}  // namespace
}  // namespace lumo::test
