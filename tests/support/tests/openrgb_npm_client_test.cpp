// The test OpenRGB server held against a third-party client: the npm package openrgb-sdk
// 0.6.0, run by tests/openrgb_client/check.mjs, must read the devices served and set their
// modes and colours as the server records them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "files.h"
#include "openrgb_server.h"
#include "run_program.h"

namespace lumo::test {
namespace {

namespace orgb = lumo::openrgb;

// check.mjs's colours: LED i of the keyboard, then "Key: Escape" alone, the mouse's zone.
orgb::Color keyboardColor(std::size_t index) {
    const auto i = static_cast<unsigned>(index);
    return orgb::makeColor(i % 256, 255 - i % 256, (i * 7) % 256);
}
const orgb::Color kEscapeColor = orgb::makeColor(1, 2, 3);
const std::vector<orgb::Color> kMouseColors = {orgb::makeColor(10, 20, 30), orgb::makeColor(40, 50, 60)};

std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
    }
    return lines;
}

nlohmann::json asJson(const std::vector<orgb::Color>& colors) {
    nlohmann::json list = nlohmann::json::array();
    for (const orgb::Color color : colors) list.push_back({orgb::redOf(color), orgb::greenOf(color), orgb::blueOf(color)});
    return list;
}

nlohmann::json matrixJson(const orgb::Zone& zone) {
    nlohmann::json rows = nlohmann::json::array();
    for (std::uint32_t row = 0; row < zone.matrixHeight; ++row) {
        nlohmann::json cells = nlohmann::json::array();
        for (std::uint32_t column = 0; column < zone.matrixWidth; ++column) {
            const std::uint32_t led = zone.matrix[row * zone.matrixWidth + column];
            cells.push_back(led == orgb::kNoLed ? nlohmann::json(nullptr) : nlohmann::json(led));
        }
        rows.push_back(cells);
    }
    return {{"height", zone.matrixHeight}, {"width", zone.matrixWidth}, {"keys", rows}};
}

TEST(OpenRgbServerWithNpmClient, ListsTheDevicesAndAppliesModeAndColours) {
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(OPENRGB_CLIENT_FOLDER) / "node_modules" / "openrgb-sdk"))
        << "run tools/bootstrap.sh to install the npm client";
    OpenRgbServer server;
    const TempFolder folder("lumo-npm-check");
    const ProgramOutcome outcome =
        runProgram(NODE_BINARY, {OPENRGB_CHECK_SCRIPT, std::to_string(server.port())}, folder.path(), OPENRGB_CLIENT_FOLDER);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors << outcome.output;
    const std::vector<nlohmann::json> lines = jsonLines(outcome.output);
    ASSERT_EQ(lines.size(), 2u) << outcome.output;
    const nlohmann::json& seen = lines[0];
    const nlohmann::json& readBack = lines[1];

    // What the client read is what was served.
    const std::vector<orgb::Controller> served = defaultDevices();
    EXPECT_EQ(seen["protocolVersion"], 5);
    ASSERT_EQ(seen["devices"].size(), served.size());
    for (std::size_t i = 0; i < served.size(); ++i) {
        SCOPED_TRACE(served[i].name);
        const nlohmann::json& device = seen["devices"][i];
        EXPECT_EQ(device["name"], served[i].name);
        EXPECT_EQ(device["type"], served[i].type);
        EXPECT_EQ(device["vendor"], served[i].vendor);
        EXPECT_EQ(device["serial"], served[i].serial);
        EXPECT_EQ(device["location"], served[i].location);
        EXPECT_EQ(device["ledCount"], served[i].leds.size());
        std::vector<std::string> names;
        for (const orgb::Led& led : served[i].leds) names.push_back(led.name);
        EXPECT_EQ(device["leds"], names);
        ASSERT_EQ(device["zones"].size(), served[i].zones.size());
        for (std::size_t z = 0; z < served[i].zones.size(); ++z) {
            const orgb::Zone& zone = served[i].zones[z];
            EXPECT_EQ(device["zones"][z]["name"], zone.name);
            EXPECT_EQ(device["zones"][z]["ledsCount"], zone.ledsCount);
            EXPECT_EQ(device["zones"][z]["matrix"], zone.matrix.empty() ? nlohmann::json(nullptr) : matrixJson(zone));
        }
        std::vector<std::string> modes;
        for (const orgb::Mode& mode : served[i].modes) modes.push_back(mode.name);
        EXPECT_EQ(device["modes"], modes);
        EXPECT_EQ(device["activeMode"], served[i].modes[served[i].activeMode].name);
    }
    const nlohmann::json& keyboard = seen["devices"][0];
    EXPECT_EQ(keyboard["type"], 5);
    EXPECT_EQ(keyboard["ledCount"], 105);
    EXPECT_NE(std::find(keyboard["leds"].begin(), keyboard["leds"].end(), "Key: F1"), keyboard["leds"].end());
    EXPECT_EQ(keyboard["zones"][0]["matrix"]["height"], 6);
    EXPECT_EQ(keyboard["zones"][0]["matrix"]["width"], 21);
    EXPECT_EQ(keyboard["zones"][0]["matrix"]["keys"][0][0], 0) << "Escape in the top left corner";
    EXPECT_EQ(seen["devices"][1]["type"], 6);

    // What the client set is what the server holds, and what it read back.
    std::vector<orgb::Color> keyboardColors;
    for (std::size_t i = 0; i < served[0].leds.size(); ++i) keyboardColors.push_back(keyboardColor(i));
    const OpenRgbSnapshot state = server.snapshot();
    keyboardColors[*state.ledIndex(0, "Key: Escape")] = kEscapeColor;
    EXPECT_EQ(state.clientNames, std::vector<std::string>{"npm check"});
    EXPECT_TRUE(state.violations.empty()) << state.violations.front().reason;
    EXPECT_EQ(state.devices[0].modes[state.devices[0].activeMode].name, "Direct");
    EXPECT_EQ(state.devices[1].modes[state.devices[1].activeMode].name, "Direct");
    EXPECT_EQ(state.devices[0].colors, keyboardColors);
    EXPECT_EQ(state.devices[1].colors, kMouseColors);
    EXPECT_EQ(state.packetCount(orgb::kUpdateMode), 2u);
    EXPECT_EQ(state.packetCount(orgb::kUpdateLeds), 1u);
    EXPECT_EQ(state.packetCount(orgb::kUpdateSingleLed), 1u);
    EXPECT_EQ(state.packetCount(orgb::kUpdateZoneLeds), 1u);
    EXPECT_EQ(state.connectionsAccepted, 1);

    ASSERT_EQ(readBack["devices"].size(), 2u);
    EXPECT_EQ(readBack["devices"][0]["activeMode"], "Direct");
    EXPECT_EQ(readBack["devices"][1]["activeMode"], "Direct");
    EXPECT_EQ(readBack["devices"][0]["colors"], asJson(keyboardColors));
    EXPECT_EQ(readBack["devices"][1]["colors"], asJson(kMouseColors));
}

}  // namespace
}  // namespace lumo::test
