// openrgb-test-server [PORT]: serves the test server's default devices on 127.0.0.1:PORT (a
// free port when none is given) until it is killed, for trying the programs by hand. Prints
// the port, then each client's name, mode change and refused command as they come.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "openrgb_server.h"

namespace {

std::string describe(const lumo::test::OpenRgbSnapshot& state, std::size_t device) {
    const lumo::openrgb::Controller& controller = state.devices[device];
    const auto mode = static_cast<std::size_t>(controller.activeMode);
    return controller.name + ": " + (mode < controller.modes.size() ? controller.modes[mode].name : "no mode");
}

int run(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: openrgb-test-server [PORT]\n";
        return 2;
    }
    const unsigned long port = argc == 2 ? std::strtoul(argv[1], nullptr, 10) : 0;
    if (port > 0xFFFF) {
        std::cerr << "not a port: " << argv[1] << '\n';
        return 2;
    }
    lumo::test::OpenRgbServer server(lumo::test::defaultDevices(), {}, static_cast<std::uint16_t>(port));
    std::cout << "OpenRGB test server on 127.0.0.1:" << server.port() << std::endl;

    lumo::test::OpenRgbSnapshot seen = server.snapshot();
    for (;;) {
        server.waitUntil(
            [&](const lumo::test::OpenRgbSnapshot& now) {
                return now.clientNames.size() != seen.clientNames.size() ||
                       now.violations.size() != seen.violations.size() || now.devices.size() != seen.devices.size() ||
                       std::any_of(now.devices.begin(), now.devices.end(), [&](const auto& device) {
                           const auto index = static_cast<std::size_t>(&device - now.devices.data());
                           return device.activeMode != seen.devices[index].activeMode;
                       });
            },
            std::chrono::hours(1));
        const lumo::test::OpenRgbSnapshot now = server.snapshot();
        for (std::size_t i = seen.clientNames.size(); i < now.clientNames.size(); ++i)
            std::cout << "client: " << now.clientNames[i] << '\n';
        for (std::size_t i = seen.violations.size(); i < now.violations.size(); ++i)
            std::cout << "refused on connection " << now.violations[i].connection << ": " << now.violations[i].reason
                      << '\n';
        for (std::size_t device = 0; device < now.devices.size(); ++device) {
            if (device >= seen.devices.size() || now.devices[device].activeMode != seen.devices[device].activeMode)
                std::cout << describe(now, device) << '\n';
        }
        std::cout.flush();
        seen = now;
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "openrgb-test-server: " << failure.what() << '\n';
        return 1;
    }
}
