#include "openrgb_server.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "loopback.h"

namespace lumo::test {

namespace {

using lumo::net::Received;
using lumo::net::SocketHandle;
using openrgb::Controller;

// How long a connection's thread waits for bytes before it looks whether the server stops.
constexpr auto kReadSlice = std::chrono::milliseconds(50);
constexpr auto kSendTimeout = std::chrono::seconds(5);
constexpr std::uint32_t kHugePayload = 3u << 30;

void putU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes[offset++] = static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t stringBytes(const std::string& text) { return 2 + static_cast<std::uint32_t>(text.size()) + 1; }

// The packet of a controller-data reply, its blob spoilt as `hostility` asks; faults of the
// packet as a whole are reply()'s.
std::string controllerReply(const Controller& device, std::uint32_t index, std::uint32_t version,
                                           OpenRgbHostility hostility) {
    std::string blob = openrgb::encodeController(device, version);
    switch (hostility) {
    case OpenRgbHostility::dataSizeMismatch:
        putU32(blob, 0, static_cast<std::uint32_t>(blob.size()) + 4);
        break;
    case OpenRgbHostility::countBeyondPayload: {
        // The colour count sits before the colours and, from version 5, the alternate names
        // and the flags, so it can be found from the end.
        std::size_t tail = 4 * device.colors.size();
        if (version >= 5) {
            tail += 2 + 4;
            for (const std::string& name : device.alternateNames) tail += stringBytes(name);
        }
        const std::size_t at = blob.size() - tail - 2;
        const std::uint16_t count = static_cast<std::uint16_t>(std::min<std::size_t>(device.colors.size() + 1000, 0xFFFF));
        blob[at] = static_cast<char>(count & 0xFF);
        blob[at + 1] = static_cast<char>(count >> 8);
        break;
    }
    case OpenRgbHostility::stringWithoutNul:
        // data_size, type, the name's length, then the name and its NUL.
        blob[4 + 4 + 2 + device.name.size()] = '?';
        break;
    default:
        break;
    }
    return openrgb::encodePacket(index, openrgb::kRequestControllerData, blob);
}

}  // namespace

struct OpenRgbServer::Connection {
    int number = 0;
    SocketHandle socket;
    // Held to send and to close, so that replies, broadcasts and the close do not interleave.
    std::mutex sendMutex;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::uint32_t version = 0;  // negotiated; its own thread's alone
    std::thread thread;

    bool send(std::string_view bytes) {
        std::lock_guard lock(sendMutex);
        return socket && lumo::net::sendAll(socket, bytes, kSendTimeout) == 0;
    }

