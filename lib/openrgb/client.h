#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "net/socket.h"
#include "openrgb/protocol.h"

// One connection to an OpenRGB SDK server. Every call blocks for at most its time-out; any
// failure (refused, reset, closed, a malformed or oversized reply, no reply in time) closes the
// connection, and connected() turns false until connect() succeeds again. Not thread-safe: one
// thread owns a client. Nothing is thrown.

namespace lumo::openrgb {

class Client {
public:
    using Milliseconds = std::chrono::milliseconds;

    // How long each reply is waited for.
    explicit Client(Milliseconds replyTimeout = Milliseconds(1000)) : replyTimeout_(replyTimeout) {}

    // Connects to `host` (a name or dotted address) and `port`, negotiates the version (a
    // server that does not answer the version request in time speaks 0) and sends `clientName`.
    // False, and not connected, on any failure. The socket library must have been started.
    bool connect(const std::string& host, std::uint16_t port, std::string_view clientName,
                 Milliseconds connectTimeout);
    void disconnect();
    bool connected() const { return static_cast<bool>(socket_); }
    // The negotiated version; meaningful while connected.
    std::uint32_t version() const { return version_; }

    // Every controller, asked one after the other; nullopt (and disconnected) on any failure.
    // A DEVICE_LIST_UPDATED that arrives meanwhile is remembered (deviceListChanged()).
    std::optional<std::vector<Controller>> listControllers();

    // Commands; the server sends no reply. False (and disconnected) when sending failed.
    bool updateLeds(std::uint32_t device, std::span<const Color> colors);
    bool updateZoneLeds(std::uint32_t device, std::uint32_t zone, std::span<const Color> colors);
    bool updateSingleLed(std::uint32_t device, std::int32_t led, Color color);
    bool setCustomMode(std::uint32_t device);
    bool updateMode(std::uint32_t device, std::int32_t modeIndex, const Mode& mode);

    // Reads what the server sent unasked, waiting at most `wait` for the first packet: notes a
    // DEVICE_LIST_UPDATED, skips anything else. False when the connection failed or ended.
    bool pollEvents(Milliseconds wait);
    // True once since the last call when the server said its device list changed.
    bool takeDeviceListChanged();

private:
    std::optional<std::vector<std::uint8_t>> awaitReply(std::uint32_t id, std::uint32_t device,
                                                        std::chrono::steady_clock::time_point deadline);
    bool send(std::uint32_t device, std::uint32_t id, std::string_view payload);
    bool fail();

    Milliseconds replyTimeout_;
    lumo::net::SocketHandle socket_;
    std::uint32_t version_ = 0;
    bool deviceListChanged_ = false;
};

}  // namespace lumo::openrgb
