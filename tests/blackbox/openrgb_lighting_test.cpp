// Both real programs lighting the devices of an OpenRGB server (the tests' own, strict as
// OpenRGB 1.0) over loopback: the same picture the simulated keyboard shows, the backend's
// choice, animation, and what a player's server does to a running program.
#include <array>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "files.h"
#include "lighting/keyboard_layout.h"
#include "openrgb_server.h"
#include "program_run.h"

namespace lumo::test {
namespace {

using nlohmann::json;
using openrgb::Color;

// A stopped program puts the devices' own modes back where stopping asks it to end (POSIX
// signals); Windows terminates it outright. There the settings file lives in %APPDATA%.
constexpr bool kStopRunsCleanup = OPENRGB_TESTS_ON_POSIX;
constexpr bool kSettingsFileIsFound = OPENRGB_TESTS_ON_POSIX;

// Each program's tests hold its port, so they are built once for each: OPENRGB_TESTS_PROGRAM
// names the program ("heroglow" or "roundglow").
// Each suite's name names its program, so the two builds list distinct tests.
const std::string kProgram = OPENRGB_TESTS_PROGRAM;
#if OPENRGB_TESTS_FOR_ROUNDGLOW
#define OPENRGB_SUITE RoundglowOpenRgb
#else
#define OPENRGB_SUITE HeroglowOpenRgb
#endif

constexpr std::size_t kKeyboard = 0, kMouse = 1;
constexpr int kDirect = 0;
constexpr int kKeyboardOwnMode = 2, kMouseOwnMode = 1;  // Spectrum Cycle, Breathing

std::string heroglowPost() { return readTestData(HEROGLOW_TEST_DATA, "mid_game_radiant.json"); }
std::string roundglowPost(const std::string& name) { return readTestData(ROUNDGLOW_TEST_DATA, name); }

std::vector<std::pair<std::string, std::string>> openRgbEnvironment(std::uint16_t port,
                                                                    const char* choice = "openrgb") {
    return {{"LUMO_LIGHTING", choice}, {"LUMO_OPENRGB", "127.0.0.1:" + std::to_string(port)}};
}

ProgramSetup throughOpenRgb(ProgramSetup (*program)(ProgramSetup), std::uint16_t port) {
    ProgramSetup setup;
    setup.registerSdk = false;
    setup.environment = openRgbEnvironment(port);
    return program(setup);
}

Color byteColor(std::array<int, 3> rgb) {
    return openrgb::makeColor(static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                              static_cast<std::uint8_t>(rgb[2]));
}

// What the simulated keyboard's state file says the OpenRGB devices should show: key LEDs their
// cell, every other LED (the keyboard's logo, the whole mouse) the device colour.
struct Expected {
    std::vector<Color> keyboard, mouse;
};

Expected expectedFrom(const json& state, const OpenRgbSnapshot& server, std::size_t keyboard, std::size_t mouse) {
    std::array<int, 3> device = deviceColor(state);
    for (int& channel : device) channel = channel * 255 / 100;
    Expected expected;
    for (const openrgb::Led& led : server.devices[keyboard].leds) {
        const lighting::LayoutKey* key = lighting::keyWithOpenRgbName(led.name);
        if (key != nullptr)
            expected.keyboard.push_back(byteColor(keyColor(state, key->cell)));
        else
            expected.keyboard.push_back(led.name.starts_with("Key: ") ? 0 : byteColor(device));
    }
    expected.mouse.assign(server.devices[mouse].leds.size(), byteColor(device));
    return expected;
}

auto shows(const json& state, std::size_t keyboard = kKeyboard, std::size_t mouse = kMouse) {
    return [state, keyboard, mouse](const OpenRgbSnapshot& server) {
        const Expected expected = expectedFrom(state, server, keyboard, mouse);
        return server.devices[keyboard].colors == expected.keyboard && server.devices[mouse].colors == expected.mouse;
    };
}

bool modesAre(const OpenRgbSnapshot& server, int keyboard, int mouse) {
    return server.devices[kKeyboard].activeMode == keyboard && server.devices[kMouse].activeMode == mouse;
}

// The programs paint through OpenRGB exactly what they paint on the simulated keyboard, each
// device switched to Direct before its first frame, and their own modes back at the end.
TEST(OPENRGB_SUITE, ShowsWhatTheSimulatedKeyboardShows) {
    const struct {
        const char* program;
        ProgramSetup (*setup)(ProgramSetup);
        std::vector<std::string> posts;
    } cases[] = {
        {"heroglow", heroglowSetup, {heroglowPost()}},
        {"roundglow", roundglowSetup, {roundglowPost("freezetime_t.json"), roundglowPost("freezetime_t.json")}},
    };
    for (const auto& c : cases) {
        if (c.program != kProgram) continue;
        SCOPED_TRACE(c.program);
        json simulated;
        {
            ProgramRun run(c.setup({}));
            ASSERT_TRUE(run.waitUntilListening());
            for (const std::string& body : c.posts) run.post(body);
            simulated = run.keyboard();
            ASSERT_TRUE(simulated.is_object());
        }
        OpenRgbServer server;
        std::optional<ProgramRun> run(std::in_place, throughOpenRgb(c.setup, server.port()));
        ASSERT_TRUE(run->waitUntilListening());
        EXPECT_TRUE(run->waitForOutput("Lighting through OpenRGB at 127.0.0.1:" + std::to_string(server.port()) + "\n"));
        EXPECT_EQ(run->output().find("Could not initialize"), std::string::npos);
        for (const std::string& body : c.posts) run->post(body);
        EXPECT_TRUE(server.waitUntil(shows(simulated), 3s));

        const OpenRgbSnapshot seen = server.snapshot();
        EXPECT_EQ(seen.clientNames, std::vector<std::string>{c.program});
        EXPECT_TRUE(modesAre(seen, kDirect, kDirect));
        EXPECT_TRUE(seen.violations.empty());
        for (std::uint32_t device : {0u, 1u}) {
            SCOPED_TRACE(device);
            std::vector<std::uint32_t> order;
            for (const OpenRgbPacket& packet : seen.packets)
                if (packet.device == device && (packet.id == openrgb::kUpdateMode || packet.id == openrgb::kUpdateLeds))
                    order.push_back(packet.id);
            ASSERT_FALSE(order.empty());
            EXPECT_EQ(order.front(), openrgb::kUpdateMode) << "Direct before the first frame";
        }
        EXPECT_EQ(run->keyboard(), nullptr) << "no simulated keyboard was loaded";
        // Stopped as a service manager stops it.
        run.reset();
        if (kStopRunsCleanup) {
            EXPECT_TRUE(server.waitUntil([](const OpenRgbSnapshot& s) { return modesAre(s, kKeyboardOwnMode, kMouseOwnMode); },
                                         2s));
        }
    }
}

#if OPENRGB_TESTS_FOR_ROUNDGLOW
// Which lighting a program takes: the maker's SDK first, OpenRGB when it answers, else the
// program's own failure line; a forced choice and the settings file; a malformed setting.
TEST(OPENRGB_SUITE, TheBackendIsChosenAsThePlayerSaysOrAsFound) {
    OpenRgbServer server;
    const std::string port = std::to_string(server.port());
    const std::string through = "Lighting through OpenRGB at 127.0.0.1:" + port + "\n";
    TempFolder config("openrgb-config");
    writeFile(config.path() / "lumo" / "settings.json",
              R"({"lighting": "openrgb", "openrgb": "127.0.0.1:)" + port + "\"}");
    const struct {
        const char* what;
        bool simulator;
        std::vector<std::pair<std::string, std::string>> environment;
        bool openRgb;        // "Lighting through OpenRGB" and a client connected
        const char* problem;  // on standard error, or null
    } cases[] = {
        {"auto, a server answers", false, {{"LUMO_OPENRGB", "127.0.0.1:" + port}}, true, nullptr},
        {"auto, nobody answers", false, {{"LUMO_OPENRGB", "127.0.0.1:" + std::to_string(unusedLoopbackPort())}}, false,
         nullptr},
        {"auto, the maker's SDK is there", true, {{"LUMO_OPENRGB", "127.0.0.1:" + port}}, false, nullptr},
        {"none", false, openRgbEnvironment(server.port(), "none"), false, nullptr},
        {"sdk only", false, openRgbEnvironment(server.port(), "sdk"), false, nullptr},
        {"a malformed choice", false, openRgbEnvironment(server.port(), "rainbow"), true,
         "Lighting settings: LUMO_LIGHTING \"rainbow\" is not"},
        // An empty LUMO_OPENRGB counts as unset, so the file's address holds.
        {"the settings file", false, {{"XDG_CONFIG_HOME", config.text()}, {"LUMO_OPENRGB", ""}}, kSettingsFileIsFound,
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int connectionsBefore = server.snapshot().connectionsAccepted;
        ProgramSetup setup;
        setup.registerSdk = c.simulator;
        setup.environment = c.environment;
        ProgramRun run(roundglowSetup(setup));
        ASSERT_TRUE(run.waitUntilListening());
        if (c.openRgb) {
            EXPECT_TRUE(run.waitForOutput(through));
            EXPECT_TRUE(server.waitUntil(
                [&](const OpenRgbSnapshot& s) { return s.connectionsAccepted > connectionsBefore; }, 3s));
        } else if (c.simulator) {
            const auto deadline = std::chrono::steady_clock::now() + 3s;
            while (!run.keyboard().is_object() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(20ms);
            EXPECT_TRUE(run.keyboard().value("initialized", false));
        } else {
            EXPECT_TRUE(run.waitForOutput("Could not initialize LED SDK\n", 3s));
        }
        if (!c.openRgb) {
            EXPECT_EQ(run.output().find("Lighting through"), std::string::npos);
        }
        const std::string expectedProblem = c.problem ? c.problem : "Lighting settings";
        EXPECT_EQ(run.errors().find(expectedProblem) != std::string::npos, c.problem != nullptr) << run.errors();
    }
}

// A pulse is drawn as changing frames, at most 30 a second, and once it stops nothing more is
// sent while nothing changes.
TEST(OPENRGB_SUITE, APulseAnimatesThenTheServerHearsNothing) {
    OpenRgbServer server;
    ProgramRun run(throughOpenRgb(roundglowSetup, server.port()));
    ASSERT_TRUE(run.waitUntilListening());
    run.post(roundglowPost("freezetime_t.json"));
    json fight = json::parse(roundglowPost("fight_low_ammo_t.json"));
    run.post(fight.dump());  // 24 health: the red pulse
    ASSERT_TRUE(server.waitUntil([](const OpenRgbSnapshot& s) { return s.packetCount(openrgb::kUpdateLeds) > 0; }, 3s));

    const auto frames = [&] { return server.snapshot().packetCount(openrgb::kUpdateLeds); };
    const std::size_t before = frames();
    std::set<Color> shades;
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(60ms);
        if (auto color = server.snapshot().ledColor(kKeyboard, "Key: W")) shades.insert(*color);
    }
    const std::size_t during = frames() - before;  // about 0.6 s, two devices a frame
    EXPECT_GE(during, 8u);
    EXPECT_LE(during, 2u * 24u) << "at most 30 frames a second";
    EXPECT_GE(shades.size(), 3u) << "the pulse rises and falls";

    fight["player"]["state"]["health"] = 100;
    fight["player"]["weapons"]["weapon_2"]["state"] = "holstered";
    fight["player"]["weapons"]["weapon_3"]["state"] = "active";
    run.post(fight.dump());
    std::this_thread::sleep_for(300ms);
    const std::size_t settled = frames();
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(frames(), settled) << "no effect, no change: nothing sent";
}

// Asked to end while it still lists a slow server's devices at start-up, before the backend's
// thread exists: it ends as the signal ends a program, and promptly. (Under the tsan preset
// this also proves that the signal's watcher does not touch the half-started backend.)
TEST(OPENRGB_SUITE, EndsAsAskedWhileListingTheDevicesAtStartUp) {
    OpenRgbServer server(defaultDevices(), {.replyDelay = 400ms});
    ProgramSetup setup;
    setup.registerSdk = false;
    setup.environment = {{"LUMO_OPENRGB", "127.0.0.1:" + std::to_string(server.port())}};
    ProgramRun run(roundglowSetup(setup));
    ASSERT_TRUE(run.waitUntilListening());
    ASSERT_TRUE(server.waitUntil(
        [](const OpenRgbSnapshot& s) { return s.packetCount(openrgb::kRequestControllerCount) > 0; }, 5s));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(run.stop(), 128 + 15) << "ended by SIGTERM";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms);
    EXPECT_EQ(run.output().find("Lighting through OpenRGB"), std::string::npos) << "stopped before it was chosen";
}

#else
// A forced OpenRGB waits for a server that starts late, comes back after a restart, follows
// devices to their new indices and shrugs off hostile replies: the game is served throughout.
TEST(OPENRGB_SUITE, LateServerRestartDeviceChangesAndHostileReplies) {
    json simulated;
    {
        ProgramRun reference(heroglowSetup());
        ASSERT_TRUE(reference.waitUntilListening());
        reference.post(heroglowPost());
        simulated = reference.keyboard();
    }
    const std::uint16_t port = unusedLoopbackPort();
    ProgramRun run(throughOpenRgb(heroglowSetup, port));
    ASSERT_TRUE(run.waitUntilListening());
    run.post(heroglowPost());
    OpenRgbServer server(defaultDevices(), {}, port);
    EXPECT_TRUE(server.waitUntil(shows(simulated), 6s)) << "found once it is up";

    server.stop();
    server.setDevices(defaultDevices());  // a restarted server starts dark
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(server.waitUntil(shows(simulated), 2s)) << "repainted after the restart";

    std::vector<openrgb::Controller> swapped = defaultDevices();
    std::swap(swapped[0], swapped[1]);
    server.setDevices(swapped);
    EXPECT_TRUE(server.waitUntil(shows(simulated, 1, 0), 2s)) << "devices found again by identity";

    for (OpenRgbHostility hostility : {OpenRgbHostility::hugeAnnouncedPayload, OpenRgbHostility::stringWithoutNul,
                                       OpenRgbHostility::countBeyondPayload}) {
        SCOPED_TRACE(static_cast<int>(hostility));
        const int connections = server.snapshot().connectionsAccepted;
        server.setBehaviour({.hostility = hostility});
        server.setDevices(defaultDevices());
        EXPECT_TRUE(server.waitUntil([&](const OpenRgbSnapshot& s) { return s.connectionsAccepted > connections; }, 3s))
            << "dropped and tried again";
        run.post(heroglowPost());
        EXPECT_FALSE(run.waitForExit(0ms).has_value()) << "still serving";
        server.setBehaviour({});
        server.sendDeviceListUpdated();
        EXPECT_TRUE(server.waitUntil(shows(simulated), 7s)) << "back once the server behaves";
    }
    EXPECT_TRUE(server.snapshot().violations.empty());
}
#endif

}  // namespace
}  // namespace lumo::test
