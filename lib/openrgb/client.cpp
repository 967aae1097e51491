#include "openrgb/client.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lumo::openrgb {

using lumo::net::Received;
using lumo::net::SocketHandle;
using std::chrono::steady_clock;

namespace {

constexpr std::chrono::milliseconds kSendTimeout{1000};
// Bounds on what one wait reads besides the packet it waits for: a server announcing device
// changes during a long detection sends many small packets, a broken one could send forever.
constexpr int kMaxPacketsPerWait = 4096;
constexpr std::size_t kMaxSkippedBytes = 4 * std::size_t{kMaxPayloadSize};
// More controllers than any machine has: a larger count is taken for a broken reply.
constexpr std::uint32_t kMaxControllers = 1024;

struct Packet {
    Header header;
    std::vector<std::uint8_t> payload;
};

enum class PacketRead { packet, idle, failed };

// Waits at most `firstByteWait` for a packet to begin; once it has, the whole packet must
// arrive within `restWait`, since a half-read packet leaves the stream unusable. The payload
// is allocated only after its header passed decodeHeader's size limit.
PacketRead readPacket(const SocketHandle& socket, std::chrono::milliseconds firstByteWait,
                      std::chrono::milliseconds restWait, Packet& packet) {
    if (!lumo::net::waitReadable(socket, firstByteWait)) return PacketRead::idle;
    const auto deadline = steady_clock::now() + restWait;
    std::array<std::uint8_t, kHeaderSize> raw{};
    if (lumo::net::receiveExactly(socket, reinterpret_cast<char*>(raw.data()), raw.size(), deadline).outcome !=
        Received::Outcome::data)
        return PacketRead::failed;
    const std::optional<Header> header = decodeHeader(raw);
    if (!header) return PacketRead::failed;
    packet.header = *header;
    packet.payload.resize(header->size);
    if (header->size > 0 && lumo::net::receiveExactly(socket, reinterpret_cast<char*>(packet.payload.data()),
                                                      packet.payload.size(), deadline)
                                    .outcome != Received::Outcome::data)
        return PacketRead::failed;
    return PacketRead::packet;
}

std::chrono::milliseconds timeLeft(steady_clock::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
}

}  // namespace

bool Client::connect(const std::string& host, std::uint16_t port, std::string_view clientName,
                     Milliseconds connectTimeout) {
    const std::optional<std::uint32_t> address = lumo::net::resolveIpv4(host);
    if (!address) {
        disconnect();
        return false;
    }
    return connect(*address, port, clientName, connectTimeout);
}

bool Client::connect(std::uint32_t address, std::uint16_t port, std::string_view clientName,
                     Milliseconds connectTimeout) {
    disconnect();
    deviceListChanged_ = false;
    int error = 0;
    SocketHandle socket = lumo::net::openTcpSocket(error);
    if (!socket || lumo::net::connectSocket(socket, address, port, connectTimeout) != 0) return false;
    socket_ = std::move(socket);

    if (!send(0, kRequestProtocolVersion, encodeU32(kProtocolVersion))) return false;
    const auto reply = awaitReply(kRequestProtocolVersion, 0, steady_clock::now() + replyTimeout_);
    // Servers from before the version request ignore it: silence means version 0, but a
    // connection that ended or sent garbage is gone.
    if (!connected()) return false;
    version_ = 0;
    if (reply) {
        const std::optional<std::uint32_t> serverVersion = decodeU32(*reply);
        if (!serverVersion) return fail();
        version_ = std::min(kProtocolVersion, *serverVersion);
    }
    return send(0, kSetClientName, encodeClientName(clientName));
}

void Client::disconnect() {
    socket_.reset();
    version_ = 0;
}