    // Exactly `size` bytes, waiting as long as it takes; false when the peer closed, the read
    // failed or the server stops.
    bool read(char* buffer, std::size_t size) {
        std::size_t got = 0;
        while (got < size) {
            if (stop) return false;
            const Received received = lumo::net::receiveSome(socket, buffer + got, size - got, kReadSlice);
            if (received.outcome == Received::Outcome::timedOut) continue;
            if (received.outcome != Received::Outcome::data) return false;
            got += received.bytes;
        }
        return true;
    }
};

std::optional<std::size_t> OpenRgbSnapshot::ledIndex(std::size_t device, std::string_view name) const {
    if (device >= devices.size()) return std::nullopt;
    const std::vector<openrgb::Led>& leds = devices[device].leds;
    const auto found = std::find_if(leds.begin(), leds.end(), [&](const openrgb::Led& led) { return led.name == name; });
    if (found == leds.end()) return std::nullopt;
    return static_cast<std::size_t>(found - leds.begin());
}

std::optional<openrgb::Color> OpenRgbSnapshot::ledColor(std::size_t device, std::string_view name) const {
    const std::optional<std::size_t> index = ledIndex(device, name);
    if (!index || *index >= devices[device].colors.size()) return std::nullopt;
    return devices[device].colors[*index];
}

std::size_t OpenRgbSnapshot::packetCount(std::uint32_t id) const {
    return static_cast<std::size_t>(
        std::count_if(packets.begin(), packets.end(), [id](const OpenRgbPacket& packet) { return packet.id == id; }));
}

OpenRgbServer::OpenRgbServer(std::vector<Controller> devices, OpenRgbBehaviour behaviour, std::uint16_t port)
    : port_(port), behaviour_(behaviour) {
    startSocketsOnce();
    state_.devices = std::move(devices);
    if (!start()) throw std::runtime_error("cannot open the test OpenRGB server on port " + std::to_string(port));
}

OpenRgbServer::~OpenRgbServer() { stop(); }

bool OpenRgbServer::start() {
    std::lock_guard lock(mutex_);
    if (running_) return true;
    int error = 0;
    SocketHandle listener = lumo::net::openTcpSocket(error);
    if (!listener || lumo::net::bindSocket(listener, loopbackAddress(), port_) != 0 ||
        lumo::net::listenOnSocket(listener, 8) != 0) {
        return false;
    }
    port_ = lumo::net::boundPort(listener);
    if (port_ == 0) return false;
    listener_ = std::move(listener);
    stopping_ = false;
    running_ = true;
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

bool OpenRgbServer::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void OpenRgbServer::stop() {
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        stopping_ = true;
        // Ends the accept the accepting thread is blocked in.
        lumo::net::interruptAccept(listener_);
    }
    if (acceptThread_.joinable()) acceptThread_.join();
    std::list<std::unique_ptr<Connection>> connections;
    {
        std::lock_guard lock(mutex_);
        listener_.reset();
        connections.swap(connections_);
    }
    for (const std::unique_ptr<Connection>& connection : connections) connection->stop = true;
    for (const std::unique_ptr<Connection>& connection : connections) connection->thread.join();
    std::lock_guard lock(mutex_);
    running_ = false;
    changed_.notify_all();
}

void OpenRgbServer::acceptLoop() {
    for (;;) {
        int error = 0;
        SocketHandle accepted = lumo::net::acceptConnection(listener_, error);
        joinFinishedConnections();
        std::lock_guard lock(mutex_);
        if (stopping_ || !accepted) return;
        auto connection = std::make_unique<Connection>();
        connection->number = ++state_.connectionsAccepted;
        connection->socket = std::move(accepted);
        ++state_.connectionsOpen;
        Connection& started = *connection;
        connections_.push_back(std::move(connection));
        started.thread = std::thread([this, &started] { serve(started); });
        changed_.notify_all();
    }
}

void OpenRgbServer::joinFinishedConnections() {
    std::list<std::unique_ptr<Connection>> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            const auto next = std::next(it);
            if ((*it)->finished) finished.splice(finished.end(), connections_, it);
            it = next;
        }
    }
    for (const std::unique_ptr<Connection>& connection : finished) connection->thread.join();
}

void OpenRgbServer::serve(Connection& connection) {
    for (;;) {
        std::uint8_t head[openrgb::kHeaderSize];
        if (!connection.read(reinterpret_cast<char*>(head), sizeof head)) break;
        const std::optional<openrgb::Header> header = openrgb::decodeHeader(head);
        if (!header) {
            violation(connection, 0,
                      std::memcmp(head, "ORGB", 4) != 0 ? "a header without ORGB" : "a payload beyond the limit");
            break;
        }
        std::string payload(header->size, '\0');
        if (!connection.read(payload.data(), payload.size())) break;
        {
            std::lock_guard lock(mutex_);
            state_.packets.push_back({.connection = connection.number,
                                      .device = header->device,
                                      .id = header->id,
                                      .payload = payload,
                                      .time = std::chrono::steady_clock::now()});
            changed_.notify_all();
        }
        if (!handle(connection, *header, payload)) break;
    }
    {
        std::lock_guard lock(connection.sendMutex);
        connection.socket.reset();
    }
    std::lock_guard lock(mutex_);
    --state_.connectionsOpen;
    connection.finished = true;
    changed_.notify_all();
}

