// roundglow's game-state handler in-process with the recording SDK, the 200 ms effect pause
// off, over a run of posts (the input's NUL-separated pieces): the effect and activity stay
// among their kinds, only bound keys, the health bar and the bomb block light up, and every
// lighting call has percentages the SDK takes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <set>
#include <string>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/game_state_internal.h"
#include "cs_go_integration/health_bar.h"
#include "cs_go_integration/key_bindings.h"
#include "handler_checks.h"
#include "recording_sdk.h"

using namespace roundglow;

namespace {

constexpr int kEnterKey = 0x1C;

recording_sdk::Recording* recording = nullptr;
CellSet mayLight{};

void checkCalls() {
    static const std::set<std::string> kWithoutArguments = {"LumoLedStopEffects",
                                                            "LumoLedSetLightingFromBitmap"};
    for (const std::string& text : recording->calls) {
        const RecordedCall call = readCall(text);
        if (call.name == "LumoLedSetLighting") {
            checkPercentages(call, 0, 3);
        } else if (call.name == "LumoLedPulseLighting") {
            checkPercentages(call, 0, 3);
        } else if (call.name == "LumoLedFlashSingleKey") {
            FUZZ_CHECK(call.arguments.at(0) == kEnterKey);
            checkPercentages(call, 1, 3);
        } else if (call.name == "LumoLedStopEffectsOnKey") {
            FUZZ_CHECK(call.arguments.at(0) == kEnterKey);
        } else if (call.name == "LumoLedSetTargetDevice") {
            const long long device = call.arguments.at(0);
            FUZZ_CHECK(device == lumo::sdk::kDevicesWithoutPerKey || device == lumo::sdk::kPerKeyDevices ||
                       device == lumo::sdk::kAllDevices);
        } else {
            FUZZ_CHECK(kWithoutArguments.count(call.name) != 0);
        }
    }
}

void checkKept() {
    FUZZ_CHECK(static_cast<int>(kept.effect) >= 0 &&
               static_cast<int>(kept.effect) <= static_cast<int>(Effect::chatFlash));
    FUZZ_CHECK(static_cast<int>(kept.activity) >= 0 &&
               static_cast<int>(kept.activity) <= static_cast<int>(Activity::menu));
    FUZZ_CHECK(kept.bombCounter >= 0 && kept.bombCounter <= kept.bombPeriod);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    recording = &recording_sdk::bind();
    effectStopPause = std::chrono::milliseconds(0);
    buildKeyCellTable();
    buildDefaultBindings();
    for (const auto& [command, key] : bindingTable) {
        if (const auto cell = cellOfCommand(command)) addCells(mayLight, *cell, 1);
    }
    addCells(mayLight, kHealthOnTopRow.first, kHealthOnTopRow.count);
    for (int row = 1; row <= 5; ++row) addCells(mayLight, row * lumo::sdk::kBitmapColumns + 17, 4);
    // The handler's messages would drown libFuzzer's; a failed stream drops them unformatted.
    std::cout.setstate(std::ios_base::badbit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetKeptGameState();
    // As after the first binding read at start-up.
    kept.repaint = true;
    for (const std::string& post : postsOf(data, size)) {
        const std::size_t jsonStart = post.find('{');
        recording->calls.clear();
        handleGameState(jsonStart == std::string::npos ? nullptr : post.c_str() + jsonStart);
        checkKept();
        checkBitmap(keyBitmap, mayLight);
        checkCalls();
    }
    return 0;
}
