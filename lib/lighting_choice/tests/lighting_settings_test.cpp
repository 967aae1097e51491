#include "lighting_choice/lighting_settings.h"

#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

#include "environment.h"

namespace {

using namespace lumo::lighting;

std::optional<std::string> optional(const char* text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

TEST(LightingSettings, AddressesAndChoices) {
    const struct {
        const char* text;
        std::optional<ServerAddress> address;
    } addresses[] = {
        {"127.0.0.1", ServerAddress{"127.0.0.1", 6742}},
        {"rgb.local:6743", ServerAddress{"rgb.local", 6743}},
        {" localhost:1 ", ServerAddress{"localhost", 1}},
        {"host:65535", ServerAddress{"host", 65535}},
        {"host:65536", std::nullopt},
        {"host:0", std::nullopt},
        {"host:", std::nullopt},
        {":6742", std::nullopt},
        {"host:67x", std::nullopt},
        {"host:-1", std::nullopt},
        {"::1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : addresses) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseServerAddress(c.text), c.address);
    }
    EXPECT_EQ(parseLightingChoice("OpenRGB"), LightingChoice::openRgb);
    EXPECT_EQ(parseLightingChoice("sdk"), LightingChoice::makerSdk);
    EXPECT_EQ(parseLightingChoice("none"), LightingChoice::none);
    EXPECT_EQ(parseLightingChoice("auto"), LightingChoice::automatic);
    EXPECT_EQ(parseLightingChoice("openrgb2"), std::nullopt);
    EXPECT_EQ(describe(ServerAddress{}), "127.0.0.1:6742");
}

// Each malformed value is one line and keeps what was there; the environment wins.
TEST(LightingSettings, FileThenEnvironmentWithEachProblemReportedOnce) {
    const struct {
        const char* file;
        const char* lighting;  // LUMO_LIGHTING, null: unset
        const char* server;    // LUMO_OPENRGB
        LightingChoice choice;
        ServerAddress address;
        int problemLines;
    } cases[] = {
        {R"({"lighting": "openrgb", "openrgb": "10.0.0.2:7000"})", nullptr, nullptr, LightingChoice::openRgb,
         {"10.0.0.2", 7000}, 0},
        {R"({"lighting": "openrgb"})", "none", "h:1", LightingChoice::none, {"h", 1}, 0},
        {R"({"lighting": "sometimes", "openrgb": 6742})", nullptr, nullptr, LightingChoice::automatic, {}, 2},
        {R"({"lighting": "sdk"})", "bogus", "h:99999", LightingChoice::makerSdk, {}, 2},
        {"{not json", "openrgb", nullptr, LightingChoice::openRgb, {}, 1},
        {"[1, 2]", nullptr, nullptr, LightingChoice::automatic, {}, 1},
        {"{}", "", "", LightingChoice::automatic, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        lumo::test::ScopedEnvironment lighting("LUMO_LIGHTING", optional(c.lighting));
        lumo::test::ScopedEnvironment server("LUMO_OPENRGB", optional(c.server));
        LightingSettings settings;
        std::ostringstream problems;
        applySettingsFile(c.file, "settings.json", settings, problems);
        applyEnvironment(settings, problems);
        EXPECT_EQ(settings.choice, c.choice);
        EXPECT_EQ(settings.openRgb, c.address);
        const std::string text = problems.str();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.problemLines) << text;
    }
}

}  // namespace