bool OpenRgbServer::handle(Connection& connection, const openrgb::Header& header, const std::string& payload) {
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
    switch (header.id) {
    case openrgb::kRequestProtocolVersion: {
        const std::uint32_t clientVersion = openrgb::decodeU32(bytes).value_or(0);
        const OpenRgbBehaviour now = behaviour();
        // A server that does not answer speaks version 0, whatever the client asked for.
        connection.version = now.answerVersionRequest ? std::min(clientVersion, now.protocolVersion) : 0;
        if (now.answerVersionRequest)
            connection.send(openrgb::encodePacket(0, openrgb::kRequestProtocolVersion, openrgb::encodeU32(now.protocolVersion)));
        return true;
    }
    case openrgb::kSetClientName: {
        std::lock_guard lock(mutex_);
        state_.clientNames.push_back(payload.substr(0, payload.find('\0')));
        changed_.notify_all();
        return true;
    }
    case openrgb::kRequestControllerCount: {
        std::unique_lock lock(mutex_);
        const OpenRgbBehaviour now = behaviour_;
        std::uint32_t count = static_cast<std::uint32_t>(state_.devices.size());
        lock.unlock();
        if (now.hostility == OpenRgbHostility::countBeyondPayload) count += 2;
        reply(connection, 0, header.id, openrgb::encodePacket(0, header.id, openrgb::encodeU32(count)), true);
        return true;
    }
    case openrgb::kRequestControllerData: {
        std::unique_lock lock(mutex_);
        if (header.device >= state_.devices.size()) return true;
        const OpenRgbBehaviour now = behaviour_;
        const std::uint32_t asked = payload.empty() ? 0 : openrgb::decodeU32(bytes).value_or(0);
        const std::uint32_t version = std::min({asked, now.protocolVersion, openrgb::kProtocolVersion});
        std::string packet = controllerReply(state_.devices[header.device], header.device, version, now.hostility);
        lock.unlock();
        reply(connection, header.device, header.id, std::move(packet), true);
        return true;
    }
    case openrgb::kUpdateLeds:
    case openrgb::kUpdateZoneLeds:
    case openrgb::kUpdateSingleLed:
    case openrgb::kSetCustomMode:
    case openrgb::kUpdateMode:
        return applyCommand(connection, header, payload);
    default:
        return true;
    }
}

bool OpenRgbServer::applyCommand(Connection& connection, const openrgb::Header& header, const std::string& payload) {
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
    std::string refusal;
    {
        std::lock_guard lock(mutex_);
        if (header.device >= state_.devices.size()) return true;
        Controller& device = state_.devices[header.device];
        switch (header.id) {
        case openrgb::kUpdateLeds:
            if (const std::optional<openrgb::LedsUpdate> update = openrgb::parseUpdateLeds(bytes); !update) {
                refusal = "UPDATELEDS whose data_size or count disagrees with its size";
            } else if (update->colors.size() != device.colors.size()) {
                refusal = "UPDATELEDS with " + std::to_string(update->colors.size()) + " colours for " +
                          std::to_string(device.colors.size()) + " LEDs";
            } else {
                device.colors = update->colors;
            }
            break;
        case openrgb::kUpdateZoneLeds:
            if (const std::optional<openrgb::LedsUpdate> update = openrgb::parseUpdateZoneLeds(bytes); !update) {
                refusal = "UPDATEZONELEDS whose data_size or count disagrees with its size";
            } else if (*update->zone >= device.zones.size()) {
                refusal = "UPDATEZONELEDS for zone " + std::to_string(*update->zone) + " of " +
                          std::to_string(device.zones.size());
            } else if (update->colors.size() != device.zones[*update->zone].ledsCount) {
                refusal = "UPDATEZONELEDS with " + std::to_string(update->colors.size()) + " colours for " +
                          std::to_string(device.zones[*update->zone].ledsCount) + " LEDs";
            } else {
                std::size_t first = 0;
                for (std::uint32_t zone = 0; zone < *update->zone; ++zone) first += device.zones[zone].ledsCount;
                if (first + update->colors.size() > device.colors.size()) {
                    refusal = "UPDATEZONELEDS beyond the device's colours";
                } else {
                    std::copy(update->colors.begin(), update->colors.end(), device.colors.begin() + first);
                }
            }
            break;
        case openrgb::kUpdateSingleLed:
            if (const std::optional<openrgb::SingleLedUpdate> update = openrgb::parseUpdateSingleLed(bytes); !update) {
                refusal = "UPDATESINGLELED of " + std::to_string(payload.size()) + " bytes";
            } else if (update->led < 0 || static_cast<std::size_t>(update->led) >= device.colors.size()) {
                refusal = "UPDATESINGLELED for LED " + std::to_string(update->led);
            } else {
                device.colors[update->led] = update->color;
            }
            break;
        case openrgb::kSetCustomMode: {
            const auto perLed = std::find_if(device.modes.begin(), device.modes.end(), [](const openrgb::Mode& mode) {
                return (mode.flags & openrgb::kModeFlagPerLedColor) != 0;
            });
            if (perLed != device.modes.end()) device.activeMode = static_cast<std::int32_t>(perLed - device.modes.begin());
            break;
        }
        case openrgb::kUpdateMode:
            if (const std::optional<openrgb::ModeUpdate> update = openrgb::parseUpdateMode(bytes, connection.version);
                !update) {
                refusal = "UPDATEMODE whose data_size or mode block disagrees with its size";
            } else if (update->modeIndex < 0 || static_cast<std::size_t>(update->modeIndex) >= device.modes.size()) {
                refusal = "UPDATEMODE for mode " + std::to_string(update->modeIndex);
            } else {
                // The settings a client may change; the mode's name and limits are the device's.
                openrgb::Mode& mode = device.modes[update->modeIndex];
                mode.speed = update->mode.speed;
                mode.brightness = update->mode.brightness;
                mode.direction = update->mode.direction;
                mode.colorMode = update->mode.colorMode;
                mode.colors = update->mode.colors;
                device.activeMode = update->modeIndex;
            }
            break;
        default:
            break;
        }
        if (refusal.empty()) {
            changed_.notify_all();
            return true;
        }
    }
    violation(connection, header.id, std::move(refusal));
    return false;
}

