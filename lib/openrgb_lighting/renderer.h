#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "openrgb/client.h"
#include "openrgb_lighting/device_map.h"
#include "sdk_service/appearance.h"

// The devices of one OpenRGB server as the SDK's picture drives them: each device switched to
// its direct mode before its first frame, a frame sent only when it differs from the last one
// sent, and each device's own mode put back when the lighting ends. Found again by identity
// whenever the server's list changes or the connection is made anew. One thread owns it.

namespace lumo::openrgb_lighting {

using lumo::openrgb::Client;

struct ServerAddress {
    std::string host = "127.0.0.1";
    std::uint16_t port = lumo::openrgb::kDefaultPort;
    bool operator==(const ServerAddress&) const = default;
};

class Renderer {
public:
    Renderer(ServerAddress address, std::string clientName);

    // Takes over a connection made elsewhere (the start-up probe).
    void adopt(Client client);
    // Connects and lists the devices unless connected; false when that failed. The server's
    // host name is resolved by the first attempt that finds it, and that address is kept for
    // every later connection: a name lookup may block for seconds.
    bool ensureConnected(std::chrono::milliseconds connectTimeout);
    bool connected() const { return client_.connected(); }
    // Drops the connection (the devices keep what they show); the next ensureConnected lists
    // them anew.
    void disconnect() { client_.disconnect(); }
    // Reads what the server sent unasked (waiting at most `wait`) and lists the devices again
    // when it said they changed; false when the connection was lost.
    bool serviceConnection(std::chrono::milliseconds wait);

    // Sends each device its frame of `picture` where it changed; false when the connection was
    // lost (the next frame after reconnecting repaints everything).
    bool paint(const lumo::sdk_service::Appearance& picture);
    // Puts back each driven device's own mode; the devices then show what they did before.
    void restoreModes();

    struct Device {
        std::uint32_t index = 0;
        DeviceIdentity identity;
        Controller controller;
        DeviceMap map;
        int directMode = -1;
        bool inDirectMode = false;
        std::optional<std::vector<Color>> lastFrame;
    };
    const std::vector<Device>& devices() const { return devices_; }
    // Grows each time the devices are listed: their frames must then be sent anew.
    std::uint64_t generation() const { return generation_; }
    const ServerAddress& address() const { return address_; }

private:
    bool enumerate();
    bool switchToDirect(Device& device);

    ServerAddress address_;
    std::string clientName_;
    std::optional<std::uint32_t> resolved_;  // the host's address, once found
    Client client_;
    std::vector<Device> devices_;
    std::uint64_t generation_ = 0;
    // Each device's mode when this program first saw it, so the mode put back at the end is
    // the player's and not the direct mode set here, across list changes and reconnections.
    std::map<DeviceIdentity, std::int32_t> ownModes_;
};

}  // namespace lumo::openrgb_lighting
