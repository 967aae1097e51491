#include "lumo_doctor/checks.h"

#include <nlohmann/json.hpp>

#include "filesystem/operations.h"
#include "gamestate/request_framing.h"
#include "lighting/lumo_binding.h"
#include "lighting/sdk_library.h"
#include "lighting_choice/lighting_settings.h"
#include "net/socket.h"
#include "openrgb/client.h"
#include "openrgb_lighting/device_map.h"
#include "status/status_file.h"
#include "registry/registry.h"

namespace lumo::doctor {

using namespace std::chrono_literals;

namespace {

constexpr auto kOpenRgbConnectTimeout = 500ms;
constexpr std::size_t kLargestPost = 1 << 20;
constexpr auto kPostReadTimeout = 2s;

// Starts the socket library for a scope.
class Sockets {
public:
    Sockets() : started_(net::startSocketLibrary() == 0) {}
    ~Sockets() {
        if (started_) net::stopSocketLibrary();
    }
    explicit operator bool() const { return started_; }

private:
    bool started_;
};

// One request read whole: header block and the body it declares.
std::string readRequest(const net::SocketHandle& connection) {
    std::string request;
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + kPostReadTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::optional<std::size_t> expected = gamestate::expectedRequestSize(request, kLargestPost);
        if (expected && request.size() >= *expected) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const net::Received got = net::receiveSome(connection, buffer, sizeof buffer, std::max(left, 1ms));
        if (got.outcome != net::Received::Outcome::data) break;
        request.append(buffer, got.bytes);
    }
    return request;
}

}  // namespace

Check checkMakerSdk(const Facts& facts, bool& usable) {
    usable = false;
    const lighting::LightingSettings& settings = facts.lighting;
    if (settings.choice == lighting::LightingChoice::openRgb || settings.choice == lighting::LightingChoice::none) {
        return {"sdk", "all", Status::ok, "not used: the lighting settings choose " +
                                              std::string(settings.choice == lighting::LightingChoice::none ? "no lighting" : "OpenRGB"), ""};
    }
    const std::string library = util::readRegistryString(lighting::kSdkLocationKey, "", 0);
    if (library.empty()) {
        return {"sdk", "all", Status::warning, "the maker's SDK is not registered",
                "Install the keyboard maker's software, or light the keyboard through OpenRGB (see the next line)."};
    }
    std::error_code ec;
    const filesystem::path registered = filesystem::path_from_utf8(library, ec);
    if (ec || !filesystem::exists(registered, ec)) {
        return {"sdk", "all", Status::failure, "the SDK registered at " + library + " does not exist",
                "Reinstall the keyboard maker's software."};
    }
    // The programs' own loader: the same signature check, the same refusal.
    if (lighting::loadVerifiedLibrary(library) == nullptr) {
        return {"sdk", "all", Status::failure, library + " fails the signature check or does not load",
                "Reinstall the keyboard maker's software; the programs load only a library the maker signed."};
    }
    usable = true;
    return {"sdk", "all", Status::ok, library + ", signature valid", ""};
}

Check checkOpenRgb(const Facts& facts, bool makerSdkUsable) {
    const lighting::LightingSettings& settings = facts.lighting;
    const std::string where = lighting::describe(settings.openRgb);
    if (settings.choice == lighting::LightingChoice::makerSdk || settings.choice == lighting::LightingChoice::none) {
        return {"openrgb", "all", Status::ok, "not used: the lighting settings choose " +
                                                  std::string(settings.choice == lighting::LightingChoice::none ? "no lighting" : "the maker's SDK"), ""};
    }
    const Sockets sockets;
    openrgb::Client client;
    std::optional<std::vector<openrgb::Controller>> controllers;
    if (sockets && client.connect(settings.openRgb.host, settings.openRgb.port, "lumo-doctor", kOpenRgbConnectTimeout)) {
        controllers = client.listControllers();
    }
    client.disconnect();
    if (!controllers) {
        if (makerSdkUsable && settings.choice == lighting::LightingChoice::automatic) {
            return {"openrgb", "all", Status::ok, "no OpenRGB server at " + where + " (not needed: the maker's SDK lights the keyboard)", ""};
        }
        return {"openrgb", "all", Status::failure, "no OpenRGB server answers at " + where + ", so nothing lights the keyboard",
                "Start OpenRGB with its SDK server on (or set LUMO_OPENRGB / settings.json to where it runs)."};
    }
    std::vector<std::string> keyboards;
    for (const openrgb::Controller& controller : *controllers) {
        if (controller.type != static_cast<std::int32_t>(openrgb::DeviceType::keyboard)) continue;
        const openrgb_lighting::DeviceMap map = openrgb_lighting::mapDevice(controller);
        keyboards.push_back(controller.name + " (" + std::to_string(map.keyLeds) + " of " + std::to_string(controller.leds.size()) +
                            " LEDs lit as keys)");
    }
    std::string list;
    for (const std::string& keyboard : keyboards) list += (list.empty() ? "" : ", ") + keyboard;
    if (keyboards.empty()) {
        return {"openrgb", "all", makerSdkUsable ? Status::ok : Status::warning,
                "OpenRGB at " + where + " offers " + std::to_string(controllers->size()) + " devices, no keyboard",
                makerSdkUsable ? "" : "Only the device colour will show: OpenRGB lists no keyboard (is it detected in OpenRGB?)."};
    }
    return {"openrgb", "all", Status::ok, "OpenRGB at " + where + ": " + list, ""};
}

std::optional<HeardPost> listenForPost(std::uint16_t port, int seconds) {
    const Sockets sockets;
    if (!sockets) return std::nullopt;
    int error = 0;
    net::SocketHandle listener = net::openTcpSocket(error);
    if (!listener || net::bindSocket(listener, net::ipv4Address(127, 0, 0, 1), port) != 0 ||
        net::listenOnSocket(listener, 5) != 0) {
        return std::nullopt;
    }
    HeardPost heard;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!net::waitReadable(listener, std::max(left, 1ms))) continue;
        net::SocketHandle connection = net::acceptConnection(listener, error);
        if (!connection) continue;
        const std::string request = readRequest(connection);
        net::sendAll(connection, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 1s);
        const std::size_t body = request.find("\r\n\r\n");
        if (body == std::string::npos) continue;  // not a post: keep waiting for one
        heard.received = true;
        heard.after = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        heard.body = request.substr(body + 4);
        heard.appId = status::providerAppId(heard.body);
        const nlohmann::json json = nlohmann::json::parse(heard.body, nullptr, false);
        if (json.is_object()) {
            for (const auto& [key, value] : json.items()) heard.sections.push_back(key);
        }
        break;
    }
    return heard;
}

}  // namespace lumo::doctor
