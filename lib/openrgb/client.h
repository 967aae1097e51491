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

// The most payload bytes one listing of the controllers may bring, all replies together:
// far beyond any machine's devices (a full-size keyboard's blob is a few KiB), and a bound
// on what a broken or hostile server can make the client hold.
inline constexpr std::size_t kMaxListingBytes = 16u << 20;

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
    // The same for an IPv4 address already resolved (network byte order).
    bool connect(std::uint32_t address, std::uint16_t port, std::string_view clientName,
                 Milliseconds connectTimeout);
    void disconnect();
    bool connected() const { return static_cast<bool>(socket_); }
    // The negotiated version; meaningful while connected.
    std::uint32_t version() const { return version_; }

    // Every controller, asked one after the other; nullopt (and disconnected) on any failure,
    // also when the replies together exceed kMaxListingBytes. A DEVICE_LIST_UPDATED that
    // arrives meanwhile is remembered (takeDeviceListChanged()).
    std::optional<std::vector<Controller>> listControllers();

    // Commands; the server sends no reply. False (and disconnected) when sending failed.
    bool updateLeds(std::uint32_t device, std::span<const Color> colors);
    bool updateZoneLeds(std::uint32_t device, std::uint32_t zone, std::span<const Color> colors);
    bool updateSingleLed(std::uint32_t device, std::int32_t led, Color color);
    bool setCustomMode(std::uint32_t device);
    bool updateMode(std::uint32_t device, std::int32_t modeIndex, const Mode& mode);

    // Reads what the server sent unasked, waiting at most `wait` for the first packet: notes a
    // DEVICE_LIST_UPDATED, skips anything else. Stops after about 16 MiB, leaving the
    // rest for the next call. False when the connection failed or ended.
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
