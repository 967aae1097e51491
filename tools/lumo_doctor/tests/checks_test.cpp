#include "lumo_doctor/checks.h"

#include <functional>

#include <gtest/gtest.h>

#include "fake_steam.h"
#include "files.h"
#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"
#include "lumo_doctor/report.h"
#include "registry_writer.h"
#include "status/status_file.h"
#include "steam/steam.h"
#include "text.h"

namespace lumo::doctor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using games::kCounterStrike;
using games::kDota;
using test::writeFile;

constexpr const char* kOtherTool =
    "\"other tool\"\n{\n\t\"uri\" \"http://127.0.0.1:%PORT%/\"\n\t\"data\" { \"provider\" \"1\" }\n}\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

// A Steam folder in a temporary folder, and what the checks are told about the system.
struct SteamScene {
    test::TempFolder root{"lumo-doctor"};
    Facts facts;
    GameRun run;
    util::SteamSource source = util::SteamSource::registry;

    SteamScene() {
        fs::create_directories(steam());
        facts.now = std::chrono::system_clock::now();
        facts.stateFolder = root.path() / "state";
    }
    fs::path steam() const { return root.path() / "Steam"; }
    // Installs the game in `library` (Steam's own folder when empty) and returns its folder.
    fs::path install(const games::Game& game, const std::string& installDir, fs::path library = {}) {
        if (library.empty()) library = steam();
        const std::string appId(game.appId);
        writeFile(library / "steamapps" / ("appmanifest_" + appId + ".acf"),
                  "\"AppState\"\n{\n\t\"appid\"\t\"" + appId + "\"\n\t\"installdir\"\t\"" + installDir + "\"\n}\n");
        const fs::path folder = library / "steamapps" / "common" / installDir;
        fs::create_directories(folder);
        return folder;
    }
    fs::path dota() { return install(kDota, "dota 2 beta"); }
    fs::path dotaFolder() { return dota() / "game" / "dota" / "cfg" / "gamestate_integration"; }
    fs::path cs2Folder() {
        const fs::path game = install(kCounterStrike, "Counter-Strike Global Offensive");
        fs::create_directories(game / "game" / "csgo" / "cfg");
        return game / "game" / "csgo" / "cfg";
    }
    void localConfig(const std::string& account, const std::string& launchOptions, const char* appsKey = "apps") {
        writeFile(steam() / "userdata" / account / "config" / "localconfig.vdf",
                  "\"UserLocalConfigStore\"\n{\n\t\"Software\"\n\t{\n\t\t\"valve\"\n\t\t{\n\t\t\t\"Steam\"\n\t\t\t{\n\t\t\t\t\"" +
                      std::string(appsKey) + "\"\n\t\t\t\t{\n\t\t\t\t\t\"570\"\n\t\t\t\t\t{\n\t\t\t\t\t\t\"LaunchOptions\"\t\t\"" +
                      launchOptions + "\"\n\t\t\t\t\t}\n\t\t\t\t}\n\t\t\t}\n\t\t}\n\t}\n}\n");
    }
    void mostRecent(const std::string& account) {
        writeFile(steam() / "config" / "loginusers.vdf",
                  "\"users\"\n{\n\t\"" + std::to_string(76561197960265728ULL + std::stoull(account)) +
                      "\"\n\t{\n\t\t\"AccountName\"\t\"p\"\n\t\t\"MostRecent\"\t\"1\"\n\t}\n}\n");
    }
    void programStatus(const games::Game& game, std::uint32_t pid, std::chrono::seconds startedAgo, std::uint64_t posts,
                       std::chrono::seconds lastPostAgo) {
        const auto now = std::chrono::duration_cast<std::chrono::seconds>(facts.now.time_since_epoch()).count();
        const std::string program(game.program);
        const status::ProgramStatus status{program, pid, now - startedAgo.count(), posts,
                                           posts == 0 ? 0 : now - lastPostAgo.count(), posts == 0 ? "" : std::string(game.appId), "sdk"};
        writeFile(facts.stateFolder / (program + "-status.json"), status::formatStatus(status));
        facts.processes.push_back({pid, program, facts.now - startedAgo});
    }
};

