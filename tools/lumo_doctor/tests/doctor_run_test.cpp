// The real lumo-doctor against real programs and sockets, over a fake Steam tree.
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "fake_steam.h"
#include "files.h"
#include "loopback.h"
#include "openrgb_server.h"
#include "program_run.h"
#include "run_program.h"
#include "text.h"

namespace lumo::test {
namespace {

constexpr const char* kIntegrationFile = "gamestate_integration_kelvaron.cfg";
constexpr const char* kMenuPost =
    R"({"provider":{"name":"Counter-Strike: Global Offensive","appid":730,"version":13987,"timestamp":1700000000},)"
    R"("player":{"steamid":"76561197960265729","activity":"menu"}})";

std::string doctorBinary() { return std::filesystem::absolute(LUMO_DOCTOR_BINARY).string(); }

// A Counter-Strike 2 install whose folder the game reads already exists (roundglow puts its
// file there).
struct CounterStrikeInstall {
    FakeSteam steam{kCounterStrikeAppId, "Counter-Strike Global Offensive"};
    std::filesystem::path cfg = steam.game() / "game" / "csgo" / "cfg";
    CounterStrikeInstall() { std::filesystem::create_directories(cfg); }
};

// What a doctor run printed, with its JSON read.
struct DoctorOutcome {
    ProgramOutcome run;
    nlohmann::json report;

    // The check `id` of `game`; fails the test when it is missing.
    nlohmann::json check(const std::string& id, const std::string& game = "cs") const {
        for (const nlohmann::json& check : report.value("checks", nlohmann::json::array())) {
            if (check.value("id", "") == id && check.value("game", "") == game) return check;
        }
        ADD_FAILURE() << "no check " << id << " in " << run.output;
        return nlohmann::json::object();
    }
};

DoctorOutcome runDoctor(const std::vector<std::string>& arguments, std::vector<std::pair<std::string, std::string>> environment) {
    TempFolder folder("lumo-doctor-run");
    DoctorOutcome outcome{runProgram(doctorBinary(), arguments, folder.path(), {}, std::move(environment)), nullptr};
    if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end()) {
        outcome.report = nlohmann::json::parse(outcome.run.output, nullptr, false);
        EXPECT_TRUE(outcome.report.is_object()) << outcome.run.output << outcome.run.errors;
    }
    return outcome;
}

// A doctor's environment without a program run: its own home, registry and state folder.
struct DoctorSetting {
    TempFolder folder{"lumo-doctor-home"};
    ProgramRegistry registry;
    std::vector<std::pair<std::string, std::string>> environment;