void OpenRgbServer::reply(Connection& connection, std::uint32_t device, std::uint32_t id, std::string packet,
                          bool spoilable) {
    const OpenRgbBehaviour now = behaviour();
    if (now.deviceListUpdatedBeforeReply) connection.send(openrgb::encodePacket(0, openrgb::kDeviceListUpdated));
    if (spoilable && now.replyDelay.count() > 0) std::this_thread::sleep_for(now.replyDelay);
    if (spoilable) {
        switch (now.hostility) {
        case OpenRgbHostility::silence:
            return;
        case OpenRgbHostility::hugeAnnouncedPayload:
            packet = openrgb::encodePacket(device, id);
            putU32(packet, 12, kHugePayload);
            break;
        case OpenRgbHostility::badMagic:
            packet.replace(0, 4, "XXXX");
            break;
        default:
            break;
        }
    }
    connection.send(packet);
}

void OpenRgbServer::violation(Connection& connection, std::uint32_t id, std::string reason) {
    std::lock_guard lock(mutex_);
    state_.violations.push_back({.connection = connection.number, .id = id, .reason = std::move(reason)});
    changed_.notify_all();
}

void OpenRgbServer::setBehaviour(const OpenRgbBehaviour& behaviour) {
    std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
}

OpenRgbBehaviour OpenRgbServer::behaviour() const {
    std::lock_guard lock(mutex_);
    return behaviour_;
}

void OpenRgbServer::setDevices(std::vector<Controller> devices) {
    {
        std::lock_guard lock(mutex_);
        state_.devices = std::move(devices);
        changed_.notify_all();
    }
    broadcastDeviceListUpdated();
}

void OpenRgbServer::sendDeviceListUpdated() { broadcastDeviceListUpdated(); }

void OpenRgbServer::broadcastDeviceListUpdated() {
    const std::string packet = openrgb::encodePacket(0, openrgb::kDeviceListUpdated);
    // Connections are only removed under the lock, so each stays alive while it is told.
    std::lock_guard lock(mutex_);
    for (const std::unique_ptr<Connection>& connection : connections_) {
        if (!connection->finished) connection->send(packet);
    }
}

OpenRgbSnapshot OpenRgbServer::snapshot() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool OpenRgbServer::waitUntil(const std::function<bool(const Snapshot&)>& condition,
                              std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return condition(state_); });
}

}  // namespace lumo::test
