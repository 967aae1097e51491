#include "openrgb_lighting/renderer.h"

#include <utility>

#include "net/socket.h"

namespace lumo::openrgb_lighting {

Renderer::Renderer(ServerAddress address, std::string clientName)
    : address_(std::move(address)), clientName_(std::move(clientName)) {}

void Renderer::adopt(Client client) {
    client_ = std::move(client);
    if (client_.connected() && !enumerate()) client_.disconnect();
}

bool Renderer::ensureConnected(std::chrono::milliseconds connectTimeout) {
    if (client_.connected()) return true;
    if (!resolved_) resolved_ = lumo::net::resolveIpv4(address_.host);
    if (!resolved_ || !client_.connect(*resolved_, address_.port, clientName_, connectTimeout)) return false;
    if (enumerate()) return true;
    client_.disconnect();
    return false;
}

bool Renderer::serviceConnection(std::chrono::milliseconds wait) {
    if (!client_.connected()) return false;
    if (!client_.pollEvents(wait)) return false;
    if (client_.takeDeviceListChanged() && !enumerate()) {
        client_.disconnect();
        return false;
    }
    return true;
}

bool Renderer::enumerate() {
    // A change announced while listing is answered by listing again, a few times at most.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::optional<std::vector<Controller>> listed = client_.listControllers();
        if (!listed) return false;
        std::vector<Device> found;
        for (std::uint32_t i = 0; i < listed->size(); ++i) {
            Device device;
            device.index = i;
            device.controller = std::move((*listed)[i]);
            device.identity = identityOf(device.controller);
            device.map = mapDevice(device.controller);
            device.directMode = directModeIndex(device.controller);
            ownModes_.try_emplace(device.identity, device.controller.activeMode);
            found.push_back(std::move(device));
        }
        devices_ = std::move(found);
        ++generation_;
        if (!client_.takeDeviceListChanged()) return true;
    }
    return true;
}

bool Renderer::switchToDirect(Device& device) {
    if (device.inDirectMode) return true;
    const auto& modes = device.controller.modes;
    if (device.directMode >= 0) {
        if (!client_.updateMode(device.index, device.directMode, modes[static_cast<std::size_t>(device.directMode)]))
            return false;
    } else if (!client_.setCustomMode(device.index)) {
        return false;
    }
    device.inDirectMode = true;
    return true;
}

bool Renderer::paint(const lumo::sdk_service::Appearance& picture) {
    if (!client_.connected()) return false;
    for (Device& device : devices_) {
        if (device.controller.leds.empty()) continue;
        std::vector<Color> frame = composeFrame(device.map, picture);
        if (device.lastFrame == frame) continue;
        if (!switchToDirect(device) || !client_.updateLeds(device.index, frame)) {
            client_.disconnect();
            return false;
        }
        device.lastFrame = std::move(frame);
    }
    return true;
}

void Renderer::restoreModes() {
    for (Device& device : devices_) {
        if (!device.inDirectMode) continue;
        device.inDirectMode = false;
        device.lastFrame.reset();
        const auto own = ownModes_.find(device.identity);
        const std::int32_t mode = own == ownModes_.end() ? device.controller.activeMode : own->second;
        const auto& modes = device.controller.modes;
        if (mode < 0 || static_cast<std::size_t>(mode) >= modes.size()) continue;
        if (client_.connected()) client_.updateMode(device.index, mode, modes[static_cast<std::size_t>(mode)]);
    }
}

}  // namespace lumo::openrgb_lighting