struct Scenario {
    const char* name;
    const games::Game& game;
    std::function<void(SteamScene&)> arrange;
    const char* id;  // the check that tells
    Status status;
    std::string finding;  // a part of its finding
    std::string hint;     // a part of its hint ("" when none is expected)
};

// One cause per row: the fault is found by the check named, with the fix in its hint.
TEST(DoctorChecks, EachCauseIsFoundAndNamed) {
    const games::Game& dota = kDota;
    const games::Game& cs = kCounterStrike;
    const std::string ours(dota.integrationFile);
    const std::string goodDota(installedIntegrationFile(dota));
    const std::string goodCs(installedIntegrationFile(cs));
    const Scenario scenarios[] = {
        {"the file as installed", dota, [&](SteamScene& s) { writeFile(s.dotaFolder() / ours, goodDota); },
         "integration-file", Status::ok, "the same as heroglow installs", ""},
        {"no file at all", dota, [](SteamScene& s) { s.dota(); }, "integration-file", Status::failure,
         "no gamestate_integration_kelvaron.cfg in", "Start heroglow once"},
        {"the file in Dota's cfg/ instead of its subfolder", dota,
         [&](SteamScene& s) { writeFile(s.dota() / "game" / "dota" / "cfg" / ours, goodDota); }, "integration-file",
         Status::failure, "is in a folder Dota 2 does not read",
         (fs::path("game") / "dota" / "cfg" / "gamestate_integration").string() + "."},
        {"a hidden second extension", dota, [&](SteamScene& s) { writeFile(s.dotaFolder() / (ours + ".txt"), goodDota); },
         "integration-file", Status::failure, ours + ".txt has a second extension", "Rename it to"},
        {"CS:GO's folder on a Counter-Strike 2 install", cs,
         [&](SteamScene& s) {
             const fs::path cfg = s.cs2Folder();
             writeFile(cfg.parent_path().parent_path().parent_path() / "csgo" / "cfg" / ours, goodCs);
         },
         "integration-file", Status::failure, "is in a folder Counter-Strike 2 does not read",
         (fs::path("game") / "csgo" / "cfg").string() + "."},
        {"the file CS:GO reads", cs,
         [&](SteamScene& s) {
             const fs::path game = s.install(cs, "Counter-Strike Global Offensive");
             writeFile(game / "csgo" / "cfg" / ours, goodCs);
         },
         "game", Status::ok, "CS:GO in", ""},
        {"a uri with another port", dota,
         [&](SteamScene& s) { writeFile(s.dotaFolder() / ours, replaced(goodDota, ":3002/", ":3000/")); }, "integration-file",
         Status::failure, "the uri posts to port 3000, heroglow listens on 3002", "\"http://127.0.0.1:3002/\""},
        {"localhost in the uri", dota,
         [&](SteamScene& s) { writeFile(s.dotaFolder() / ours, replaced(goodDota, "127.0.0.1", "localhost")); },
         "integration-file", Status::warning, "may resolve to ::1", "127.0.0.1:3002"},
        {"a malformed file", dota,
         [&](SteamScene& s) { writeFile(s.dotaFolder() / ours, "\"heroglow\"\n{\n\t\"uri\" \"http://127.0.0.1:3002/\"\n\t\"data\"\n"); },
         "integration-file", Status::failure, "line 5: a block opened on line 2 is never closed", "KeyValues Error"},
        {"data sections missing", dota,
         [&](SteamScene& s) {
             writeFile(s.dotaFolder() / ours, replaced(replaced(goodDota, "\t\t\"items\"\t\t\"1\"\n", ""), "\"hero\"\t\t\"1\"", "\"hero\"\t\t\"0\""));
         },
         "integration-file", Status::failure, "does not ask for the data hero, items", "under \"data\""},
        {"no heartbeat", cs,
         [&](SteamScene& s) { writeFile(s.cs2Folder() / ours, replaced(goodCs, "\t\"heartbeat\"\t\"1.0\"\n", "")); },
         "integration-file", Status::warning, "has no heartbeat", "\"heartbeat\""},
        {"a harmless change", cs,
         [&](SteamScene& s) { writeFile(s.cs2Folder() / ours, replaced(goodCs, "\"timeout\"\t\"5.0\"", "\"timeout\"\t\"2.0\"")); },
         "integration-file", Status::ok, "differs from roundglow's copy in", ""},
        {"another tool's file on our port", cs,
         [&](SteamScene& s) {
             const fs::path cfg = s.cs2Folder();
             writeFile(cfg / ours, goodCs);
             writeFile(cfg / "gamestate_integration_other.cfg", replaced(kOtherTool, "%PORT%", "5000"));
         },
         "other-integration-files", Status::failure, "gamestate_integration_other.cfg also posts to port 5000",
         "Two programs cannot listen on one port"},
        {"another tool's file elsewhere", cs,
         [&](SteamScene& s) { writeFile(s.cs2Folder() / "gamestate_integration_other.cfg", replaced(kOtherTool, "%PORT%", "3000")); },
         "other-integration-files", Status::ok, "gamestate_integration_other.cfg (other ports)", ""},
        {"the launch option of the active account, keys in any case", dota,
         [&](SteamScene& s) {
             s.dota();
             s.localConfig("1001", "-novid \\\"-x\\\" -GameStateIntegration", "Apps");
             s.localConfig("2002", "-novid");
             s.mostRecent("1001");
         },
         "launch-option", Status::ok, "-gamestateintegration set for the active account 1001", ""},
        {"the active account without it", dota,
         [&](SteamScene& s) {
             s.dota();
             s.localConfig("1001", "-gamestateintegration");
             s.localConfig("2002", "-novid -gamestateintegrationx");
             s.mostRecent("2002");
         },
         "launch-option", Status::warning, "missing for the active account 2002", "launch options in Steam"},
        {"two accounts, no login record", dota,
         [&](SteamScene& s) {
             s.dota();
             s.localConfig("1001", "-gamestateintegration");
             s.localConfig("2002", "");
             writeFile(s.steam() / "userdata" / "0" / "config" / "localconfig.vdf", "\"x\" {}");
         },
         "launch-option", Status::warning, "missing for accounts 2002 (set for 1001)", ""},
        {"a library that is gone", cs,
         [&](SteamScene& s) {
             const fs::path other = s.root.path() / "Library";
             s.install(kCounterStrike, "Counter-Strike Global Offensive", other);
             writeFile(s.steam() / "steamapps" / "libraryfolders.vdf",
                       "\"libraryfolders\"\n{\n\t\"0\" { \"path\" \"" + test::regQuoted(s.steam().string()) +
                           "\" }\n\t\"1\" { \"path\" \"" + test::regQuoted((s.root.path() / "Gone").string()) +
                           "\" }\n\t\"2\" { \"path\" \"" + test::regQuoted(other.string()) + "\" }\n}\n");
         },
         "steam", Status::warning, "Gone (missing)", "libraries that are gone"},
        {"Steam found only in Snap's folder", cs, [&](SteamScene& s) { s.source = util::SteamSource::snap; }, "steam",
         Status::failure, "found by Snap's folder", "do not look in Snap's folder"},
        {"the game started before the file was written", dota,
         [&](SteamScene& s) {
             writeFile(s.dotaFolder() / ours, goodDota);
             s.facts.processes.push_back({4711, "dota2", s.facts.now - 10min});
         },
         "game-process", Status::failure, "dota2 (pid 4711) started 10 min ago, before the integration file was written",
         "Restart Dota 2"},
        {"the game started after it", dota,
         [&](SteamScene& s) {
             writeFile(s.dotaFolder() / ours, goodDota);
             s.facts.processes.push_back({4711, "dota2", s.facts.now + 1min});
         },
         "game-process", Status::ok, "dota2 (pid 4711) running", ""},
        {"the console log shows the file loaded", dota,
         [&](SteamScene& s) {
             writeFile(s.dotaFolder() / ours, goodDota);
             writeFile(s.dota() / "game" / "dota" / "console.log",
                       "Loading Game State Integration: cfg/gamestate_integration/" + ours + "\r\n" + ours +
                           ": integrating data for 'provider' v1\r\n" + ours + ": integrating data for 'hero' v1\r\n");
         },
         "console-log", Status::ok, "the game loaded " + ours + " (provider, hero)", ""},
        {"the console log shows a KeyValues error", cs,
         [&](SteamScene& s) {
             writeFile(s.cs2Folder() / ours, goodCs);
             writeFile(s.cs2Folder().parent_path() / "console.log",
                       "KeyValues Error: LoadFromBuffer: missing { in file cfg/" + ours + " line 3\n");
         },
         "console-log", Status::failure, "KeyValues Error: LoadFromBuffer: missing { in file cfg/" + ours, "delete it"},
        {"another program on the port", cs,
         [&](SteamScene& s) {
             s.cs2Folder();
             s.run.port.listener = 777;
             s.facts.processes.push_back({777, "otherlights", std::nullopt});
         },
         "port", Status::failure, "port 5000 held by otherlights (pid 777)", "End that program"},
        {"an unnamed owner while the program runs", cs,
         [&](SteamScene& s) {
             s.run.port.listener = 0;
             s.programStatus(cs, 321, 1h, 5, 3s);
         },
         "port", Status::ok, "port 5000 held; the system does not say by whom, and roundglow (pid 321) runs", ""},
        {"an unnamed owner", cs, [&](SteamScene& s) { s.run.port.listener = 0; }, "port", Status::failure,
         "port 5000 held by a process the system does not name", "End that program"},
        {"a reserved port", cs, [&](SteamScene& s) { s.run.port.bindError = refusedBindCode(); }, "port", Status::failure,
         "refuses to bind port 5000 although no process owns it", "excludedportrange"},
        {"the program with no post yet", dota,
         [&](SteamScene& s) {
             s.dota();
             s.programStatus(dota, 321, 12min, 0, 0s);
             s.facts.processes.push_back({99, "dota2", s.facts.now});
         },
         "program", Status::warning, "heroglow (pid 321, lighting through sdk) has had no post since it started 12 min ago",
         "does not post"},
        {"the program with a recent post", cs,
         [&](SteamScene& s) {
             s.run.port.listener = 321;
             s.programStatus(cs, 321, 1h, 5, 3s);
         },
         "program", Status::ok, "last post 3 s ago, 5 since it started (app id 730)", ""},
        {"a post heard while listening", cs,
         [&](SteamScene& s) {
             s.run.listenSeconds = 10;
             s.run.heard = HeardPost{true, 2s, "730", {"provider", "map", "player"},
                                     R"({"provider":{"appid":730},"map":{},"player":{"steamid":"1","state":{}}})"};
         },
         "listen", Status::ok, "first post after 2 s: app id 730, data provider, map, player_id, player_state (not in it: round, player_weapons)", ""},
        {"nothing heard while listening", dota,
         [&](SteamScene& s) {
             s.run.listenSeconds = 5;
             s.run.heard = HeardPost{};
         },
         "listen", Status::failure, "no post on port 3002 in 5 s", "only in a match"},
        {"Dota 2 on Linux with everything right", dota,
         [&](SteamScene& s) {
             writeFile(s.dotaFolder() / ours, goodDota);
             s.localConfig("1001", "-gamestateintegration");
             s.programStatus(dota, 321, 1min, 0, 0s);
             s.run.port.listener = 321;
             s.facts.onLinux = true;
         },
         "platform", Status::warning, "a long-open report", "Not a fault of your setup"},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        SteamScene setup;
        scenario.arrange(setup);
        setup.facts.steam = util::reportSteamAt(filesystem::from_std_path(setup.steam()), setup.source);
        readSteamAndStatusFiles(setup.facts);
        std::vector<Check> checks = checkGame(scenario.game, setup.facts, setup.run);
        checks.insert(checks.begin(), checkSteam(setup.facts));
        const auto found = std::find_if(checks.begin(), checks.end(), [&](const Check& c) { return c.id == scenario.id; });
        ASSERT_NE(found, checks.end()) << formatText(checks, false);
        EXPECT_EQ(found->game, scenario.id == std::string("steam") ? "all" : std::string(scenario.game.key));
        EXPECT_EQ(statusName(found->status), std::string(statusName(scenario.status))) << formatText(checks, false);
        EXPECT_NE(found->finding.find(scenario.finding), std::string::npos) << found->finding;
        EXPECT_NE(found->hint.find(scenario.hint), std::string::npos) << found->hint;
        EXPECT_EQ(found->hint.empty(), found->status == Status::ok);
        if (scenario.status == Status::failure) {
            EXPECT_EQ(exitStatus(checks), 1);
        }
    }
}