std::optional<std::vector<Controller>> Client::listControllers() {
    if (!connected()) return std::nullopt;
    if (!send(0, kRequestControllerCount, {})) return std::nullopt;
    const auto countReply = awaitReply(kRequestControllerCount, 0, steady_clock::now() + replyTimeout_);
    const std::optional<std::uint32_t> count = countReply ? decodeU32(*countReply) : std::nullopt;
    if (!count || *count > kMaxControllers) {
        fail();
        return std::nullopt;
    }

    std::vector<Controller> controllers;
    controllers.reserve(*count);
    std::size_t listed = 0;
    for (std::uint32_t index = 0; index < *count; ++index) {
        // The version goes along at version 0 too: servers that predate it ignore it.
        if (!send(index, kRequestControllerData, encodeU32(version_))) return std::nullopt;
        const auto reply = awaitReply(kRequestControllerData, index, steady_clock::now() + replyTimeout_);
        if (reply) listed += reply->size();
        std::optional<Controller> controller =
            reply && listed <= kMaxListingBytes ? parseController(*reply, version_) : std::nullopt;
        if (!controller) {
            fail();
            return std::nullopt;
        }
        controllers.push_back(std::move(*controller));
    }
    return controllers;
}

bool Client::updateLeds(std::uint32_t device, std::span<const Color> colors) {
    return send(device, kUpdateLeds, encodeUpdateLeds(colors));
}

bool Client::updateZoneLeds(std::uint32_t device, std::uint32_t zone, std::span<const Color> colors) {
    return send(device, kUpdateZoneLeds, encodeUpdateZoneLeds(zone, colors));
}

bool Client::updateSingleLed(std::uint32_t device, std::int32_t led, Color color) {
    return send(device, kUpdateSingleLed, encodeUpdateSingleLed(led, color));
}

bool Client::setCustomMode(std::uint32_t device) { return send(device, kSetCustomMode, {}); }

bool Client::updateMode(std::uint32_t device, std::int32_t modeIndex, const Mode& mode) {
    return send(device, kUpdateMode, encodeUpdateMode(modeIndex, mode, version_));
}

bool Client::pollEvents(Milliseconds wait) {
    if (!connected()) return false;
    Packet packet;
    Milliseconds firstByteWait = wait;
    std::size_t polled = 0;
    for (int read = 0; read < kMaxPacketsPerWait && polled < kMaxSkippedBytes; ++read) {
        switch (readPacket(socket_, firstByteWait, replyTimeout_, packet)) {
        case PacketRead::idle:
            return true;
        case PacketRead::failed:
            return fail();
        case PacketRead::packet:
            if (packet.header.id == kDeviceListUpdated) deviceListChanged_ = true;
            polled += kHeaderSize + packet.header.size;
            break;
        }
        // Only what has already come is read after the first packet.
        firstByteWait = Milliseconds(0);
    }
    return true;
}

bool Client::takeDeviceListChanged() { return std::exchange(deviceListChanged_, false); }

// Returns nullopt with the connection still open when nothing at all came before the deadline:
// the caller decides whether silence is a failure.
std::optional<std::vector<std::uint8_t>> Client::awaitReply(std::uint32_t id, std::uint32_t device,
                                                            steady_clock::time_point deadline) {
    Packet packet;
    std::size_t skippedBytes = 0;
    for (int read = 0; read < kMaxPacketsPerWait && skippedBytes <= kMaxSkippedBytes; ++read) {
        const Milliseconds left = timeLeft(deadline);
        if (left.count() < 0) return std::nullopt;
        switch (readPacket(socket_, left, replyTimeout_, packet)) {
        case PacketRead::idle:
            return std::nullopt;
        case PacketRead::failed:
            fail();
            return std::nullopt;
        case PacketRead::packet:
            break;
        }
        const Header& header = packet.header;
        if (header.id == kDeviceListUpdated) {
            deviceListChanged_ = true;
        } else if (header.id == id && (id != kRequestControllerData || header.device == device)) {
            return std::move(packet.payload);
        }
        skippedBytes += header.size;
    }
    fail();
    return std::nullopt;
}

bool Client::send(std::uint32_t device, std::uint32_t id, std::string_view payload) {
    if (!connected()) return false;
    if (lumo::net::sendAll(socket_, encodePacket(device, id, payload), kSendTimeout) != 0) return fail();
    return true;
}

bool Client::fail() {
    disconnect();
    return false;
}

}  // namespace lumo::openrgb
