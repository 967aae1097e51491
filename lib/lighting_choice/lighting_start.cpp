#include "lighting_choice/lighting_start.h"

#include <chrono>
#include <exception>
#include <optional>

#include "lighting/lumo_binding.h"
#include "lighting_choice/lighting_settings.h"
#include "net/socket.h"
#include "openrgb_lighting/backend.h"
#include "sdk_service/operations.h"

namespace lumo::lighting {

namespace {

using lumo::openrgb::Client;
using lumo::openrgb_lighting::Backend;
using namespace std::chrono_literals;

// Without a forced choice a server must answer now for OpenRGB to be chosen; on loopback a
// refusal is immediate, so only a port that accepts and then says nothing costs the wait.
constexpr auto kProbeConnectTimeout = 500ms;
constexpr auto kProbeReplyTimeout = 1000ms;

const char* inUse = "none";

bool chosen(bool started, const char* backend) {
    if (started) inUse = backend;
    return started;
}

bool lightThroughOpenRgb(const char* program, const ServerAddress& address, std::optional<Client> connection,
                         std::ostream& out) {
    // The socket library stays started for the life of the program.
    if (lumo::net::startSocketLibrary() != 0) return false;
    Backend::instance().start(address, program, std::move(connection));
    bindExports(lumo::sdk_service::operationNamed);
    out << "Lighting through OpenRGB at " << describe(address) << std::endl;
    // The service's own initialisation: the binding's would look for the maker's SDK again.
    return lumo::sdk_service::operations::LumoLedInit();
}

std::optional<Client> probe(const char* program, const ServerAddress& address) {
    if (lumo::net::startSocketLibrary() != 0) return std::nullopt;
    Client client(kProbeReplyTimeout);
    // An answered probe's connection is handed on, and its start of the library stays with it.
    if (client.connect(address.host, address.port, program, kProbeConnectTimeout)) return client;
    client.disconnect();
    lumo::net::stopSocketLibrary();
    return std::nullopt;
}

}  // namespace

bool startLighting(const char* program, std::ostream& out, std::ostream& problems) {
    LightingSettings settings;
    try {
        settings = readLightingSettings(problems);
    } catch (const std::exception& error) {
        problems << "Lighting settings: cannot be read (" << error.what() << "); keeping the defaults" << std::endl;
    }
    switch (settings.choice) {
    case LightingChoice::none:
        return false;
    case LightingChoice::makerSdk:
        return chosen(LumoLedInit(), "sdk");
    case LightingChoice::openRgb:
        return chosen(lightThroughOpenRgb(program, settings.openRgb, std::nullopt, out), "openrgb");
    case LightingChoice::automatic:
        break;
    }
    if (LumoLedInit()) return chosen(true, "sdk");
    std::optional<Client> connection = probe(program, settings.openRgb);
    if (!connection) return false;
    return chosen(lightThroughOpenRgb(program, settings.openRgb, std::move(connection), out), "openrgb");
}

const char* lightingInUse() { return inUse; }

}  // namespace lumo::lighting