    explicit DoctorSetting(const std::string& registryText) : registry(registryFile(registryText), folder.path()) {
        const std::string home = folder.text();
        environment = {{"HOME", home}, {"XDG_STATE_HOME", home}, {"LOCALAPPDATA", home},
                       {"LUMO_OPENRGB", "127.0.0.1:" + std::to_string(unusedLoopbackPort())}};
        for (auto& variable : registry.environment()) environment.push_back(std::move(variable));
    }
};

TEST(LumoDoctor, AForeignListenerOnThePortIsNamed) {
    CounterStrikeInstall install;
    writeFile(install.cfg / kIntegrationFile, readFile(std::filesystem::path(appletFilesFolder()).parent_path().parent_path() /
                                                       "cs_go_integration" / "Applet_Files" / kIntegrationFile));
    const DoctorSetting setting(install.steam.registry() + sdkRegistrySection(simulatorLibrary()));
    startSocketsOnce();
    const PortBlocker blocker(kRoundglowPort);
    ASSERT_TRUE(blocker.holding());

    const DoctorOutcome json = runDoctor({"--game", "cs", "--json"}, setting.environment);
    EXPECT_EQ(json.run.exitCode, 1);
    // The test program holds the port; where the system names owners, the doctor names it.
    const std::string owner = socketOwnersKnown() ? "lumo_doctor_tests (pid " : "a process the system does not name";
    const nlohmann::json port = json.check("port");
    EXPECT_EQ(port.value("status", ""), "failure");
    EXPECT_NE(port.value("finding", "").find("port 5000 held by " + owner), std::string::npos) << port;
    EXPECT_EQ(json.check("integration-file").value("status", ""), "ok") << json.run.output;
    EXPECT_EQ(json.check("sdk", "all").value("status", ""), "ok") << json.run.output;
    EXPECT_EQ(json.report["counts"].value("failure", 0), 1) << json.run.output;

    // The same as a player reads it: a mark, the finding, the hint indented under it.
    const DoctorOutcome text = runDoctor({"--game", "cs"}, setting.environment);
    EXPECT_EQ(text.run.exitCode, 1);
    EXPECT_NE(text.run.output.find("\n[✗] Port (Counter-Strike): port 5000 held by " + owner), std::string::npos)
        << text.run.output;
    EXPECT_NE(text.run.output.find("\n    • End that program"), std::string::npos) << text.run.output;
    EXPECT_NE(text.run.output.find("[✓] Integration file (Counter-Strike): "), std::string::npos) << text.run.output;
    EXPECT_NE(text.run.output.find("\nDoctor found 1 failure and "), std::string::npos) << text.run.output;
    EXPECT_EQ(text.run.output.find("\x1b["), std::string::npos) << "colour outside a terminal";
}

TEST(LumoDoctor, RoundglowsStatusFileTellsWhetherPostsArrive) {
    CounterStrikeInstall install;
    TempFolder state("lumo-state");
    ProgramRun roundglow(roundglowSetup({.extraRegistry = install.steam.registry(),
                                         .environment = {{"XDG_STATE_HOME", state.text()}, {"LOCALAPPDATA", state.text()}}}));
    ASSERT_TRUE(roundglow.waitUntilListening());
    const std::filesystem::path status = state.path() / "lumo" / "roundglow-status.json";
    const auto waitForStatus = [&](const std::string& text) {
        for (auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(20ms)) {
            if (readFile(status).find(text) != std::string::npos) return true;
        }
        return false;
    };
    ASSERT_TRUE(waitForStatus("\"posts\": 0")) << readFile(status);

    const DoctorOutcome before = runDoctor({"--game", "cs", "--json"}, roundglow.environment());
    EXPECT_EQ(before.run.exitCode, 0) << before.run.output;
    const nlohmann::json port = before.check("port");
    EXPECT_EQ(port.value("status", ""), "ok");
    EXPECT_NE(port.value("finding", "").find(socketOwnersKnown() ? "port 5000 held by roundglow (pid " : "roundglow (pid "),
              std::string::npos) << port;
    const nlohmann::json quiet = before.check("program");
    EXPECT_EQ(quiet.value("status", ""), "ok") << quiet;  // the game is not running: no post is expected
    EXPECT_NE(quiet.value("finding", "").find("lighting through sdk) has had no post since it started "), std::string::npos) << quiet;
    // roundglow installed its own file where Counter-Strike 2 reads it.
    EXPECT_NE(before.check("integration-file").value("finding", "").find("the same as roundglow installs"), std::string::npos)
        << before.run.output;

    roundglow.post(kMenuPost);
    ASSERT_TRUE(waitForStatus("\"posts\": 1")) << readFile(status);
    const DoctorOutcome after = runDoctor({"--game", "cs", "--json"}, roundglow.environment());
    EXPECT_EQ(after.run.exitCode, 0) << after.run.output;
    const nlohmann::json program = after.check("program");
    EXPECT_EQ(program.value("status", ""), "ok");
    EXPECT_NE(program.value("finding", "").find(" s ago, 1 since it started (app id 730)"), std::string::npos) << program;
    EXPECT_NE(program.value("finding", "").find(": last post "), std::string::npos) << program;
}

// Without the maker's SDK an OpenRGB server lights the keyboard: the doctor names the
// server's keyboard and how many of its LEDs show keys.
TEST(LumoDoctor, AnOpenRgbServersKeyboardIsListed) {
    startSocketsOnce();
    OpenRgbServer server;
    ASSERT_TRUE(server.running());
    const FakeSteam steam(kDotaAppId, "dota 2 beta");
    DoctorSetting setting(steam.registry());
    for (auto& [name, value] : setting.environment) {
        if (name == "LUMO_OPENRGB") value = "127.0.0.1:" + std::to_string(server.port());
    }
    std::string keyboard;
    std::size_t leds = 0;
    for (const openrgb::Controller& device : defaultDevices()) {
        if (device.type == static_cast<std::int32_t>(openrgb::DeviceType::keyboard)) {
            keyboard = device.name;
            leds = device.leds.size();
        }
    }
    ASSERT_FALSE(keyboard.empty());

    const DoctorOutcome outcome = runDoctor({"--game", "dota", "--json"}, setting.environment);
    EXPECT_EQ(outcome.check("sdk", "all").value("status", ""), "warning");
    const nlohmann::json openrgb = outcome.check("openrgb", "all");
    EXPECT_EQ(openrgb.value("status", ""), "ok") << openrgb;
    const std::string finding = openrgb.value("finding", "");
    const std::string listed = ": " + keyboard + " (";
    const std::size_t at = finding.find(listed);
    ASSERT_NE(at, std::string::npos) << finding;
    const int keys = std::atoi(finding.c_str() + at + listed.size());
    EXPECT_GT(keys, 60) << finding;  // a full keyboard's keys, named as the key grid names them
    EXPECT_NE(finding.find(" of " + std::to_string(leds) + " LEDs lit as keys)"), std::string::npos) << finding;
}

// What reading the lighting settings finds wrong reaches the report, as the programs would
// report it on their standard error.
TEST(LumoDoctor, ProblemsWithTheLightingSettingsAreReported) {
    const FakeSteam steam(kDotaAppId, "dota 2 beta");
    DoctorSetting setting(steam.registry());
    writeFile(setting.folder.path() / "config" / "lumo" / "settings.json", "{\"lighting\": \"rainbow\"");
    // The user's configuration folder on either system.
    setting.environment.emplace_back("XDG_CONFIG_HOME", setting.folder.text("config"));
    setting.environment.emplace_back("APPDATA", setting.folder.text("config"));

    const DoctorOutcome outcome = runDoctor({"--game", "dota", "--json"}, setting.environment);
    const nlohmann::json settings = outcome.check("lighting-settings", "all");
    EXPECT_EQ(settings.value("status", ""), "warning") << outcome.run.output;
    EXPECT_NE(settings.value("finding", "").find("settings.json is not valid JSON; keeping the defaults"), std::string::npos)
        << settings;
}

TEST(LumoDoctor, ListeningReportsTheFirstPost) {
    CounterStrikeInstall install;
    const DoctorSetting setting(install.steam.registry());
    TempFolder folder("lumo-doctor-listen");
    std::vector<std::pair<std::string, std::string>> environment = setting.environment;
    for (const std::string& name : passedThroughVariables()) {
        if (const char* value = std::getenv(name.c_str())) environment.emplace_back(name, value);
    }
    ChildProcess doctor({.program = doctorBinary(),
                         .arguments = {"--game", "cs", "--listen", "20", "--json"},
                         .environment = environment,
                         .output = folder.path() / "out.txt",
                         .errors = folder.path() / "err.txt"});
    for (auto deadline = std::chrono::steady_clock::now() + 10s; !isListening(kRoundglowPort);
         std::this_thread::sleep_for(20ms)) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the doctor does not listen";
    }
    startSocketsOnce();
    LoopbackClient game(kRoundglowPort);
    ASSERT_TRUE(game.connected());
    ASSERT_TRUE(game.send(gameStatePost(kMenuPost, kCounterStrikeAppId, kRoundglowPort)));
    const std::optional<std::string> answer = game.readUntilClosed(10s);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << *answer;

    const std::optional<int> code = doctor.waitForExit(20s);
    ASSERT_TRUE(code);
    const std::string output = programText(readFile(folder.path() / "out.txt"));
    const nlohmann::json report = nlohmann::json::parse(output, nullptr, false);
    ASSERT_TRUE(report.is_object()) << output;
    bool found = false;
    for (const nlohmann::json& check : report["checks"]) {
        if (check.value("id", "") != "listen") continue;
        found = true;
        EXPECT_EQ(check.value("status", ""), "ok") << check;
        EXPECT_NE(check.value("finding", "").find(": app id 730, data provider, player_id (not in it: map, round, player_state, player_weapons)"),
                  std::string::npos)
            << check;
    }
    EXPECT_TRUE(found) << output;
    // No integration file in place: that is the failure, and the exit status says so.
    EXPECT_EQ(*code, 1) << output;
}

}  // namespace
}  // namespace lumo::test