// Where Steam records the library a game sits in decides whether the programs find it; the
// doctor reads the same locator, so the two agree, and it tells the player what to do when
// the programs cannot find the game.
TEST(DoctorAndPrograms, AgreeOnEveryLibrary) {
    using Layout = test::FakeSteam::Layout;
    const struct {
        const char* name;
        std::function<void(test::FakeSteam&, const fs::path& library)> arrange;
        const char* notSearched;  // why the programs do not search the game's library; null when they do
    } cases[] = {
        {"Steam's own folder", [](test::FakeSteam&, const fs::path&) {}, nullptr},
        {"a library of steamapps/libraryfolders.vdf",
         [](test::FakeSteam& steam, const fs::path& library) {
             steam.moveGameTo(library);
             steam.writeLibraryList("steamapps/libraryfolders.vdf", {{"0", steam.steam()}, {"1", library}});
         },
         nullptr},
        {"a library only in config/libraryfolders.vdf",
         [](test::FakeSteam& steam, const fs::path& library) {
             steam.moveGameTo(library);
             steam.writeLibraryList("steamapps/libraryfolders.vdf", {{"0", steam.steam()}});
             steam.writeLibraryList("config/libraryfolders.vdf", {{"0", steam.steam()}, {"1", library}});
         },
         "recorded only in config/libraryfolders.vdf"},
        {"a library in the layout before 2021",
         [](test::FakeSteam& steam, const fs::path& library) {
             steam.moveGameTo(library);
             steam.writeLibraryList("steamapps/libraryfolders.vdf", {{"1", library}}, Layout::values);
         },
         "written in the layout before 2021"},
        {"a library after a gap in the numbering",
         [](test::FakeSteam& steam, const fs::path& library) {
             steam.moveGameTo(library);
             steam.writeLibraryList("steamapps/libraryfolders.vdf",
                                    {{"0", steam.steam()}, {"1", steam.steam().parent_path() / "Empty"}, {"3", library}});
         },
         "after a gap in the numbering of steamapps/libraryfolders.vdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeSteam steam(std::string(kDota.appId), "dota 2 beta");
        test::RegistryWriter registry({test::kSteamRegistryKey});
        registry.setString(test::kSteamRegistryKey, "InstallPath", filesystem::utf8_text(steam.steam()));
        c.arrange(steam, steam.steam().parent_path() / "Library");

        const std::string programs = util::findSteamAppFolder(std::string(kDota.appId));
        Facts facts;
        facts.steam = util::reportSteam();
        readSteamAndStatusFiles(facts);
        const std::optional<util::SteamGame>& game = facts.games.at(kDota.key);
        ASSERT_TRUE(game);
        EXPECT_EQ(filesystem::to_std_path(game->folder), steam.game());
        EXPECT_EQ(game->foundByPrograms, !programs.empty());
        EXPECT_EQ(programs.empty(), c.notSearched != nullptr);
        if (!programs.empty()) {
            EXPECT_EQ(programs, game->folder.string());
        }

        const std::vector<Check> checks = checkGame(kDota, facts, GameRun{});
        ASSERT_GE(checks.size(), 2u);
        const Check& location = checks[0];
        const Check& file = checks[1];
        if (c.notSearched == nullptr) {
            EXPECT_EQ(location.status, Status::ok) << location.finding;
            EXPECT_NE(file.hint.find("Start heroglow once"), std::string::npos) << file.hint;
            continue;
        }
        EXPECT_EQ(location.status, Status::failure);
        EXPECT_NE(location.finding.find(std::string("a library heroglow does not search (") + c.notSearched + ")"),
                  std::string::npos) << location.finding;
        EXPECT_NE(location.hint.find("Move Dota 2 to a library heroglow searches"), std::string::npos) << location.hint;
        EXPECT_NE(location.hint.find("add it again"), std::string::npos) << location.hint;
        // heroglow cannot put its file there, so starting it is no advice.
        EXPECT_EQ(file.id, "integration-file");
        EXPECT_EQ(file.hint.find("Start heroglow"), std::string::npos) << file.hint;
        EXPECT_NE(file.hint.find("copy heroglow's Applet_Files/gamestate_integration_kelvaron.cfg"), std::string::npos) << file.hint;
        EXPECT_NE(checkSteam(facts).finding.find(std::string("(the programs do not search it: ") + c.notSearched + ")"),
                  std::string::npos) << checkSteam(facts).finding;
    }
}

TEST(DoctorReport, TextAndJsonCarryTheSameChecks) {
    const std::vector<Check> checks{{"steam", "all", Status::ok, "/s, found by x", ""},
                                    {"port", "cs", Status::failure, "port 5000 held by x (pid 1)", "End that program."},
                                    {"launch-option", "dota", Status::warning, "missing", "Add it."}};
    EXPECT_EQ(formatText(checks, false),
              "[✓] Steam: /s, found by x\n"
              "[✗] Port (Counter-Strike): port 5000 held by x (pid 1)\n"
              "    • End that program.\n"
              "[!] Launch option (Dota 2): missing\n"
              "    • Add it.\n"
              "\nDoctor found 1 failure and 1 warning in 3 checks.\n");
    EXPECT_NE(formatText(checks, true).find("\x1b[31m[✗]\x1b[0m"), std::string::npos);
    EXPECT_EQ(formatJson(checks),
              R"j({"checks":[{"id":"steam","game":"all","status":"ok","finding":"/s, found by x","hint":""},)j"
              R"j({"id":"port","game":"cs","status":"failure","finding":"port 5000 held by x (pid 1)","hint":"End that program."},)j"
              R"j({"id":"launch-option","game":"dota","status":"warning","finding":"missing","hint":"Add it."}],)j"
              R"j("counts":{"ok":1,"warning":1,"failure":1}})j"
              "\n");
    EXPECT_EQ(exitStatus(checks), 1);
    EXPECT_EQ(exitStatus({checks[0], checks[2]}), 0);
    EXPECT_EQ(formatText({checks[0]}, false), "[✓] Steam: /s, found by x\n\nNo issues found.\n");
}

TEST(DoctorReport, DurationsReadAsPlayersSayThem) {
    EXPECT_EQ(describeDuration(3s), "3 s");
    EXPECT_EQ(describeDuration(12min + 5s), "12 min");
    EXPECT_EQ(describeDuration(2h), "2 h");
    EXPECT_EQ(describeDuration(2h + 5min), "2 h 5 min");
    EXPECT_EQ(describeDuration(-4s), "0 s");
}

}  // namespace
}  // namespace lumo::doctor
