// The renderer against the tests' OpenRGB server: what it sends, and what it puts back.
#include "openrgb_lighting/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "openrgb_server.h"

namespace lumo::openrgb_lighting {
namespace {

using namespace std::chrono_literals;
using lumo::sdk_service::Appearance;
using lumo::test::OpenRgbServer;
using lumo::test::OpenRgbSnapshot;

constexpr std::size_t kKeyboard = 0, kMouse = 1;
constexpr int kDirect = 0;
constexpr int kKeyboardOwnMode = 2, kMouseOwnMode = 1;

Appearance picture(lumo::sdk_service::Rgb keys, lumo::sdk_service::Rgb device) {
    Appearance shown;
    shown.keys.fill(keys);
    shown.device = device;
    return shown;
}

// Each device's own mode comes back at the end, also after the server listed its devices anew
// (then reporting the direct mode set here as theirs) and moved them to other indices.
TEST(Renderer, OwnModesComeBackAfterTheServerListsTheDevicesAgain) {
    for (const bool reordered : {false, true}) {
        SCOPED_TRACE(reordered ? "devices swapped" : "same order");
        OpenRgbServer server;
        Renderer renderer({"127.0.0.1", server.port()}, "renderer test");
        ASSERT_TRUE(renderer.ensureConnected(1s));
        ASSERT_TRUE(renderer.paint(picture({255, 0, 0}, {0, 0, 255})));
        // Every frame taken before the list changes: a frame still on its way would then meet a
        // device of another size.
        const auto painted = [](const openrgb::Controller& device, openrgb::Color colour) {
            return device.activeMode == kDirect &&
                   std::find(device.colors.begin(), device.colors.end(), colour) != device.colors.end();
        };
        ASSERT_TRUE(server.waitUntil(
            [&](const OpenRgbSnapshot& s) {
                return painted(s.devices[kKeyboard], openrgb::makeColor(255, 0, 0)) &&
                       painted(s.devices[kMouse], openrgb::makeColor(0, 0, 255));
            },
            2s));

        const std::uint64_t generation = renderer.generation();
        std::vector<openrgb::Controller> listed = server.snapshot().devices;  // in direct mode now
        if (reordered) std::swap(listed[0], listed[1]);
        server.setDevices(listed);
        for (int i = 0; i < 50 && renderer.generation() == generation; ++i)
            ASSERT_TRUE(renderer.serviceConnection(100ms));
        ASSERT_GT(renderer.generation(), generation) << "listed again";
        ASSERT_TRUE(renderer.paint(picture({255, 0, 0}, {0, 0, 255})));
        renderer.restoreModes();

        const std::size_t keyboard = reordered ? 1 : 0, mouse = reordered ? 0 : 1;
        EXPECT_TRUE(server.waitUntil(
            [&](const OpenRgbSnapshot& s) {
                return s.devices[keyboard].activeMode == kKeyboardOwnMode &&
                       s.devices[mouse].activeMode == kMouseOwnMode;
            },
            2s));
        EXPECT_TRUE(server.snapshot().violations.empty());
    }
}

// A frame goes to a device only when it differs from the last one it got; after a new listing
// every device gets its frame again, since the server may have lost it.
TEST(Renderer, NothingIsSentWhenNothingChanged) {
    OpenRgbServer server;
    Renderer renderer({"127.0.0.1", server.port()}, "renderer test");
    ASSERT_TRUE(renderer.ensureConnected(1s));
    const auto frames = [&] { return server.snapshot().packetCount(openrgb::kUpdateLeds); };
    const auto packets = [&] { return server.snapshot().packets.size(); };
    const auto settle = [&](std::size_t expected) {
        server.waitUntil(
            [&](const OpenRgbSnapshot& s) { return s.packetCount(openrgb::kUpdateLeds) >= expected; }, 2s);
        std::this_thread::sleep_for(50ms);  // anything more that was sent has arrived too
        return frames();
    };
    Appearance keysRed = picture({255, 0, 0}, {0, 0, 255});
    Appearance oneKeyGreen = keysRed;
    oneKeyGreen.keys[0] = {0, 255, 0};
    const struct {
        const char* what;
        const Appearance& shown;
        bool listAgainFirst;
        std::size_t frames;  // UPDATELEDS packets it costs
    } steps[] = {
        {"the first picture, both devices", keysRed, false, 2},
        {"the same again", keysRed, false, 0},
        {"one key changed: the keyboard only", oneKeyGreen, false, 1},
        {"the same again", oneKeyGreen, false, 0},
        {"after a new listing, both again", oneKeyGreen, true, 2},
        {"and then nothing", oneKeyGreen, false, 0},
    };
    std::size_t before = frames();
    for (const auto& step : steps) {
        const std::size_t packetsBefore = packets();
        SCOPED_TRACE(step.what);
        if (step.listAgainFirst) {
            const std::uint64_t generation = renderer.generation();
            server.sendDeviceListUpdated();
            for (int i = 0; i < 50 && renderer.generation() == generation; ++i)
                ASSERT_TRUE(renderer.serviceConnection(100ms));
        }
        ASSERT_TRUE(renderer.paint(step.shown));
        const std::size_t after = settle(before + step.frames);
        EXPECT_EQ(after - before, step.frames);
        if (step.frames == 0) {
            EXPECT_EQ(packets(), packetsBefore) << "no packet at all";
        }
        before = after;
    }
}

}  // namespace
}  // namespace lumo::openrgb_lighting
